// Benchmarks of the playlist files and the backup import. Each figure is
// printed with its baseline, measured in the same run:
//   - saving "CurPlayList.xml" against writing the same bytes with stdio and
//     fsync (what a replacement must at least cost);
//   - loading it and loading "personal.db" against reading the same bytes;
//   - saving "personal.db" (done after every change) against the same write;
//   - the import text of a large backup, indexed against the direct walk.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <random>

#include "platform/base/CodePage.h"
#include "platform/base/DeviceFile.h"
#include "platform/base/DeviceRoot.h"
#include "tests/library/BackupAnswers.h"
#include "zolfa/library/AtomicFile.h"
#include "zolfa/library/CCoreCurPlaylist.h"
#include "zolfa/library/CPersonalLibrary.h"
#include "zolfa/library/CurPlaylistFile.h"
#include "zolfa/library/ImportText.h"
#include "zolfa/library/PersonalLibraryFile.h"
#include "zolfa/service/FindTag.h"

namespace zolfa {
namespace {

using testing::Col;
using testing::Num;
using testing::Record;

class NullPlayer : public ICurPlaylistPlayer {
 public:
  int Play(const FeedItem&) override { return 1; }
  void Stop() override {}
  void ResetDisplay() override {}
  void SetStoppedOnPurpose(bool) override {}
};

class NullOwner : public ICurPlaylistOwner, public ICurPlaylistCore, public IPersonalLibraryOwner {
 public:
  ICurPlaylistPlayer& Player() override { return player_; }
  void AddRow(const FeedItem&) override {}
  void DeleteRow(int32_t) override {}
  void DeleteAllRows() override {}
  void FillRows(const std::vector<FeedItem>&) override {}
  void SetRowText(int32_t, std::u16string_view) override {}
  void SelectRow(int32_t) override {}
  void MakeRowVisible(int32_t) override {}
  int32_t FirstSelectedRow() override { return -1; }
  void RepaintList() override {}
  void ShowDisplayMode(int32_t) override {}
  void SetTitleLine(std::u16string_view) override {}
  void SetShuffleButton(bool) override {}
  void SetRepeatButton(bool) override {}
  void AllowCoverRepaint() override {}
  void ShowAlbumCover(std::u16string_view) override {}
  void SetLyrics(std::u16string_view) override {}
  void SetLyricsPosition(int32_t) override {}
  bool ConfirmYesNo(std::u16string_view) override { return true; }
  void SetNowPlayingFile(std::u16string_view) override {}
  void SetNowPlayingIndex(int32_t) override {}
  void RebuildPlaylistList() override {}
  void SelectPlaylistRow(int32_t) override {}
  void Repaint() override {}

