// The handset's keypad: the keys a script names and the keys of the host's
// keyboard that stand for them.
//
//   digits 0-9       the keyboard's digits (and the number pad's)
//   star, pound      * and # (shift+8, shift+3, the number pad's * and /)
//   up down left right  the arrow keys
//   action           the centre of the navigation pad (key 134): space
//   enter            Enter
//   back             Backspace
//   soft1, soft2     the left and right soft keys: F1, F2
//   escape           Escape
#pragma once

#include <optional>
#include <string_view>

#include "platform/base/Types.h"
#include "platform/window/Keys.h"

namespace ce {

// The action key of the navigation pad.
constexpr UINT kVkAction = VK_ACTION;

// The virtual key of a key name (case-insensitive); nothing for an unknown
// name.
std::optional<UINT> KeypadKeyByName(std::string_view name);

// Which soft key a virtual key is (0 left, 1 right), or -1.
int SoftKeyIndex(UINT virtualKey);

}  // namespace ce
