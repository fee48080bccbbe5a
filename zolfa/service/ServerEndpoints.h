// The servers a login or check answer hands out.
#pragma once

#include <cstdint>
#include <string>

namespace zolfa {

// Host names hold at most kMaxHostLength characters (TextLimits.h). All are
// empty and all ports 0 until the first accepted answer; an answer that
// lacks an element leaves its field as it was.
struct ServerEndpoints {
  std::u16string ds;  // data server: browse lists and album photos
  int32_t dsPort = 0;
  std::u16string cs;   // stream server: tickets, streams, lyrics (always port 80)
  int32_t csPort = 0;  // stored only
  std::u16string us;   // stored only
  int32_t usPort = 0;
  std::u16string ps;  // stored only
  int32_t psPort = 0;
  std::u16string is;  // backup server
  int32_t isPort = 0;
  std::u16string ss;  // session server: session checks
  int32_t ssPort = 0;
};

}  // namespace zolfa
