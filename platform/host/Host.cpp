#include "platform/host/Host.h"

#include <chrono>
#include <cstdio>
#include <mutex>
#include <string_view>

#include "platform/base/Clock.h"
#include "platform/base/DeviceRoot.h"
#include "platform/base/Thread.h"
#include "platform/controls/MessageBoxes.h"
#include "platform/host/TranscriptLines.h"
#include "platform/host/detail/SdlWindow.h"
#include "platform/shell/Display.h"
#include "platform/shell/Shell.h"
#include "platform/window/Timer.h"

namespace ce {

namespace {

std::mutex& CurrentMutex() {
  static std::mutex mutex;
  return mutex;
}

Host*& CurrentHost() {
  static Host* host = nullptr;
  return host;
}

// "--name FILE" or "--name=FILE"; the index moves past what was taken.
bool TakePath(int argc, char** argv, int* index, std::string_view name,
              std::filesystem::path* value, std::string* error, bool* taken) {
  std::string_view arg = argv[*index];
  *taken = false;
  if (arg == name) {
    if (*index + 1 >= argc || argv[*index + 1][0] == 0) {
      if (error != nullptr) *error = std::string(name) + " needs a file";
      return false;
    }
    *value = argv[++*index];
    *taken = true;
    return true;
  }
  if (arg.size() > name.size() && arg.substr(0, name.size()) == name && arg[name.size()] == '=') {
    std::string_view file = arg.substr(name.size() + 1);
    if (file.empty()) {
      if (error != nullptr) *error = std::string(name) + " needs a file";
      return false;
    }
    *value = std::filesystem::path(std::string(file));
    *taken = true;
  }
  return true;
}

void Turn() {
  DEVMODE mode;
  mode.dmFields = DM_DISPLAYORIENTATION;
  DWORD now = ScreenOrientation();
  mode.dmDisplayOrientation = now == DMDO_90 || now == DMDO_270 ? DMDO_0 : DMDO_90;
  ChangeDisplaySettingsEx(nullptr, &mode, nullptr, 0, nullptr);
}

}  // namespace

bool TakeHostOptions(int& argc, char** argv, HostOptions* options, std::string* error) {
  int kept = 1;
  for (int i = 1; i < argc; ++i) {
    std::string_view arg = argv[i];
    if (arg == "--headless") {
      options->headless = true;
      continue;
    }
    bool taken = false;
    if (!TakePath(argc, argv, &i, "--script", &options->script, error, &taken)) return false;
    if (taken) continue;
    if (!TakePath(argc, argv, &i, "--transcript", &options->transcript, error, &taken)) return false;
    if (taken) continue;
    argv[kept++] = argv[i];
  }
  argc = kept;
  argv[argc] = nullptr;
  return true;
}

std::unique_ptr<Host> Host::Start(const HostOptions& options, std::string* error) {
  std::unique_ptr<Host> host;
  {
    // The host is the current one from here on, so that a second start is
    // refused; a start that fails below gives the place up again in ~Host,
    // which takes this lock itself.
    std::lock_guard lock(CurrentMutex());
    if (CurrentHost() != nullptr) {
      if (error != nullptr) *error = "a device host is running already";
      return nullptr;
    }
    host.reset(new Host);
    CurrentHost() = host.get();
  }
  host->options_ = options;
  host->screen_ = DeviceScreen::Open(options.headless, nullptr);
  host->runner_ = std::make_shared<ScriptRunner>(*host->transcript_, *host->screen_, host->input_);
  // The script is read before the transcript is opened, which empties its
  // file.
  if (!options.script.empty()) {
    ScriptError problem;
    if (!host->runner_->LoadFile(options.script, &problem)) {
      if (error != nullptr) {
        *error = problem.line > 0
                     ? options.script.string() + ":" + std::to_string(problem.line) + ": " + problem.message
                     : problem.message;
      }
      return nullptr;
    }
  }
  if (!options.transcript.empty()) {
    std::error_code ignored;
    if (!options.script.empty() && std::filesystem::equivalent(options.script, options.transcript, ignored)) {
      if (error != nullptr) {
        *error = "the transcript " + options.transcript.string() + " is the script " + options.script.string();
      }
      return nullptr;
    }
    if (!host->transcript_->OpenFile(options.transcript, error)) return nullptr;
  }
  if (!StartShell()) {
    if (error != nullptr) *error = "the shell's bars cannot be made";
    return nullptr;
  }
  Host* raw = host.get();
  DWORD uiThread = GetCurrentThreadId();
  std::shared_ptr<Transcript> transcript = host->transcript_;
  std::shared_ptr<ScriptRunner> runner = host->runner_;
  host->previousBoxes_ = InstallDrawnMessageBoxes();
  // Other threads may show boxes while the host goes away: they use only
  // what they share; the host itself is reached on its own thread.
  SetMessageBoxHandler([raw, uiThread, transcript, runner](const MessageBoxRequest& request) {
    if (GetCurrentThreadId() == uiThread) raw->BeforeMessageBox();
    int answer = 0;
    if (runner->HasSteps() && (!runner->Finished() || runner->QuitRequested() || runner->Failed())) {
      answer = runner->AnswerFor(request);
    } else {
      answer = ShowDrawnMessageBox(request);
    }
    transcript->Write(MessageBoxLine(request, answer));
    return answer;
  });
  host->previousHttp_ = SetHttpObserver([transcript](const HttpEvent& event) {
    transcript->Write(HttpLine(event));
  });
  host->previousMedia_ = SetMediaObserver([transcript](const MediaEvent& event) {
    transcript->Write(MediaLine(event));
  });
  host->previousAudio_ = GetMediaAudioOutput();
  if (options.headless) SetMediaAudioOutput(MediaAudioOutput::kClockedFake);
  host->previousGesture_ = SetGestureObserver([runner](HWND, POINT) { runner->GestureRecognised(); });
  host->uiThread_ = uiThread;
  host->timer_ = SetTimer(nullptr, 0, kFrameMs, &Host::OnTimer);
  return host;
}

Host::~Host() {
  {
    std::lock_guard lock(CurrentMutex());
    if (CurrentHost() == this) CurrentHost() = nullptr;
  }
  if (timer_ != 0) KillTimer(nullptr, timer_);
  if (uiThread_ != 0) {
    SetMessageBoxHandler(previousBoxes_);
    SetHttpObserver(previousHttp_);
    SetMediaObserver(previousMedia_);
    SetMediaAudioOutput(previousAudio_);
    SetGestureObserver(previousGesture_);
    StopShell();
  }
  // A quit the host asked for is not left for whoever pumps next.
  if (ending_) {
    MSG msg;
    PeekMessage(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
  }
}

void Host::OnTimer(HWND, UINT, UINT_PTR, DWORD) {
  Host* host;
  {
    std::lock_guard lock(CurrentMutex());
    host = CurrentHost();
  }
  if (host != nullptr && GetCurrentThreadId() == host->uiThread_) host->Frame();
}

void Host::WatchScreen() {
  watcher_.Poll(*transcript_);
  if (ShellStarted() && UpdateShell()) {
    transcript_->Write("menubar " + std::to_string(CurrentMenuBarId()));
  }
}

void Host::BeforeMessageBox() {
  // What the screen showed before the box comes first in the transcript.
  if (!inFrame_) WatchScreen();
}

void Host::Frame() {
  if (inFrame_) return;
  inFrame_ = true;
  std::vector<detail::HostEvent> events;
  screen_->Poll(&events);
  for (const detail::HostEvent& event : events) {
    using Kind = detail::HostEvent::Kind;
    switch (event.kind) {
      case Kind::kStylusDown: input_.StylusDown(event.point); break;
      case Kind::kStylusMove: input_.StylusMove(event.point); break;
      case Kind::kStylusUp: input_.StylusUp(event.point); break;
      case Kind::kKeyDown: input_.KeyDown(event.virtualKey, event.repeat); break;
      case Kind::kKeyUp: input_.KeyUp(event.virtualKey); break;
      case Kind::kRotate: Turn(); break;
      case Kind::kClose: windowClosed_ = true; break;
    }
  }
  WatchScreen();
  runner_->Tick();
  bool fromFile = !options_.script.empty();
  if (runner_->Failed() && fromFile && !reported_) {
    std::fprintf(stderr, "script %s: %s\n", options_.script.string().c_str(),
                 runner_->Failure().c_str());
    reported_ = true;
  }
  // A failed script ends the program's loops whoever gave it; a headless
  // run has nobody to carry on after the script of its command line.
  bool scriptEnds = runner_->Failed() || runner_->QuitRequested() ||
                    (fromFile && runner_->Finished() && !screen_->HasWindow());
  if (windowClosed_ || scriptEnds) ending_ = true;
  // Asked again each frame, so that a loop the program starts later ends too.
  if (ending_) PostQuitMessage(0);
  uint64_t now = CurrentClock().NowMs();
  if (screen_->HasWindow() && now - lastPresentMs_ >= kPresentMs) {
    screen_->Present();
    lastPresentMs_ = now;
  }
  inFrame_ = false;
}

bool Host::RunScriptToEnd(int timeoutMs) {
  auto start = std::chrono::steady_clock::now();
  while (!runner_->Failed() && !runner_->Finished()) {
    auto spent = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
    if (spent.count() > timeoutMs) {
      runner_->Fail("the script did not end within " + std::to_string(timeoutMs) + " ms");
      break;
    }
    MSG msg;
    if (GetMessage(&msg, nullptr, 0, 0) <= 0) break;
    TranslateMessage(&msg);
    DispatchMessage(&msg);
  }
  Frame();
  return !runner_->Failed();
}

int Host::Finish(int programResult) {
  watcher_.Poll(*transcript_);
  if (runner_->HasSteps()) runner_->FailUnfinished();
  // A transcript that lost lines is no record of the run: the run fails.
  std::string lost = transcript_->WriteFailure();
  if (!lost.empty()) {
    std::fprintf(stderr, "%s\n", lost.c_str());
    return 1;
  }
  if (!runner_->Failed()) return programResult;
  if (!reported_) {
    std::string label = options_.script.empty() ? "script" : "script " + options_.script.string();
    std::fprintf(stderr, "%s: %s\n", label.c_str(), runner_->Failure().c_str());
    reported_ = true;
  }
  return 1;
}

int RunOnDeviceScreen(int& argc, char** argv, const std::function<int()>& program) {
  HostOptions options;
  std::string error;
  const char* name = argc > 0 ? argv[0] : "program";
  auto usage = [name](FILE* out) {
    std::fprintf(out, "usage: %s [--device DIR] [--headless] [--script FILE] [--transcript FILE]\n",
                 name);
  };
  // Asking for the usage opens (creates) no device root.
  for (int i = 1; i < argc && std::string_view(argv[i]) != "--"; ++i) {
    std::string_view arg = argv[i];
    if (arg == "--help" || arg == "-h") {
      usage(stdout);
      return 0;
    }
    if (arg == "--device" || arg == "--script" || arg == "--transcript") ++i;  // its value
  }
  // The device root comes first: the screen, the shell and the program all
  // work on it.
  if (!OpenDeviceRootFromArgs(argc, argv, &error)) {
    std::fprintf(stderr, "%s\n", error.c_str());
    return 2;
  }
  if (!TakeHostOptions(argc, argv, &options, &error)) {
    std::fprintf(stderr, "%s\n", error.c_str());
    return 2;
  }
  // The programs of the set take no options of their own.
  for (int i = 1; i < argc && std::string_view(argv[i]) != "--"; ++i) {
    if (argv[i][0] == '-' && argv[i][1] != '\0') {
      std::fprintf(stderr, "unknown option %s\n", argv[i]);
      usage(stderr);
      return 2;
    }
  }
  std::unique_ptr<Host> host = Host::Start(options, &error);
  if (host == nullptr) {
    std::fprintf(stderr, "%s\n", error.c_str());
    return 2;
  }
  int result = program();
  return host->Finish(result);
}

}  // namespace ce
