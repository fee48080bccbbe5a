// A window on the test thread that stands in for the import dialog: it
// records every MSG_IMPORT_DONE, copying the text while it is valid.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/testing/WindowTesting.h"
#include "platform/window/Message.h"
#include "platform/window/Window.h"
#include "tests/support/Wait.h"
#include "zolfa/library/ImportMessages.h"

namespace test_support {

class ImportReceiver {
 public:
  struct Delivery {
    uint32_t id;
    std::u16string text;
  };

  ImportReceiver() {
    ce::WNDCLASS wndClass;
    wndClass.lpfnWndProc = &Proc;
    wndClass.lpszClassName = u"ImportReceiver";
    ce::RegisterClass(&wndClass);  // a second registration fails harmlessly
    window_ = ce::CreateWindowEx(0, u"ImportReceiver", u"", 0, 0, 0, 10, 10, nullptr, nullptr,
                                 nullptr, nullptr);
    ce::SetWindowLongPtr(window_, ce::GWLP_USERDATA, reinterpret_cast<ce::LONG_PTR>(this));
  }
  ~ImportReceiver() { Destroy(); }

  ce::HWND Window() const { return window_; }
  void Destroy() {
    if (window_ != nullptr) ce::DestroyWindow(window_);
  }

  // Handles messages until count deliveries arrived (false when the wait's
  // limit passed first).
  bool WaitFor(size_t count, int limitMs = kWaitLimitMs) {
    return ce::testing::PumpUntil([&] { return deliveries.size() >= count; }, limitMs);
  }

  std::vector<Delivery> deliveries;

 private:
  static ce::LRESULT Proc(ce::HWND window, ce::UINT message, ce::WPARAM wParam, ce::LPARAM lParam) {
    if (message == zolfa::MSG_IMPORT_DONE) {
      auto* self =
          reinterpret_cast<ImportReceiver*>(ce::GetWindowLongPtr(window, ce::GWLP_USERDATA));
      if (self != nullptr) {
        self->deliveries.push_back(
            {static_cast<uint32_t>(wParam), reinterpret_cast<const char16_t*>(lParam)});
      }
      return 0;
    }
    return ce::DefWindowProc(window, message, wParam, lParam);
  }

  ce::HWND window_ = nullptr;
};

}  // namespace test_support
