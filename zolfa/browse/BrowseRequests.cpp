#include "zolfa/browse/BrowseRequests.h"

#include <chrono>
#include <new>
#include <utility>

#include "platform/base/Clock.h"
#include "platform/base/Debug.h"
#include "platform/base/MessageBox.h"
#include "platform/window/Message.h"
#include "platform/window/Window.h"
#include "zolfa/browse/BrowseKind.h"
#include "zolfa/browse/ListAnswer.h"
#include "zolfa/service/ServiceMessages.h"
#include "zolfa/service/ZolfaNetMgrPPC.h"

namespace zolfa {

namespace {

constexpr auto kRelaxed = std::memory_order_relaxed;

constexpr char16_t kOutOfMemoryText[] = u"Out of memory";
constexpr char16_t kOutOfMemoryCaption[] = u"ERROR";

// Identifiers stay positive, so they never meet -1 (not logged in) or 0 (a
// free slot, a refused request).
constexpr uint32_t kIdMask = 0x7FFFFFFFu;

}  // namespace

BrowseRequests::BrowseRequests(ZolfaNetMgrPPC& manager, IBrowsePoster& poster)
    : BrowseRequests(manager, poster, Options{}) {}

BrowseRequests::BrowseRequests(ZolfaNetMgrPPC& manager, IBrowsePoster& poster, Options options)
    : manager_(manager),
      poster_(poster),
      transport_(options.transport ? std::move(options.transport)
                                   : BrowseTransport(HttpGetBrowse)),
      maxSlots_(options.maxSlots) {}

BrowseRequests::~BrowseRequests() {
  // With no latest identifier left, a worker that ends now reports nothing.
  latestListId_.store(0, kRelaxed);
  latestTopicId_.store(0, kRelaxed);
  for (const std::unique_ptr<Slot>& slot : slots_) {
    slot->cancelled.store(1, kRelaxed);
  }
  std::unique_lock<std::mutex> lock(workersMutex_);
  workersChanged_.wait(lock, [this] { return runningWorkers_ == 0; });
}

int32_t BrowseRequests::QueueBrowseRequest(int32_t kind, const BrowseParameters& parameters) {
  return QueueBrowseRequest(kind, parameters.genre, parameters.indexType, parameters.index,
                            parameters.artist, parameters.album, parameters.typeId,
                            parameters.typeFunc, parameters.typeNote);
}

int32_t BrowseRequests::QueueBrowseRequest(int32_t kind, std::u16string_view genre,
                                           std::u16string_view indexType,
                                           std::u16string_view index, std::u16string_view artist,
                                           std::u16string_view album, std::u16string_view typeId,
                                           std::u16string_view typeFunc,
                                           std::u16string_view typeNote) {
  if (manager_.LoggedInFlag().load(kRelaxed) == 0) {
    return kNotLoggedIn;
  }
  if (kind < 0 || kind >= kBrowseKindCount) {
    ce::OutputDebugString(u"BrowseRequests: unknown request kind\n");
    return kNoSlot;
  }
  size_t position = 0;
  if (!TakeFreeSlot(position)) {
    ce::MessageBox(nullptr, kOutOfMemoryText, kOutOfMemoryCaption, ce::MB_OK);
    return kNoSlot;
  }
  if (!locks_[position]) {
    locks_[position] = std::make_unique<ce::CriticalSection>();
  }
  MarkStale();

  const int32_t id = NextId();
  if (IsTopicKind(kind)) {
    latestTopicId_.store(id, kRelaxed);
  } else {
    latestListId_.store(id, kRelaxed);
  }

  Slot& slot = *slots_[position];
  slot.cancelled.store(0, kRelaxed);
  slot.kind = kind;
  slot.parameters = BrowseParameters{std::u16string(genre),  std::u16string(indexType),
                                     std::u16string(index),  std::u16string(artist),
                                     std::u16string(album),  std::u16string(typeId),
                                     std::u16string(typeFunc), std::u16string(typeNote)};
  slot.answer.clear();
  slot.id.store(id, kRelaxed);

  ce::CriticalSection& lock = *locks_[position];
  {
    std::lock_guard<std::mutex> guard(workersMutex_);
    ++runningWorkers_;
  }
  if (!manager_.StartWorker([this, &slot, &lock] { Run(slot, lock); })) {
    ce::OutputDebugString(u"BrowseRequests: no thread for the request\n");
    Release(slot);
    WorkerEnded();
    return kNoSlot;
  }
  return id;
}

const ce::CriticalSection* BrowseRequests::SlotLock(size_t position) const {
  return position < locks_.size() ? locks_[position].get() : nullptr;
}

int BrowseRequests::RunningWorkers() {
  std::lock_guard<std::mutex> guard(workersMutex_);
  return runningWorkers_;
}

bool BrowseRequests::WaitForWorkersEnded(int timeoutMs) {
  std::unique_lock<std::mutex> lock(workersMutex_);
  return workersChanged_.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                                  [this] { return runningWorkers_ == 0; });
}

bool BrowseRequests::TakeFreeSlot(size_t& position) {
  for (size_t i = 0; i < slots_.size(); ++i) {
    // Acquire: the worker that freed the slot is done with its texts.
    if (slots_[i]->id.load(std::memory_order_acquire) == 0) {
      position = i;
      return true;
    }
  }
  position = slots_.size();
  return Grow();
}

