// Where the browse workers hand their results: the core controller posts
// them to the browse screen. Both operations are called on worker threads
// and never block.
#pragma once

#include <cstdint>
#include <string_view>

namespace zolfa {

class IBrowsePoster {
 public:
  virtual ~IBrowsePoster() = default;

  // One item of the answer of request requestId. The strings are only valid
  // during the call; the poster copies them.
  virtual void PostBrowseItem(int32_t requestId, std::u16string_view title,
                              std::u16string_view link, std::u16string_view category) = 0;
  // The answer of requestId is complete, or the request failed.
  virtual void PostBrowseEnd(int32_t requestId) = 0;
};

}  // namespace zolfa
