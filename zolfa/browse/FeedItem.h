// The item of every catalogue list and of the current playlist.
#pragma once

#include <array>
#include <string>
#include <string_view>

namespace zolfa {

// A value type: copies are deep, and whoever holds one owns it.
struct FeedItem {
  std::u16string title;     // shown as it arrived; character entities are never decoded
  std::u16string link;      // a play-song link, a media address, a feed address or a bare identifier
  std::u16string category;  // empty or exactly one of the canonical words below

  bool operator==(const FeedItem&) const = default;
};

// The canonical category words; the position is the category index.
inline constexpr std::u16string_view kCategoryFolder = u"folder";
inline constexpr std::u16string_view kCategoryAlbum = u"album";
inline constexpr std::u16string_view kCategorySong = u"song";
inline constexpr std::u16string_view kCategoryArtist = u"artist";
inline constexpr std::array<std::u16string_view, 4> kCategories = {kCategoryFolder, kCategoryAlbum,
                                                                   kCategorySong, kCategoryArtist};
constexpr int kCategoryIndexFolder = 0;
constexpr int kCategoryIndexAlbum = 1;
constexpr int kCategoryIndexSong = 2;
constexpr int kCategoryIndexArtist = 3;
constexpr int kCategoryIndexNone = -1;

// A link of this prefix followed by the service's song identifier names a song.
inline constexpr std::u16string_view kPlaySongPrefix = u"zolfa://play_song_";

// Image words written with items (never read back).
inline constexpr std::u16string_view kSongImage = u"file:\\song.gif";
inline constexpr std::u16string_view kDirectoryImage = u"file:\\directory.gif";

// 0..3 for a category that matches a canonical word without regard to
// letter case, else -1.
int CategoryIndex(const FeedItem& item);
// The canonical word of the item's category, or empty text.
std::u16string CategoryOf(const FeedItem& item);
// Sets the category to the canonical word that text matches (any letter
// case) or to empty text when text is empty, and returns true; leaves the
// category alone and returns false for any other text.
bool SetCategory(FeedItem& item, std::u16string_view text);
// True for a link that starts with the play-song prefix or contains ".wma" or
// ".mp3", in any letter case. The category plays no part.
bool IsPlayable(const FeedItem& item);
// The song identifier after the play-song prefix (exact case), else empty.
std::u16string SongIdOf(const FeedItem& item);

}  // namespace zolfa
