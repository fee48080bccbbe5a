// The texts a screen dump lists: what the frame draws, and the captions of
// controls that draw none of their own.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/controls/CommonControls.h"
#include "platform/controls/Edit.h"
#include "platform/controls/Static.h"
#include "platform/host/DeviceScreen.h"
#include "platform/testing/TestSupport.h"
#include "platform/testing/WindowTesting.h"

namespace ce::testing {
namespace {

LRESULT Plain(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProc(window, message, wParam, lParam);
}

HWND MakeControl(LPCWSTR className, LPCWSTR text, DWORD style, RECT rect, HWND parent, int id) {
  return CreateWindowEx(0, className, text, WS_CHILD | WS_VISIBLE | style, rect.left, rect.top,
                        rect.right - rect.left, rect.bottom - rect.top, parent,
                        reinterpret_cast<HMENU>(static_cast<uintptr_t>(id)), nullptr, nullptr);
}

TEST(DeviceScreenTest, EachTextOnTheScreenIsListedOnce) {
  TempDeviceRoot root;
  InitCommonControls();
  std::unique_ptr<DeviceScreen> screen = DeviceScreen::Open(true, nullptr);
  TestWindow top(Plain, nullptr, WS_POPUP | WS_VISIBLE);
  MoveWindow(top, 0, 0, 240, 200, FALSE);
  // A field of two lines draws each line; its caption holds both.
  MakeControl(WC_EDIT, u"line1\r\nline2", ES_MULTILINE, RECT{4, 4, 124, 44}, top, 1);
  // A selection splits the drawn text in two.
  HWND pieces = MakeControl(WC_EDIT, u"可編XY字", ES_NOHIDESEL, RECT{4, 50, 124, 66}, top, 2);
  SendMessage(pieces, EM_SETSEL, 4, 5);
  // A panel that draws nothing but holds a label that draws its caption.
  TestWindow panel(Plain, top, WS_VISIBLE, u"Panel");
  MoveWindow(panel, 4, 80, 200, 40, FALSE);
  MakeControl(WC_STATIC, u"Label", SS_LEFT, RECT{4, 4, 84, 16}, panel, 3);

  std::vector<std::u16string> texts;
  for (const TextRecord& text : screen->VisibleTexts()) texts.push_back(text.text);
  EXPECT_EQ(texts, (std::vector<std::u16string>{u"line1", u"line2", u"可編XY", u"字", u"Panel", u"Label"}));
}

}  // namespace
}  // namespace ce::testing
