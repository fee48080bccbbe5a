// The title bar window: the active window's title and its OK button.
#include <algorithm>

#include "platform/base/MessageBox.h"
#include "platform/gdi/Gdi.h"
#include "platform/shell/Shell.h"
#include "platform/shell/detail/ShellWindows.h"
#include "platform/window/Focus.h"
#include "platform/window/Paint.h"

namespace ce::detail {

namespace {

constexpr COLORREF kTitleColor = RGB(30, 90, 160);
constexpr COLORREF kTitleTextColor = RGB(255, 255, 255);
constexpr COLORREF kOkPressedColor = RGB(90, 150, 220);
constexpr int kOkWidth = 32;   // pixels
constexpr int kOkMargin = 4;   // pixels from the right and bottom edges
constexpr int kTextInset = 6;  // pixels before the title

class TitleBarState final : public ShellState {
 public:
  ~TitleBarState() override {
    if (font != nullptr) DeleteObject(font);
  }
  HFONT font = nullptr;
  HWND target = nullptr;
  std::u16string title;
  bool ok = false;
  bool pressed = false;
};

TitleBarState* StateOf(HWND window) {
  return dynamic_cast<TitleBarState*>(GetWindowExtra(window, typeid(ShellState)));
}

POINT PointOf(LPARAM lParam) {
  return POINT{static_cast<int16_t>(LOWORD(static_cast<uintptr_t>(lParam))),
               static_cast<int16_t>(HIWORD(static_cast<uintptr_t>(lParam)))};
}

HFONT MakeTitleFont() {
  LOGFONT font;
  font.lfHeight = -13;
  font.lfWeight = FW_BOLD;
  std::copy_n(kDefaultFaceName, std::char_traits<char16_t>::length(kDefaultFaceName),
              font.lfFaceName);
  return CreateFontIndirect(&font);
}

void Paint(HWND window, TitleBarState* state) {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(window, &paint);
  RECT client;
  GetClientRect(window, &client);
  HBRUSH back = CreateSolidBrush(kTitleColor);
  FillRect(dc, &client, back);
  DeleteObject(back);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, kTitleTextColor);
  HGDIOBJ oldFont = SelectObject(
      dc, state->font != nullptr ? static_cast<HGDIOBJ>(state->font) : GetStockObject(DEFAULT_GUI_FONT));
  RECT text{kTextInset, 0, client.right - (state->ok ? kOkWidth + 2 * kOkMargin : kTextInset),
            client.bottom};
  DrawText(dc, state->title.c_str(), static_cast<int>(state->title.size()), &text,
           DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
  if (state->ok) {
    RECT ok = TitleBarOkRect(client.right);
    HPEN pen = CreatePen(PS_SOLID, 1, kTitleTextColor);
    HBRUSH fill = CreateSolidBrush(state->pressed ? kOkPressedColor : kTitleColor);
    HGDIOBJ oldPen = SelectObject(dc, pen);
    HGDIOBJ oldBrush = SelectObject(dc, fill);
    RoundRect(dc, ok.left, ok.top, ok.right, ok.bottom, 6, 6);
    SelectObject(dc, oldPen);
    SelectObject(dc, oldBrush);
    DeleteObject(pen);
    DeleteObject(fill);
    DrawText(dc, u"ok", 2, &ok, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
  }
  SelectObject(dc, oldFont);
  EndPaint(window, &paint);
}

bool InOk(HWND window, const TitleBarState* state, POINT point) {
  if (!state->ok) return false;
  RECT client;
  GetClientRect(window, &client);
  RECT ok = TitleBarOkRect(client.right);
  return PtInRect(&ok, point) != FALSE;
}

LRESULT OnButtonDown(HWND window, TitleBarState* state, LPARAM lParam) {
  if (!InOk(window, state, PointOf(lParam))) return 0;
  SetCapture(window);
  state->pressed = true;
  InvalidateRect(window, nullptr, TRUE);
  return 0;
}

LRESULT OnButtonUp(HWND window, TitleBarState* state, LPARAM lParam) {
  if (!state->pressed) return 0;
  if (GetCapture() == window) ReleaseCapture();
  state->pressed = false;
  InvalidateRect(window, nullptr, TRUE);
  if (InOk(window, state, PointOf(lParam)) && IsWindow(state->target)) {
    PostMessage(state->target, WM_COMMAND, MAKEWPARAM(IDOK, 0), 0);
  }
  return 0;
}

LRESULT TitleBarProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_CREATE) {
    auto state = std::make_unique<TitleBarState>();
    state->font = MakeTitleFont();
    return SetWindowExtra(window, typeid(ShellState), std::move(state)) ? 0 : -1;
  }
  TitleBarState* state = StateOf(window);
  if (state == nullptr) return DefWindowProc(window, message, wParam, lParam);
  switch (message) {
    case WM_PAINT:
      Paint(window, state);
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case WM_LBUTTONDOWN:
      return OnButtonDown(window, state, lParam);
    case WM_LBUTTONUP:
      return OnButtonUp(window, state, lParam);
    default:
      return DefWindowProc(window, message, wParam, lParam);
  }
}

}  // namespace

bool RegisterTitleBarClass() {
  WNDCLASS title;
  title.lpfnWndProc = TitleBarProc;
  title.lpszClassName = kTitleBarClass;
  return RegisterClass(&title) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

RECT TitleBarOkRect(int width) {
  return RECT{width - kOkMargin - kOkWidth, kOkMargin, width - kOkMargin,
              kTitleBarHeight - kOkMargin};
}

HWND CreateTitleBar() {
  RECT rect = TitleBarRect();
  return CreateWindowEx(WS_EX_TOPMOST | WS_EX_NOACTIVATE, kTitleBarClass, u"",
                        WS_POPUP | WS_VISIBLE, rect.left, rect.top, rect.right - rect.left,
                        rect.bottom - rect.top, nullptr, nullptr, nullptr, nullptr);
}

void SetTitleBarContent(HWND titleBar, HWND target, const std::u16string& title, bool okButton) {
  TitleBarState* state = StateOf(titleBar);
  if (state == nullptr) return;
  state->target = target;
  if (state->title == title && state->ok == okButton) return;
  state->title = title;
  state->ok = okButton;
  state->pressed = false;
  InvalidateRect(titleBar, nullptr, TRUE);
}

}  // namespace ce::detail
