// Fakes for the screens and the core controller that a playlist model talks
// to: each call is written to one shared log, in order, so a test can check
// exactly what the model asked and in which order.
#pragma once

#include <stdexcept>
#include <string>
#include <vector>

#include "platform/base/CodePage.h"
#include "zolfa/library/ICurPlaylistCore.h"
#include "zolfa/library/ICurPlaylistOwner.h"
#include "zolfa/library/ICurPlaylistPlayer.h"
#include "zolfa/library/IPersonalLibraryOwner.h"

namespace test_support {

using CallLog = std::vector<std::string>;

inline std::string Utf8(std::u16string_view text) { return ce::ToUtf8(text); }

class RecordingPlayer : public zolfa::ICurPlaylistPlayer {
 public:
  explicit RecordingPlayer(CallLog& log) : log_(log) {}
  int Play(const zolfa::FeedItem& entry) override {
    log_.push_back("Play(" + Utf8(entry.title) + ")");
    played.push_back(entry);
    if (throwOnPlay) throw std::runtime_error("player failed");
    return playResult;
  }
  void Stop() override { log_.push_back("Stop"); }
  void ResetDisplay() override { log_.push_back("ResetDisplay"); }
  void SetStoppedOnPurpose(bool stopped) override {
    log_.push_back(stopped ? "StoppedOnPurpose(1)" : "StoppedOnPurpose(0)");
  }

  std::vector<zolfa::FeedItem> played;
  int playResult = 1;
  bool throwOnPlay = false;

 private:
  CallLog& log_;
};

class RecordingOwner : public zolfa::ICurPlaylistOwner {
 public:
  RecordingOwner() : player(log) {}

  zolfa::ICurPlaylistPlayer& Player() override { return player; }
  void AddRow(const zolfa::FeedItem& entry) override {
    rows.push_back(entry.title);
    log.push_back("AddRow(" + Utf8(entry.title) + ")");
  }
  void DeleteRow(int32_t row) override {
    if (row >= 0 && row < static_cast<int32_t>(rows.size())) rows.erase(rows.begin() + row);
    log.push_back("DeleteRow(" + std::to_string(row) + ")");
  }
  void DeleteAllRows() override {
    rows.clear();
    log.push_back("DeleteAllRows");
  }
  void FillRows(const std::vector<zolfa::FeedItem>& entries) override {
    rows.clear();
    for (const zolfa::FeedItem& entry : entries) rows.push_back(entry.title);
    log.push_back("FillRows(" + std::to_string(entries.size()) + ")");
  }
  void SetRowText(int32_t row, std::u16string_view text) override {
    if (row >= 0 && row < static_cast<int32_t>(rows.size())) rows[row] = text;
    log.push_back("SetRowText(" + std::to_string(row) + "," + Utf8(text) + ")");
  }
  void SelectRow(int32_t row) override {
    selectedRow = row;
    log.push_back("SelectRow(" + std::to_string(row) + ")");
  }
  void MakeRowVisible(int32_t row) override {
    log.push_back("MakeRowVisible(" + std::to_string(row) + ")");
  }
  int32_t FirstSelectedRow() override {
    log.push_back("FirstSelectedRow");
    return selectedRow;
  }
  void RepaintList() override { log.push_back("RepaintList"); }
  void ShowDisplayMode(int32_t mode) override {
    log.push_back("ShowDisplayMode(" + std::to_string(mode) + ")");
  }
  void SetTitleLine(std::u16string_view title) override {
    log.push_back("SetTitleLine(" + Utf8(title) + ")");
  }
  void SetShuffleButton(bool pressed) override {
    log.push_back(pressed ? "ShuffleButton(1)" : "ShuffleButton(0)");
  }
  void SetRepeatButton(bool pressed) override {
    log.push_back(pressed ? "RepeatButton(1)" : "RepeatButton(0)");
  }
  void AllowCoverRepaint() override { log.push_back("AllowCoverRepaint"); }
  void ShowAlbumCover(std::u16string_view source) override {
    log.push_back("ShowAlbumCover(" + Utf8(source) + ")");
  }
  void SetLyrics(std::u16string_view text) override {
    log.push_back("SetLyrics(" + Utf8(text) + ")");
  }
  void SetLyricsPosition(int32_t seconds) override {
    log.push_back("SetLyricsPosition(" + std::to_string(seconds) + ")");
  }
  bool ConfirmYesNo(std::u16string_view question) override {
    log.push_back("Confirm(" + Utf8(question) + ")");
    return confirmAnswer;
  }

  CallLog log;
  RecordingPlayer player;
  std::vector<std::u16string> rows;
  int32_t selectedRow = -1;
  bool confirmAnswer = true;
};

class RecordingCore : public zolfa::ICurPlaylistCore {
 public:
  explicit RecordingCore(CallLog& log) : log_(log) {}
  void SetNowPlayingFile(std::u16string_view path) override { file = path; }
  void SetNowPlayingIndex(int32_t index) override {
    index_ = index;
    log_.push_back("NowPlaying(" + std::to_string(index) + ")");
  }

  std::u16string file;
  int32_t index_ = -2;

 private:
  CallLog& log_;
};

class RecordingLibraryOwner : public zolfa::IPersonalLibraryOwner {
 public:
  void RebuildPlaylistList() override { log.push_back("RebuildPlaylistList"); }
  void SelectPlaylistRow(int32_t row) override {
    log.push_back("SelectPlaylistRow(" + std::to_string(row) + ")");
  }
  void Repaint() override { log.push_back("Repaint"); }

  CallLog log;
};

// A playable song entry.
inline zolfa::FeedItem Song(std::u16string title, std::u16string id) {
  return zolfa::FeedItem{std::move(title), u"zolfa://play_song_" + id, u"song"};
}

}  // namespace test_support
