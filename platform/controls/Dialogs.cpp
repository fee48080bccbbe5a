// Making dialogs from templates, modal and modeless, and the default
// processing of dialog windows.
#include "platform/controls/Dialogs.h"

#include <string>

#include "platform/base/CodePage.h"
#include "platform/base/Debug.h"
#include "platform/controls/Button.h"
#include "platform/controls/CommonControls.h"
#include "platform/controls/Metrics.h"
#include "platform/controls/Resources.h"
#include "platform/controls/detail/ControlClasses.h"
#include "platform/controls/detail/DialogState.h"
#include "platform/window/Focus.h"
#include "platform/window/ModalLoop.h"

namespace ce {

namespace detail {

namespace {

struct CreateParams {
  DLGPROC proc = nullptr;
  HFONT font = nullptr;
  bool ownsFont = false;
};

bool IsControlColorMessage(UINT message) {
  return message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC;
}

HFONT TemplateFont(const DialogTemplate& dialog, bool* owned) {
  *owned = false;
  if (dialog.fontPoints <= 0 && dialog.fontFace.empty()) {
    return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  }
  LOGFONT font;
  font.lfHeight = PointTenthsToFontHeight((dialog.fontPoints > 0 ? dialog.fontPoints : 9) * 10);
  std::u16string face = dialog.fontFace.empty() ? std::u16string(kDefaultFaceName) : dialog.fontFace;
  face.resize(std::min<size_t>(face.size(), LF_FACESIZE - 1));
  std::copy(face.begin(), face.end(), font.lfFaceName);
  HFONT created = CreateFontIndirect(&font);
  if (created == nullptr) return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  *owned = true;
  return created;
}

RECT PixelRect(int x, int y, int cx, int cy) {
  RECT rect{x, y, x + cx, y + cy};
  MapDialogRect(nullptr, &rect);
  return rect;
}

// The top-level window that owns what a window shows.
HWND TopLevelOf(HWND window) {
  while (window != nullptr && (GetWindowLong(window, GWL_STYLE) & WS_CHILD) != 0) window = GetParent(window);
  return window;
}

void RestoreFocus(HWND dialog, DialogState* state) {
  HWND target = state->lastFocus;
  if (target == nullptr || !IsWindow(target) || !IsChild(dialog, target)) {
    target = GetNextDlgTabItem(dialog, nullptr, FALSE);
  }
  if (target != nullptr && IsWindowVisible(target)) SetFocus(target);
}

LRESULT DefaultProcessing(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  DialogState* state = DialogStateOf(dialog);
  switch (message) {
    case WM_ERASEBKGND: {
      auto dc = reinterpret_cast<HDC>(wParam);
      auto brush = reinterpret_cast<HBRUSH>(SendMessage(dialog, WM_CTLCOLORDLG, wParam, reinterpret_cast<LPARAM>(dialog)));
      RECT client;
      GetClientRect(dialog, &client);
      FillRect(dc, &client, brush != nullptr ? brush : GetSysColorBrush(COLOR_WINDOW));
      return 1;
    }
    case WM_PAINT: {
      PaintScope paint(dialog);
      return 0;
    }
    case WM_CLOSE:
      SendMessage(dialog, WM_COMMAND, MakeCommandWParam(IDCANCEL, BN_CLICKED),
                  reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDCANCEL)));
      return 0;
    case WM_SETFOCUS:
      if (state != nullptr) RestoreFocus(dialog, state);
      return 0;
    case WM_ACTIVATE:
      if (state != nullptr) {
        if (LOWORD(wParam) == WA_INACTIVE) {
          HWND focus = GetFocus();
          if (focus != nullptr && IsChild(dialog, focus)) state->lastFocus = focus;
        } else {
          RestoreFocus(dialog, state);
        }
      }
      return 0;
    case DM_GETDEFID:
      if (state == nullptr || state->defaultId == 0) return 0;
      return static_cast<LRESULT>(MAKELPARAM(static_cast<WORD>(state->defaultId), DC_HASDEFID));
    case DM_SETDEFID: {
      if (state == nullptr) return FALSE;
      HWND old = GetDlgItem(dialog, state->defaultId);
      if (old != nullptr && (SendMessage(old, WM_GETDLGCODE, 0, 0) & DLGC_DEFPUSHBUTTON) != 0) {
        SendMessage(old, BM_SETSTYLE, BS_PUSHBUTTON, TRUE);
      }
      state->defaultId = static_cast<int>(wParam);
      HWND fresh = GetDlgItem(dialog, state->defaultId);
      if (fresh != nullptr && (SendMessage(fresh, WM_GETDLGCODE, 0, 0) & DLGC_UNDEFPUSHBUTTON) != 0) {
        SendMessage(fresh, BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
      }
      return TRUE;
    }
    case WM_NEXTDLGCTL: {
      HWND target = lParam != 0 ? reinterpret_cast<HWND>(wParam)
                                : GetNextDlgTabItem(dialog, GetFocus(), wParam != 0 ? TRUE : FALSE);
      if (target != nullptr) SetFocus(target);
      return 0;
    }
    case WM_SETFONT:
    case WM_GETFONT:
      if (state == nullptr) return 0;
      if (message == WM_GETFONT) return reinterpret_cast<LRESULT>(state->font);
      state->font = reinterpret_cast<HFONT>(wParam);
      return 0;
    default:
      return DefWindowProc(dialog, message, wParam, lParam);
  }
}

LRESULT DialogClassProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* state = CreateState<DialogState>(dialog);
    if (state == nullptr) return FALSE;
    auto* create = reinterpret_cast<const CREATESTRUCT*>(lParam);
    if (auto* params = static_cast<const CreateParams*>(create->lpCreateParams)) {
      SetWindowLongPtr(dialog, DWL_DLGPROC, reinterpret_cast<LONG_PTR>(params->proc));
      state->font = params->font;
      state->ownsFont = params->ownsFont;
    }
    return DefWindowProc(dialog, message, wParam, lParam);
  }
  return DefDlgProc(dialog, message, wParam, lParam);
}

