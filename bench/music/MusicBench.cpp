// A music folder of generated files, for run.sh:
//   music_bench FILES
// makes FILES tagged MP3 files (copies of one short tone encoded with
// gst-launch-1.0, each with its own artist, album and title) in a
// temporary folder, then prints
//   first scan: the files per second of a scan into an empty scan state;
//   rescan: the same for a second start over the unchanged folder, and its
//   time against the first scan's as a ratio;
//   artist lists: the mean time of an artist list of every entry of the
//   three tables for the folder's catalogue (one artist per file) against
//   the sample catalogue's, as a ratio.
#include <sys/wait.h>
#include <taglib/fileref.h>
#include <taglib/tpropertymap.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "server/IndexTables.h"
#include "server/MusicCatalogue.h"
#include "server/MusicLibrary.h"
#include "server/NameIndex.h"
#include "server/SampleCatalogue.h"

namespace {

using Clock = std::chrono::steady_clock;
namespace fs = std::filesystem;
using zolfa_server::Catalogue;
using zolfa_server::IndexTables;

double Seconds(Clock::time_point since) {
  return std::chrono::duration<double>(Clock::now() - since).count();
}

// Names that fall under many entries of the tables: Han characters of
// different readings and strokes, and Latin words.
std::string ArtistName(size_t i) {
  static const char* const kFirst[] = {"王", "張", "林", "陳", "李", "黃", "吳", "劉", "蔡", "楊",
                                       "許", "鄭", "謝", "郭", "洪", "曾", "周", "安", "歐", "二"};
  static const char* const kLatin[] = {"Alpha", "Bravo", "Echo", "Kilo", "Zulu", "7 Seas"};
  if (i % 4 == 3) return std::string(kLatin[i % 6]) + " " + std::to_string(i);
  return std::string(kFirst[i % 20]) + "歌手" + std::to_string(i);
}

bool MakeTone(const fs::path& file) {
  pid_t pid = fork();
  if (pid == 0) {
    std::string location = "location=" + file.string();
    execlp("gst-launch-1.0", "gst-launch-1.0", "-q", "audiotestsrc", "num-buffers=10",
           "samplesperbuffer=4410", "!", "audioconvert", "!", "lamemp3enc", "!", "filesink",
           location.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  int status = 0;
  return pid > 0 && waitpid(pid, &status, 0) == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

double MeanListSeconds(const Catalogue& catalogue, const std::string& genre, int rounds) {
  auto start = Clock::now();
  size_t calls = 0;
  size_t listed = 0;
  for (int round = 0; round < rounds; ++round) {
    for (int table = IndexTables::kPhonetic; table <= IndexTables::kLetters; ++table) {
      for (int index = 1; index < IndexTables::EntryCount(table); ++index) {
        listed += catalogue.Artists(genre, table, index).size();
        ++calls;
      }
      listed += catalogue.Artists(genre, table, IndexTables::kCompilationIndex).size();
      ++calls;
    }
  }
  double seconds = Seconds(start);
  if (listed == 0) std::fprintf(stderr, "music_bench: no artist listed\n");
  return seconds / static_cast<double>(calls);
}

}  // namespace

int main(int argc, char** argv) {
  const size_t files = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 10000;
  std::string pattern = (fs::temp_directory_path() / "music-bench-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) return 1;
  const fs::path base = pattern;
  const fs::path root = base / "music";
  fs::create_directories(root);
  const fs::path tone = base / "tone.mp3";
  if (!MakeTone(tone)) {
    std::fprintf(stderr, "music_bench: gst-launch-1.0 could not encode the tone\n");
    return 1;
  }
  for (size_t i = 0; i < files; ++i) {
    std::string artist = ArtistName(i);
    fs::path file = root / artist / "Album" / (std::to_string(i) + ".mp3");
    fs::create_directories(file.parent_path());
    fs::copy_file(tone, file);
    TagLib::FileRef ref(file.c_str());
    TagLib::PropertyMap map;
    auto add = [&map](const char* key, const std::string& value) {
      map.insert(key, TagLib::StringList(TagLib::String(value, TagLib::String::UTF8)));
    };
    add("GENRE", "流行");
    add("ARTIST", artist);
    add("ALBUM", "專輯 " + std::to_string(i % 7));
    add("TITLE", "歌 " + std::to_string(i));
    ref.file()->setProperties(map);
    ref.save();
  }

  zolfa_server::NameIndex names;
  std::string error = names.Load();
  if (!error.empty()) {
    std::fprintf(stderr, "music_bench: %s\n", error.c_str());
    return 1;
  }
  auto quiet = [](const std::string&) {};
  const fs::path database = base / "state.db";
  auto start = Clock::now();
  double first = 0;
  {
    zolfa_server::MusicLibrary library(quiet);
    if (!library.Open(database, root).empty()) return 1;
    first = Seconds(start);
  }
  start = Clock::now();
  zolfa_server::MusicLibrary library(quiet);
  if (!library.Open(database, root).empty()) return 1;
  const double rescan = Seconds(start);
  std::printf("first scan: %zu files in %.2f s, %.0f files/s\n", files, first, files / first);
  std::printf("rescan:     %zu files in %.3f s, %.0f files/s, rescan/first %.3f\n", files, rescan,
              files / rescan, rescan / first);

  zolfa_server::MusicCatalogue music(library, names);
  zolfa_server::SampleCatalogue sample;
  const std::string genre = music.Genres().at(0).id;
  const double musicList = MeanListSeconds(music, genre, 20);
  const double sampleList = MeanListSeconds(sample, "1", 20);
  std::printf("artist lists: %zu artists %.2f us a list, sample catalogue %.2f us, ratio %.2f\n",
              library.Artists().size(), musicList * 1e6, sampleList * 1e6, musicList / sampleList);
  std::error_code ignored;
  fs::remove_all(base, ignored);
  return 0;
}
