// A working screen of the main screen: a child dialog shown as one of its
// three tabs. The main screen tells it when it becomes the tab shown and when
// it stops being it; a screen that carries the player hands out its window,
// the receiver of the media player's events.
#pragma once

#include "platform/framework/Dialog.h"

class CTabScreen : public ce::Dialog {
 public:
  explicit CTabScreen(ce::UINT templateId, ce::Window* parent = nullptr) : Dialog(templateId, parent) {}

  virtual void SetActive(bool active) { active_ = active; }
  bool Active() const { return active_; }
  // The player screen's window when this screen carries one; null otherwise.
  virtual ce::HWND PlayerWindow() const { return nullptr; }

 private:
  bool active_ = false;
};
