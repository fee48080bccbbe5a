// What the core controller asks of the top-level dialog.
#pragma once

#include <cstdint>

#include "platform/base/Types.h"

namespace zolfa {

// The screens of the top-level dialog.
constexpr int32_t kScreenLogin = 0;
constexpr int32_t kScreenNone = 1;  // both screens hidden
constexpr int32_t kScreenMain = 2;

class ITopDialog {
 public:
  virtual ~ITopDialog() = default;

  // Shows the login screen (kScreenLogin), nothing (kScreenNone) or the main
  // screen on its current tab (kScreenMain).
  virtual void ShowScreen(int32_t screen) = 0;
  // The dialog's window, the receiver of TopDialogMessages.h.
  virtual ce::HWND Window() const = 0;
};

}  // namespace zolfa
