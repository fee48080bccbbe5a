#include "platform/host/ScriptRunner.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <sstream>

#include "platform/base/Clock.h"
#include "platform/base/CodePage.h"
#include "platform/controls/CommonControls.h"
#include "platform/controls/Metrics.h"
#include "platform/controls/VisibleControls.h"
#include "platform/host/DeviceInput.h"
#include "platform/host/DeviceScreen.h"
#include "platform/host/Transcript.h"
#include "platform/host/TranscriptLines.h"
#include "platform/host/detail/ListTargets.h"
#include "platform/host/detail/WindowNames.h"
#include "platform/shell/Display.h"
#include "platform/shell/Gesture.h"
#include "platform/shell/Shell.h"
#include "platform/window/Focus.h"

namespace ce {

namespace {

// How long a scripted hold keeps the stylus down when the program does not
// recognise the gesture: past the long hold period, in ms.
constexpr uint64_t kHoldLimitMs = kTapAndHoldLongMs + 200;
// How long "menu" waits for the popup its soft key opens, in ms.
constexpr uint64_t kPopupWaitMs = 2000;
// Steps run in one frame at most, so that a long run of answers and dumps
// still lets the program breathe.
constexpr int kStepsPerTick = 64;

uint64_t Now() { return CurrentClock().NowMs(); }

POINT Centre(const RECT& rect) {
  return POINT{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

std::string RectText(const RECT& rect) {
  return std::to_string(rect.left) + "," + std::to_string(rect.top) + " " +
         std::to_string(rect.right - rect.left) + "x" + std::to_string(rect.bottom - rect.top);
}

std::vector<int> ButtonsOf(UINT flags) {
  switch (flags & 0xF) {
    case MB_OKCANCEL: return {IDOK, IDCANCEL};
    case MB_ABORTRETRYIGNORE: return {IDABORT, IDRETRY, IDIGNORE};
    case MB_YESNOCANCEL: return {IDYES, IDNO, IDCANCEL};
    case MB_YESNO: return {IDYES, IDNO};
    case MB_RETRYCANCEL: return {IDRETRY, IDCANCEL};
    default: return {IDOK};
  }
}

int DefaultButton(UINT flags) {
  std::vector<int> buttons = ButtonsOf(flags);
  size_t index = (flags & MB_DEFBUTTON3) != 0 ? 2 : (flags & MB_DEFBUTTON2) != 0 ? 1 : 0;
  return buttons[index < buttons.size() ? index : 0];
}

// The innermost open popup menu of this process, or null.
HWND OpenPopupMenu() {
  for (HWND window : TopLevelWindows()) {
    if (!IsWindowVisible(window)) continue;
    char16_t name[16] = {};
    GetClassName(window, name, 16);
    if (std::u16string(name) == WC_POPUPMENU) return window;
  }
  return nullptr;
}

std::string DialogLabel(HWND control) {
  std::u16string name;
  if (detail::NearestTemplateDialog(GetParent(control), &name) == nullptr) return "?";
  return ToUtf8(name);
}

}  // namespace

ScriptRunner::ScriptRunner(Transcript& transcript, DeviceScreen& screen, DeviceInput& input)
    : transcript_(transcript), screen_(screen), input_(input) {}

bool ScriptRunner::Load(std::string_view text, ScriptError* error) {
  std::vector<ScriptStep> steps;
  if (!ParseScript(text, &steps, error)) return false;
  for (ScriptStep& step : steps) steps_.push_back(std::move(step));
  stepCount_ = steps_.size();
  return true;
}

bool ScriptRunner::LoadFile(const std::filesystem::path& path, ScriptError* error) {
  auto refuse = [&](const std::string& why) {
    if (error != nullptr) *error = ScriptError{0, why};
    return false;
  };
  // Non-blocking, so that a FIFO named as the script cannot hold the start.
  int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return refuse("cannot read " + path.string());
  struct stat st {};
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    close(fd);
    return refuse("the script " + path.string() + " is not a file");
  }
  if (st.st_size > static_cast<off_t>(kMaxScriptBytes)) {
    close(fd);
    return refuse("the script " + path.string() + " is larger than " +
                  std::to_string(kMaxScriptBytes / 1024 / 1024) + " MiB");
  }
  std::string text;
  char buffer[65536];
  for (;;) {
    ssize_t n = read(fd, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      close(fd);
      return refuse("cannot read " + path.string());
    }
    if (n == 0) break;
    text.append(buffer, static_cast<size_t>(n));
    if (text.size() > kMaxScriptBytes) {  // it grew while being read
      close(fd);
      return refuse("the script " + path.string() + " is larger than " +
                    std::to_string(kMaxScriptBytes / 1024 / 1024) + " MiB");
    }
  }
  close(fd);
  return Load(text, error);
}

void ScriptRunner::Add(ScriptStep step) {
  steps_.push_back(std::move(step));
  stepCount_ = steps_.size();
}

bool ScriptRunner::HasSteps() const { return stepCount_ > 0; }

bool ScriptRunner::Finished() const { return quit_ || next_ >= stepCount_; }

bool ScriptRunner::QuitRequested() const { return quit_; }

bool ScriptRunner::Failed() const {
  std::lock_guard lock(mutex_);
  return failed_;
}

std::string ScriptRunner::Failure() const {
  std::lock_guard lock(mutex_);
  return failure_;
}

void ScriptRunner::Fail(const std::string& message) {
  std::lock_guard lock(mutex_);
  if (failed_) return;
  failed_ = true;
  failure_ = message;
}

void ScriptRunner::FailUnfinished() {
  if (Finished()) return;
  const ScriptStep& step = steps_[next_.load()];
  Fail("line " + std::to_string(step.line) + " (" + step.source +
       "): the program ended before this step was done");
}

ScriptRunner::Progress ScriptRunner::Stop(const ScriptStep& step, const std::string& reason) {
  Fail("line " + std::to_string(step.line) + " (" + step.source + "): " + reason);
  return Progress::kWait;
}

void ScriptRunner::Tick() {
  if (inTick_) return;
  inTick_ = true;
  for (int budget = 0; budget < kStepsPerTick; ++budget) {
    if (Failed() || quit_ || next_ >= steps_.size()) break;
    Progress progress = Run(steps_[next_.load()]);
    if (Failed() || progress == Progress::kWait) break;
    ++next_;
    phase_ = 0;
    if (progress == Progress::kYield) break;
  }
  inTick_ = false;
}

int ScriptRunner::AnswerFor(const MessageBoxRequest& request) {
  std::lock_guard lock(mutex_);
  int fallback = DefaultButton(request.flags);
  if (answers_.empty()) return fallback;
  Answer given = answers_.front();
  answers_.pop_front();
  std::vector<int> buttons = ButtonsOf(request.flags);
  if (std::find(buttons.begin(), buttons.end(), given.answer) != buttons.end()) return given.answer;
  if (!failed_) {
    std::string offered;
    for (int button : buttons) offered += (offered.empty() ? "" : " ") + AnswerName(button);
    failed_ = true;
    failure_ = "line " + std::to_string(given.line) + " (answer " + AnswerName(given.answer) +
               "): the message box " + QuoteForTranscript(request.text) + " offers " + offered;
  }
  return fallback;
}

void ScriptRunner::GestureRecognised() { gesture_ = true; }

bool ScriptRunner::ResolveTarget(const ScriptStep& step, POINT* point, std::string* reason) {
  const ScriptTarget& target = step.target;
  if (target.isPoint) {
    int width = GetSystemMetrics(SM_CXSCREEN);
    int height = GetSystemMetrics(SM_CYSCREEN);
    if (target.point.x >= width || target.point.y >= height) {
      *reason = "the point lies outside the " + std::to_string(width) + " x " +
                std::to_string(height) + " screen";
      return false;
    }
    *point = target.point;
    return true;
  }
  VisibleControl found;
  if (!FindTargetControl(target, &found, reason)) return false;
  std::string id = std::to_string(target.controlId);
  if (!found.enabled) {
    *reason = "control " + id + " is disabled";
    return false;
  }
  // The tap goes where the user would tap: the middle of what is seen of
  // the control, which must then be what the stylus reaches.
  HWND control = found.window;
  RECT visible = ClipToAncestors(control, found.screenRect);
  if (IsRectEmpty(&visible)) {
    *reason = "control " + id + " is not on the screen";
    return false;
  }
  *point = Centre(visible);
  if (target.part != ScriptTarget::Part::kControl &&
      !detail::ListItemPoint(control, target.part, target.index, visible, id, point, reason)) {
    return false;
  }
  HWND hit = WindowFromPoint(*point);
  if (hit == control || (hit != nullptr && IsChild(control, hit))) return true;
  if (hit != nullptr && IsChild(hit, control)) {
    *reason = "control " + id + " lies in a disabled window";
  } else {
    *reason = "control " + id + " is covered";
  }
  return false;
}

bool ScriptRunner::FindTargetControl(const ScriptTarget& target, VisibleControl* found, std::string* reason) {
  HWND active = GetActiveWindow();
  if (active == nullptr) {
    *reason = "no window is active";
    return false;
  }
  std::vector<VisibleControl> matches;
  for (const VisibleControl& control : ListVisibleControls(active)) {
    if (control.window == active || control.id != target.controlId) continue;
    if (!target.dialog.empty()) {
      std::u16string name;
      if (detail::NearestTemplateDialog(GetParent(control.window), &name) == nullptr ||
          name != target.dialog) {
        continue;
      }
    }
    matches.push_back(control);
  }
  std::string id = std::to_string(target.controlId);
  if (matches.empty()) {
    *reason = "no visible control has id " + id +
              (target.dialog.empty() ? "" : " in dialog " + ToUtf8(target.dialog));
    return false;
  }
  if (matches.size() > 1) {
    *reason = "id " + id + " names " + std::to_string(matches.size()) +
              " visible controls; name the dialog:";
    for (const VisibleControl& control : matches) {
      *reason += " " + DialogLabel(control.window) + "/" + id + " " +
                 QuoteForTranscript(control.text) + " at " + RectText(control.screenRect) + ";";
    }
    reason->pop_back();
    return false;
  }
  *found = matches[0];
  return true;
}

ScriptRunner::Progress ScriptRunner::Await(const ScriptStep& step) {
  if (phase_ == 0) {
    deadline_ = Now() + step.ms;
    phase_ = 1;
  }
  VisibleControl found;
  std::string reason;
  if (FindTargetControl(step.target, &found, &reason)) {
    if (detail::ListHasEntry(found.window, step.target.part, step.target.index, &reason)) return Progress::kDone;
  }
  if (Now() < deadline_) return Progress::kWait;
  return Stop(step, reason + " after " + std::to_string(step.ms) + " ms");
}

ScriptRunner::Progress ScriptRunner::AwaitText(const ScriptStep& step) {
  if (phase_ == 0) {
    deadline_ = Now() + step.ms;
    phase_ = 1;
  }
  const std::u16string wanted = FromUtf8(step.text);
  for (const TextRecord& text : screen_.VisibleTexts()) {
    if (text.text.find(wanted) != std::u16string::npos) return Progress::kDone;
  }
  if (Now() < deadline_) return Progress::kWait;
  return Stop(step, "the screen did not show " + QuoteForTranscript(wanted) + " within " + std::to_string(step.ms) + " ms");
}

ScriptRunner::Progress ScriptRunner::Tap(const ScriptStep& step) {
  POINT point;
  std::string reason;
  if (!ResolveTarget(step, &point, &reason)) return Stop(step, reason);
  input_.StylusDown(point);
  input_.StylusUp(point);
  return Progress::kYield;
}

ScriptRunner::Progress ScriptRunner::Hold(const ScriptStep& step) {
  if (phase_ == 0) {
    std::string reason;
    if (!ResolveTarget(step, &held_, &reason)) return Stop(step, reason);
    gesture_ = false;
    input_.StylusDown(held_);
    deadline_ = Now() + kHoldLimitMs;
    phase_ = 1;
    return Progress::kWait;
  }
  if (!gesture_ && Now() < deadline_) return Progress::kWait;
  input_.StylusUp(held_);
  return Progress::kYield;
}

// One key a frame, so that each key reaches the window that has the focus
// after the keys before it.
ScriptRunner::Progress ScriptRunner::Keys(const ScriptStep& step) {
  UINT key = step.keys[static_cast<size_t>(phase_)];
  input_.KeyDown(key, false);
  input_.KeyUp(key);
  ++phase_;
  return static_cast<size_t>(phase_) >= step.keys.size() ? Progress::kYield : Progress::kWait;
}

ScriptRunner::Progress ScriptRunner::Menu(const ScriptStep& step) {
  std::string command = std::to_string(step.command);
  HWND popup = OpenPopupMenu();
  if (popup != nullptr) {
    for (const VisibleControl& item : ListVisibleControls(popup)) {
      if (item.className != u"MenuItem" || item.id != static_cast<int>(step.command)) continue;
      if (!item.enabled) return Stop(step, "command " + command + " is disabled");
      POINT point = Centre(item.screenRect);
      input_.StylusDown(point);
      input_.StylusUp(point);
      return Progress::kYield;
    }
    return Stop(step, "the open menu has no command " + command);
  }
  if (phase_ == 1) {
    if (Now() < deadline_) return Progress::kWait;
    return Stop(step, "the menu bar's popup did not open");
  }
  if (CurrentMenuBar() == nullptr) return Stop(step, "no menu bar is shown");
  bool direct = false;
  bool enabled = false;
  int key = MenuBarKeyForCommand(step.command, &direct, &enabled);
  if (key < 0) return Stop(step, "the menu bar has no command " + command);
  if (!enabled) return Stop(step, "command " + command + " is disabled");
  PressMenuBarKey(key);
  if (direct) return Progress::kYield;
  phase_ = 1;
  deadline_ = Now() + kPopupWaitMs;
  return Progress::kWait;
}

ScriptRunner::Progress ScriptRunner::Until(const ScriptStep& step) {
  if (phase_ == 0) {
    deadline_ = Now() + step.ms;
    phase_ = 1;
  }
  int64_t found = transcript_.Find(step.text, untilFrom_);
  if (found >= 0) {
    untilFrom_ = static_cast<uint64_t>(found) + 1;
    return Progress::kDone;
  }
  if (Now() >= deadline_) {
    return Stop(step, "no transcript line contains \"" + step.text + "\" after " +
                          std::to_string(step.ms) + " ms");
  }
  return Progress::kWait;
}

ScriptRunner::Progress ScriptRunner::Dump() {
  for (const TextRecord& text : screen_.VisibleTexts()) transcript_.Write(TextLine(text.rect, text.text));
  HWND active = GetActiveWindow();
  if (active != nullptr) {
    for (const std::string& line : detail::VisibleListLines(active)) transcript_.Write(line);
  }
  return Progress::kDone;
}

ScriptRunner::Progress ScriptRunner::Run(const ScriptStep& step) {
  switch (step.verb) {
    case ScriptVerb::kTap:
      return Tap(step);
    case ScriptVerb::kHold:
      return Hold(step);
    case ScriptVerb::kKey:
      return Keys(step);
    case ScriptVerb::kType:
      input_.Type(FromUtf8(step.text));
      return Progress::kYield;
    case ScriptVerb::kMenu:
      return Menu(step);
    case ScriptVerb::kAnswer: {
      std::lock_guard lock(mutex_);
      answers_.push_back(Answer{step.answer, step.line});
      return Progress::kDone;
    }
    case ScriptVerb::kWait:
      if (phase_ == 0) {
        deadline_ = Now() + step.ms;
        phase_ = 1;
      }
      return Now() >= deadline_ ? Progress::kDone : Progress::kWait;
    case ScriptVerb::kUntil:
      return Until(step);
    case ScriptVerb::kAwait:
      return Await(step);
    case ScriptVerb::kAwaitText:
      return AwaitText(step);
    case ScriptVerb::kShot: {
      std::string error;
      if (!screen_.WriteShot(std::filesystem::path(step.text), &error)) return Stop(step, error);
      return Progress::kDone;
    }
    case ScriptVerb::kDump:
      return Dump();
    case ScriptVerb::kRotate: {
      DEVMODE mode;
      mode.dmFields = DM_DISPLAYORIENTATION;
      DWORD now = ScreenOrientation();
      mode.dmDisplayOrientation = now == DMDO_90 || now == DMDO_270 ? DMDO_0 : DMDO_90;
      LONG result = ChangeDisplaySettingsEx(nullptr, &mode, nullptr, 0, nullptr);
      if (result != DISP_CHANGE_SUCCESSFUL) return Stop(step, "the screen cannot turn");
      return Progress::kYield;
    }
    case ScriptVerb::kStamp:
      // The real clock, also under a virtual one: stamps time the program.
      transcript_.Write("stamp " + step.text + " " + std::to_string(RealClock().NowMs()));
      return Progress::kDone;
    case ScriptVerb::kQuit:
      quit_ = true;
      PostQuitMessage(0);
      return Progress::kYield;
  }
  return Progress::kDone;
}

}  // namespace ce
