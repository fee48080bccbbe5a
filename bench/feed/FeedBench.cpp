// ParseListAnswer against two baselines over the same answer bytes: pugixml
// parsing them into a DOM, and a memchr scan that counts "<" bytes (the
// least any reader of the text must do). Two answer forms: catalogue genre
// elements, and topic elements with escaped tags only, where every element
// looks for the plain topic tags further on in the answer and finds none. The printed table gives nanoseconds per element, the ratios,
// and the growth from 1 000 elements (1.0 is linear), all from CPU time, as
// the machine may be shared with other work.
#include <benchmark/benchmark.h>

#include <cstring>
#include <iostream>
#include <map>
#include <pugixml.hpp>
#include <string>
#include <vector>

#include "zolfa/browse/BrowseKind.h"
#include "zolfa/browse/ListAnswer.h"

namespace {

constexpr int kSizes[] = {1000, 10000, 100000};

std::u16string Number(int n) {
  std::string digits = std::to_string(n);
  return std::u16string(digits.begin(), digits.end());
}

std::u16string CatalogueAnswer(int elements) {
  std::u16string answer = u"<?xml version=\"1.0\"?>\r\n<root><status>200</status>\r\n";
  for (int i = 0; i < elements; ++i) {
    answer += u"<genre><text>流行音樂 ";
    answer += Number(i);
    answer += u"</text><id>";
    answer += Number(100000 + i);
    answer += u"</id></genre>\r\n";
  }
  answer += u"</root>\r\n";
  return answer;
}

std::u16string TopicAnswer(int elements) {
  std::u16string answer = u"<?xml version=\"1.0\"?>\r\n<Items>\r\n";
  for (int i = 0; i < elements; ++i) {
    answer += u"<Item>&lt;ItemType&gt;track&lt;/ItemType&gt;&lt;ItemName&gt;歌 ";
    answer += Number(i);
    answer += u"&lt;/ItemName&gt;&lt;ItemID&gt;";
    answer += Number(i);
    answer += u"&lt;/ItemID&gt;</Item>\r\n";
  }
  answer += u"</Items>\r\n";
  return answer;
}

std::string Utf8(std::u16string_view text) {
  std::string out;
  for (char16_t c : text) {  // the answers hold no surrogates
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else if (c < 0x800) {
      out += static_cast<char>(0xC0 | (c >> 6));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
      out += static_cast<char>(0xE0 | (c >> 12));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return out;
}

struct Answer {
  std::u16string text;  // what ParseListAnswer reads; its bytes are the UTF-16LE input of the baselines
  std::string utf8;     // the same document in pugixml's own encoding
};

const Answer& AnswerOf(const std::string& form, int elements) {
  static std::map<std::pair<std::string, int>, Answer> answers;
  auto key = std::make_pair(form, elements);
  auto it = answers.find(key);
  if (it == answers.end()) {
    Answer answer;
    answer.text = form == "catalogue" ? CatalogueAnswer(elements) : TopicAnswer(elements);
    answer.utf8 = Utf8(answer.text);
    it = answers.emplace(key, std::move(answer)).first;
  }
  return it->second;
}

void SetCounters(benchmark::State& state, size_t bytes, int elements) {
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
  state.SetItemsProcessed(state.iterations() * elements);
}

void ParseAnswer(benchmark::State& state, const std::string& form, int32_t kind, int elements) {
  const Answer& answer = AnswerOf(form, elements);
  size_t items = 0;
  for (auto _ : state) {
    size_t count = 0;
    items = zolfa::ParseListAnswer(answer.text, kind, [&](zolfa::FeedItem item) {
      count += item.title.size();
      benchmark::DoNotOptimize(item);
    });
    benchmark::DoNotOptimize(count);
  }
  if (items != static_cast<size_t>(elements)) state.SkipWithError("wrong item count");
  SetCounters(state, answer.text.size() * 2, elements);
}

void PugiDom(benchmark::State& state, const std::string& form, int elements, bool utf16) {
  const Answer& answer = AnswerOf(form, elements);
  const void* data = utf16 ? static_cast<const void*>(answer.text.data()) : answer.utf8.data();
  size_t bytes = utf16 ? answer.text.size() * 2 : answer.utf8.size();
  for (auto _ : state) {
    pugi::xml_document doc;
    pugi::xml_parse_result result =
        doc.load_buffer(data, bytes, pugi::parse_default, utf16 ? pugi::encoding_utf16_le : pugi::encoding_utf8);
    if (!result) state.SkipWithError(result.description());
    benchmark::DoNotOptimize(doc.first_child());
  }
  SetCounters(state, bytes, elements);
}

void MemchrScan(benchmark::State& state, const std::string& form, int elements) {
  const Answer& answer = AnswerOf(form, elements);
  const char* data = reinterpret_cast<const char*>(answer.text.data());
  const size_t bytes = answer.text.size() * 2;
  for (auto _ : state) {
    size_t count = 0;
    for (const char* p = data; (p = static_cast<const char*>(std::memchr(p, '<', data + bytes - p))); ++p) {
      ++count;
    }
    benchmark::DoNotOptimize(count);
  }
  SetCounters(state, bytes, elements);
}

// Prints the usual console lines, then the table of ratios.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      if (run.error_occurred || run.iterations == 0) continue;
      seconds_[run.benchmark_name()] = run.cpu_accumulated_time / static_cast<double>(run.iterations);
    }
  }

