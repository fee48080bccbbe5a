// Message boxes drawn as small modal dialogs.
#include "platform/controls/MessageBoxes.h"

#include <algorithm>
#include <vector>

#include "platform/base/Thread.h"
#include "platform/controls/Button.h"
#include "platform/controls/CommonControls.h"
#include "platform/controls/Dialogs.h"
#include "platform/controls/Metrics.h"
#include "platform/controls/Static.h"
#include "platform/controls/detail/ControlSupport.h"
#include "platform/controls/detail/DialogState.h"
#include "platform/window/Focus.h"

namespace ce {

namespace {

constexpr int kCaptionHeight = 22;  // pixels
constexpr int kPadding = 10;
constexpr int kIconSide = 32;
constexpr int kButtonWidth = 60;
constexpr int kButtonHeight = 24;
constexpr int kButtonGap = 6;
constexpr int kTextId = 0xFFFF;
constexpr int kMaxWidth = 224;

struct BoxButton {
  int id;
  const char16_t* label;
};

std::vector<BoxButton> ButtonsOf(UINT flags) {
  switch (flags & 0xF) {
    case MB_OKCANCEL: return {{IDOK, u"確定"}, {IDCANCEL, u"取消"}};
    case MB_ABORTRETRYIGNORE: return {{IDABORT, u"中止"}, {IDRETRY, u"重試"}, {IDIGNORE, u"略過"}};
    case MB_YESNOCANCEL: return {{IDYES, u"是"}, {IDNO, u"否"}, {IDCANCEL, u"取消"}};
    case MB_YESNO: return {{IDYES, u"是"}, {IDNO, u"否"}};
    case MB_RETRYCANCEL: return {{IDRETRY, u"重試"}, {IDCANCEL, u"取消"}};
    default: return {{IDOK, u"確定"}};
  }
}

// What Escape (and closing the box) answers; 0 when the box has no such
// answer.
int EscapeAnswer(UINT flags) {
  for (const BoxButton& button : ButtonsOf(flags)) {
    if (button.id == IDCANCEL) return IDCANCEL;
  }
  return (flags & 0xF) == MB_OK ? IDOK : 0;
}

struct Box {
  const MessageBoxRequest* request = nullptr;
  RECT iconRect{};
};

UINT IconOf(UINT flags) { return flags & 0xF0; }

void Layout(HWND dialog, Box* box) {
  const MessageBoxRequest& request = *box->request;
  int screenWidth = GetSystemMetrics(SM_CXSCREEN);
  int screenHeight = GetSystemMetrics(SM_CYSCREEN);
  int width = std::min(kMaxWidth, screenWidth - 16);
  bool icon = IconOf(request.flags) != 0;
  int textLeft = kPadding + (icon ? kIconSide + 8 : 0);
  RECT textRect{0, 0, width - textLeft - kPadding, 0};
  HDC dc = CreateCompatibleDC(nullptr);
  SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
  DrawText(dc, request.text.c_str(), static_cast<int>(request.text.size()), &textRect,
           DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX | DT_EXPANDTABS);
  DeleteDC(dc);
  int bodyHeight = std::max<int>(textRect.bottom, icon ? kIconSide : 0);
  int maxBody = screenHeight - kCaptionHeight - 3 * kPadding - kButtonHeight - 8;
  bodyHeight = std::min(bodyHeight, std::max(20, maxBody));
  int height = kCaptionHeight + kPadding + bodyHeight + kPadding + kButtonHeight + kPadding;
  MoveWindow(dialog, (screenWidth - width) / 2, std::max(0, (screenHeight - height) / 2), width, height, FALSE);
  int top = kCaptionHeight + kPadding;
  box->iconRect = RECT{kPadding, top, kPadding + kIconSide, top + kIconSide};
  HWND text = CreateWindowEx(0, WC_STATIC, request.text.c_str(), WS_CHILD | WS_VISIBLE | SS_LEFT | SS_NOPREFIX,
                             textLeft, top, width - textLeft - kPadding, bodyHeight, dialog,
                             reinterpret_cast<HMENU>(static_cast<intptr_t>(kTextId)), nullptr, nullptr);
  SendMessage(text, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
  std::vector<BoxButton> buttons = ButtonsOf(request.flags);
  size_t defaultIndex = std::min<size_t>(buttons.size() - 1, (request.flags & 0xF00) >> 8);
  int rowWidth = static_cast<int>(buttons.size()) * kButtonWidth + static_cast<int>(buttons.size() - 1) * kButtonGap;
  int x = (width - rowWidth) / 2;
  int y = height - kPadding - kButtonHeight;
  HWND defaultButton = nullptr;
  for (size_t i = 0; i < buttons.size(); ++i) {
    DWORD style = WS_CHILD | WS_VISIBLE | WS_TABSTOP | (i == defaultIndex ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
    HWND button = CreateWindowEx(0, WC_BUTTON, buttons[i].label, style, x, y, kButtonWidth, kButtonHeight,
                                 dialog, reinterpret_cast<HMENU>(static_cast<intptr_t>(buttons[i].id)), nullptr, nullptr);
    SendMessage(button, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
    if (i == defaultIndex) defaultButton = button;
    x += kButtonWidth + kButtonGap;
  }
  SendMessage(dialog, DM_SETDEFID, static_cast<WPARAM>(buttons[defaultIndex].id), 0);
  if (defaultButton != nullptr) SetFocus(defaultButton);
}

void DrawIcon(HDC dc, const RECT& rect, UINT icon) {
  COLORREF fill = icon == MB_ICONERROR ? RGB(200, 32, 32) : icon == MB_ICONWARNING ? RGB(232, 176, 0) : RGB(40, 96, 200);
  const char16_t* mark = icon == MB_ICONERROR ? u"X" : icon == MB_ICONWARNING ? u"!" : icon == MB_ICONQUESTION ? u"?" : u"i";
  HBRUSH brush = CreateSolidBrush(fill);
  HPEN pen = CreatePen(PS_SOLID, 1, fill);
  int saved = SaveDC(dc);
  SelectObject(dc, brush);
  SelectObject(dc, pen);
  Ellipse(dc, rect.left, rect.top, rect.right, rect.bottom);
  LOGFONT font;
  font.lfHeight = -20;
  font.lfWeight = FW_BOLD;
  HFONT bold = CreateFontIndirect(&font);
  SelectObject(dc, bold);
  RECT textRect = rect;
  detail::DrawLabel(dc, mark, textRect, DT_CENTER, RGB(255, 255, 255));
  RestoreDC(dc, saved);
  DeleteObject(bold);
  DeleteObject(brush);
  DeleteObject(pen);
}

void Paint(HWND dialog, const Box* box) {
  detail::PaintScope paint(dialog);
  HDC dc = paint.Dc();
  RECT client;
  GetClientRect(dialog, &client);
  RECT band{client.left, client.top, client.right, client.top + kCaptionHeight};
  detail::FillSolid(dc, band, GetSysColor(COLOR_ACTIVECAPTION));
  SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
  RECT captionRect{band.left + 6, band.top, band.right - 6, band.bottom};
  detail::DrawLabel(dc, box->request->caption, captionRect, DT_LEFT, GetSysColor(COLOR_CAPTIONTEXT));
  detail::FrameSolid(dc, client, GetSysColor(COLOR_WINDOWFRAME));
  UINT icon = IconOf(box->request->flags);
  if (icon != 0) DrawIcon(dc, box->iconRect, icon);
}

INT_PTR BoxProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* box = reinterpret_cast<Box*>(GetWindowLongPtr(dialog, DWL_USER));
  switch (message) {
    case WM_INITDIALOG:
      box = reinterpret_cast<Box*>(lParam);
      SetWindowLongPtr(dialog, DWL_USER, lParam);
      SetWindowText(dialog, box->request->caption.c_str());
      Layout(dialog, box);
      return FALSE;
    case WM_PAINT:
      if (box == nullptr) return FALSE;
      Paint(dialog, box);
      return TRUE;
    case WM_COMMAND: {
      if (box == nullptr) return FALSE;
      int id = LOWORD(wParam);
      if (id == IDCANCEL && GetDlgItem(dialog, IDCANCEL) == nullptr) id = EscapeAnswer(box->request->flags);
      if (id != 0 && GetDlgItem(dialog, id) != nullptr) EndDialog(dialog, id);
      return TRUE;
    }
    default:
      return FALSE;
  }
}

}  // namespace

int ShowDrawnMessageBox(const MessageBoxRequest& request) {
  InitCommonControls();
  HWND owner = request.owner;
  if (owner != nullptr && (!IsWindow(owner) || GetWindowThreadProcessId(owner, nullptr) != GetCurrentThreadId())) {
    owner = nullptr;
  }
  DialogTemplate dialog;
  dialog.style = WS_POPUP | DS_MODALFRAME;
  dialog.exStyle = WS_EX_TOPMOST;
  dialog.cx = 100;
  dialog.cy = 60;
  Box box;
  box.request = &request;
  INT_PTR result = detail::RunDialogBox(nullptr, &dialog, owner, BoxProc, reinterpret_cast<LPARAM>(&box),
                                        ModalKind::kMessageBox);
  if (result <= 0) {
    // The loop ended without an answer (the program is closing): the
    // escape answer, else the default button.
    int escape = EscapeAnswer(request.flags);
    if (escape != 0) return escape;
    std::vector<BoxButton> buttons = ButtonsOf(request.flags);
    return buttons[std::min<size_t>(buttons.size() - 1, (request.flags & 0xF00) >> 8)].id;
  }
  return static_cast<int>(result);
}

MessageBoxHandler InstallDrawnMessageBoxes() {
  return SetMessageBoxHandler([](const MessageBoxRequest& request) { return ShowDrawnMessageBox(request); });
}

}  // namespace ce
