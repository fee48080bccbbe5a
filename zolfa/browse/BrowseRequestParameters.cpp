#include "zolfa/browse/BrowseRequestParameters.h"

#include <string>

namespace zolfa {

namespace {

BrowseParameters CataloguePath(std::u16string_view genre, std::u16string_view indexType,
                               std::u16string_view index, std::u16string_view artist,
                               std::u16string_view album) {
  BrowseParameters p;
  p.genre.assign(genre);
  p.indexType.assign(indexType);
  p.index.assign(index);
  p.artist.assign(artist);
  p.album.assign(album);
  p.typeId.assign(kTypeId);
  p.typeFunc.assign(kTypeFunc);
  p.typeNote.assign(kTypeNote);
  return p;
}

}  // namespace

BrowseParameters GenreListParameters() { return {}; }

BrowseParameters ArtistListParameters(std::u16string_view genre, std::u16string_view indexType,
                                      std::u16string_view index) {
  return CataloguePath(genre, indexType, index, kUnchosenArtist, kUnchosenAlbum);
}

BrowseParameters AlbumListParameters(std::u16string_view genre, std::u16string_view indexType,
                                     std::u16string_view index, std::u16string_view artist) {
  return CataloguePath(genre, indexType, index, artist, kUnchosenAlbum);
}

BrowseParameters SongListParameters(std::u16string_view genre, std::u16string_view indexType,
                                    std::u16string_view index, std::u16string_view artist,
                                    std::u16string_view album) {
  return CataloguePath(genre, indexType, index, artist, album);
}

BrowseParameters TopicPageParameters() { return {}; }

BrowseParameters TopicFolderParameters(std::u16string_view itemId) {
  BrowseParameters p;
  p.genre.assign(itemId);
  return p;
}

}  // namespace zolfa
