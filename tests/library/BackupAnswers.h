// Backup answers for tests and benchmarks: the "backup_load" envelope with
// its three tables, written record by record, and a generator of irregular
// answers (missing columns, duplicates, stray tags) for comparing readers.
#pragma once

#include <algorithm>
#include <random>
#include <string>
#include <vector>

namespace zolfa::testing {

// One "<Data>" record from column texts such as u"<0>5</0>".
inline std::u16string Record(const std::vector<std::u16string>& columns) {
  std::u16string record = u"<Data>";
  for (const std::u16string& column : columns) record += column;
  return record + u"</Data>";
}

inline std::u16string Col(int number, std::u16string_view value) {
  std::u16string tag;
  for (char c : std::to_string(number)) tag.push_back(static_cast<char16_t>(c));
  return u"<" + tag + u">" + std::u16string(value) + u"</" + tag + u">";
}

inline std::u16string Num(long long value) {
  std::u16string text;
  for (char c : std::to_string(value)) text.push_back(static_cast<char16_t>(c));
  return text;
}

inline std::u16string BackupAnswer(const std::vector<std::u16string>& songs,
                                   const std::vector<std::u16string>& lists,
                                   const std::vector<std::u16string>& contents,
                                   std::u16string_view status = u"1") {
  std::u16string answer = u"<?xml version=\"1.0\"?><backup_load><status>";
  answer += status;
  answer += u"</status><msg>ok</msg><data_load><SongTable>";
  for (const auto& record : songs) answer += record;
  answer += u"</SongTable><PlayListTable>";
  for (const auto& record : lists) answer += record;
  answer += u"</PlayListTable><PlayListContentTable>";
  for (const auto& record : contents) answer += record;
  answer += u"</PlayListContentTable></data_load></backup_load>";
  return answer;
}

// An irregular answer of small tables over few numbers, so that song and
// playlist numbers repeat and columns are often missing.
inline std::u16string IrregularBackupAnswer(std::mt19937& rng) {
  auto chance = [&](int percent) { return static_cast<int>(rng() % 100) < percent; };
  auto pick = [&](const std::vector<std::u16string>& values) {
    return values[rng() % values.size()];
  };
  // Mostly numbers that other records name too, some that no record names,
  // and some that read as 0, as a leading number or as nothing.
  const std::vector<std::u16string> numbers = {u"1", u"2", u"3", u"1",  u"2",  u"3",  u"1",
                                               u"2", u"0", u"4", u" 3", u"2x", u"-1", u""};
  const std::vector<std::u16string> flags = {u"0", u"1", u"1", u"2", u"1abc", u""};
  auto maybe = [&](std::vector<std::u16string>& columns, int number, std::u16string value,
                   int percent = 85) {
    if (chance(percent)) columns.push_back(Col(number, value));
  };
  auto record = [&](std::vector<std::u16string> columns) {
    if (chance(15)) std::shuffle(columns.begin(), columns.end(), rng);
    if (chance(4)) return std::u16string(u"<Data></Data>");
    std::u16string text = Record(columns);
    if (chance(3)) {
      // A column whose closing tag is lost.
      size_t close = text.find(u"</", 6);
      if (close != std::u16string::npos && text.compare(close, 6, u"</Data") != 0) {
        text.erase(close, 2);
      }
    }
    return text;
  };

  std::vector<std::u16string> songs, lists, contents;
  int songCount = chance(5) ? 0 : 1 + static_cast<int>(rng() % 12);
  for (int i = 0; i < songCount; ++i) {
    std::vector<std::u16string> columns;
    maybe(columns, 0, pick(numbers));
    maybe(columns, 1, u"name" + Num(i));
    maybe(columns, 3, u"album" + Num(i));
    maybe(columns, 11, u"id" + Num(i));
    if (chance(60)) columns.push_back(Col(14, pick(flags)));
    songs.push_back(record(columns));
  }
  int listCount = chance(5) ? 0 : 1 + static_cast<int>(rng() % 4);
  for (int i = 0; i < listCount; ++i) {
    std::vector<std::u16string> columns;
    maybe(columns, 0, chance(70) ? Num(1 + i % 2) : pick(numbers), 95);
    maybe(columns, 1, u"list" + Num(i), 95);
    lists.push_back(record(columns));
  }
  int contentCount = chance(5) ? 0 : 1 + static_cast<int>(rng() % 15);
  for (int i = 0; i < contentCount; ++i) {
    std::vector<std::u16string> columns;
    maybe(columns, 0, Num(i));
    maybe(columns, 1, chance(60) ? Num(1 + rng() % 3) : pick(numbers));
    maybe(columns, 2, chance(70) ? Num(1 + rng() % 2) : pick(numbers));
    contents.push_back(record(columns));
  }
  std::u16string answer = BackupAnswer(songs, lists, contents, chance(95) ? u"1" : u"0");
  if (chance(3)) answer.erase(answer.find(u"</msg>"), 6);
  return answer;
}

}  // namespace zolfa::testing
