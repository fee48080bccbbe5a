// md5_bench FILE: the digest of FILE with CMD5Checksum, read in 64 KiB
// pieces as md5sum reads; prints "DIGEST  FILE" like md5sum, and the time
// spent hashing on standard error.
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/base/CodePage.h"
#include "zolfa/service/CMD5Checksum.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: md5_bench FILE\n");
    return 2;
  }
  FILE* file = std::fopen(argv[1], "rb");
  if (!file) {
    std::perror(argv[1]);
    return 1;
  }
  std::vector<char> buffer(64 * 1024);
  zolfa::CMD5Checksum checksum;
  auto start = std::chrono::steady_clock::now();
  size_t total = 0;
  while (size_t n = std::fread(buffer.data(), 1, buffer.size(), file)) {
    checksum.Feed(buffer.data(), n);
    total += n;
  }
  std::u16string digest = checksum.Finish();
  double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::fclose(file);
  std::printf("%s  %s\n", ce::ToUtf8(digest).c_str(), argv[1]);
  std::fprintf(stderr, "%zu bytes in %.3f s: %.0f MiB/s\n", total, seconds,
               static_cast<double>(total) / (1 << 20) / seconds);
  return 0;
}
