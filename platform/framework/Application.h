// The application object: one per program. Its InitInstance usually runs
// the program's one modal dialog and returns FALSE, so that Run ends when
// the dialog does.
#pragma once

#include <string>

#include "platform/base/Types.h"
#include "platform/framework/Window.h"

namespace ce {

class Application {
 public:
  explicit Application(std::u16string name);
  virtual ~Application();
  Application(const Application&) = delete;
  Application& operator=(const Application&) = delete;

  // InitInstance; then, when it returned TRUE, the message loop until
  // WM_QUIT; then ExitInstance, whose result is returned.
  int Run();
  const std::u16string& Name() const { return name_; }
  Window* MainWindow() const { return mainWindow_; }
  void SetMainWindow(Window* window) { mainWindow_ = window; }
  // The module resources are taken from (the program's own unless set).
  HINSTANCE ResourceHandle() const;
  void SetResourceHandle(HINSTANCE module) { resources_ = module; }

  // The application object of the process, if one exists.
  static Application* Current();

 protected:
  virtual BOOL InitInstance();
  virtual int ExitInstance();

 private:
  std::u16string name_;
  Window* mainWindow_ = nullptr;
  HINSTANCE resources_ = nullptr;
};

// The current application's resource module, or the program's own.
HINSTANCE FrameworkResourceHandle();

}  // namespace ce
