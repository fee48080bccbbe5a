#include "zolfa/playback/PlaySongRequests.h"

#include <utility>

#include "platform/base/Clock.h"
#include "platform/base/CodePage.h"
#include "platform/base/Debug.h"
#include "platform/base/Thread.h"
#include "platform/window/Message.h"
#include "platform/window/Window.h"
#include "zolfa/playback/PlaybackMessages.h"
#include "zolfa/playback/TicketAnswer.h"
#include "zolfa/service/ClientVersion.h"
#include "zolfa/service/HttpGet.h"
#include "zolfa/service/ZolfaNetMgrPPC.h"

namespace zolfa {

namespace {

constexpr auto kRelaxed = std::memory_order_relaxed;

// The query of every ticket, stream and lyrics address: the tick count as a
// signed decimal, so that no two addresses are the same.
std::u16string TickText(uint32_t tick) {
  return ce::FromUtf8(std::to_string(static_cast<int32_t>(tick)));
}

// "/psN_" + "0100" + "0013" + "_" + sid + "_" + name + ".wma?" + tick.
std::u16string ServicePath(char16_t kind, std::u16string_view sid, std::u16string_view name,
                           uint32_t tick) {
  std::u16string path = u"/ps";
  path += kind;
  path += u'_';
  path += kClientMajorVersionText;
  path += kClientMinorVersionText;
  path += u'_';
  path += sid;
  path += u'_';
  path += name;
  path += u".wma?";
  path += TickText(tick);
  return path;
}

}  // namespace

PlaySongRequests::PlaySongRequests(ZolfaNetMgrPPC& manager, IAlbumCoverSink& covers)
    : PlaySongRequests(manager, covers, Options{}) {}

PlaySongRequests::PlaySongRequests(ZolfaNetMgrPPC& manager, IAlbumCoverSink& covers,
                                   Options options)
    : manager_(manager),
      covers_(covers),
      transport_(options.transport ? std::move(options.transport)
                                   : PlaybackTransport(HttpGetPlayback)),
      downloads_(manager, covers, requestGeneration_, transport_) {}

PlaySongRequests::~PlaySongRequests() {
  closing_.store(1, kRelaxed);
  std::unique_lock<std::mutex> lock(workersMutex_);
  workersChanged_.wait(lock, [this] { return runningWorkers_ == 0; });
}

std::u16string PlaySongRequests::TicketPath(std::u16string_view sid, std::u16string_view songId,
                                            uint32_t tick) {
  return ServicePath(u'1', sid, songId, tick);
}

std::u16string PlaySongRequests::StreamUrl(std::u16string_view host, std::u16string_view sid,
                                           std::u16string_view ticket, uint32_t tick) {
  return u"http://" + std::u16string(host) + u":" + ce::FromUtf8(std::to_string(kStreamPort)) +
         ServicePath(u'2', sid, ticket, tick);
}

std::u16string PlaySongRequests::LyricsPath(std::u16string_view sid, std::u16string_view ticket,
                                            uint32_t tick) {
  return ServicePath(u'3', sid, ticket, tick);
}

int32_t PlaySongRequests::PlaySong(ce::HWND requester, std::u16string_view songId) {
  auto request = std::make_shared<PlaySongRequest>();
  request->requester = requester;
  request->songId.assign(songId);
  request->generation = NextGeneration();
  requestGeneration_.store(request->generation, kRelaxed);
  {
    std::lock_guard<std::mutex> guard(workersMutex_);
    ++runningWorkers_;
  }
  if (!manager_.StartWorker([this, request] { Run(*request); })) {
    ce::OutputDebugString(u"PlaySong: no thread for the request\n");
    WorkerEnded();
  }
  return 0;
}

void PlaySongRequests::WaitUntilIdle() {
  {
    std::unique_lock<std::mutex> lock(workersMutex_);
    workersChanged_.wait(lock, [this] { return runningWorkers_ == 0; });
  }
  downloads_.WaitUntilIdle();
}

uint32_t PlaySongRequests::NextGeneration() {
  // The tick count, unless it has not moved past the newest generation (two
  // requests within one millisecond): then one more than that, so that the
  // older request still sees itself stale.
  const uint32_t tick = ce::GetTickCount();
  const uint32_t newest = requestGeneration_.load(kRelaxed);
  return static_cast<int32_t>(tick - newest) > 0 ? tick : newest + 1;
}

bool PlaySongRequests::IsStale(const PlaySongRequest& request) const {
  return closing_.load(kRelaxed) != 0 || request.generation != requestGeneration_.load(kRelaxed);
}

void PlaySongRequests::Run(PlaySongRequest& request) {
  {
    ce::CriticalSectionLock hold(manager_.TicketLock());
    Exchange(request);
  }
  WorkerEnded();
}

void PlaySongRequests::Exchange(PlaySongRequest& request) {
  const std::u16string host = manager_.Servers().cs;
  const std::u16string sid = manager_.Sid();
  std::atomic<int32_t>& abort = manager_.AbortRequestsFlag();

  std::atomic<int32_t> stale{IsStale(request) ? 1 : 0};
  PlaybackFetch fetch;
  fetch.agent = kTicketAgent;
  fetch.host = host;
  fetch.port = kStreamPort;
  fetch.path = TicketPath(sid, request.songId, ce::GetTickCount());
  fetch.cancelA = &abort;
  fetch.cancelB = &stale;
  PlaybackReply reply = transport_(fetch);
  request.ticketReply = std::move(reply.text);

  if (reply.result != kHttpOk || request.ticketReply.empty() || abort.load(kRelaxed) != 0 ||
      IsStale(request)) {
    if (ce::IsWindow(request.requester) && !IsStale(request) &&
        manager_.LoggedInFlag().load(kRelaxed) != 0) {
      ce::SendMessage(request.requester, MSG_TICKET_FAILED,
                      static_cast<ce::WPARAM>(static_cast<intptr_t>(kTicketTransportFailure)), 0);
    }
    return;
  }

  const TicketAnswer answer = ReadTicketAnswer(request.ticketReply);
  const std::u16string ticket = answer.hasTicket ? answer.ticket : sid;
  request.lyricsEditable = answer.lyricsEditable;
  request.albumId = answer.albumId;
  request.hasAlbumPhotoMd5 = answer.hasAlbumPhotoMd5;
  request.albumPhotoMd5 = answer.albumPhotoMd5;

  if (!ce::IsWindow(request.requester) || IsStale(request)) return;
  if (answer.status != 0) {
    ce::SendMessage(request.requester, MSG_TICKET_FAILED,
                    static_cast<ce::WPARAM>(static_cast<intptr_t>(answer.status)),
                    reinterpret_cast<ce::LPARAM>(ticket.c_str()));
    return;
  }

  request.streamUrl = StreamUrl(host, sid, ticket, ce::GetTickCount());
  stale.store(IsStale(request) ? 1 : 0, kRelaxed);
  FetchLyrics(request, host, sid, ticket, stale, answer.lyricsExists);
  ChooseCover(request, IsStale(request));
  ce::SendMessage(request.requester, MSG_TICKET_READY, reinterpret_cast<ce::WPARAM>(&request), 0);
}

void PlaySongRequests::FetchLyrics(PlaySongRequest& request, const std::u16string& host,
                                   const std::u16string& sid, const std::u16string& ticket,
                                   const std::atomic<int32_t>& stale, int32_t lyricsExists) {
  // Asked for whether or not the song has lyrics; a failure here does not
  // fail the ticket.
  PlaybackFetch fetch;
  fetch.agent = kLyricsAgent;
  fetch.host = host;
  fetch.port = kStreamPort;
  fetch.path = LyricsPath(sid, ticket, ce::GetTickCount());
  fetch.cancelA = &manager_.AbortRequestsFlag();
  fetch.cancelB = &stale;
  PlaybackReply reply = transport_(fetch);
  request.lyricsReply = std::move(reply.text);
  if (reply.result != kHttpOk || lyricsExists == 0 ||
      manager_.AbortRequestsFlag().load(kRelaxed) != 0) {
    return;
  }
  LyricsAnswer lyrics = ReadLyricsAnswer(request.lyricsReply);
  request.lyricist = std::move(lyrics.lyricist);
  request.composer = std::move(lyrics.composer);
  request.lyrics = std::move(lyrics.lyrics);
  request.creator = lyrics.creator;
  request.nick = std::move(lyrics.nick);
}

void PlaySongRequests::ChooseCover(PlaySongRequest& request, bool stale) {
  if (!request.hasAlbumPhotoMd5 || IsSentinelPhotoDigest(request.albumPhotoMd5)) {
    covers_.SetAlbumCover(kDefaultCover);
    return;
  }
  // The same album as the last download keeps the cover it has.
  if (request.albumId != lastPhotoAlbumId_.load(kRelaxed) && !stale) {
    lastPhotoAlbumId_.store(request.albumId, kRelaxed);
    downloads_.Start(request.albumId, request.albumPhotoMd5);
  }
}

void PlaySongRequests::WorkerEnded() {
  std::lock_guard<std::mutex> guard(workersMutex_);
  --runningWorkers_;
  workersChanged_.notify_all();
}

}  // namespace zolfa
