// The "STATIC" class: texts and pictures.
#include "platform/controls/Static.h"

#include "platform/controls/Resources.h"

#include "platform/controls/detail/ControlClasses.h"
#include "platform/controls/detail/ControlSupport.h"
#include "platform/window/Paint.h"

namespace ce::detail {

namespace {

class StaticState : public ControlState {
 public:
  ~StaticState() override {
    if (ownedImage != nullptr) DeleteObject(ownedImage);
  }
  HBITMAP image = nullptr;       // SS_BITMAP picture
  HBITMAP ownedImage = nullptr;  // the picture a template named ("#226"), freed here
};

// A picture static of a template names its image resource as "#id".
void LoadTemplateImage(HWND window, StaticState* state, const CREATESTRUCT* create) {
  if ((static_cast<DWORD>(create->style) & SS_TYPEMASK) != SS_BITMAP || create->lpszName == nullptr ||
      create->lpszName[0] != u'#') {
    return;
  }
  UINT id = 0;
  for (LPCWSTR c = create->lpszName + 1; *c >= u'0' && *c <= u'9' && id < 0x10000; ++c) id = id * 10 + (*c - u'0');
  state->ownedImage = LoadBitmap(create->hInstance, ResourceName(id));
  state->image = state->ownedImage;
  DefWindowProc(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(u""));
}

void DrawImage(HDC dc, HBITMAP image) {
  BITMAP info;
  if (image == nullptr || GetObject(image, sizeof info, &info) == 0) return;
  HDC source = CreateCompatibleDC(dc);
  HGDIOBJ old = SelectObject(source, image);
  BitBlt(dc, 0, 0, info.bmWidth, info.bmHeight, source, 0, 0, SRCCOPY);
  SelectObject(source, old);
  DeleteDC(source);
}

void OnPaint(HWND window, StaticState* state) {
  PaintScope paint(window);
  HDC dc = paint.Dc();
  RECT client;
  GetClientRect(window, &client);
  HBRUSH background = ParentColors(window, dc, WM_CTLCOLORSTATIC);
  FillRect(dc, &client, background);
  auto style = static_cast<DWORD>(GetWindowLong(window, GWL_STYLE));
  DWORD kind = style & SS_TYPEMASK;
  if (kind == SS_BITMAP) {
    DrawImage(dc, state->image);
    return;
  }
  UINT format = DT_NOPREFIX;
  if (kind == SS_CENTER) format |= DT_CENTER;
  if (kind == SS_RIGHT) format |= DT_RIGHT;
  if ((style & SS_CENTERIMAGE) != 0) {
    format |= DT_SINGLELINE | DT_VCENTER;
  } else if (kind != SS_LEFTNOWORDWRAP) {
    format |= DT_WORDBREAK;
  }
  if (!IsWindowEnabled(window)) SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
  SetBkMode(dc, TRANSPARENT);
  DcFontScope font(dc, window);
  std::u16string text = WindowText(window);
  DrawText(dc, text.c_str(), static_cast<int>(text.size()), &client, format);
}

LRESULT HandleMessage(HWND window, StaticState* state, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      LoadTemplateImage(window, state, reinterpret_cast<const CREATESTRUCT*>(lParam));
      return 0;
    case WM_SETTEXT: {
      LRESULT result = DefWindowProc(window, message, wParam, lParam);
      InvalidateRect(window, nullptr, TRUE);
      return result;
    }
    case WM_ENABLE:
      InvalidateRect(window, nullptr, TRUE);
      return 0;
    case WM_LBUTTONUP:
      if ((GetWindowLong(window, GWL_STYLE) & SS_NOTIFY) != 0) NotifyCommand(window, STN_CLICKED);
      return 0;
    case WM_GETDLGCODE:
      return DLGC_STATIC;
    case STM_SETIMAGE: {
      HBITMAP old = state->image;
      state->image = reinterpret_cast<HBITMAP>(lParam);
      InvalidateRect(window, nullptr, TRUE);
      return reinterpret_cast<LRESULT>(old);
    }
    case STM_GETIMAGE:
      return reinterpret_cast<LRESULT>(state->image);
    case WM_SETFONT:
    case WM_GETFONT:
      return HandleFontMessage(window, state, message, wParam, lParam);
    default:
      return DefWindowProc(window, message, wParam, lParam);
  }
}

}  // namespace

WNDPROC StaticProcedure() { return ControlProc<StaticState, OnPaint, HandleMessage>; }

}  // namespace ce::detail
