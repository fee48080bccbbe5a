// The bytes of the current playlist file (CurPlayList.xml) for a list of
// songs, as the client writes it: UTF-16LE pieces, each followed by a line
// feed. Tests write it to start with a filled playlist, or compare what the
// client kept with it.
#pragma once

#include <string>
#include <vector>

#include "platform/base/CodePage.h"

namespace test_support {

inline constexpr char16_t kCurPlayListPath[] = u"\\Program Files\\Zolfa\\CurPlayList.xml";

struct PlaylistSong {
  std::string title;  // UTF-8
  std::string id;     // catalogue song id
};

inline std::string CurPlayListBytes(const std::vector<PlaylistSong>& songs) {
  std::u16string text;
  auto piece = [&](const std::string& utf8) { text += ce::FromUtf8(utf8) + u"\n"; };
  piece("<?xml version=\"1.0\" ?>\r\n<rss version=\"2.0\">\r\n\t<channel>\r\n\t\t<title>現在播放清單</title>\r\n");
  for (const PlaylistSong& song : songs) {
    piece("\t\t<item>\r\n\t\t\t<title>");
    piece(song.title + "</title>\r\n\t\t\t<link>zolfa://play_song_" + song.id);
    piece("</link>\r\n\t\t\t<zolfa:image>file:\\song.gif");
    piece("</zolfa:image>\r\n\t\t\t<zolfa:category>");
    piece("song");
    piece("</zolfa:category>\r\n\t\t</item>\r\n");
  }
  piece("\t</channel>\r\n</rss>");
  std::string bytes;
  for (char16_t c : text) {
    bytes += static_cast<char>(c & 0xFF);
    bytes += static_cast<char>(c >> 8);
  }
  return bytes;
}

}  // namespace test_support
