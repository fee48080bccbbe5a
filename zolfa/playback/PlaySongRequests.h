// The song-ticket requests: before a song plays, the player screen asks for
// a one-time ticket for it; the worker builds the stream address from it,
// fetches the lyrics, starts the album-photo download and sends the result
// to the player screen (MSG_TICKET_READY or MSG_TICKET_FAILED, by
// synchronous message).
//
// The object lives beside the service manager, whose request frame it uses:
// the song-ticket lock (held by a worker for its whole exchange, so tickets
// are fetched one after another), the abort and logged-in flags, sid and the
// stream server. A newer PlaySong makes every older request stale at once;
// a stale request runs to the end of its present step and delivers nothing.
//
// Threads: PlaySong runs on the player screen's thread; the workers read the
// generation and the flags as relaxed atomics. The object must be destroyed
// before the manager, and not on the player screen's thread while a worker
// may be waiting for it to handle a message.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>

#include "platform/base/Types.h"
#include "zolfa/playback/AlbumCoverDownload.h"
#include "zolfa/playback/IAlbumCoverSink.h"
#include "zolfa/playback/PlaySongRequest.h"
#include "zolfa/playback/PlaybackTransport.h"

namespace zolfa {

class ZolfaNetMgrPPC;

inline constexpr char16_t kTicketAgent[] = u"Zolfa(PlaySong)";
inline constexpr char16_t kLyricsAgent[] = u"Zolfa(PlaySong_GetLyrics)";
// Tickets, streams and lyrics always go to this port of the stream server.
constexpr uint32_t kStreamPort = 80;
// The code MSG_TICKET_FAILED carries when the ticket could not be fetched.
constexpr int32_t kTicketTransportFailure = -2;

class PlaySongRequests {
 public:
  struct Options {
    // Null: HttpGet, for the tickets, the lyrics and the album photos.
    PlaybackTransport transport;
  };

  PlaySongRequests(ZolfaNetMgrPPC& manager, IAlbumCoverSink& covers);
  PlaySongRequests(ZolfaNetMgrPPC& manager, IAlbumCoverSink& covers, Options options);
  // Makes every request stale and waits for the workers (the downloads too).
  ~PlaySongRequests();
  PlaySongRequests(const PlaySongRequests&) = delete;
  PlaySongRequests& operator=(const PlaySongRequests&) = delete;

  // Starts a request for the song and returns 0 at once. The result goes to
  // requester's window.
  int32_t PlaySong(ce::HWND requester, std::u16string_view songId);

  // The generation of the newest request.
  uint32_t RequestGeneration() const { return requestGeneration_.load(std::memory_order_relaxed); }
  // The album of the last album-photo download that was started.
  int32_t LastPhotoAlbumId() const { return lastPhotoAlbumId_.load(std::memory_order_relaxed); }
  // Waits until no ticket worker and no download runs.
  void WaitUntilIdle();

  // The paths and the address of one exchange; texts as sent.
  static std::u16string TicketPath(std::u16string_view sid, std::u16string_view songId,
                                   uint32_t tick);
  static std::u16string StreamUrl(std::u16string_view host, std::u16string_view sid,
                                  std::u16string_view ticket, uint32_t tick);
  static std::u16string LyricsPath(std::u16string_view sid, std::u16string_view ticket,
                                   uint32_t tick);

 private:
  void Run(PlaySongRequest& request);
  // The exchange under the song-ticket lock.
  void Exchange(PlaySongRequest& request);
  void FetchLyrics(PlaySongRequest& request, const std::u16string& host,
                   const std::u16string& sid, const std::u16string& ticket,
                   const std::atomic<int32_t>& stale, int32_t lyricsExists);
  void ChooseCover(PlaySongRequest& request, bool stale);
  bool IsStale(const PlaySongRequest& request) const;
  uint32_t NextGeneration();
  void WorkerEnded();

  ZolfaNetMgrPPC& manager_;
  IAlbumCoverSink& covers_;
  PlaybackTransport transport_;

  std::atomic<uint32_t> requestGeneration_{0};
  std::atomic<int32_t> lastPhotoAlbumId_{0};
  // Raised by destruction: every request is stale from then on.
  std::atomic<int32_t> closing_{0};

  std::mutex workersMutex_;
  std::condition_variable workersChanged_;
  int runningWorkers_ = 0;

  // Declared last: destroyed first, waiting for its downloads while the
  // generation they read still exists.
  AlbumCoverDownload downloads_;
};

}  // namespace zolfa
