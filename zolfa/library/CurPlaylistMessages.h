// Messages posted to the current-playlist screen.
#pragma once

#include "platform/window/Message.h"

namespace zolfa {

// The album cover found by a request worker, handed to the screen's thread
// (the playlist and its panel are touched there only). wParam 0. lParam: a
// std::u16string* allocated with new, the cover source (empty: no cover);
// the receiver owns it and deletes it.
constexpr ce::UINT MSG_ALBUM_COVER = ce::WM_APP + 0x101;

}  // namespace zolfa
