#include "platform/host/DeviceInput.h"

#include "platform/host/Keypad.h"
#include "platform/shell/Shell.h"
#include "platform/window/Focus.h"
#include "platform/window/Message.h"

namespace ce {

namespace {

constexpr WPARAM kMkLButton = 0x0001;
// lParam bits of key messages: repeat count 1, previous state, transition.
constexpr LPARAM kKeyRepeatOne = 1;
constexpr LPARAM kKeyWasDown = LPARAM{1} << 30;
constexpr LPARAM kKeyReleased = LPARAM{1} << 31;

HWND KeyTarget() {
  HWND focus = GetFocus();
  return focus != nullptr ? focus : GetActiveWindow();
}

LPARAM PointParam(POINT point) {
  return MAKELPARAM(static_cast<WORD>(static_cast<int16_t>(point.x)),
                    static_cast<WORD>(static_cast<int16_t>(point.y)));
}

}  // namespace

void DeviceInput::PostMouse(UINT message, POINT point) {
  HWND target = GetCapture();
  if (target == nullptr) target = WindowFromPoint(point);
  if (target == nullptr) return;
  POINT client = point;
  ScreenToClient(target, &client);
  WPARAM buttons = message == WM_LBUTTONUP ? 0 : kMkLButton;
  PostMessage(target, message, buttons, PointParam(client));
}

void DeviceInput::StylusDown(POINT point) {
  stylusDown_ = true;
  PostMouse(WM_LBUTTONDOWN, point);
}

void DeviceInput::StylusMove(POINT point) {
  if (stylusDown_) PostMouse(WM_MOUSEMOVE, point);
}

void DeviceInput::StylusUp(POINT point) {
  if (!stylusDown_) return;
  stylusDown_ = false;
  PostMouse(WM_LBUTTONUP, point);
}

void DeviceInput::KeyDown(UINT virtualKey, bool repeat) {
  int soft = SoftKeyIndex(virtualKey);
  if (soft >= 0 && !softKeyPosted_[soft]) {
    if (repeat || PressSoftKey(soft)) return;
    softKeyPosted_[soft] = true;
  }
  HWND target = KeyTarget();
  if (target == nullptr) return;
  PostMessage(target, WM_KEYDOWN, virtualKey, kKeyRepeatOne | (repeat ? kKeyWasDown : 0));
}

void DeviceInput::KeyUp(UINT virtualKey) {
  int soft = SoftKeyIndex(virtualKey);
  if (soft >= 0) {
    if (!softKeyPosted_[soft]) return;
    softKeyPosted_[soft] = false;
  }
  HWND target = KeyTarget();
  if (target == nullptr) return;
  PostMessage(target, WM_KEYUP, virtualKey, kKeyRepeatOne | kKeyWasDown | kKeyReleased);
}

void DeviceInput::Type(std::u16string_view text) {
  HWND target = KeyTarget();
  if (target == nullptr) return;
  for (char16_t c : text) PostMessage(target, WM_CHAR, c, kKeyRepeatOne);
}

}  // namespace ce
