// Messages of the media player host. The numbers are fixed.
#pragma once

#include "platform/base/Types.h"

namespace zolfa {

// Posted by the event sink to the application's main window (the top
// dialog), which posts them on unchanged to the player screen.
// wParam: the control's new open state; lParam 0.
constexpr ce::UINT MSG_MEDIA_OPEN_STATE_CHANGE = 5001;
// wParam: the control's new play state; lParam 0.
constexpr ce::UINT MSG_MEDIA_PLAY_STATE_CHANGE = 5101;
// wParam: the old position, lParam: the new position, whole seconds.
constexpr ce::UINT MSG_MEDIA_POSITION_CHANGE = 5202;

// Posted by the host to the player screen at each position poll: wParam
// the position, lParam the duration, whole seconds.
constexpr ce::UINT MSG_PLAYER_POSITION = 13346;  // 0x3422

}  // namespace zolfa
