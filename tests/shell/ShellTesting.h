// Helpers of the shell tests: menus of the program's resources, a window
// that records what reaches it, and the shell started for a test.
#pragma once

#include <gtest/gtest.h>

#include <mutex>
#include <vector>

#include "platform/controls/CommonControls.h"
#include "platform/controls/Menus.h"
#include "platform/controls/Resources.h"
#include "platform/controls/VisibleControls.h"
#include "platform/gdi/Surface.h"
#include "platform/shell/Shell.h"
#include "platform/testing/TestSupport.h"
#include "platform/testing/WindowTesting.h"
#include "platform/window/Focus.h"
#include "platform/window/Paint.h"

namespace ce::testing {

// Menu resources: two popups; one popup; a command and a popup.
constexpr UINT kTwoPopups = 500;
constexpr UINT kOnePopup = 501;
constexpr UINT kCommandAndPopup = 502;
constexpr UINT kThreeEntries = 503;  // popup, command, popup
constexpr UINT kAddToLibrary = 32850;
constexpr UINT kPlayAlbum = 32795;
constexpr UINT kAppendAlbum = 32857;
constexpr UINT kToPlaylist = 32829;
constexpr UINT kAbout = 32845;
constexpr UINT kDone = 40001;

inline MenuItemTemplate Popup(std::u16string text, std::vector<MenuItemTemplate> items) {
  return MenuItemTemplate{MF_POPUP, 0, std::move(text), std::move(items)};
}
inline MenuItemTemplate Item(UINT id, std::u16string text, UINT flags = 0) {
  return MenuItemTemplate{flags, id, std::move(text), {}};
}

inline void RegisterShellTestMenus() {
  static std::once_flag once;
  std::call_once(once, [] {
    RegisterResources(u"", [](ResourceSet& set) {
      MenuItemTemplate play = Popup(u"播放", {Item(kPlayAlbum, u"播放專輯"), Item(kAppendAlbum, u"附加專輯到播放清單")});
      MenuItemTemplate menu = Popup(u"功能表", {Item(kToPlaylist, u"切換到播放清單"),
                                                Item(0, u"", MF_SEPARATOR),
                                                Item(kAbout, u"關於", MF_GRAYED)});
      set.AddMenu(kTwoPopups, MenuTemplate{{play, menu}});
      set.AddMenu(kOnePopup, MenuTemplate{{menu}});
      set.AddMenu(kCommandAndPopup, MenuTemplate{{Item(kDone, u"完成"), menu}});
      set.AddMenu(kThreeEntries, MenuTemplate{{play, Item(kAddToLibrary, u"加入"), menu}});
    });
  });
}

// A top-level window that keeps the commands and setting changes it gets.
class RecordingWindow {
 public:
  explicit RecordingWindow(LPCWSTR title = u"Program")
      : window_([this](HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) -> LRESULT {
          if (message == WM_COMMAND) commands.push_back(LOWORD(wParam));
          if (message == WM_INITMENUPOPUP) ++menuInits;
          if (message == WM_SETTINGCHANGE) settingChanges.push_back(wParam);
          return DefWindowProc(hwnd, message, wParam, lParam);
        }, nullptr, WS_POPUP, title) {}
  HWND Handle() const { return window_.Handle(); }
  operator HWND() const { return window_.Handle(); }

  std::vector<UINT> commands;
  std::vector<WPARAM> settingChanges;
  int menuInits = 0;

 private:
  TestWindow window_;
};

// A fresh device, the test menus and the shell's bars for one test.
class ShellTest : public ::testing::Test {
 protected:
  void SetUp() override {
    RegisterShellTestMenus();
    ASSERT_TRUE(StartShell());
  }
  void TearDown() override {
    SetModalHook(nullptr);
    StopShell();
    PumpUntilIdle();
  }

  TempDeviceRoot root_;
};

// The texts drawn on a window's surface.
inline std::vector<std::u16string> DrawnTexts(HWND window) {
  UpdateWindow(window);
  std::vector<std::u16string> texts;
  auto surface = GetWindowSurface(window);
  if (surface == nullptr) return texts;
  for (const TextRecord& record : surface->TextRecords()) texts.push_back(record.text);
  return texts;
}

}  // namespace ce::testing
