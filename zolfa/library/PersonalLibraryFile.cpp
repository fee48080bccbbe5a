#include "zolfa/library/PersonalLibraryFile.h"

#include <cstring>

#include "zolfa/browse/MarkerSearch.h"
#include "zolfa/library/AnsiText.h"
#include "zolfa/service/FindTag.h"

namespace zolfa {

namespace {

void AppendNumber(std::string& out, int32_t number) { out += std::to_string(number); }

void AppendText(std::string& out, std::u16string_view text) { AppendAnsi(out, text); }

// The decimal number at the start of the value between the markers, 0 when
// the markers are missing or the value is not a number.
int32_t NumberBetween(std::u16string_view text, std::u16string_view start,
                      std::u16string_view end) {
  auto match = FindBetween(text, 0, start, end);
  return match ? TagNumber(match->Value(text)) : 0;
}

std::u16string TextBetween(std::u16string_view text, std::u16string_view start,
                           std::u16string_view end) {
  auto match = FindBetween(text, 0, start, end);
  return match ? std::u16string(match->Value(text)) : std::u16string();
}

}  // namespace

std::string FormatPersonalLibraryFile(const PlaylistList& playlists) {
  std::string out = "<musiclibrary>\n";
  for (const auto& playlist : playlists) {
    out += "<playlist>\n<playlist_id>";
    AppendNumber(out, playlist->id);
    out += "</playlist_id><playlist_name>";
    AppendText(out, playlist->name);
    out += "</playlist_name>\n<playlist_data>\n";
    for (const LibrarySong& song : playlist->songs) {
      out += "<song_data><song_id>";
      AppendNumber(out, song.songId);
      out += "</song_id><song_name>";
      AppendText(out, song.songName);
      out += "</song_name><play_url>";
      AppendText(out, song.playUrl);
      out += "</play_url></song_data>\n";
    }
    out += "</playlist_data>\n</playlist>\n\n";
  }
  out += "</musiclibrary>";
  return out;
}

PlaylistList ParsePersonalLibraryFile(std::string_view bytes, bool* hasLibrary) {
  size_t zero = bytes.find('\0');
  if (zero != std::string_view::npos) bytes = bytes.substr(0, zero);
  std::u16string text = AnsiToWide(bytes);

  PlaylistList playlists;
  auto body = FindBetween(text, 0, u"<musiclibrary>", u"</musiclibrary>");
  if (hasLibrary != nullptr) *hasLibrary = body.has_value();
  if (!body) return playlists;
  std::vector<std::u16string_view> playlistTexts;
  SplitBetween(body->Value(text), u"<playlist>", u"</playlist>", playlistTexts);
  std::vector<std::u16string_view> songTexts;
  for (std::u16string_view playlistText : playlistTexts) {
    auto playlist = std::make_unique<LibraryPlaylist>();
    playlist->id = NumberBetween(playlistText, u"<playlist_id>", u"</playlist_id>");
    playlist->name = TextBetween(playlistText, u"<playlist_name>", u"</playlist_name>");
    songTexts.clear();
    SplitBetween(playlistText, u"<song_data>", u"</song_data>", songTexts);
    playlist->songs.reserve(songTexts.size());
    for (std::u16string_view songText : songTexts) {
      LibrarySong song;
      song.songId = NumberBetween(songText, u"<song_id>", u"</song_id>");
      song.songName = TextBetween(songText, u"<song_name>", u"</song_name>");
      song.playUrl = TextBetween(songText, u"<play_url>", u"</play_url>");
      playlist->songs.push_back(std::move(song));
    }
    playlists.push_back(std::move(playlist));
  }
  return playlists;
}

}  // namespace zolfa
