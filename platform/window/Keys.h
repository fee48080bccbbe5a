// Virtual key codes of the keypad and keyboard.
#pragma once

#include "platform/base/Types.h"

namespace ce {

constexpr UINT VK_LBUTTON = 0x01;
constexpr UINT VK_BACK = 0x08;
constexpr UINT VK_TAB = 0x09;
constexpr UINT VK_RETURN = 0x0D;
constexpr UINT VK_SHIFT = 0x10;
constexpr UINT VK_CONTROL = 0x11;
constexpr UINT VK_MENU = 0x12;
constexpr UINT VK_ESCAPE = 0x1B;
constexpr UINT VK_SPACE = 0x20;
constexpr UINT VK_PRIOR = 0x21;
constexpr UINT VK_NEXT = 0x22;
constexpr UINT VK_END = 0x23;
constexpr UINT VK_HOME = 0x24;
constexpr UINT VK_LEFT = 0x25;
constexpr UINT VK_UP = 0x26;
constexpr UINT VK_RIGHT = 0x27;
constexpr UINT VK_DOWN = 0x28;
constexpr UINT VK_DELETE = 0x2E;
// '0'..'9' and 'A'..'Z' are their own codes.
constexpr UINT VK_NUMPAD0 = 0x60;
constexpr UINT VK_NUMPAD9 = 0x69;
constexpr UINT VK_MULTIPLY = 0x6A;
constexpr UINT VK_ADD = 0x6B;
constexpr UINT VK_SUBTRACT = 0x6D;
constexpr UINT VK_DECIMAL = 0x6E;
constexpr UINT VK_DIVIDE = 0x6F;
constexpr UINT VK_F1 = 0x70;
constexpr UINT VK_F2 = 0x71;
constexpr UINT VK_F3 = 0x72;
constexpr UINT VK_F4 = 0x73;
constexpr UINT VK_F8 = 0x77;
constexpr UINT VK_F9 = 0x78;
constexpr UINT VK_PROCESSKEY = 0xE5;

// Phone keypad names.
constexpr UINT VK_TSOFT1 = VK_F1;
constexpr UINT VK_TSOFT2 = VK_F2;
constexpr UINT VK_TTALK = VK_F3;
constexpr UINT VK_TEND = VK_F4;
constexpr UINT VK_TSTAR = VK_F8;   // types '*'
constexpr UINT VK_TPOUND = VK_F9;  // types '#'
constexpr UINT VK_TUP = VK_UP;
constexpr UINT VK_TDOWN = VK_DOWN;
constexpr UINT VK_TLEFT = VK_LEFT;
constexpr UINT VK_TRIGHT = VK_RIGHT;
constexpr UINT VK_TACTION = VK_RETURN;  // the keypad's Enter
constexpr UINT VK_ACTION = 0x86;         // the centre of the navigation pad (134)
constexpr UINT VK_TBACK = VK_ESCAPE;

}  // namespace ce
