// Runs a script's steps from the message loops of the UI thread, whichever
// loop is running (the program's own, a modal dialog's, a popup menu's):
// the host calls Tick on every frame, and a step that gives the program
// input lets it handle that input before the next step runs.
//
// The same runner is the C++ API of the end-to-end tests: load lines, run
// the program (or Host::RunScriptToEnd when the test has no loop of its
// own), then look at Failed() and the transcript.
#pragma once

#include <atomic>
#include <deque>
#include <filesystem>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "platform/base/MessageBox.h"
#include "platform/host/Script.h"

namespace ce {

class DeviceInput;
struct VisibleControl;
class DeviceScreen;
class Transcript;

class ScriptRunner {
 public:
  ScriptRunner(Transcript& transcript, DeviceScreen& screen, DeviceInput& input);
  ScriptRunner(const ScriptRunner&) = delete;
  ScriptRunner& operator=(const ScriptRunner&) = delete;

  // Adds steps after those already loaded. False with the faulty line
  // (numbered from the first line of this text) when the text is wrong.
  bool Load(std::string_view text, ScriptError* error);
  // A script file must be a regular file of at most kMaxScriptBytes; a
  // folder, a FIFO or a device is refused without waiting on it.
  static constexpr size_t kMaxScriptBytes = 1024 * 1024;
  bool LoadFile(const std::filesystem::path& path, ScriptError* error);
  void Add(ScriptStep step);

  // Runs what can run now; called on the UI thread by the host's frames.
  void Tick();

  bool HasSteps() const;
  // Every step has run (a quit included).
  bool Finished() const;
  bool QuitRequested() const;
  bool Failed() const;
  // "line 7 (tap 1001): no visible control has id 1001" once failed.
  std::string Failure() const;
  // Fails the script from outside.
  void Fail(const std::string& message);
  // Fails a script whose steps have not all run: the program ended first.
  void FailUnfinished();

  // The answer to a message box being shown: the next "answer" given, or
  // the box's default button. An answer the box has no button for fails
  // the script. Any thread.
  int AnswerFor(const MessageBoxRequest& request);
  // A tap-and-hold was recognised; a held stylus is released.
  void GestureRecognised();

 private:
  enum class Progress { kDone, kYield, kWait };
  Progress Run(const ScriptStep& step);
  Progress Tap(const ScriptStep& step);
  Progress Hold(const ScriptStep& step);
  Progress Keys(const ScriptStep& step);
  Progress Menu(const ScriptStep& step);
  Progress Until(const ScriptStep& step);
  Progress Await(const ScriptStep& step);
  Progress AwaitText(const ScriptStep& step);
  Progress Dump();
  Progress Stop(const ScriptStep& step, const std::string& reason);
  bool ResolveTarget(const ScriptStep& step, POINT* point, std::string* reason);
  // The one visible control the target names in the active window or its
  // visible child dialogs.
  bool FindTargetControl(const ScriptTarget& target, VisibleControl* found, std::string* reason);

  Transcript& transcript_;
  DeviceScreen& screen_;
  DeviceInput& input_;

  std::vector<ScriptStep> steps_;
  // Read by the threads that show message boxes.
  std::atomic<size_t> stepCount_{0};
  std::atomic<size_t> next_{0};
  int phase_ = 0;         // progress within the current step
  uint64_t deadline_ = 0; // process clock, ms
  POINT held_;            // where a hold holds the stylus
  uint64_t untilFrom_ = 0;  // transcript line after the last until's match
  bool inTick_ = false;
  std::atomic<bool> gesture_{false};
  std::atomic<bool> quit_{false};

  mutable std::mutex mutex_;  // answers_ and the failure
  struct Answer {
    int answer;
    int line;
  };
  std::deque<Answer> answers_;
  bool failed_ = false;
  std::string failure_;
};

}  // namespace ce
