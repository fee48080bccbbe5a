#include "platform/base/MessageBox.h"

#include <mutex>
#include <utility>

#include "platform/base/Debug.h"

namespace ce {
namespace {

std::mutex handlerMutex;
MessageBoxHandler handler;

constexpr UINT kTypeMask = 0xF;
constexpr UINT kDefaultButtonMask = 0xF00;

// The answer of a box nobody looks at: its default button.
int DefaultAnswer(UINT flags) {
  int button = static_cast<int>((flags & kDefaultButtonMask) >> 8);  // 0 first, 1 second, 2 third
  switch (flags & kTypeMask) {
    case MB_OKCANCEL: return button == 1 ? IDCANCEL : IDOK;
    case MB_ABORTRETRYIGNORE: return button == 1 ? IDRETRY : button == 2 ? IDIGNORE : IDABORT;
    case MB_YESNOCANCEL: return button == 1 ? IDNO : button == 2 ? IDCANCEL : IDYES;
    case MB_YESNO: return button == 1 ? IDNO : IDYES;
    case MB_RETRYCANCEL: return button == 1 ? IDCANCEL : IDRETRY;
    default: return IDOK;
  }
}

}  // namespace

int MessageBox(HWND owner, LPCWSTR text, LPCWSTR caption, UINT flags) {
  MessageBoxRequest request;
  request.owner = owner;
  request.text = text != nullptr ? text : u"";
  request.caption = caption != nullptr ? caption : u"";
  request.flags = flags;
  MessageBoxHandler current;
  {
    std::lock_guard lock(handlerMutex);
    current = handler;
  }
  // Called outside the lock: the handler may show boxes of its own.
  if (current) return current(request);
  std::u16string line = u"MessageBox [" + request.caption + u"] " + request.text;
  OutputDebugString(line.c_str());
  return DefaultAnswer(flags);
}

MessageBoxHandler SetMessageBoxHandler(MessageBoxHandler newHandler) {
  std::lock_guard lock(handlerMutex);
  return std::exchange(handler, std::move(newHandler));
}

}  // namespace ce
