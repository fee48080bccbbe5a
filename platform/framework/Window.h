// A window object of the framework: one C++ object per window, with one
// virtual handler per message.
//
// Handlers default to the window's default processing (the procedure the
// window had before the object took it over, or DefWindowProc), so a class
// overrides only what it handles. Notifications a child sends its parent
// (WM_COMMAND, WM_NOTIFY, WM_DRAWITEM, WM_CTLCOLOR..., WM_HSCROLL,
// WM_VSCROLL) are first offered to the child's own object through
// ReflectChildNotify: the program's own buttons draw themselves and its
// list views answer their custom draw that way.
#pragma once

#include <string>

#include "platform/controls/ControlMessages.h"
#include "platform/gdi/GdiTypes.h"
#include "platform/window/Message.h"
#include "platform/window/Timer.h"
#include "platform/window/Window.h"

namespace ce {

class Window {
 public:
  Window() = default;
  virtual ~Window();
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;

  HWND Handle() const { return hwnd_; }
  operator HWND() const { return hwnd_; }  // NOLINT: used where the platform takes an HWND
  // The object of a window of the framework; null for other windows.
  static Window* FromHandle(HWND window);

  // Creates a window of the class and takes it over.
  bool Create(LPCWSTR className, LPCWSTR text, DWORD style, const RECT& rect, HWND parent,
              int id, DWORD exStyle = 0);
  // Takes over an existing window (a control of a dialog template): its
  // messages come to this object, its old procedure does the default.
  bool SubclassWindow(HWND window);
  bool SubclassDlgItem(int id, HWND parent);
  // Gives the window its old procedure back; returns the window.
  HWND UnsubclassWindow();
  BOOL DestroyWindow();

  // Shorthands for the platform calls on this window.
  BOOL ShowWindow(int command) const { return ce::ShowWindow(hwnd_, command); }
  BOOL EnableWindow(BOOL enable) const { return ce::EnableWindow(hwnd_, enable); }
  BOOL IsWindowEnabled() const { return ce::IsWindowEnabled(hwnd_); }
  BOOL IsWindowVisible() const { return ce::IsWindowVisible(hwnd_); }
  void Invalidate(BOOL erase = TRUE) const;
  HWND GetDlgItem(int id) const { return ce::GetDlgItem(hwnd_, id); }
  int GetDlgCtrlID() const { return ce::GetDlgCtrlID(hwnd_); }
  HWND GetParent() const { return ce::GetParent(hwnd_); }
  void SetWindowText(const std::u16string& text) const { ce::SetWindowText(hwnd_, text.c_str()); }
  std::u16string GetWindowText() const { return GetWindowTextString(hwnd_); }
  RECT GetClientRect() const;
  RECT GetWindowRect() const;
  BOOL MoveWindow(int x, int y, int width, int height, BOOL repaint = TRUE) const {
    return ce::MoveWindow(hwnd_, x, y, width, height, repaint);
  }
  UINT_PTR SetTimer(UINT_PTR id, UINT periodMs) const { return ce::SetTimer(hwnd_, id, periodMs, nullptr); }
  BOOL KillTimer(UINT_PTR id) const { return ce::KillTimer(hwnd_, id); }
  LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const {
    return ce::SendMessage(hwnd_, message, wParam, lParam);
  }
  BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const {
    return ce::PostMessage(hwnd_, message, wParam, lParam);
  }
  HWND SetFocus() const;
  DWORD GetStyle() const { return static_cast<DWORD>(GetWindowLong(hwnd_, GWL_STYLE)); }

 protected:
  // The message switch: calls the handler of each message.
  virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
  // The default processing of the message being handled.
  LRESULT Default();
  // Called after the window is gone (WM_NCDESTROY); the object is detached.
  virtual void PostNcDestroy() {}
  // A notification this window sent its parent, offered here first; true
  // when handled (result is then the parent's answer).
  virtual bool ReflectChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);

  virtual int OnCreate(CREATESTRUCT* create);
  virtual void OnDestroy();
  virtual void OnPaint();
  virtual BOOL OnEraseBkgnd(HDC dc);
  virtual void OnTimer(UINT_PTR id);
  virtual void OnLButtonDown(UINT flags, POINT point);
  virtual void OnLButtonUp(UINT flags, POINT point);
  virtual void OnMouseMove(UINT flags, POINT point);
  virtual void OnKeyDown(UINT key, UINT repeat, UINT flags);
  virtual void OnKeyUp(UINT key, UINT repeat, UINT flags);
  virtual void OnChar(UINT character, UINT repeat, UINT flags);
  virtual void OnSize(UINT type, int width, int height);
  virtual void OnSetFocus(HWND previous);
  virtual void OnKillFocus(HWND next);
  virtual void OnEnable(BOOL enable);
  // The mouse capture left this window; newCapture is its new holder, or
  // null when it was released.
  virtual void OnCaptureChanged(HWND newCapture);
  // A modal state (a message box, a menu) asks the window to drop any
  // tracking it is doing.
  virtual void OnCancelMode();
  virtual void OnShowWindow(BOOL show, UINT status);
  virtual void OnActivate(UINT state, HWND other);
  virtual void OnClose();
  virtual void OnSettingChange(UINT flag, LPCWSTR section);
  virtual UINT OnGetDlgCode();
  // Commands (menu items, control notifications); true when handled.
  virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
  // WM_NOTIFY; true when handled, with the answer in result.
  virtual BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result);
  virtual void OnDrawItem(int id, DRAWITEMSTRUCT* item);
  virtual HBRUSH OnCtlColor(HDC dc, HWND control, UINT message);
  virtual void OnHScroll(UINT code, UINT pos, HWND scrollBar);
  virtual void OnVScroll(UINT code, UINT pos, HWND scrollBar);
  // Every other message (the program's own numbers); true when handled.
  virtual bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);

 private:
  friend LRESULT FrameworkWindowProc(HWND, UINT, WPARAM, LPARAM);
  void Attach(HWND window, WNDPROC previous);
  void Detach();
  LRESULT Dispatch(UINT message, WPARAM wParam, LPARAM lParam);
  bool Reflect(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);

  struct Current {
    UINT message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
  };

  HWND hwnd_ = nullptr;
  WNDPROC previous_ = nullptr;
  Current current_;
};

LRESULT FrameworkWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace ce