bool BrowseRequests::Grow() {
  if (maxSlots_ < kSlotGrowth || slots_.size() > maxSlots_ - kSlotGrowth) {
    return false;
  }
  try {
    slots_.reserve(slots_.size() + kSlotGrowth);
    locks_.reserve(locks_.size() + kSlotGrowth);
    std::vector<std::unique_ptr<Slot>> added;
    added.reserve(kSlotGrowth);
    for (size_t i = 0; i < kSlotGrowth; ++i) {
      added.push_back(std::make_unique<Slot>());
    }
    // Nothing below allocates: the table grows by all 30 slots or not at all.
    for (std::unique_ptr<Slot>& slot : added) {
      slots_.push_back(std::move(slot));
      locks_.emplace_back();
    }
  } catch (const std::bad_alloc&) {
    return false;
  }
  return true;
}

int32_t BrowseRequests::NextId() {
  // The tick count of the queueing, unless that is not above the last
  // identifier (two requests within one millisecond, or a tick count that
  // wrapped): then the last identifier plus 1.
  const int32_t tick = static_cast<int32_t>(ce::GetTickCount() & kIdMask);
  int32_t id = tick;
  if (id <= lastId_) {
    id = lastId_ == static_cast<int32_t>(kIdMask) ? 1 : lastId_ + 1;
  }
  lastId_ = id;
  return id;
}

void BrowseRequests::MarkStale() {
  const int32_t latestList = latestListId_.load(kRelaxed);
  const int32_t latestTopic = latestTopicId_.load(kRelaxed);
  // Free slots are marked too; they are reset when taken.
  for (const std::unique_ptr<Slot>& slot : slots_) {
    const int32_t id = slot->id.load(kRelaxed);
    if (id != latestList && id != latestTopic) {
      slot->cancelled.store(1, kRelaxed);
    }
  }
}

void BrowseRequests::Run(Slot& slot, ce::CriticalSection& lock) {
  {
    ce::CriticalSectionLock hold(lock);
    const int32_t id = slot.id.load(kRelaxed);
    const int32_t kind = slot.kind;

    ServerEndpoints servers = manager_.Servers();
    BrowseFetch fetch;
    fetch.agent = kAgent;
    fetch.host = servers.ds;
    fetch.port = static_cast<uint32_t>(servers.dsPort);
    fetch.path = BrowsePath(kind, slot.parameters, manager_.CommonQuery(),
                            IsTopicKind(kind) ? ZolfaNetMgrPPC::DeviceIdText() : u"",
                            manager_.Sid());
    fetch.cancelA = &slot.cancelled;
    fetch.cancelB = &manager_.AbortRequestsFlag();
    fetch.codePage = BrowseCodePage(kind);
    ServiceReply reply = transport_(fetch);
    slot.answer = std::move(reply.text);

    // The conditions are checked in this order and stop at the first that
    // fails: the session-error check shows the server's message, so it runs
    // only for an answer that arrived and is still wanted.
    bool sessionErrorReported = false;
    bool success = reply.result == 200 && manager_.AbortRequestsFlag().load(kRelaxed) == 0 &&
                   slot.cancelled.load(kRelaxed) == 0;
    if (success) {
      sessionErrorReported = manager_.CheckSessionError(slot.answer);
      success = !sessionErrorReported && ce::IsWindow(manager_.Window()) &&
                manager_.LoggedInFlag().load(kRelaxed) != 0;
    }
    if (success) {
      Deliver(slot, id);
    } else {
      ReportFailure(slot, id, sessionErrorReported);
    }
    Release(slot);
  }
  WorkerEnded();
}

void BrowseRequests::Deliver(Slot& slot, int32_t id) {
  // A newer request of the same family was queued meanwhile.
  if (id != latestListId_.load(kRelaxed) && id != latestTopicId_.load(kRelaxed)) {
    return;
  }
  ParseListAnswer(slot.answer, slot.kind, [this, id](FeedItem item) {
    poster_.PostBrowseItem(id, item.title, item.link, item.category);
  });
  poster_.PostBrowseEnd(id);
}

void BrowseRequests::ReportFailure(const Slot& slot, int32_t id, bool sessionErrorReported) {
  const bool topic = IsTopicKind(slot.kind);
  const bool report =
      (topic && id == latestTopicId_.load(kRelaxed)) ||
      (!topic && id == latestListId_.load(kRelaxed) && !sessionErrorReported &&
       manager_.LoggedInFlag().load(kRelaxed) != 0);
  if (!report) {
    return;
  }
  poster_.PostBrowseEnd(id);
  ce::SendMessage(manager_.Window(), MSG_REQUEST_FAILED, 0, 0);
}

void BrowseRequests::Release(Slot& slot) {
  slot.kind = 0;
  slot.parameters = BrowseParameters{};
  // Gives the memory back now rather than keeping it for the next request.
  std::u16string().swap(slot.answer);
  slot.cancelled.store(0, kRelaxed);
  // Release: the slot's texts are done with before the screen's thread can
  // see it free.
  slot.id.store(0, std::memory_order_release);
}

void BrowseRequests::WorkerEnded() {
  // Notified under the lock: once the destructor sees zero the object goes.
  std::lock_guard<std::mutex> guard(workersMutex_);
  --runningWorkers_;
  workersChanged_.notify_all();
}

}  // namespace zolfa
