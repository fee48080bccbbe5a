// The browse requests of the service manager: the genre, artist, album and
// song lists and the topic pages that the browse screen shows.
//
// Every queued request takes a slot of a table that grows by kSlotGrowth
// slots at a time and never shrinks, and runs on its own worker thread of the
// service manager, which holds the lock of its slot position for its whole
// run. Only the latest request of each family is delivered: the latest list
// request (kinds 0 to 3) and the latest topic request (kinds 4 and 5). Items
// and completion reach the browse screen as posted messages through the
// poster (the core controller); a failed request that is still the latest of
// its family also sends MSG_REQUEST_FAILED to the top-level dialog.
//
// Threads: QueueBrowseRequest and the accessors run on the screen's thread
// only. Workers read their own slot, the two latest identifiers and the
// flags; the shared 32-bit values are relaxed atomics. A slot is handed back
// by its worker with a release store of identifier 0, and taken by the
// screen's thread after an acquire load of it, so the texts of the slot are
// never touched by two threads at once.
//
// The object lives beside the service manager and must be destroyed before
// it and before the poster. Destruction cancels every request and waits for
// the workers, so, like the manager, it must not run on the thread of the
// top-level dialog while that window still exists.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <limits>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "platform/base/Thread.h"
#include "zolfa/browse/BrowsePath.h"
#include "zolfa/browse/BrowseTransport.h"
#include "zolfa/browse/IBrowsePoster.h"
#include "zolfa/browse/IBrowseQueue.h"

namespace zolfa {

class ZolfaNetMgrPPC;

class BrowseRequests : public IBrowseQueue {
 public:
  static constexpr size_t kSlotGrowth = 30;
  static constexpr int32_t kNotLoggedIn = -1;
  static constexpr int32_t kNoSlot = 0;
  static constexpr char16_t kAgent[] = u"Zolfa_Browse";

  struct Options {
    // Null: HttpGet.
    BrowseTransport transport;
    // The table does not grow past this many slots; a request that finds no
    // free slot then is refused as when memory runs out.
    size_t maxSlots = std::numeric_limits<size_t>::max();
  };

  BrowseRequests(ZolfaNetMgrPPC& manager, IBrowsePoster& poster);
  BrowseRequests(ZolfaNetMgrPPC& manager, IBrowsePoster& poster, Options options);
  ~BrowseRequests() override;
  BrowseRequests(const BrowseRequests&) = delete;
  BrowseRequests& operator=(const BrowseRequests&) = delete;

  // Queues a request of kind (BrowseKind.h) and returns its identifier at
  // once: a positive number, kNotLoggedIn (-1) when no session is logged in,
  // kNoSlot (0) when the table cannot grow (after the "Out of memory" box),
  // the kind is unknown or no worker could be started. For kind 5 genre is the item_id of the
  // topic folder. Every request queued earlier that is not the latest of its
  // family is marked cancelled.
  int32_t QueueBrowseRequest(int32_t kind, std::u16string_view genre,
                             std::u16string_view indexType, std::u16string_view index,
                             std::u16string_view artist, std::u16string_view album,
                             std::u16string_view typeId, std::u16string_view typeFunc,
                             std::u16string_view typeNote);
  // The same with the texts in their queued order.
  int32_t QueueBrowseRequest(int32_t kind, const BrowseParameters& parameters) override;

  int32_t LatestListId() const { return latestListId_.load(std::memory_order_relaxed); }
  int32_t LatestTopicId() const { return latestTopicId_.load(std::memory_order_relaxed); }
  // Slots in the table, free ones included.
  size_t SlotCount() const { return slots_.size(); }
  // The lock of a slot position; null when that position has never been
  // used. A position keeps its lock for the life of the object.
  const ce::CriticalSection* SlotLock(size_t position) const;
  // Workers that have not ended yet; any thread.
  int RunningWorkers();
  // Waits until the last running worker has ended, or timeoutMs of real time
  // passed (false); any thread but the screen's while a worker posts to it.
  bool WaitForWorkersEnded(int timeoutMs);

 private:
  struct Slot {
    std::atomic<int32_t> id{0};  // 0: free
    std::atomic<int32_t> cancelled{0};
    int32_t kind = 0;
    BrowseParameters parameters;  // owned copies
    std::u16string answer;        // the decoded answer body
  };

  // The first free slot position, growing the table when there is none;
  // false when it cannot grow.
  bool TakeFreeSlot(size_t& position);
  bool Grow();
  int32_t NextId();
  void MarkStale();
  void Run(Slot& slot, ce::CriticalSection& lock);
  // Parses and posts an answer that passed every check.
  void Deliver(Slot& slot, int32_t id);
  void ReportFailure(const Slot& slot, int32_t id, bool sessionErrorReported);
  static void Release(Slot& slot);
  void WorkerEnded();

  ZolfaNetMgrPPC& manager_;
  IBrowsePoster& poster_;
  BrowseTransport transport_;
  size_t maxSlots_;

  // Owned by the screen's thread. Workers hold pointers to their slot and
  // lock, which stay where they are when the tables grow.
  std::vector<std::unique_ptr<Slot>> slots_;
  std::vector<std::unique_ptr<ce::CriticalSection>> locks_;
  int32_t lastId_ = 0;

  std::atomic<int32_t> latestListId_{0};
  std::atomic<int32_t> latestTopicId_{0};

  std::mutex workersMutex_;
  std::condition_variable workersChanged_;
  int runningWorkers_ = 0;
};

}  // namespace zolfa
