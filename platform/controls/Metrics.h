// Sizes of the screen and of the parts controls draw, in pixels.
#pragma once

#include "platform/base/Types.h"

namespace ce {

constexpr int SM_CXSCREEN = 0;
constexpr int SM_CYSCREEN = 1;
constexpr int SM_CXVSCROLL = 2;
constexpr int SM_CYHSCROLL = 3;
constexpr int SM_CYCAPTION = 4;
constexpr int SM_CXBORDER = 5;
constexpr int SM_CYBORDER = 6;
constexpr int SM_CYVTHUMB = 9;
constexpr int SM_CXHTHUMB = 10;
constexpr int SM_CXICON = 11;
constexpr int SM_CYICON = 12;
constexpr int SM_CYMENU = 15;
constexpr int SM_CXSMICON = 49;
constexpr int SM_CYSMICON = 50;

// The width of a vertical scroll bar (and height of a horizontal one).
constexpr int kScrollBarSize = 13;

// 0 for an unknown index.
int GetSystemMetrics(int index);

}  // namespace ce
