// The window system of one process: the window table, the classes, the
// thread queues and the focus state, all behind one mutex.
//
// Window procedures never run with the mutex held: code takes what it needs
// under the lock, releases it around the call and looks the window up again
// by its handle afterwards, since the procedure may have destroyed it.
#pragma once

#include <array>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/window/Message.h"
#include "platform/window/Timer.h"
#include "platform/window/Window.h"

namespace ce::detail {

class ThreadQueue;

// One registered window class.
struct WindowClassRecord {
  ATOM atom = 0;
  std::u16string name;
  WNDCLASS wndClass;  // lpszClassName points into name
  int windowCount = 0;
};

// A message one thread sent to a window of another thread (or a piece of
// internal work to run on the window's thread when `task` is set). The
// sender keeps a reference and waits until `done`.
struct SentMessage {
  HWND hwnd = nullptr;
  UINT message = 0;
  WPARAM wParam = 0;
  LPARAM lParam = 0;
  std::function<void()> task;
  std::shared_ptr<ThreadQueue> sender;  // woken when done; null for asynchronous sends
  // Called (under the window system's lock) when an asynchronous send is done;
  // must not block and must not call into the window system.
  std::function<void(LRESULT result, bool delivered)> onDone;
  bool started = false;
  bool done = false;
  bool delivered = false;
  bool abandoned = false;  // the sender stopped waiting
  LRESULT result = 0;
};

struct TimerEntry {
  HWND hwnd = nullptr;
  UINT_PTR id = 0;
  UINT periodMs = 1;
  uint64_t dueMs = 0;
  TIMERPROC proc = nullptr;
  uint64_t order = 0;  // ties of due time fire in the order the timers were set
};

// The message queue of one thread. Waiting on `wake` always happens with
// the window system's mutex held.
class ThreadQueue {
 public:
  explicit ThreadQueue(DWORD threadId) : threadId_(threadId) {}

  DWORD threadId_;
  bool dead_ = false;  // the thread has ended
  std::condition_variable wake_;
  std::deque<std::shared_ptr<SentMessage>> sent_;
  std::deque<MSG> posted_;
  bool quitPending_ = false;
  int quitCode_ = 0;
  std::vector<TimerEntry> timers_;
  int paintPending_ = 0;  // windows of this thread with an update region
  // Sent messages this thread is handling now, innermost last.
  std::vector<std::shared_ptr<SentMessage>> handling_;
};

struct WindowRecord {
  HWND handle = nullptr;
  std::shared_ptr<WindowClassRecord> windowClass;
  std::shared_ptr<ThreadQueue> queue;
  WNDPROC proc = nullptr;
  HINSTANCE instance = nullptr;
  DWORD style = 0;
  DWORD exStyle = 0;
  RECT rect;  // relative to the parent's client area (screen for top-level)
  LONG_PTR id = 0;
  LONG_PTR userData = 0;
  std::vector<uint8_t> extraBytes;
  std::u16string text;
  HWND parent = nullptr;  // WS_CHILD windows
  HWND owner = nullptr;   // top-level windows
  std::vector<HWND> children;  // z-order, top first
  bool destroying = false;
  // Update region as a bounding rectangle in client coordinates.
  bool paintPending = false;
  bool erasePending = false;
  RECT update;
  uint64_t paintGeneration = 0;
  // Modal loop state (RunModalLoop / EndModalLoop).
  bool inModalLoop = false;
  bool modalEnded = false;
  INT_PTR modalResult = 0;
  std::array<std::unique_ptr<WindowExtra>, static_cast<size_t>(WindowExtraSlot::kCount)> extras;
};

constexpr uint64_t kNoDeadline = UINT64_MAX;

class WindowSystem {
 public:
  static WindowSystem& Get();

  std::mutex mutex_;
  uint32_t processKey_ = 0;  // upper 32 bits of this process's handles
  uint32_t nextSerial_ = 0;
  std::unordered_map<uint32_t, std::unique_ptr<WindowRecord>> windows_;
  std::vector<HWND> topLevel_;  // z-order, top first
  std::vector<std::shared_ptr<WindowClassRecord>> classes_;
  ATOM nextAtom_ = 0xC000;
  std::unordered_map<DWORD, std::weak_ptr<ThreadQueue>> queues_;
  std::unordered_map<UINT, WNDPROC> defaultHandlers_;
  HWND focus_ = nullptr;
  HWND active_ = nullptr;
  HWND capture_ = nullptr;
  uint64_t nextTimerOrder_ = 1;
  UINT_PTR nextThreadTimerId_ = 1;