HWND MakeDialog(HINSTANCE module, const DialogTemplate* dialog, HWND parent, DLGPROC proc,
                LPARAM param, bool modal, bool* focusFirst) {
  InitCommonControls();
  *focusFirst = false;
  if (dialog == nullptr) {
    SetLastError(ERROR_FILE_NOT_FOUND);
    return nullptr;
  }
  DWORD style = dialog->style;
  bool child = (style & WS_CHILD) != 0;
  if (child && parent == nullptr) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return nullptr;
  }
  RECT rect = PixelRect(dialog->x, dialog->y, dialog->cx, dialog->cy);
  if (!child && (style & DS_CENTER) != 0) {
    int width = rect.right - rect.left;
    int height = rect.bottom - rect.top;
    OffsetRect(&rect, (GetSystemMetrics(SM_CXSCREEN) - width) / 2 - rect.left,
               (GetSystemMetrics(SM_CYSCREEN) - height) / 2 - rect.top);
  }
  DWORD exStyle = dialog->exStyle | ((style & DS_CONTROL) != 0 ? WS_EX_CONTROLPARENT : 0);
  CreateParams params;
  params.proc = proc;
  params.font = TemplateFont(*dialog, &params.ownsFont);
  HWND window = CreateWindowEx(exStyle, WC_DIALOG, dialog->caption.c_str(), style & ~WS_VISIBLE,
                               rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                               parent, nullptr, module, &params);
  if (window == nullptr) {
    if (params.ownsFont) DeleteObject(params.font);
    return nullptr;
  }
  DialogState* state = DialogStateOf(window);
  state->modal = modal;
  state->defaultId = IDOK;
  state->templateId = dialog->id;
  for (const DialogItemTemplate& item : dialog->items) {
    RECT place = PixelRect(item.x, item.y, item.cx, item.cy);
    HWND control = CreateWindowEx(item.exStyle, item.className.c_str(), item.text.c_str(),
                                  item.style | WS_CHILD, place.left, place.top,
                                  place.right - place.left, place.bottom - place.top, window,
                                  reinterpret_cast<HMENU>(static_cast<intptr_t>(item.id)), module, nullptr);
    if (control == nullptr) {
      std::u16string text = u"dialog: cannot create a control of class " + item.className + u"\n";
      OutputDebugString(text.c_str());
      DestroyWindow(window);
      SetLastError(ERROR_CANNOT_FIND_WND_CLASS);
      return nullptr;
    }
    SendMessage(control, WM_SETFONT, reinterpret_cast<WPARAM>(params.font), FALSE);
    if ((SendMessage(control, WM_GETDLGCODE, 0, 0) & DLGC_DEFPUSHBUTTON) != 0) state->defaultId = item.id;
  }
  HWND first = GetNextDlgTabItem(window, nullptr, FALSE);
  LRESULT init = SendMessage(window, WM_INITDIALOG, reinterpret_cast<WPARAM>(first), param);
  if (!IsWindow(window)) return nullptr;
  *focusFirst = init != 0;
  if ((style & WS_VISIBLE) != 0 && !modal) {
    ShowWindow(window, SW_SHOW);
    if (*focusFirst && (first = GetNextDlgTabItem(window, nullptr, FALSE)) != nullptr) SetFocus(first);
  }
  return window;
}

}  // namespace

DialogState::~DialogState() {
  if (ownsFont && font != nullptr) DeleteObject(font);
}

DialogState* DialogStateOf(HWND window) { return StateOf<DialogState>(window); }

HWND NearestDialog(HWND window) {
  while (window != nullptr && DialogStateOf(window) == nullptr) window = GetParent(window);
  return window;
}

