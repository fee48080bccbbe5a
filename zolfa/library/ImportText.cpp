#include "zolfa/library/ImportText.h"

#include <optional>
#include <unordered_map>
#include <vector>

#include "zolfa/library/TagIndex.h"
#include "zolfa/service/FindTag.h"
#include "zolfa/service/TextLimits.h"

namespace zolfa {

namespace {

constexpr std::u16string_view kData = u"<Data>";
constexpr std::u16string_view kDataEnd = u"</Data>";

struct BackupTables {
  std::u16string_view songs;
  std::u16string_view lists;
  std::u16string_view contents;
};

// A column value as the working buffer holds it.
std::u16string Column(const TagValue& value) { return TruncateText(value.value, kMaxColumnLength); }

int32_t ColumnNumber(const TagValue& value) { return TagNumber(Column(value)); }

// A cursor over the same text as table that starts at position, as a search
// from the start of a record that is not cut at its end. Copying the table's
// cursor spares a new scan of the text for its end.
TagCursor CursorAt(const TagCursor& table, size_t position) {
  TagCursor cursor = table;
  cursor.position = position;
  return cursor;
}

// The envelope and the three tables, each ending at its closing tag.
std::optional<BackupTables> ReadTables(std::u16string_view answer) {
  TagCursor cursor(answer);
  TagValue envelope = FindTag(cursor, u"<backup_load>", u"</backup_load>");
  if (!envelope.HasValue()) return std::nullopt;

  TagCursor inside(envelope.value);
  TagValue status = FindTag(inside, u"<status>", u"</status>");
  FindTag(inside, u"<msg>", u"</msg>");  // read and not used
  if (!status.HasValue() || TagNumber(status.value) != 1) return std::nullopt;

  TagValue data = FindTag(inside, u"<data_load>", u"</data_load>");
  if (!data.HasValue()) return std::nullopt;
  TagCursor tables(data.value);
  TagValue songs = FindTag(tables, u"<SongTable>", u"</SongTable>");
  TagValue lists = FindTag(tables, u"<PlayListTable>", u"</PlayListTable>");
  TagValue contents = FindTag(tables, u"<PlayListContentTable>", u"</PlayListContentTable>");
  if (!songs.HasValue() || !lists.HasValue() || !contents.HasValue()) return std::nullopt;
  return BackupTables{songs.value, lists.value, contents.value};
}

void AppendNumber(std::u16string& out, int32_t number) {
  std::string digits = std::to_string(number);
  out.append(digits.begin(), digits.end());
}

void AppendPlaylistHead(std::u16string& out, int32_t number, std::u16string_view name) {
  out += u"<playlist><playlist_id>";
  AppendNumber(out, number);
  out += u"</playlist_id><playlist_name>";
  out += name;
  out += u"</playlist_name><playlist_data>";
}

// Appends the song_data of song number songNumber, reading the song record
// onward from the cursor placed after its "</0>".
template <typename Finder>
void AppendSong(std::u16string& out, int32_t songNumber, TagCursor record, const Finder& find) {
  out += u"<song_data><song_id>";
  AppendNumber(out, songNumber);
  out += u"</song_id>";
  TagValue name = find(record, u"<1>", u"</1>");
  if (name.HasValue()) {
    out += u"<song_name>";
    out += Column(name);
    out += u"</song_name>";
  }
  TagValue album = find(record, u"<3>", u"</3>");
  if (album.HasValue()) {
    out += u"<album_id></album_id><album_name>";
    out += Column(album);
    out += u"</album_name>";
  }
  TagValue play = find(record, u"<11>", u"</11>");
  if (play.HasValue()) {
    out += u"<play_url>zolfa://play_song_";
    out += Column(play);
    out += u"</play_url>";
  }
  out += u"</song_data>";
}

// The song record of song number songNumber as the walk from the start of
// the song table finds it: its cursor placed after its "</0>".
std::optional<TagCursor> WalkToSong(const TagCursor& songs, int32_t songNumber) {
  TagCursor walk = songs;
  for (TagValue record = FindTag(walk, kData, kDataEnd); record.HasValue();
       record = FindTag(walk, kData, kDataEnd)) {
    TagCursor columns = CursorAt(songs, record.start);
    TagValue number = FindTag(columns, u"<0>", u"</0>");
    if (!number.HasValue() || ColumnNumber(number) != songNumber) continue;
    TagCursor ahead = columns;
    TagValue flag = FindTag(ahead, u"<14>", u"</14>");
    if (!flag.HasValue() || ColumnNumber(flag) == 1) return columns;
  }
  return std::nullopt;
}

}  // namespace

std::u16string BuildImportTextDirect(std::u16string_view answer) {
  std::u16string out;
  std::optional<BackupTables> tables = ReadTables(answer);
  if (!tables) return out;
  auto find = [](TagCursor& cursor, std::u16string_view open, std::u16string_view close) {
    return FindTag(cursor, open, close);
  };

  const TagCursor songs(tables->songs);
  const TagCursor lists(tables->lists);
  const TagCursor contents(tables->contents);
  TagCursor listWalk = lists;
  for (TagValue list = FindTag(listWalk, kData, kDataEnd); list.HasValue();
       list = FindTag(listWalk, kData, kDataEnd)) {
    TagCursor columns = CursorAt(lists, list.start);
    TagValue number = FindTag(columns, u"<0>", u"</0>");
    TagValue name = FindTag(columns, u"<1>", u"</1>");
    if (!number.HasValue() || !name.HasValue()) continue;
    int32_t playlistNumber = ColumnNumber(number);
    AppendPlaylistHead(out, playlistNumber, Column(name));

    TagCursor contentWalk = contents;
    for (TagValue content = FindTag(contentWalk, kData, kDataEnd); content.HasValue();
         content = FindTag(contentWalk, kData, kDataEnd)) {
      TagCursor forList = CursorAt(contents, content.start);
      TagValue owner = FindTag(forList, u"<2>", u"</2>");
      if (!owner.HasValue() || ColumnNumber(owner) != playlistNumber) continue;
      TagCursor forSong = CursorAt(contents, content.start);
      TagValue song = FindTag(forSong, u"<1>", u"</1>");
      if (!song.HasValue()) continue;
      int32_t songNumber = ColumnNumber(song);
      if (songNumber == 0) continue;
      if (std::optional<TagCursor> record = WalkToSong(songs, songNumber)) {
        AppendSong(out, songNumber, *record, find);
      }
    }
    out += u"</playlist>";
  }
  return out;
}

std::u16string BuildImportText(std::u16string_view answer) {
  std::u16string out;
  std::optional<BackupTables> tables = ReadTables(answer);
  if (!tables) return out;

  // The indexes cover exactly the texts of the cursors.
  const TagCursor songs(tables->songs);
  const TagCursor lists(tables->lists);
  const TagCursor contents(tables->contents);
  const TagIndex songIndex(songs.text, {kData, kDataEnd, u"<0>", u"</0>", u"<1>", u"</1>", u"<3>",
                                        u"</3>", u"<11>", u"</11>", u"<14>", u"</14>"});
  const TagIndex listIndex(lists.text, {kData, kDataEnd, u"<0>", u"</0>", u"<1>", u"</1>"});
  const TagIndex contentIndex(contents.text, {kData, kDataEnd, u"<1>", u"</1>", u"<2>", u"</2>"});
  auto findSong = [&songIndex](TagCursor& cursor, std::u16string_view open,
                               std::u16string_view close) {
    return songIndex.Find(cursor, open, close);
  };

  // The walk from the start of the song table stops at the first record
  // that matches, so the first matching record of each song number is the
  // one every lookup finds.
  std::unordered_map<int32_t, TagCursor> songRecords;
  TagCursor songWalk = songs;
  for (TagValue record = songIndex.Find(songWalk, kData, kDataEnd); record.HasValue();
       record = songIndex.Find(songWalk, kData, kDataEnd)) {
    TagCursor columns = CursorAt(songs, record.start);
    TagValue number = songIndex.Find(columns, u"<0>", u"</0>");
    if (!number.HasValue()) continue;
    TagCursor ahead = columns;
    TagValue flag = songIndex.Find(ahead, u"<14>", u"</14>");
    if (!flag.HasValue() || ColumnNumber(flag) == 1) {
      songRecords.try_emplace(ColumnNumber(number), columns);
    }
  }

  // The song numbers of the content records, grouped by playlist number in
  // record order; a record whose song column is missing has no song.
  std::unordered_map<int32_t, std::vector<std::optional<int32_t>>> contentsByList;
  TagCursor contentWalk = contents;
  for (TagValue content = contentIndex.Find(contentWalk, kData, kDataEnd); content.HasValue();
       content = contentIndex.Find(contentWalk, kData, kDataEnd)) {
    TagCursor forList = CursorAt(contents, content.start);
    TagValue owner = contentIndex.Find(forList, u"<2>", u"</2>");
    if (!owner.HasValue()) continue;
    TagCursor forSong = CursorAt(contents, content.start);
    TagValue song = contentIndex.Find(forSong, u"<1>", u"</1>");
    std::optional<int32_t> songNumber;
    if (song.HasValue()) songNumber = ColumnNumber(song);
    contentsByList[ColumnNumber(owner)].push_back(songNumber);
  }

  // The song_data of each song number, made once.
  std::unordered_map<int32_t, std::u16string> songTexts;
  TagCursor listWalk = lists;
  for (TagValue list = listIndex.Find(listWalk, kData, kDataEnd); list.HasValue();
       list = listIndex.Find(listWalk, kData, kDataEnd)) {
    TagCursor columns = CursorAt(lists, list.start);
    TagValue number = listIndex.Find(columns, u"<0>", u"</0>");
    TagValue name = listIndex.Find(columns, u"<1>", u"</1>");
    if (!number.HasValue() || !name.HasValue()) continue;
    int32_t playlistNumber = ColumnNumber(number);
    AppendPlaylistHead(out, playlistNumber, Column(name));

    auto group = contentsByList.find(playlistNumber);
    if (group != contentsByList.end()) {
      for (const std::optional<int32_t>& songNumber : group->second) {
        if (!songNumber || *songNumber == 0) continue;
        auto record = songRecords.find(*songNumber);
        if (record == songRecords.end()) continue;
        auto [text, made] = songTexts.try_emplace(*songNumber);
        if (made) AppendSong(text->second, *songNumber, record->second, findSong);
        out += text->second;
      }
    }
    out += u"</playlist>";
  }
  return out;
}

}  // namespace zolfa
