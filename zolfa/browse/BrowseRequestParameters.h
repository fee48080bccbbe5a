// The texts of each browse request as the browse screen fills them: the
// choices of the catalogue path where the request needs them, and the fixed
// values the service expects everywhere else (artist "0" in artist
// requests, album "0" in artist and album requests, type_id "0", type_func
// "AUTH", an empty type_note).
#pragma once

#include <string_view>

#include "zolfa/browse/BrowsePath.h"

namespace zolfa {

inline constexpr std::u16string_view kUnchosenArtist = u"0";
inline constexpr std::u16string_view kUnchosenAlbum = u"0";
inline constexpr std::u16string_view kTypeId = u"0";
inline constexpr std::u16string_view kTypeFunc = u"AUTH";
inline constexpr std::u16string_view kTypeNote = u"";

BrowseParameters GenreListParameters();
BrowseParameters ArtistListParameters(std::u16string_view genre, std::u16string_view indexType,
                                      std::u16string_view index);
BrowseParameters AlbumListParameters(std::u16string_view genre, std::u16string_view indexType,
                                     std::u16string_view index, std::u16string_view artist);
BrowseParameters SongListParameters(std::u16string_view genre, std::u16string_view indexType,
                                    std::u16string_view index, std::u16string_view artist,
                                    std::u16string_view album);
BrowseParameters TopicPageParameters();
// itemId: the link of the topic folder being opened.
BrowseParameters TopicFolderParameters(std::u16string_view itemId);

}  // namespace zolfa
