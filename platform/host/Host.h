// The device host: the screen a program runs on, its input, the shell's
// bars, the transcript and the script runner, all on the program's UI
// thread.
//
// A program starts it from main before it runs its windows:
//
//   int main(int argc, char** argv) {
//     return ce::RunOnDeviceScreen(argc, argv, [] { return app.Run(); });
//   }
//
// which understands --device DIR, --script FILE, --transcript FILE and
// --headless (and takes them out of argv). The host shows an SDL window scaled x2 when a
// display exists and --headless is not given, and stays off-screen
// otherwise. Every frame (a thread timer of kFrameMs) it turns the
// window's input into stylus and keypad messages, follows the active
// window with the title and menu bars, writes the transcript's show, hide
// and menubar lines and runs the script's next steps. A script ends the
// program's loops when it fails or quits; one given with --script also
// when it has run out on a headless screen. Closing the window ends them
// too. Message boxes are
// drawn on the screen and answered by the user, or, while a script runs,
// answered at once with the script's answer. Every HTTP request the
// program makes is written to the transcript, and so is what its media
// controls do. A headless screen has no sound either: the media controls
// play to a sink on the clock.
#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "platform/base/MessageBox.h"
#include "platform/host/DeviceInput.h"
#include "platform/host/DeviceScreen.h"
#include "platform/host/ScriptRunner.h"
#include "platform/host/Transcript.h"
#include "platform/host/WindowWatcher.h"
#include "platform/media/MediaPlayer.h"
#include "platform/net/WinInet.h"
#include "platform/shell/Gesture.h"

namespace ce {

struct HostOptions {
  std::filesystem::path script;      // empty: no script
  std::filesystem::path transcript;  // empty: kept in memory only
  bool headless = false;
};

// Takes --script FILE, --transcript FILE (or --name=FILE) and --headless
// out of argv. False with a message for a flag without its file.
bool TakeHostOptions(int& argc, char** argv, HostOptions* options, std::string* error);

class Host {
 public:
  // Time between frames, in ms of the process clock.
  static constexpr unsigned kFrameMs = 5;
  // Time between pictures shown in the window, in ms.
  static constexpr unsigned kPresentMs = 33;

  // Starts the host on the calling thread, which becomes the UI thread.
  // Null with a message when the transcript cannot be written or the
  // script is wrong (the message then names the line). One host at a time.
  static std::unique_ptr<Host> Start(const HostOptions& options, std::string* error);
  ~Host();
  Host(const Host&) = delete;
  Host& operator=(const Host&) = delete;

  DeviceScreen& Screen() { return *screen_; }
  DeviceInput& Input() { return input_; }
  Transcript& GetTranscript() { return *transcript_; }
  ScriptRunner& Script() { return *runner_; }

  // One frame now (the timer runs them on its own).
  void Frame();
  // Pumps the calling thread's messages until the script has ended (or
  // failed, or quit) or timeoutMs of real time passed, which fails it.
  // For tests without a message loop of their own. True when it succeeded.
  bool RunScriptToEnd(int timeoutMs);
  // The exit code of the program: the program's own, unless the script
  // failed or was left unfinished (then 1, with the reason on stderr).
  int Finish(int programResult);

 private:
  Host() = default;
  static void OnTimer(HWND window, UINT message, UINT_PTR id, DWORD tickCount);
  void BeforeMessageBox();
  void WatchScreen();

  HostOptions options_;
  std::unique_ptr<DeviceScreen> screen_;
  DeviceInput input_;
  // Shared with the observers, which other threads may be calling while
  // the host goes away.
  std::shared_ptr<Transcript> transcript_ = std::make_shared<Transcript>();
  WindowWatcher watcher_;
  std::shared_ptr<ScriptRunner> runner_;
  DWORD uiThread_ = 0;
  UINT_PTR timer_ = 0;
  uint64_t lastPresentMs_ = 0;
  bool inFrame_ = false;
  bool windowClosed_ = false;
  bool ending_ = false;    // the host asks every loop to end
  bool reported_ = false;  // the failure was written to stderr
  MessageBoxHandler previousBoxes_;
  HttpObserver previousHttp_;
  MediaObserver previousMedia_;
  MediaAudioOutput previousAudio_ = MediaAudioOutput::kAuto;
  GestureObserver previousGesture_;
};

// Opens the device root of the command line (--device DIR, else CE_DEVICE,
// else the build's default), starts the host from the command line, runs the
// program and returns its exit code (2 for a device root that cannot be
// opened or bad host arguments, with the message on stderr).
int RunOnDeviceScreen(int& argc, char** argv, const std::function<int()>& program);

}  // namespace ce
