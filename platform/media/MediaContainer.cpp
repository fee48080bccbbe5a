#include "platform/media/MediaContainer.h"

#include <map>
#include <memory>
#include <mutex>

#include "platform/window/Message.h"
#include "platform/window/Window.h"

namespace ce {
namespace {

// Containers and their controls. Only the thread of a container touches
// its entry, but containers of several threads share the table.
std::mutex& TableMutex() {
  static std::mutex mutex;
  return mutex;
}
std::map<HWND, std::unique_ptr<MediaPlayer>>& Table() {
  static std::map<HWND, std::unique_ptr<MediaPlayer>> table;
  return table;
}

// Class identifiers compare without regard to the case of their digits.
bool SameClassId(const std::u16string& a, const std::u16string& b) {
  auto lower = [](char16_t c) { return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c + 32) : c; };
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (lower(a[i]) != lower(b[i])) return false;
  return true;
}

bool IsContainer(HWND window) {
  char16_t name[32] = {};
  return IsWindow(window) && GetClassName(window, name, 32) > 0 &&
         std::u16string(name) == kMediaContainerClass;
}

LRESULT ContainerProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCDESTROY) {
    std::unique_ptr<MediaPlayer> control;
    {
      std::lock_guard<std::mutex> lock(TableMutex());
      auto it = Table().find(window);
      if (it != Table().end()) {
        control = std::move(it->second);
        Table().erase(it);
      }
    }
    control.reset();  // outside the lock: it destroys windows of its own
  }
  return DefWindowProc(window, message, wParam, lParam);
}

}  // namespace

void RegisterMediaContainerClass() {
  static std::once_flag once;
  std::call_once(once, [] {
    WNDCLASS wndClass;
    wndClass.lpfnWndProc = ContainerProcedure;
    wndClass.lpszClassName = kMediaContainerClass;
    RegisterClass(&wndClass);
  });
}

HRESULT CreateControlInContainer(HWND container, const std::u16string& classId,
                                 MediaPlayer** player) {
  if (!player) return E_POINTER;
  *player = nullptr;
  if (!IsContainer(container) || ContainerControl(container)) return E_INVALIDARG;
  if (!SameClassId(classId, kMediaPlayerClassId)) return REGDB_E_CLASSNOTREG;
  HRESULT error = S_OK;
  std::unique_ptr<MediaPlayer> control = CreateMediaPlayer(&error);
  if (!control) return FAILED(error) ? error : E_FAIL;
  *player = control.get();
  std::lock_guard<std::mutex> lock(TableMutex());
  Table()[container] = std::move(control);
  return S_OK;
}

MediaPlayer* ContainerControl(HWND container) {
  std::lock_guard<std::mutex> lock(TableMutex());
  auto it = Table().find(container);
  return it == Table().end() ? nullptr : it->second.get();
}

}  // namespace ce
