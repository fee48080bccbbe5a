// HttpGet against a local server, for run.sh.
//
//   http_bench serve
//       Serves "/bench/blob?bytes=N" (byte i is i mod 251) and
//       "/bench/text?bytes=N" (ASCII text, no zero byte) on 127.0.0.1 at a
//       free port, prints "listening on 127.0.0.1:PORT" and runs until
//       killed. Bodies are produced as they are sent.
//   http_bench get PORT PATH raw|text
//       One HttpGet of PATH from "bench.zolfa.test" port 80, mapped to
//       127.0.0.1:PORT by the host table of a temporary device root, the
//       body kept raw or decoded as text (code page 0), after one small
//       warm-up request. Prints the time of the call, the body length and
//       the memory the process used for it.
#include <httplib.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/base/DeviceRoot.h"
#include "zolfa/service/HttpGet.h"

namespace {

constexpr size_t kPieceBytes = 64 * 1024;

char BlobByte(size_t offset) { return static_cast<char>(offset % 251); }
char TextByte(size_t offset) { return offset % 64 == 63 ? '\n' : static_cast<char>('a' + offset % 26); }

void Generate(const httplib::Request& request, httplib::Response& response, char (*byteAt)(size_t)) {
  size_t total = std::strtoull(request.get_param_value("bytes").c_str(), nullptr, 10);
  response.set_content_provider(total, "application/octet-stream",
                                [byteAt](size_t offset, size_t length, httplib::DataSink& sink) {
                                  std::string piece(std::min(length, kPieceBytes), '\0');
                                  for (size_t i = 0; i < piece.size(); ++i)
                                    piece[i] = byteAt(offset + i);
                                  return sink.write(piece.data(), piece.size());
                                });
}

int Serve() {
  httplib::Server server;
  server.Get("/bench/blob", [](const httplib::Request& request, httplib::Response& response) {
    Generate(request, response, BlobByte);
  });
  server.Get("/bench/text", [](const httplib::Request& request, httplib::Response& response) {
    Generate(request, response, TextByte);
  });
  int port = server.bind_to_any_port("127.0.0.1");
  std::printf("listening on 127.0.0.1:%d\n", port);
  std::fflush(stdout);
  return server.listen_after_bind() ? 0 : 1;
}

// A field of /proc/self/status in KiB ("VmRSS", "VmHWM").
long StatusKb(const char* field) {
  std::ifstream status("/proc/self/status");
  std::string line;
  std::string prefix = std::string(field) + ":";
  while (std::getline(status, line))
    if (line.rfind(prefix, 0) == 0) return std::atol(line.c_str() + prefix.size());
  return -1;
}

int Get(const std::string& port, const std::string& path, bool toText) {
  std::string pattern = (std::filesystem::temp_directory_path() / "ce-bench-XXXXXX").string();
  if (!mkdtemp(pattern.data())) return 1;
  std::filesystem::path root = pattern;
  std::string error;
  if (!ce::OpenDeviceRoot(root, &error)) {
    std::fprintf(stderr, "http_bench: %s\n", error.c_str());
    return 1;
  }
  std::ofstream(root / "hosts") << "bench.zolfa.test:80 127.0.0.1:" << port << "\n";
  std::u16string widePath(path.begin(), path.end());
  // A first small request opens the registry hive and initialises the HTTP
  // library, as they are in a program that runs; the measured call is the
  // second one.
  void* warm = nullptr;
  uint32_t warmLength = 0;
  zolfa::HttpGet(u"ZOLFA (bench)", u"bench.zolfa.test", u"/bench/blob?bytes=1", 80, nullptr, nullptr,
                 false, 0, &warm, &warmLength);
  zolfa::HttpFreeBody(warm);
  long rssBefore = StatusKb("VmRSS");
  auto start = std::chrono::steady_clock::now();
  void* body = nullptr;
  uint32_t length = 0;
  int32_t result = zolfa::HttpGet(u"ZOLFA (bench)", u"bench.zolfa.test", widePath, 80, nullptr,
                                  nullptr, toText, 0, &body, &length);
  double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
  long peak = StatusKb("VmHWM");
  zolfa::HttpFreeBody(body);
  ce::CloseDeviceRoot();
  std::filesystem::remove_all(root);
  std::printf("result=%d length=%u call_ms=%.1f rss_before_kb=%ld peak_kb=%ld\n", result, length, ms,
              rssBefore, peak);
  return result == 200 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  std::string mode = argc > 1 ? argv[1] : "";
  if (mode == "serve" && argc == 2) return Serve();
  if (mode == "get" && argc == 5) return Get(argv[2], argv[3], std::string(argv[4]) == "text");
  std::fprintf(stderr, "usage: http_bench serve | http_bench get PORT PATH raw|text\n");
  return 2;
}