 private:
  NullPlayer player_;
};

NullOwner gOwner;

std::u16string Wide(const std::string& text) { return ce::FromUtf8(text); }

std::vector<FeedItem> PlaylistEntries(int count) {
  std::vector<FeedItem> entries;
  for (int i = 0; i < count; ++i) {
    entries.push_back(FeedItem{u"歌曲 " + Wide(std::to_string(i)) + u" 月亮代表我的心",
                               u"zolfa://play_song_" + Wide(std::to_string(100000 + i)), u"song"});
  }
  return entries;
}

std::filesystem::path HostPath(std::u16string_view devicePath) {
  return *ce::ResolveDevicePath(devicePath);
}

// The baseline of a save: the same bytes written with stdio, flushed to the
// disk, renamed over the old file.
void PlainReplace(const std::filesystem::path& path, const std::string& bytes) {
  std::filesystem::path temporary = path;
  temporary += ".plain";
  FILE* file = std::fopen(temporary.c_str(), "wb");
  std::fwrite(bytes.data(), 1, bytes.size(), file);
  std::fflush(file);
  fsync(fileno(file));
  std::fclose(file);
  std::rename(temporary.c_str(), path.c_str());
}

std::string PlainRead(const std::filesystem::path& path) {
  std::string bytes;
  FILE* file = std::fopen(path.c_str(), "rb");
  char chunk[65536];
  size_t read = 0;
  while ((read = std::fread(chunk, 1, sizeof(chunk), file)) > 0) bytes.append(chunk, read);
  std::fclose(file);
  return bytes;
}

void BM_SaveCurPlaylist(benchmark::State& state) {
  CCoreCurPlaylist playlist(gOwner, gOwner);
  playlist.AddItems(PlaylistEntries(static_cast<int>(state.range(0))), false, true);
  for (auto _ : state) {
    playlist.SwapItems(0, 1);  // a change writes the whole file
  }
  state.counters["bytes"] = static_cast<double>(FormatCurPlaylistFile(playlist.Items()).size());
}

void BM_SaveCurPlaylistBaseline(benchmark::State& state) {
  std::string bytes = FormatCurPlaylistFile(PlaylistEntries(static_cast<int>(state.range(0))));
  std::filesystem::path path = HostPath(u"\\Program Files\\Zolfa\\plain.xml");
  for (auto _ : state) PlainReplace(path, bytes);
}

void BM_LoadCurPlaylist(benchmark::State& state) {
  {
    CCoreCurPlaylist writer(gOwner, gOwner);
    writer.AddItems(PlaylistEntries(static_cast<int>(state.range(0))), false, true);
  }
  CCoreCurPlaylist playlist(gOwner, gOwner);
  for (auto _ : state) {
    playlist.Load();
    benchmark::DoNotOptimize(playlist.Items().data());
  }
  state.counters["entries"] = static_cast<double>(playlist.Items().size());
}

void BM_LoadCurPlaylistBaseline(benchmark::State& state) {
  std::filesystem::path path = HostPath(CCoreCurPlaylist::FilePath());
  for (auto _ : state) benchmark::DoNotOptimize(PlainRead(path));
}

// Writes a library of the all-songs list and n playlists of n songs each;
// the all-songs list holds every song of the others.
void WriteLibrary(int n) {
  PlaylistList lists;
  lists.push_back(std::make_unique<LibraryPlaylist>());
  lists[0]->id = kAllSongsId;
  lists[0]->name = kAllSongsName;
  for (int i = 1; i <= n; ++i) {
    auto playlist = std::make_unique<LibraryPlaylist>();
    playlist->id = 1000 + i;
    playlist->name = u"歌單 " + Wide(std::to_string(i));
    for (const FeedItem& entry : PlaylistEntries(n)) {
      playlist->songs.push_back(LibrarySong{TagNumber(SongIdOf(entry)), entry.title, entry.link});
    }
    lists[0]->songs.insert(lists[0]->songs.end(), playlist->songs.begin(), playlist->songs.end());
    lists.push_back(std::move(playlist));
  }
  ReplaceFileAtomically(CPersonalLibrary::FilePath(), FormatPersonalLibraryFile(lists));
}

void BM_LoadLibrary(benchmark::State& state) {
  WriteLibrary(static_cast<int>(state.range(0)));
  CPersonalLibrary library(gOwner);
  for (auto _ : state) {
    library.LoadLibrary();
    benchmark::DoNotOptimize(library.Count());
  }
  state.counters["playlists"] = library.Count();
  state.counters["songs"] = static_cast<double>(library.Playlist(0).songs.size());
}

// A change to the library writes it whole.
void BM_SaveLibrary(benchmark::State& state) {
  WriteLibrary(static_cast<int>(state.range(0)));
  CPersonalLibrary library(gOwner);
  library.LoadLibrary();
  for (auto _ : state) library.MovePlaylist(1, CPersonalLibrary::Direction::kDown);
}

void BM_SaveLibraryBaseline(benchmark::State& state) {
  WriteLibrary(static_cast<int>(state.range(0)));
  std::string bytes = PlainRead(HostPath(CPersonalLibrary::FilePath()));
  std::filesystem::path path = HostPath(u"\\Program Files\\Zolfa\\plain.db");
  for (auto _ : state) PlainReplace(path, bytes);
}

void BM_LoadLibraryBaseline(benchmark::State& state) {
  std::filesystem::path path = HostPath(CPersonalLibrary::FilePath());
  for (auto _ : state) benchmark::DoNotOptimize(PlainRead(path));
}

// A backup of 10 000 songs, 100 playlists and 10 000 content records that
// name random songs of random playlists.
const std::u16string& LargeBackup() {
  static const std::u16string answer = [] {
    std::mt19937 rng(7);
    std::vector<std::u16string> songs, lists, contents;
    for (int i = 1; i <= 10000; ++i) {
      songs.push_back(
          Record({Col(0, Num(i)), Col(1, u"歌曲名稱 " + Num(i)), Col(2, u"歌手"),
                  Col(3, u"專輯 " + Num(i / 10)), Col(11, u"S" + Num(900000 + i)), Col(14, u"1")}));
    }
    for (int i = 1; i <= 100; ++i)
      lists.push_back(Record({Col(0, Num(i)), Col(1, u"歌單 " + Num(i))}));
    for (int i = 1; i <= 10000; ++i) {
      contents.push_back(
          Record({Col(0, Num(i)), Col(1, Num(1 + rng() % 10000)), Col(2, Num(1 + rng() % 100))}));
    }
    return testing::BackupAnswer(songs, lists, contents);
  }();
  return answer;
}

void BM_ImportTextIndexed(benchmark::State& state) {
  const std::u16string& answer = LargeBackup();
  size_t size = 0;
  for (auto _ : state) size = BuildImportText(answer).size();
  state.counters["text_chars"] = static_cast<double>(size);
}

void BM_ImportTextDirect(benchmark::State& state) {
  const std::u16string& answer = LargeBackup();
  size_t size = 0;
  for (auto _ : state) size = BuildImportTextDirect(answer).size();
  state.counters["text_chars"] = static_cast<double>(size);
}

void BM_ImportIntoLibrary(benchmark::State& state) {
  std::u16string text = BuildImportText(LargeBackup());
  for (auto _ : state) {
    state.PauseTiming();
    CPersonalLibrary library(gOwner);
    ReplaceFileAtomically(CPersonalLibrary::FilePath(), "");
    library.LoadLibrary();
    state.ResumeTiming();
    library.ImportPlaylists(text);  // parses and writes the library
  }
}

BENCHMARK(BM_SaveCurPlaylist)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveCurPlaylistBaseline)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadCurPlaylist)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadCurPlaylistBaseline)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadLibrary)->Arg(200)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadLibraryBaseline)->Arg(200)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveLibrary)->Arg(200)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveLibraryBaseline)->Arg(200)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ImportTextIndexed)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ImportTextDirect)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_ImportIntoLibrary)->Unit(benchmark::kMillisecond);

