#include "platform/framework/Application.h"

#include "platform/controls/CommonControls.h"
#include "platform/controls/Dialogs.h"
#include "platform/controls/Resources.h"

namespace ce {

namespace {

Application* current = nullptr;

}  // namespace

Application::Application(std::u16string name) : name_(std::move(name)) {
  if (current == nullptr) current = this;
  InitCommonControls();
}

Application::~Application() {
  if (current == this) current = nullptr;
}

Application* Application::Current() { return current; }

HINSTANCE Application::ResourceHandle() const {
  return resources_ != nullptr ? resources_ : GetProgramInstance();
}

int Application::Run() {
  if (!InitInstance()) return ExitInstance();
  MSG msg;
  while (GetMessage(&msg, nullptr, 0, 0) > 0) {
    HWND main = mainWindow_ != nullptr ? mainWindow_->Handle() : nullptr;
    if (main != nullptr && IsDialogMessage(main, &msg)) continue;
    TranslateMessage(&msg);
    DispatchMessage(&msg);
  }
  return ExitInstance();
}

BOOL Application::InitInstance() { return TRUE; }

int Application::ExitInstance() { return 0; }

HINSTANCE FrameworkResourceHandle() {
  return current != nullptr ? current->ResourceHandle() : GetProgramInstance();
}

}  // namespace ce
