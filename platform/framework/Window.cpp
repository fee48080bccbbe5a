#include "platform/framework/Window.h"

#include <mutex>

#include "platform/gdi/Gdi.h"
#include "platform/window/Focus.h"
#include "platform/window/Paint.h"

namespace ce {

namespace {

// Links a window to its object; the window owns this link, the object is
// owned by the program.
class ObjectLink : public WindowExtra {
 public:
  explicit ObjectLink(Window* object) : object(object) {}
  Window* object;
};

// The object whose window is being created on this thread (Create with the
// framework's own class).
thread_local Window* creating = nullptr;

constexpr char16_t kFrameworkClass[] = u"CeFrameworkWindow";

void RegisterFrameworkClass() {
  static std::once_flag once;
  std::call_once(once, [] {
    WNDCLASS wndClass;
    wndClass.style = CS_GLOBALCLASS | CS_DBLCLKS;
    wndClass.lpfnWndProc = FrameworkWindowProc;
    wndClass.hbrBackground = GetSysColorBrush(COLOR_WINDOW);
    wndClass.lpszClassName = kFrameworkClass;
    RegisterClass(&wndClass);
  });
}

POINT PointOf(LPARAM lParam) {
  return POINT{static_cast<int16_t>(LOWORD(static_cast<uintptr_t>(lParam))),
               static_cast<int16_t>(HIWORD(static_cast<uintptr_t>(lParam)))};
}

// The window a notification comes from, when the message is one.
HWND NotifyingChild(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
    case WM_HSCROLL:
    case WM_VSCROLL:
      return reinterpret_cast<HWND>(lParam);
    case WM_NOTIFY:
      return lParam != 0 ? reinterpret_cast<const NMHDR*>(lParam)->hwndFrom : nullptr;
    case WM_DRAWITEM:
      return lParam != 0 ? reinterpret_cast<const DRAWITEMSTRUCT*>(lParam)->hwndItem : nullptr;
    default:
      if (message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC) return reinterpret_cast<HWND>(lParam);
      (void)wParam;
      return nullptr;
  }
}

}  // namespace

LRESULT FrameworkWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  Window* object = Window::FromHandle(window);
  if (object == nullptr && message == WM_NCCREATE && creating != nullptr) {
    object = creating;
    creating = nullptr;
    object->Attach(window, DefWindowProc);
  }
  if (object == nullptr) return DefWindowProc(window, message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    WNDPROC previous = object->previous_;
    object->Detach();
    LRESULT result = CallWindowProc(previous, window, message, wParam, lParam);
    object->PostNcDestroy();
    return result;
  }
  return object->Dispatch(message, wParam, lParam);
}

// The object is going away with its window still there: the window gets
// its own procedure back first, so a control still sees its WM_DESTROY
// (a list view then reports and frees its rows, a combo box closes its
// drop-down).
Window::~Window() {
  if (hwnd_ != nullptr && IsWindow(hwnd_)) ce::DestroyWindow(UnsubclassWindow());
}

Window* Window::FromHandle(HWND window) {
  auto* link = dynamic_cast<ObjectLink*>(GetWindowExtra(window, typeid(ObjectLink)));
  return link != nullptr ? link->object : nullptr;
}

void Window::Attach(HWND window, WNDPROC previous) {
  hwnd_ = window;
  previous_ = previous;
  SetWindowExtra(window, typeid(ObjectLink), std::make_unique<ObjectLink>(this));
}

void Window::Detach() {
  if (hwnd_ != nullptr) SetWindowExtra(hwnd_, typeid(ObjectLink), nullptr);
  hwnd_ = nullptr;
  previous_ = nullptr;
}

bool Window::Create(LPCWSTR className, LPCWSTR text, DWORD style, const RECT& rect, HWND parent,
                    int id, DWORD exStyle) {
  if (hwnd_ != nullptr) return false;
  auto menu = reinterpret_cast<HMENU>(static_cast<intptr_t>(id));
  if (className == nullptr) {
    RegisterFrameworkClass();
    creating = this;
    HWND window = CreateWindowEx(exStyle, kFrameworkClass, text, style, rect.left, rect.top,
                                 rect.right - rect.left, rect.bottom - rect.top, parent, menu,
                                 nullptr, nullptr);
    creating = nullptr;
    return window != nullptr;
  }
  HWND window = CreateWindowEx(exStyle, className, text, style, rect.left, rect.top,
                               rect.right - rect.left, rect.bottom - rect.top, parent, menu, nullptr,
                               nullptr);
  return window != nullptr && SubclassWindow(window);
}

