// The window system of one process: the window table, the classes, the
// thread queues and the focus state, all behind one lock.
//
// The state is private to the system; the only way in is a
// LockedWindowSystem, which holds the lock for its lifetime and whose
// methods are the operations on the state. Every field says that the lock
// guards it, and clang's thread-safety build checks each access.
//
// Window procedures never run with the lock held: code takes what it needs
// under the lock, lets go of it around the call (Unlock, Lock) and looks the
// window up again by its handle afterwards, since the procedure may have
// destroyed it.
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
#include <typeindex>
#include <unordered_map>
#include <vector>

#include "platform/base/ThreadAnnotations.h"
#include "platform/window/Message.h"
#include "platform/window/Timer.h"
#include "platform/window/Window.h"

namespace ce::detail {

// The lock of the process's window system. It is taken only through
// LockedWindowSystem.
class CAPABILITY("mutex") WindowSystemMutex {
 public:
  std::mutex& Native() {
    // Never destroyed: threads may still take it during static destruction.
    static std::mutex* native = new std::mutex;
    return *native;
  }
};
extern WindowSystemMutex windowSystemMutex;

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
  HWND hwnd GUARDED_BY(windowSystemMutex) = nullptr;
  UINT message GUARDED_BY(windowSystemMutex) = 0;
  WPARAM wParam GUARDED_BY(windowSystemMutex) = 0;
  LPARAM lParam GUARDED_BY(windowSystemMutex) = 0;
  std::function<void()> task;
  // Woken when done; null for asynchronous sends.
  std::shared_ptr<ThreadQueue> sender GUARDED_BY(windowSystemMutex);
  // Called (under the window system's lock) when an asynchronous send is done;
  // must not block and must not call into the window system.
  std::function<void(LRESULT result, bool delivered)> onDone;
  bool started GUARDED_BY(windowSystemMutex) = false;
  bool done GUARDED_BY(windowSystemMutex) = false;
  bool delivered GUARDED_BY(windowSystemMutex) = false;
  bool abandoned GUARDED_BY(windowSystemMutex) = false;  // the sender stopped waiting
  LRESULT result GUARDED_BY(windowSystemMutex) = 0;
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
  bool dead_ GUARDED_BY(windowSystemMutex) = false;  // the thread has ended
  std::condition_variable wake_;
  std::deque<std::shared_ptr<SentMessage>> sent_ GUARDED_BY(windowSystemMutex);
  std::deque<MSG> posted_ GUARDED_BY(windowSystemMutex);
  bool quitPending_ GUARDED_BY(windowSystemMutex) = false;
  int quitCode_ GUARDED_BY(windowSystemMutex) = 0;
  std::vector<TimerEntry> timers_ GUARDED_BY(windowSystemMutex);
  // Windows of this thread with an update region.
  int paintPending_ GUARDED_BY(windowSystemMutex) = 0;
  // Sent messages this thread is handling now, innermost last.
  std::vector<std::shared_ptr<SentMessage>> handling_ GUARDED_BY(windowSystemMutex);
};

struct WindowRecord {
  HWND handle GUARDED_BY(windowSystemMutex) = nullptr;
  std::shared_ptr<WindowClassRecord> windowClass GUARDED_BY(windowSystemMutex);
  std::shared_ptr<ThreadQueue> queue GUARDED_BY(windowSystemMutex);
  WNDPROC proc GUARDED_BY(windowSystemMutex) = nullptr;
  HINSTANCE instance GUARDED_BY(windowSystemMutex) = nullptr;
  DWORD style GUARDED_BY(windowSystemMutex) = 0;
  DWORD exStyle GUARDED_BY(windowSystemMutex) = 0;
  // Relative to the parent's client area (screen for top-level).
  RECT rect GUARDED_BY(windowSystemMutex);
  LONG_PTR id GUARDED_BY(windowSystemMutex) = 0;
  LONG_PTR userData GUARDED_BY(windowSystemMutex) = 0;
  std::vector<uint8_t> extraBytes GUARDED_BY(windowSystemMutex);
  std::u16string text GUARDED_BY(windowSystemMutex);
  HWND parent GUARDED_BY(windowSystemMutex) = nullptr;  // WS_CHILD windows
  HWND owner GUARDED_BY(windowSystemMutex) = nullptr;   // top-level windows
  std::vector<HWND> children GUARDED_BY(windowSystemMutex);  // z-order, top first
  bool destroying GUARDED_BY(windowSystemMutex) = false;
  // Update region as a bounding rectangle in client coordinates.
  bool paintPending GUARDED_BY(windowSystemMutex) = false;
  bool erasePending GUARDED_BY(windowSystemMutex) = false;
  RECT update GUARDED_BY(windowSystemMutex);
  uint64_t paintGeneration GUARDED_BY(windowSystemMutex) = 0;
  // Modal loop state (RunModalLoop / EndModalLoop).
  bool inModalLoop GUARDED_BY(windowSystemMutex) = false;
  bool modalEnded GUARDED_BY(windowSystemMutex) = false;
  INT_PTR modalResult GUARDED_BY(windowSystemMutex) = 0;
  // The other layers' data, by owner, in the order it was first set.
  std::vector<std::pair<std::type_index, std::unique_ptr<WindowExtra>>> extras
      GUARDED_BY(windowSystemMutex);
};

