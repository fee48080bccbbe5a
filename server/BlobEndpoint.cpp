#include "server/BlobEndpoint.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <string>

namespace zolfa_server {

namespace {

// 64 periods of the data, so that a piece of a body is a few memcpy calls.
constexpr size_t kPeriod = 251;
constexpr size_t kPatternSize = kPeriod * 64;

const std::array<char, kPatternSize>& Pattern() {
  static const std::array<char, kPatternSize> pattern = [] {
    std::array<char, kPatternSize> bytes{};
    for (size_t i = 0; i < kPatternSize; ++i) bytes[i] = BlobEndpoint::ByteAt(i);
    return bytes;
  }();
  return pattern;
}

void Fill(size_t offset, char* out, size_t count) {
  const auto& pattern = Pattern();
  while (count > 0) {
    size_t start = offset % kPeriod;
    size_t piece = std::min(count, kPatternSize - start);
    std::memcpy(out, pattern.data() + start, piece);
    out += piece;
    offset += piece;
    count -= piece;
  }
}

}  // namespace

ServiceReply BlobEndpoint::Handle(const ServiceRequest& request) {
  std::string text = request.query.Get("bytes").value_or("");
  if (text.empty() || text.size() > 10 || text.find_first_not_of("0123456789") != std::string::npos ||
      std::stoull(text) > kMaxBytes) {
    return ServiceReply::Text(400, "bytes must be 0 to " + std::to_string(kMaxBytes) + "\n");
  }
  std::string chunked = request.query.Get("chunked").value_or("0");
  if (chunked != "0" && chunked != "1") return ServiceReply::Text(400, "chunked must be 0 or 1\n");
  ServiceReply reply;
  reply.contentType = "application/octet-stream";
  reply.generatedLength = static_cast<size_t>(std::stoull(text));
  reply.generator = Fill;
  reply.chunked = chunked == "1";
  return reply;
}

}  // namespace zolfa_server