bool Window::SubclassWindow(HWND window) {
  if (hwnd_ != nullptr || !IsWindow(window) || FromHandle(window) != nullptr) return false;
  auto previous = reinterpret_cast<WNDPROC>(GetWindowLongPtr(window, GWL_WNDPROC));
  if (previous == nullptr) return false;
  Attach(window, previous);
  SetWindowLongPtr(window, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(FrameworkWindowProc));
  return true;
}

bool Window::SubclassDlgItem(int id, HWND parent) { return SubclassWindow(ce::GetDlgItem(parent, id)); }

HWND Window::UnsubclassWindow() {
  HWND window = hwnd_;
  if (window == nullptr) return nullptr;
  if (previous_ != nullptr && previous_ != DefWindowProc) {
    SetWindowLongPtr(window, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(previous_));
  }
  Detach();
  return window;
}

BOOL Window::DestroyWindow() { return hwnd_ != nullptr ? ce::DestroyWindow(hwnd_) : FALSE; }

void Window::Invalidate(BOOL erase) const { InvalidateRect(hwnd_, nullptr, erase); }

RECT Window::GetClientRect() const {
  RECT rect;
  ce::GetClientRect(hwnd_, &rect);
  return rect;
}

RECT Window::GetWindowRect() const {
  RECT rect;
  ce::GetWindowRect(hwnd_, &rect);
  return rect;
}

HWND Window::SetFocus() const { return ce::SetFocus(hwnd_); }

LRESULT Window::Default() {
  WNDPROC previous = previous_ != nullptr ? previous_ : DefWindowProc;
  return CallWindowProc(previous, hwnd_, current_.message, current_.wParam, current_.lParam);
}

bool Window::ReflectChildNotify(UINT, WPARAM, LPARAM, LRESULT*) { return false; }

bool Window::Reflect(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
  HWND child = NotifyingChild(message, wParam, lParam);
  if (child == nullptr || child == hwnd_) return false;
  Window* object = FromHandle(child);
  return object != nullptr && object->ReflectChildNotify(message, wParam, lParam, result);
}

LRESULT Window::Dispatch(UINT message, WPARAM wParam, LPARAM lParam) {
  Current saved = current_;
  current_ = Current{message, wParam, lParam};
  LRESULT result = 0;
  if (!Reflect(message, wParam, lParam, &result)) result = WindowProc(message, wParam, lParam);
  current_ = saved;
  return result;
}