// Whether a handle belongs to this process, or names a window of another
// process of the device. The process key never changes, so no lock.
bool IsLocalHandle(HWND window);
bool IsRemoteHandle(HWND window);
// The upper 32 bits of this process's handles.
uint32_t ProcessKey();

class WindowSystemState;

// The process's window system while the lock is held: constructing one
// takes the lock, destroying it lets go. Its methods are the only way to the
// window system's state; a record it finds stays valid only while it holds
// the lock.
class SCOPED_CAPABILITY LockedWindowSystem {
 public:
  LockedWindowSystem() ACQUIRE(windowSystemMutex);
  ~LockedWindowSystem() RELEASE();
  LockedWindowSystem(const LockedWindowSystem&) = delete;
  LockedWindowSystem& operator=(const LockedWindowSystem&) = delete;

  // Lets go of the lock around a call that must run without it (a window
  // procedure, a send), and takes it again.
  void Unlock() RELEASE();
  void Lock() ACQUIRE();

  WindowRecord* Find(HWND window) REQUIRES(windowSystemMutex);
  // Find for a call that was handed the window: when there is none the
  // caller's last error says ERROR_INVALID_WINDOW_HANDLE.
  WindowRecord* FindOrFail(HWND window) REQUIRES(windowSystemMutex);
  // Every window of the process, in no particular order.
  std::vector<WindowRecord*> Records() REQUIRES(windowSystemMutex);
  // A fresh handle, and the table's entry for a new window under it.
  HWND NewHandle() REQUIRES(windowSystemMutex);
  void InsertRecord(std::unique_ptr<WindowRecord> record) REQUIRES(windowSystemMutex);
  // Takes a window out of the table: unlinks it from its parent or the
  // top-level list, drops its timers and posted messages and clears focus,
  // activation and capture that name it. Its children must be gone already.
  std::unique_ptr<WindowRecord> RemoveRecord(HWND window) REQUIRES(windowSystemMutex);

  // The top-level windows in z-order, top first.
  std::vector<HWND>& TopLevel() REQUIRES(windowSystemMutex);
  HWND Focus() REQUIRES(windowSystemMutex);
  void SetFocus(HWND window) REQUIRES(windowSystemMutex);
  HWND Active() REQUIRES(windowSystemMutex);
  void SetActive(HWND window) REQUIRES(windowSystemMutex);
  HWND Capture() REQUIRES(windowSystemMutex);
  void SetCapture(HWND window) REQUIRES(windowSystemMutex);

  // The registered classes, and the atom for the next one (0 when none is
  // left).
  std::vector<std::shared_ptr<WindowClassRecord>>& Classes() REQUIRES(windowSystemMutex);
  ATOM TakeAtom() REQUIRES(windowSystemMutex);
  // Identifiers of timers without a window, and the order of timers set.
  UINT_PTR TakeThreadTimerId() REQUIRES(windowSystemMutex);
  uint64_t TakeTimerOrder() REQUIRES(windowSystemMutex);

  // The calling thread's queue, created on first use.
  std::shared_ptr<ThreadQueue> CurrentQueue() REQUIRES(windowSystemMutex);
  std::shared_ptr<ThreadQueue> QueueOfThread(DWORD threadId) REQUIRES(windowSystemMutex);