WNDPROC DialogProcedure() { return DialogClassProc; }

INT_PTR RunDialogBox(HINSTANCE module, const DialogTemplate* dialog, HWND owner, DLGPROC proc,
                     LPARAM param, ModalKind kind) {
  owner = TopLevelOf(owner);
  bool focusFirst = false;
  HWND window = MakeDialog(module, dialog, owner, proc, param, true, &focusFirst);
  if (window == nullptr) return -1;
  bool disabledOwner = owner != nullptr && IsWindowEnabled(owner);
  if (disabledOwner) EnableWindow(owner, FALSE);
  DialogState* state = DialogStateOf(window);
  if (state != nullptr && !state->ended) {
    ShowWindow(window, SW_SHOW);
    SetActiveWindow(window);
    HWND first = GetNextDlgTabItem(window, nullptr, FALSE);
    if (focusFirst && first != nullptr) SetFocus(first);
    CallModalHook(window, kind);
  }
  INT_PTR result = RunModalLoop(window, [window](MSG& msg) { return IsDialogMessage(window, &msg) != FALSE; });
  state = DialogStateOf(window);
  if (state != nullptr && state->ended) result = state->result;
  if (disabledOwner && IsWindow(owner)) EnableWindow(owner, TRUE);
  if (IsWindow(window)) DestroyWindow(window);
  if (owner != nullptr && IsWindow(owner)) SetActiveWindow(owner);
  return result;
}

HWND CreateDialogForFramework(HINSTANCE module, const DialogTemplate* dialog, HWND parent,
                              DLGPROC proc, LPARAM param) {
  bool focusFirst = false;
  return MakeDialog(module, dialog, parent, proc, param, false, &focusFirst);
}

}  // namespace detail

LONG GetDialogBaseUnits() {
  return static_cast<LONG>(MAKELPARAM(kDialogBaseUnitX, kDialogBaseUnitY));
}

BOOL MapDialogRect(HWND /*dialog*/, RECT* rect) {
  if (rect == nullptr) return FALSE;
  rect->left = rect->left * kDialogBaseUnitX / 4;
  rect->right = rect->right * kDialogBaseUnitX / 4;
  rect->top = rect->top * kDialogBaseUnitY / 8;
  rect->bottom = rect->bottom * kDialogBaseUnitY / 8;
  return TRUE;
}

HWND CreateDialogParam(HINSTANCE module, LPCWSTR templateName, HWND parent, DLGPROC proc,
                       LPARAM param) {
  return CreateDialogIndirectParam(module, FindDialogTemplate(module, ResourceName(templateName)),
                                   parent, proc, param);
}

HWND CreateDialogIndirectParam(HINSTANCE module, const DialogTemplate* dialog, HWND parent,
                               DLGPROC proc, LPARAM param) {
  return detail::CreateDialogForFramework(module, dialog, parent, proc, param);
}

INT_PTR DialogBoxParam(HINSTANCE module, LPCWSTR templateName, HWND owner, DLGPROC proc,
                       LPARAM param) {
  return DialogBoxIndirectParam(module, FindDialogTemplate(module, ResourceName(templateName)),
                                owner, proc, param);
}

INT_PTR DialogBoxIndirectParam(HINSTANCE module, const DialogTemplate* dialog, HWND owner,
                               DLGPROC proc, LPARAM param) {
  return detail::RunDialogBox(module, dialog, owner, proc, param, ModalKind::kDialog);
}

UINT GetDialogTemplateId(HWND dialog) {
  detail::DialogState* state = detail::DialogStateOf(dialog);
  return state == nullptr ? 0 : state->templateId;
}

BOOL EndDialog(HWND dialog, INT_PTR result) {
  detail::DialogState* state = detail::DialogStateOf(dialog);
  if (state == nullptr) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  state->ended = true;
  state->result = result;
  if (state->modal) {
    ShowWindow(dialog, SW_HIDE);
    EndModalLoop(dialog, result);
  } else {
    ShowWindow(dialog, SW_HIDE);
  }
  return TRUE;
}

LRESULT DefDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  auto proc = reinterpret_cast<DLGPROC>(GetWindowLongPtr(dialog, DWL_DLGPROC));
  if (proc != nullptr) {
    INT_PTR handled = proc(dialog, message, wParam, lParam);
    // FALSE from WM_INITDIALOG means the procedure placed the focus itself.
    if (message == WM_INITDIALOG || !IsWindow(dialog)) return handled;
    if (handled != 0) {
      if (detail::IsControlColorMessage(message)) return handled;
      return GetWindowLongPtr(dialog, DWL_MSGRESULT);
    }
  }
  if (message == WM_INITDIALOG) return TRUE;
  return detail::DefaultProcessing(dialog, message, wParam, lParam);
}

}  // namespace ce
