// The exchanges of the playback workers: a GET whose body comes back as
// UTF-16 text decoded from the device's ANSI code page (tickets, lyrics) or
// as the bytes received (album photos). Workers use HttpGet; tests put a
// scripted transport in its place.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>

namespace zolfa {

struct PlaybackFetch {
  std::u16string agent;
  std::u16string host;
  std::u16string path;  // path and query as sent
  uint32_t port = 80;
  // Either may be null; non-zero means stop.
  const std::atomic<int32_t>* cancelA = nullptr;
  const std::atomic<int32_t>* cancelB = nullptr;
  bool binary = false;  // true: bytes; false: text
};

struct PlaybackReply {
  int32_t result = -1;  // 200, another HTTP status, -1 cancelled, or a transport failure
  std::u16string text;  // the decoded body on 200 (text fetches)
  std::string bytes;    // the body on 200 (binary fetches)
};

using PlaybackTransport = std::function<PlaybackReply(const PlaybackFetch&)>;

// The real transport: HttpGet.
PlaybackReply HttpGetPlayback(const PlaybackFetch& fetch);

}  // namespace zolfa