  void Finalize() override {
    ConsoleReporter::Finalize();
    for (const char* form : {"catalogue", "topic"}) {
      std::printf("\n%s answers: ns per element (growth from 1000 elements; 1.00 is linear)\n", form);
      std::printf("%9s %20s %20s %20s %20s %14s %14s %14s\n", "elements", "ParseListAnswer", "pugixml UTF-16",
                  "pugixml UTF-8", "memchr", "parse/memchr", "parse/pugi16", "parse/pugi8");
      for (int n : kSizes) {
        double parse = PerElement("ParseListAnswer", form, n);
        double pugi16 = PerElement("pugixml_utf16", form, n);
        double pugi8 = PerElement("pugixml_utf8", form, n);
        double scan = PerElement("memchr", form, n);
        std::printf("%9d %20s %20s %20s %20s %14.2f %14.2f %14.2f\n", n, Cell(parse, "ParseListAnswer", form).c_str(),
                    Cell(pugi16, "pugixml_utf16", form).c_str(), Cell(pugi8, "pugixml_utf8", form).c_str(),
                    Cell(scan, "memchr", form).c_str(), parse / scan, parse / pugi16, parse / pugi8);
      }
    }
  }

 private:
  double PerElement(const std::string& what, const std::string& form, int n) {
    auto it = seconds_.find(what + "/" + form + "/" + std::to_string(n));
    return it == seconds_.end() ? 0 : it->second * 1e9 / n;
  }
  std::string Cell(double perElement, const std::string& what, const std::string& form) {
    double first = PerElement(what, form, kSizes[0]);
    char text[64];
    std::snprintf(text, sizeof(text), "%.1f (x%.2f)", perElement, first > 0 ? perElement / first : 0.0);
    return text;
  }

  std::map<std::string, double> seconds_;
};

}  // namespace

int main(int argc, char** argv) {
  const std::pair<std::string, int32_t> forms[] = {{"catalogue", zolfa::kBrowseGenreList},
                                                   {"topic", zolfa::kBrowseTopicPage}};
  for (const auto& [form, kind] : forms) {
    for (int n : kSizes) {
      std::string suffix = "/" + form + "/" + std::to_string(n);
      benchmark::RegisterBenchmark(("ParseListAnswer" + suffix).c_str(), ParseAnswer, form, kind, n)
          ->Unit(benchmark::kMicrosecond);
      benchmark::RegisterBenchmark(("pugixml_utf16" + suffix).c_str(), PugiDom, form, n, true)
          ->Unit(benchmark::kMicrosecond);
      benchmark::RegisterBenchmark(("pugixml_utf8" + suffix).c_str(), PugiDom, form, n, false)
          ->Unit(benchmark::kMicrosecond);
      benchmark::RegisterBenchmark(("memchr" + suffix).c_str(), MemchrScan, form, n)->Unit(benchmark::kMicrosecond);
    }
  }
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return 0;
}
