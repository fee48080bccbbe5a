// The one exchange a browse worker makes: a GET to the data server whose
// body comes back as UTF-16 text decoded with the code page of the request
// kind. Workers use HttpGet; tests put a scripted transport in its place.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>

#include "zolfa/service/ServiceTransport.h"

namespace zolfa {

struct BrowseFetch {
  std::u16string agent;  // "Zolfa_Browse"
  std::u16string host;
  std::u16string path;  // path and query as sent
  uint32_t port = 80;
  // The slot's cancelled flag and the service manager's abort flag; either
  // may be null. Non-zero means stop.
  const std::atomic<int32_t>* cancelA = nullptr;
  const std::atomic<int32_t>* cancelB = nullptr;
  uint32_t codePage = 0;  // 0: the device's ANSI code page; 65001: UTF-8
};

using BrowseTransport = std::function<ServiceReply(const BrowseFetch&)>;

// The real transport: HttpGet with text decoding in the fetch's code page.
ServiceReply HttpGetBrowse(const BrowseFetch& fetch);

}  // namespace zolfa
