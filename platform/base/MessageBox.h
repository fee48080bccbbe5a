// Message boxes. A box goes to the handler installed for the process, which
// decides the answer: the device screen installs the drawn boxes of the
// control layer (InstallDrawnMessageBoxes), tests a scripted user.
#pragma once

#include <functional>
#include <string>

#include "platform/base/Types.h"

namespace ce {

constexpr UINT MB_OK = 0x0;
constexpr UINT MB_OKCANCEL = 0x1;
constexpr UINT MB_ABORTRETRYIGNORE = 0x2;
constexpr UINT MB_YESNOCANCEL = 0x3;
constexpr UINT MB_YESNO = 0x4;
constexpr UINT MB_RETRYCANCEL = 0x5;
constexpr UINT MB_ICONERROR = 0x10;
constexpr UINT MB_ICONQUESTION = 0x20;
constexpr UINT MB_ICONWARNING = 0x30;
constexpr UINT MB_ICONINFORMATION = 0x40;
constexpr UINT MB_DEFBUTTON1 = 0x000;
constexpr UINT MB_DEFBUTTON2 = 0x100;
constexpr UINT MB_DEFBUTTON3 = 0x200;
constexpr UINT MB_SETFOREGROUND = 0x10000;
constexpr UINT MB_TOPMOST = 0x40000;

constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;
constexpr int IDABORT = 3;
constexpr int IDRETRY = 4;
constexpr int IDIGNORE = 5;
constexpr int IDYES = 6;
constexpr int IDNO = 7;

struct MessageBoxRequest {
  HWND owner = nullptr;
  std::u16string text;
  std::u16string caption;
  UINT flags = 0;
};

using MessageBoxHandler = std::function<int(const MessageBoxRequest&)>;

// Shows a box and returns the answer (IDOK, IDYES, ...). With no handler
// installed the box is written to the debug output and answered with the
// default button (IDOK, or IDYES for yes/no boxes; MB_DEFBUTTON2/3 name
// another button).
int MessageBox(HWND owner, LPCWSTR text, LPCWSTR caption, UINT flags);
// Installs the handler for the process; returns the previous one.
MessageBoxHandler SetMessageBoxHandler(MessageBoxHandler handler);

}  // namespace ce