LRESULT Window::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      return OnCreate(reinterpret_cast<CREATESTRUCT*>(lParam));
    case WM_DESTROY:
      OnDestroy();
      return 0;
    case WM_PAINT:
      OnPaint();
      return 0;
    case WM_ERASEBKGND:
      return OnEraseBkgnd(reinterpret_cast<HDC>(wParam));
    case WM_TIMER:
      OnTimer(static_cast<UINT_PTR>(wParam));
      return 0;
    case WM_LBUTTONDOWN:
      OnLButtonDown(static_cast<UINT>(wParam), PointOf(lParam));
      return 0;
    case WM_LBUTTONUP:
      OnLButtonUp(static_cast<UINT>(wParam), PointOf(lParam));
      return 0;
    case WM_MOUSEMOVE:
      OnMouseMove(static_cast<UINT>(wParam), PointOf(lParam));
      return 0;
    case WM_KEYDOWN:
      OnKeyDown(static_cast<UINT>(wParam), LOWORD(static_cast<uintptr_t>(lParam)), HIWORD(static_cast<uintptr_t>(lParam)));
      return 0;
    case WM_KEYUP:
      OnKeyUp(static_cast<UINT>(wParam), LOWORD(static_cast<uintptr_t>(lParam)), HIWORD(static_cast<uintptr_t>(lParam)));
      return 0;
    case WM_CHAR:
      OnChar(static_cast<UINT>(wParam), LOWORD(static_cast<uintptr_t>(lParam)), HIWORD(static_cast<uintptr_t>(lParam)));
      return 0;
    case WM_SIZE:
      OnSize(static_cast<UINT>(wParam), LOWORD(static_cast<uintptr_t>(lParam)), HIWORD(static_cast<uintptr_t>(lParam)));
      return 0;
    case WM_SETFOCUS:
      OnSetFocus(reinterpret_cast<HWND>(wParam));
      return 0;
    case WM_KILLFOCUS:
      OnKillFocus(reinterpret_cast<HWND>(wParam));
      return 0;
    case WM_ENABLE:
      OnEnable(static_cast<BOOL>(wParam));
      return 0;
    case WM_CAPTURECHANGED:
      OnCaptureChanged(reinterpret_cast<HWND>(lParam));
      return 0;
    case WM_CANCELMODE:
      OnCancelMode();
      return 0;
    case WM_SHOWWINDOW:
      OnShowWindow(static_cast<BOOL>(wParam), static_cast<UINT>(lParam));
      return 0;
    case WM_ACTIVATE:
      OnActivate(LOWORD(wParam), reinterpret_cast<HWND>(lParam));
      return 0;
    case WM_CLOSE:
      OnClose();
      return 0;
    case WM_SETTINGCHANGE:
      OnSettingChange(static_cast<UINT>(wParam), reinterpret_cast<LPCWSTR>(lParam));
      return 0;
    case WM_GETDLGCODE:
      return OnGetDlgCode();
    case WM_COMMAND:
      return OnCommand(wParam, lParam) ? 0 : Default();
    case WM_NOTIFY: {
      LRESULT result = 0;
      return OnNotify(wParam, lParam, &result) ? result : Default();
    }
    case WM_DRAWITEM:
      OnDrawItem(static_cast<int>(wParam), reinterpret_cast<DRAWITEMSTRUCT*>(lParam));
      return TRUE;
    case WM_HSCROLL:
      OnHScroll(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
      return 0;
    case WM_VSCROLL:
      OnVScroll(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
      return 0;
    default:
      if (message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC) {
        return reinterpret_cast<LRESULT>(OnCtlColor(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam), message));
      }
      LRESULT result = 0;
      if (OnMessage(message, wParam, lParam, &result)) return result;
      return Default();
  }
}

int Window::OnCreate(CREATESTRUCT*) { return static_cast<int>(Default()); }
void Window::OnDestroy() { Default(); }
void Window::OnPaint() { Default(); }
BOOL Window::OnEraseBkgnd(HDC) { return static_cast<BOOL>(Default()); }
void Window::OnTimer(UINT_PTR) { Default(); }
void Window::OnLButtonDown(UINT, POINT) { Default(); }
void Window::OnLButtonUp(UINT, POINT) { Default(); }
void Window::OnMouseMove(UINT, POINT) { Default(); }
void Window::OnKeyDown(UINT, UINT, UINT) { Default(); }
void Window::OnKeyUp(UINT, UINT, UINT) { Default(); }
void Window::OnChar(UINT, UINT, UINT) { Default(); }
void Window::OnSize(UINT, int, int) { Default(); }
void Window::OnSetFocus(HWND) { Default(); }
void Window::OnKillFocus(HWND) { Default(); }
void Window::OnEnable(BOOL) { Default(); }
void Window::OnCaptureChanged(HWND) { Default(); }
void Window::OnCancelMode() { Default(); }
void Window::OnShowWindow(BOOL, UINT) { Default(); }
void Window::OnActivate(UINT, HWND) { Default(); }
void Window::OnClose() { Default(); }
void Window::OnSettingChange(UINT, LPCWSTR) { Default(); }
UINT Window::OnGetDlgCode() { return static_cast<UINT>(Default()); }
BOOL Window::OnCommand(WPARAM, LPARAM) { return FALSE; }
BOOL Window::OnNotify(WPARAM, LPARAM, LRESULT*) { return FALSE; }
void Window::OnDrawItem(int, DRAWITEMSTRUCT*) { Default(); }
HBRUSH Window::OnCtlColor(HDC, HWND, UINT) { return reinterpret_cast<HBRUSH>(Default()); }
void Window::OnHScroll(UINT, UINT, HWND) { Default(); }
void Window::OnVScroll(UINT, UINT, HWND) { Default(); }
bool Window::OnMessage(UINT, WPARAM, LPARAM, LRESULT*) { return false; }

}  // namespace ce