// Prints the ratio of each figure to its baseline after the table.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  RatioReporter() : ConsoleReporter(OO_Tabular) {}
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) times_[run.benchmark_name()] = run.GetAdjustedRealTime();
    ConsoleReporter::ReportRuns(runs);
  }
  void Finalize() override {
    ConsoleReporter::Finalize();
    Ratio("save CurPlayList.xml, 10 000 entries, against stdio write+fsync+rename",
          "BM_SaveCurPlaylist/10000", "BM_SaveCurPlaylistBaseline/10000");
    Ratio("load CurPlayList.xml, 10 000 entries, against reading its bytes",
          "BM_LoadCurPlaylist/10000", "BM_LoadCurPlaylistBaseline/10000");
    Ratio("load personal.db, 200 playlists x 200 songs (+ all-songs), against reading its bytes",
          "BM_LoadLibrary/200", "BM_LoadLibraryBaseline/200");
    Ratio("save personal.db, 200 x 200, against stdio write+fsync+rename", "BM_SaveLibrary/200",
          "BM_SaveLibraryBaseline/200");
    Ratio("import text, 10 000 songs / 100 lists / 10 000 records: direct over indexed",
          "BM_ImportTextDirect/iterations:1", "BM_ImportTextIndexed");
  }

 private:
  void Ratio(const char* what, const std::string& measured, const std::string& baseline) {
    auto a = times_.find(measured);
    auto b = times_.find(baseline);
    if (a == times_.end() || b == times_.end() || b->second <= 0) return;
    std::printf("ratio  %-80s %8.2f\n", what, a->second / b->second);
  }
  std::map<std::string, double> times_;
};

}  // namespace
}  // namespace zolfa

int main(int argc, char** argv) {
  char folder[] = "/tmp/library-bench-XXXXXX";
  if (mkdtemp(folder) == nullptr || !ce::OpenDeviceRoot(folder)) return 2;
  benchmark::Initialize(&argc, argv);
  zolfa::RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  ce::CloseDeviceRoot();
  std::filesystem::remove_all(folder);
  return 0;
}