  // --- everything below requires mutex_ to be held ---
  WindowRecord* Find(HWND window);
  // Find for a call that was handed the window: when there is none the
  // caller's last error says ERROR_INVALID_WINDOW_HANDLE.
  WindowRecord* FindOrFail(HWND window);
  // The calling thread's queue, created on first use.
  std::shared_ptr<ThreadQueue> CurrentQueue();
  std::shared_ptr<ThreadQueue> QueueOfThread(DWORD threadId);
  HWND NewHandle();
  bool IsLocalHandle(HWND window) const;
  bool IsRemoteHandle(HWND window) const;
  // The window and all its descendants, parents before children.
  void CollectSubtree(HWND window, std::vector<HWND>* out);
  bool IsAncestor(HWND ancestor, HWND window);
  bool IsVisibleLocked(HWND window);
  HWND RootOf(HWND window);
  // Completes a sent message; wakes its sender or calls its completion.
  void Complete(SentMessage& item, LRESULT result, bool delivered);
  // Makes every send still waiting for one of these windows return 0.
  void CancelSendsTo(ThreadQueue& queue, const std::vector<HWND>& windows);
  // Handles every message other threads sent to the calling thread; the lock
  // is released around each procedure call. Returns whether any was handled.
  bool HandleSentMessages(std::unique_lock<std::mutex>& lock, ThreadQueue& queue);
  // Waits on the queue's wake-up until notified or the clock reaches the
  // deadline (kNoDeadline: no limit).
  void Wait(std::unique_lock<std::mutex>& lock, ThreadQueue& queue, uint64_t deadlineMs);
  // Queues work to run on the window's thread, as a sent message that
  // nobody waits for. False when the window or its thread is gone.
  bool PostTask(HWND window, std::function<void()> task);
  // Queues a message for the window's thread whose result goes to onDone.
  bool SendAsync(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                 std::function<void(LRESULT, bool)> onDone);
  // Takes a window out of the table: unlinks it from its parent or the
  // top-level list, drops its timers and posted messages and clears focus,
  // activation and capture that name it. Its children must be gone already.
  std::unique_ptr<WindowRecord> RemoveRecord(HWND window);
  void AddUpdate(WindowRecord& record, const RECT* rect, bool erase);
  void ClearUpdate(WindowRecord& record);

  // Called by the thread-local holder when a thread ends: its windows go
  // away without messages and every send waiting for them returns 0.
  void ThreadEnded(const std::shared_ptr<ThreadQueue>& queue);

 private:
  WindowSystem();
};

// Sends a message, optionally also to a window that is being destroyed (the
// destruction's own WM_DESTROY and WM_NCDESTROY). timeoutMs kNoDeadline waits
// without limit. *delivered tells whether the procedure ran.
LRESULT SendMessageInternal(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                            uint64_t timeoutMs, bool allowDestroying, bool* delivered);

// Rewrites this process's entry in the device's window table from the
// current top-level windows (outside the lock).
void PublishTopLevelWindows();

// Activates a local top-level window on behalf of SetForegroundWindow or
// SetActiveWindow; `announce` writes the device's foreground record.
HWND ActivateLocal(HWND window, bool announce);
// Deactivates the local active window when another process took the
// foreground.
void DeactivateLocal(HWND window);

// The class registered under a name or atom; requires the lock.
std::shared_ptr<WindowClassRecord> FindClassLocked(LPCWSTR name);

// The retrieval of GetMessage / PeekMessage. Returns 1 with a message
// (WM_QUIT included), 0 when nothing is there and wait is false, -1 for an
// invalid filter window and -2 when `stop` (called with the lock held, after
// sent messages were handled) returns true.
int RetrieveMessage(MSG* msg, HWND filter, UINT filterMin, UINT filterMax, UINT removeFlags,
                    bool wait, const std::function<bool()>* stop);

// Delivers to every top-level window of the device: sent (or posted) to
// this process's windows, posted to those of other processes.
LRESULT BroadcastMessage(UINT message, WPARAM wParam, LPARAM lParam, bool send);

// Clears the device's foreground record when it names this window.
void ForgetForeground(HWND window);

inline HWND MakeHandle(uint32_t key, uint32_t serial) {
  return reinterpret_cast<HWND>((static_cast<uintptr_t>(key) << 32) | serial);
}

// PostMessage to a window of this process, with the lock held.
bool PostLocked(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Posts to every top-level window of this process (a broadcast arriving
// from another process).
void PostToLocalTopLevel(UINT message, WPARAM wParam, LPARAM lParam);

// Case-insensitive (ASCII) comparison of class names.
bool SameClassName(std::u16string_view a, std::u16string_view b);

// Earliest due time of the calling thread's timers (kNoDeadline if none).
uint64_t NextTimerDueMs();

// Waits in real time (not the process clock) until a message may be
// available for the calling thread or timeoutMs passes; used by test pumps.
void WaitForQueueRealTime(int timeoutMs);

// Waits in real time until a message sent by another thread waits, not yet
// handled, in the queue of thread threadId; false when timeoutMs passed
// first or the thread has no queue. For tests.
bool WaitForSentMessage(DWORD threadId, int timeoutMs);

}  // namespace ce::detail
