#include "platform/testing/TestSupport.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>

#include "platform/base/Debug.h"
#include "platform/base/DeviceFile.h"
#include "platform/base/DeviceRoot.h"

namespace ce::testing {

TempDeviceRoot::TempDeviceRoot() {
  std::string pattern = (std::filesystem::temp_directory_path() / "ce-device-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  path_ = pattern;
  std::string error;
  if (!OpenDeviceRoot(path_, &error)) throw std::runtime_error("device root: " + error);
}

TempDeviceRoot::~TempDeviceRoot() {
  CloseDeviceRoot();
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

std::filesystem::path TempDeviceRoot::HostPath(std::u16string_view devicePath) const {
  auto resolved = ResolveDevicePath(devicePath);
  if (!resolved) throw std::runtime_error("device path escapes the root");
  return *resolved;
}

void TempDeviceRoot::WriteDeviceBytes(std::u16string_view devicePath, std::string_view bytes) const {
  std::filesystem::path host = HostPath(devicePath);
  std::filesystem::create_directories(host.parent_path());
  std::ofstream out(host, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + host.string());
}

std::string TempDeviceRoot::ReadDeviceBytes(std::u16string_view devicePath) const {
  std::ifstream in(HostPath(devicePath), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

ScopedVirtualClock::ScopedVirtualClock(uint64_t startMs) : clock_(startMs) { SetClock(&clock_); }

ScopedVirtualClock::~ScopedVirtualClock() { SetClock(nullptr); }

ScriptedUser::ScriptedUser() : state_(std::make_shared<State>()) {
  previous_ = SetMessageBoxHandler([state = state_](const MessageBoxRequest& box) {
    std::lock_guard lock(state->mutex);
    state->boxes.push_back(box);
    if (state->answers.empty()) return IDOK;
    int answer = state->answers.front();
    state->answers.pop_front();
    return answer;
  });
}

ScriptedUser::~ScriptedUser() { SetMessageBoxHandler(previous_); }

void ScriptedUser::Answer(int answer) {
  std::lock_guard lock(state_->mutex);
  state_->answers.push_back(answer);
}

std::vector<MessageBoxRequest> ScriptedUser::Boxes() {
  std::lock_guard lock(state_->mutex);
  return state_->boxes;
}

void ScriptedUser::Clear() {
  std::lock_guard lock(state_->mutex);
  state_->boxes.clear();
}

DebugCapture::DebugCapture() : state_(std::make_shared<State>()) {
  SetDebugSink([state = state_](const std::string& text) {
    std::lock_guard lock(state->mutex);
    state->texts.push_back(text);
  });
}

DebugCapture::~DebugCapture() { SetDebugSink(nullptr); }

std::vector<std::string> DebugCapture::Texts() {
  std::lock_guard lock(state_->mutex);
  return state_->texts;
}

void DebugCapture::Clear() {
  std::lock_guard lock(state_->mutex);
  state_->texts.clear();
}

int RunInChildProcess(const std::function<int()>& body) {
  std::fflush(nullptr);  // nothing buffered is written twice
  pid_t child = fork();
  if (child < 0) throw std::runtime_error("fork failed");
  if (child == 0) {
    int code = body();
    std::fflush(nullptr);
    _exit(code & 0xFF);
  }
  int status = 0;
  while (waitpid(child, &status, 0) < 0) {
    if (errno != EINTR) return -1;
  }
  if (WIFEXITED(status)) return WEXITSTATUS(status);
  return WIFSIGNALED(status) ? 128 + WTERMSIG(status) : -1;
}

}  // namespace ce::testing
