// The lyrics view's work on a new song, against two baselines over the same
// text: SetLyrics (read 200 source lines, split the long ones, lay the rows
// out) and SetPosition (one highlight pass), beside a memchr scan for the
// line feeds (the least any reader of the text must do) and a split of the
// text into one string per line (the least a reader that keeps the lines
// must do). Figures are CPU time, as the machine may be shared.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "zolfa/playback/LyricsModel.h"
#include "zolfa/playback/LyricsParser.h"

namespace {

constexpr int kLines = 200;

// 200 source lines in the service's form: type tags on all, a countdown
// marker on every tenth, and every third line 60 bytes of double-byte text
// so that it splits on a 240-pixel screen. The text is in code page 950
// bytes; "\xa4\xa4" is one character.
const std::string& Lyrics() {
  static const std::string text = [] {
    std::string out;
    for (int k = 0; k < kLines; ++k) {
      char span[48];
      std::snprintf(span, sizeof span, "[%02d:%02d-%02d:%02d]<type=%d>", k * 3 / 60, k * 3 % 60,
                    (k * 3 + 3) / 60, (k * 3 + 3) % 60, 1 + k % 3);
      out += span;
      if (k % 10 == 0) out += "<sec_st>";
      if (k % 3 == 0) {
        for (int c = 0; c < 30; ++c) out += "\xa4\xa4";
      } else {
        out += "Line of the song number " + std::to_string(k);
      }
      out += "\r\n";
    }
    return out;
  }();
  return text;
}

void SetLyrics(benchmark::State& state) {
  const std::string& text = Lyrics();
  zolfa::LyricsModel model;
  model.Resize(zolfa::kNarrowClientWidth, 268);
  for (auto _ : state) {
    model.SetLyrics(text, zolfa::kNarrowClientWidth);
    benchmark::DoNotOptimize(model.Lines().data());
  }
  if (model.Lines().size() < kLines) state.SkipWithError("too few rows");
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}

void SetPosition(benchmark::State& state) {
  zolfa::LyricsModel model;
  model.Resize(zolfa::kNarrowClientWidth, 268);
  model.SetLyrics(Lyrics(), zolfa::kNarrowClientWidth);
  int32_t now = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(model.SetPosition(now));
    model.FollowHighlight();
    now = (now + 1) % 600;
  }
}

void MemchrScan(benchmark::State& state) {
  const std::string& text = Lyrics();
  for (auto _ : state) {
    size_t count = 0;
    const char* end = text.data() + text.size();
    for (const char* p = text.data(); (p = static_cast<const char*>(std::memchr(p, '\n', end - p))); ++p) {
      ++count;
    }
    benchmark::DoNotOptimize(count);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}

void SplitLines(benchmark::State& state) {
  const std::string& text = Lyrics();
  for (auto _ : state) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
      size_t feed = text.find('\n', start);
      if (feed == std::string::npos) feed = text.size();
      lines.emplace_back(text, start, feed - start);
      start = feed + 1;
    }
    benchmark::DoNotOptimize(lines.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}

class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      if (run.error_occurred || run.iterations == 0) continue;
      ns_[run.benchmark_name()] = run.cpu_accumulated_time * 1e9 / static_cast<double>(run.iterations);
    }
  }

  void Finalize() override {
    ConsoleReporter::Finalize();
    const double set = ns_["SetLyrics"], scan = ns_["memchr"], split = ns_["split_lines"];
    std::printf("\n200 lines (%zu bytes): SetLyrics %.0f ns, memchr %.0f ns, split %.0f ns\n",
                Lyrics().size(), set, scan, split);
    std::printf("SetLyrics/memchr %.1f  SetLyrics/split %.2f  SetPosition %.0f ns (%.2f of split)\n",
                scan > 0 ? set / scan : 0, split > 0 ? set / split : 0, ns_["SetPosition"],
                split > 0 ? ns_["SetPosition"] / split : 0);
  }

 private:
  std::map<std::string, double> ns_;
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::RegisterBenchmark("SetLyrics", SetLyrics)->Unit(benchmark::kMicrosecond);
  benchmark::RegisterBenchmark("SetPosition", SetPosition)->Unit(benchmark::kMicrosecond);
  benchmark::RegisterBenchmark("memchr", MemchrScan)->Unit(benchmark::kMicrosecond);
  benchmark::RegisterBenchmark("split_lines", SplitLines)->Unit(benchmark::kMicrosecond);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return 0;
}