  // The window and all its descendants, parents before children.
  void CollectSubtree(HWND window, std::vector<HWND>* out) REQUIRES(windowSystemMutex);
  bool IsAncestor(HWND ancestor, HWND window) REQUIRES(windowSystemMutex);
  bool IsVisible(HWND window) REQUIRES(windowSystemMutex);
  HWND RootOf(HWND window) REQUIRES(windowSystemMutex);

  // Completes a sent message; wakes its sender or calls its completion.
  void Complete(SentMessage& item, LRESULT result, bool delivered) REQUIRES(windowSystemMutex);
  // Makes every send still waiting for one of these windows return 0.
  void CancelSendsTo(ThreadQueue& queue, const std::vector<HWND>& windows)
      REQUIRES(windowSystemMutex);
  // Handles every message other threads sent to the calling thread; the lock
  // is released around each procedure call. Returns whether any was handled.
  bool HandleSentMessages(ThreadQueue& queue) REQUIRES(windowSystemMutex);
  // Waits on the queue's wake-up until notified or the clock reaches the
  // deadline (kNoDeadline: no limit).
  void Wait(ThreadQueue& queue, uint64_t deadlineMs) REQUIRES(windowSystemMutex);
  // Waits in real time (not the process clock) on the queue's wake-up until
  // notified or timeoutMs passed; for test pumps. The second form waits
  // until done(), which runs with the lock held, and is false on timeout.
  void WaitRealTime(ThreadQueue& queue, int timeoutMs) REQUIRES(windowSystemMutex);
  bool WaitRealTimeUntil(ThreadQueue& queue, int timeoutMs, const std::function<bool()>& done)
      REQUIRES(windowSystemMutex);
  // Queues work to run on the window's thread, as a sent message that
  // nobody waits for. False when the window or its thread is gone.
  bool PostTask(HWND window, std::function<void()> task) REQUIRES(windowSystemMutex);
  // Queues a message for the window's thread whose result goes to onDone.
  bool SendAsync(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                 std::function<void(LRESULT, bool)> onDone) REQUIRES(windowSystemMutex);
  void AddUpdate(WindowRecord& record, const RECT* rect, bool erase) REQUIRES(windowSystemMutex);
  void ClearUpdate(WindowRecord& record) REQUIRES(windowSystemMutex);

  // Called by the thread-local holder when a thread ends: its windows go
  // away without messages and every send waiting for them returns 0. Their
  // records are handed back, to be deleted without the lock.
  std::vector<std::unique_ptr<WindowRecord>> EndThread(const std::shared_ptr<ThreadQueue>& queue)
      REQUIRES(windowSystemMutex);

 private:
  WindowSystemState& state_;
  std::unique_lock<std::mutex> lock_;
};

constexpr uint64_t kNoDeadline = UINT64_MAX;

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

// The class registered under a name or atom.
std::shared_ptr<WindowClassRecord> FindClassLocked(LockedWindowSystem& system, LPCWSTR name)
    REQUIRES(windowSystemMutex);

// The retrieval of GetMessage / PeekMessage. Returns 1 with a message
// (WM_QUIT included), 0 when nothing is there and wait is false, -1 for an
// invalid filter window and -2 when `stop` (called with the lock held, after
// sent messages were handled; it may use the view it is given) returns true.
int RetrieveMessage(MSG* msg, HWND filter, UINT filterMin, UINT filterMax, UINT removeFlags,
                    bool wait, const std::function<bool(LockedWindowSystem&)>* stop);

// Delivers to every top-level window of the device: sent (or posted) to
// this process's windows, posted to those of other processes.
LRESULT BroadcastMessage(UINT message, WPARAM wParam, LPARAM lParam, bool send);

// Clears the device's foreground record when it names this window.
void ForgetForeground(HWND window);

inline HWND MakeHandle(uint32_t key, uint32_t serial) {
  return reinterpret_cast<HWND>((static_cast<uintptr_t>(key) << 32) | serial);
}

// PostMessage to a window of this process, with the lock held.
bool PostLocked(LockedWindowSystem& system, HWND window, UINT message, WPARAM wParam,
                LPARAM lParam) REQUIRES(windowSystemMutex);

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
