// Helpers for tests: a temporary device root, a virtual clock installed for a
// scope, a scripted user who answers message boxes, captured debug output and
// a child process for tests that need a second process of the device.
#pragma once

#include <deque>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "platform/base/MessageBox.h"
#include "platform/base/VirtualClock.h"

namespace ce::testing {

// A fresh device root in the host's temporary folder, opened for the
// process; closed and removed again when the object goes away.
class TempDeviceRoot {
 public:
  TempDeviceRoot();
  ~TempDeviceRoot();
  TempDeviceRoot(const TempDeviceRoot&) = delete;
  TempDeviceRoot& operator=(const TempDeviceRoot&) = delete;

  const std::filesystem::path& Path() const { return path_; }
  // Host path of a device path ("\Program Files\Zolfa\a.xml").
  std::filesystem::path HostPath(std::u16string_view devicePath) const;
  // Puts bytes into a device file from the host side, creating its folders;
  // for preparing a test's files without going through the code under test.
  void WriteDeviceBytes(std::u16string_view devicePath, std::string_view bytes) const;
  // The bytes of a device file read from the host side ("" when missing).
  std::string ReadDeviceBytes(std::u16string_view devicePath) const;

 private:
  std::filesystem::path path_;
};

// Installs a VirtualClock for the process while it lives.
class ScopedVirtualClock {
 public:
  explicit ScopedVirtualClock(uint64_t startMs = 1000);
  ~ScopedVirtualClock();
  VirtualClock& operator*() { return clock_; }
  VirtualClock* operator->() { return &clock_; }

 private:
  VirtualClock clock_;
};

// Answers message boxes from a queue of answers (IDOK when the queue is
// empty) and records every box it was shown.
class ScriptedUser {
 public:
  ScriptedUser();
  ~ScriptedUser();
  ScriptedUser(const ScriptedUser&) = delete;
  ScriptedUser& operator=(const ScriptedUser&) = delete;

  void Answer(int answer);
  std::vector<MessageBoxRequest> Boxes();
  void Clear();

 private:
  // Shared with the installed handler, so a box shown by a late thread after
  // the user went away still finds live state.
  struct State {
    std::mutex mutex;
    std::deque<int> answers;
    std::vector<MessageBoxRequest> boxes;
  };
  std::shared_ptr<State> state_;
  MessageBoxHandler previous_;
};

// Collects debug output (OutputDebugString) while it lives.
class DebugCapture {
 public:
  DebugCapture();
  ~DebugCapture();
  DebugCapture(const DebugCapture&) = delete;
  DebugCapture& operator=(const DebugCapture&) = delete;

  // Every text as given, in UTF-8, in the order written.
  std::vector<std::string> Texts();
  void Clear();

 private:
  struct State {
    std::mutex mutex;
    std::vector<std::string> texts;
  };
  std::shared_ptr<State> state_;
};

// Runs body in a forked child process and returns its result (0..255), or
// 128 + the signal number when the child was killed. The child leaves with
// _exit, so it runs no destructors of the parent's objects. Call it while
// no other thread of the test holds a lock the child needs.
int RunInChildProcess(const std::function<int()>& body);

}  // namespace ce::testing
