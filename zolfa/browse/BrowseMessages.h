// Messages the browse workers post to the browse screen. The numbers are
// fixed.
#pragma once

#include "platform/base/Types.h"

namespace zolfa {

// One item of a browse answer. wParam: the request identifier. lParam: a
// zolfa::FeedItem* allocated with new; the receiver owns it and deletes it.
constexpr ce::UINT MSG_BROWSE_ITEM = 13363;  // 0x3433
// The answer of the request in wParam has been delivered completely, or the
// request failed. lParam 0.
constexpr ce::UINT MSG_BROWSE_END = 13364;  // 0x3434

}  // namespace zolfa
