// The album-photo download: fetches the cover photo of an album from the
// data server into "albumcover.dat" in the temporary folder and tells the
// cover sink (the core controller) the file, or the default cover when the
// download failed.
//
// Each download runs on its own worker of the service manager and holds the
// manager's album-photo lock for its whole run, so downloads write the file
// one after another. A download stamped with a generation that is no longer
// the newest song-ticket request's changes nothing (its file may already be
// written).
//
// Threads: Start runs on any thread (the song-ticket worker calls it); the
// workers call the sink. The object must outlive its workers: destruction
// waits for them, so it must not run on a thread a worker waits for.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <string_view>

#include "zolfa/playback/IAlbumCoverSink.h"
#include "zolfa/playback/PlaybackTransport.h"

namespace zolfa {

class ZolfaNetMgrPPC;

inline constexpr char16_t kPhotoAgent[] = u"Zolfa (get photo)";
inline constexpr char16_t kCoverFileName[] = u"albumcover.dat";

class AlbumCoverDownload {
 public:
  // generation: the newest song-ticket request's, read at each check.
  // transport null: HttpGet.
  AlbumCoverDownload(ZolfaNetMgrPPC& manager, IAlbumCoverSink& sink,
                     const std::atomic<uint32_t>& generation, PlaybackTransport transport);
  ~AlbumCoverDownload();
  AlbumCoverDownload(const AlbumCoverDownload&) = delete;
  AlbumCoverDownload& operator=(const AlbumCoverDownload&) = delete;

  // Starts a download of the album's photo stamped with the present
  // generation and returns at once; false when no worker could be started.
  // digest is carried with the download and not used further.
  bool Start(int32_t albumId, std::u16string_view digest);

  // The device path of the downloaded photo: the temporary folder followed
  // directly by kCoverFileName; empty when that is longer than MAX_PATH.
  static std::u16string CoverFilePath();

  // Workers that have not ended yet.
  int RunningWorkers();
  // Waits until no worker runs.
  void WaitUntilIdle();

 private:
  struct Record {
    int32_t albumId = 0;
    std::u16string digest;
    std::u16string path;  // set by a download that wrote the file
    uint32_t generation = 0;
  };

  void Run(Record& record);
  // Writes the body to the cover file; false on any file error.
  static bool WriteCoverFile(const std::string& body, std::u16string& path);
  bool IsCurrent(const Record& record) const;
  void WorkerEnded();

  ZolfaNetMgrPPC& manager_;
  IAlbumCoverSink& sink_;
  const std::atomic<uint32_t>& generation_;
  PlaybackTransport transport_;

  std::mutex workersMutex_;
  std::condition_variable workersChanged_;
  int runningWorkers_ = 0;
};

}  // namespace zolfa
