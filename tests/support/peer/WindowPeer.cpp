// A second process of the device for the window tests. It opens the device
// root, registers the named messages, creates one top-level window and runs
// its message loop, reporting on stdout (one line per event) what reached it.
//
//   window_peer --device DIR --class NAME --title TEXT [--register NAME]...
//
// Lines: "registered NAME NUMBER", "ready HANDLE", "got MESSAGE WPARAM LPARAM",
// "activate STATE", "killfocus", "bye".
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "platform/base/CodePage.h"
#include "platform/base/DeviceRoot.h"
#include "platform/window/Message.h"
#include "platform/window/SystemWindows.h"
#include "platform/window/Window.h"
#include "tests/support/peer/PeerMessages.h"

namespace {

using namespace ce;

void Report(const std::string& line) {
  std::printf("%s\n", line.c_str());
  std::fflush(stdout);
}

LRESULT OnPeerCommand(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case kPeerAdd:
      return static_cast<LRESULT>(wParam) + lParam;
    case kPeerCrash:
      // Ends without any clean-up, as a crash would.
      _exit(3);
    case kPeerBroadcast:
      PostMessage(HWND_BROADCAST, static_cast<UINT>(wParam), static_cast<WPARAM>(lParam), 0);
      Report("broadcast done");
      return 0;
    case kPeerSendBack:
      // Sends to the caller's window while the caller still waits for us.
      return SendMessage(reinterpret_cast<HWND>(wParam), kPeerAnswer,
                         static_cast<WPARAM>(lParam), 0) + 1;
    default:
      (void)window;
      return 0;
  }
}

LRESULT PeerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_ACTIVATE:
      Report("activate " + std::to_string(LOWORD(wParam)));
      return 0;
    case WM_KILLFOCUS:
      Report("killfocus");
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    case kPeerAdd:
    case kPeerCrash:
    case kPeerBroadcast:
    case kPeerSendBack:
      return OnPeerCommand(window, message, wParam, lParam);
    default:
      break;
  }
  if (message >= WM_USER) {
    Report("got " + std::to_string(message) + " " + std::to_string(wParam) + " " +
           std::to_string(lParam));
    return 0;
  }
  return DefWindowProc(window, message, wParam, lParam);
}

}  // namespace

int main(int argc, char** argv) {
  std::string device;
  std::string className;
  std::string title;
  std::vector<std::string> names;
  for (int i = 1; i + 1 < argc; i += 2) {
    std::string option = argv[i];
    if (option == "--device") device = argv[i + 1];
    if (option == "--class") className = argv[i + 1];
    if (option == "--title") title = argv[i + 1];
    if (option == "--register") names.push_back(argv[i + 1]);
  }
  std::string error;
  if (device.empty() || className.empty() || !OpenDeviceRoot(device, &error)) {
    std::fprintf(stderr, "window_peer: bad arguments %s\n", error.c_str());
    return 2;
  }
  for (const auto& name : names) {
    std::u16string wide = FromUtf8(name);
    Report("registered " + name + " " + std::to_string(RegisterWindowMessage(wide.c_str())));
  }
  std::u16string wideClass = FromUtf8(className);
  std::u16string wideTitle = FromUtf8(title);
  WNDCLASS wndClass;
  wndClass.lpfnWndProc = PeerProc;
  wndClass.lpszClassName = wideClass.c_str();
  RegisterClass(&wndClass);
  HWND window = CreateWindowEx(0, wideClass.c_str(), wideTitle.c_str(), 0, 0, 0, 240, 320,
                               nullptr, nullptr, nullptr, nullptr);
  if (window == nullptr) return 4;
  char ready[40];
  std::snprintf(ready, sizeof ready, "ready %llx",
                static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(window)));
  Report(ready);
  MSG msg;
  while (GetMessage(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessage(&msg);
  }
  Report("bye");
  return 0;
}
