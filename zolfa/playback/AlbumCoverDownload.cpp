#include "zolfa/playback/AlbumCoverDownload.h"

#include <memory>
#include <utility>

#include "platform/base/CodePage.h"
#include "platform/base/DeviceFile.h"
#include "platform/base/Handles.h"
#include "platform/base/Thread.h"
#include "zolfa/service/HttpGet.h"
#include "zolfa/service/ZolfaNetMgrPPC.h"

namespace zolfa {

namespace {

constexpr auto kRelaxed = std::memory_order_relaxed;

}  // namespace

AlbumCoverDownload::AlbumCoverDownload(ZolfaNetMgrPPC& manager, IAlbumCoverSink& sink,
                                       const std::atomic<uint32_t>& generation,
                                       PlaybackTransport transport)
    : manager_(manager),
      sink_(sink),
      generation_(generation),
      transport_(transport ? std::move(transport) : PlaybackTransport(HttpGetPlayback)) {}

AlbumCoverDownload::~AlbumCoverDownload() { WaitUntilIdle(); }

bool AlbumCoverDownload::Start(int32_t albumId, std::u16string_view digest) {
  auto record = std::make_shared<Record>();
  record->albumId = albumId;
  record->digest.assign(digest);
  record->generation = generation_.load(kRelaxed);
  {
    std::lock_guard<std::mutex> guard(workersMutex_);
    ++runningWorkers_;
  }
  if (!manager_.StartWorker([this, record] { Run(*record); })) {
    WorkerEnded();
    return false;
  }
  return true;
}

std::u16string AlbumCoverDownload::CoverFilePath() {
  constexpr size_t kMaxPath = static_cast<size_t>(ce::MAX_PATH);
  ce::WCHAR folder[kMaxPath] = {};
  const size_t length = ce::GetTempPath(static_cast<ce::DWORD>(kMaxPath), folder);
  std::u16string path(folder, length < kMaxPath ? length : 0);
  path += kCoverFileName;
  if (path.size() > kMaxPath) return std::u16string();
  return path;
}

int AlbumCoverDownload::RunningWorkers() {
  std::lock_guard<std::mutex> guard(workersMutex_);
  return runningWorkers_;
}

void AlbumCoverDownload::WaitUntilIdle() {
  std::unique_lock<std::mutex> lock(workersMutex_);
  workersChanged_.wait(lock, [this] { return runningWorkers_ == 0; });
}

bool AlbumCoverDownload::IsCurrent(const Record& record) const {
  return record.generation == generation_.load(kRelaxed);
}

void AlbumCoverDownload::Run(Record& record) {
  {
    ce::CriticalSectionLock hold(manager_.PhotoLock());
    if (IsCurrent(record)) {
      const ServerEndpoints servers = manager_.Servers();
      PlaybackFetch fetch;
      fetch.agent = kPhotoAgent;
      fetch.host = servers.ds;
      fetch.port = static_cast<uint32_t>(servers.dsPort);
      fetch.path = u"/web_info_photo.php?album_id=" +
                   std::u16string(ce::FromUtf8(std::to_string(record.albumId))) + u"&" +
                   manager_.CommonQuery();
      fetch.binary = true;
      PlaybackReply reply = transport_(fetch);
      const bool written = reply.result == kHttpOk && !reply.bytes.empty() &&
                           WriteCoverFile(reply.bytes, record.path);
      if (IsCurrent(record)) {
        sink_.SetAlbumCover(written ? std::u16string_view(record.path) : kDefaultCover);
      }
    }
  }
  WorkerEnded();
}

bool AlbumCoverDownload::WriteCoverFile(const std::string& body, std::u16string& path) {
  std::u16string target = CoverFilePath();
  if (target.empty()) return false;
  ce::HANDLE file = ce::CreateFile(target.c_str(), ce::GENERIC_WRITE, 0, nullptr,
                                   ce::CREATE_ALWAYS, ce::FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == ce::INVALID_HANDLE_VALUE) return false;
  ce::DWORD written = 0;
  const bool ok = ce::WriteFile(file, body.data(), static_cast<ce::DWORD>(body.size()), &written,
                                nullptr) != 0 &&
                  written == body.size();
  const bool closed = ce::CloseHandle(file) != 0;
  if (!ok || !closed) return false;
  path = std::move(target);
  return true;
}

void AlbumCoverDownload::WorkerEnded() {
  std::lock_guard<std::mutex> guard(workersMutex_);
  --runningWorkers_;
  workersChanged_.notify_all();
}

}  // namespace zolfa
