// Fetches one stream with the platform's HTTP client and pushes its bytes
// into the pipeline's application source, on a thread of its own.
//
// The request goes through the device's host table and its proxy settings
// like every other request of the device (and so shows in the transcript).
// The bytes are pushed as they arrive; the source blocks the thread while
// the pipeline has enough, so a paused stream holds the connection without
// reading ahead without bound.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>

#include "platform/media/MediaUrl.h"

// GStreamer's headers stay out of the platform's headers (its TRUE and FALSE
// macros would replace the platform's constants).
typedef struct _GstElement GstElement;

namespace ce {

class MediaStreamFeeder {
 public:
  // Called on the feeder's thread: the answer's headers are in with status
  // 200 (length 0 when the server gave none), or the fetch failed before
  // any byte (status: the HTTP status of an answer other than 200, error:
  // the client's error code when no answer came).
  using Answered = std::function<void(uint64_t length)>;
  using Failed = std::function<void(DWORD status, DWORD error)>;

  // Bytes handed to the source at a time.
  static constexpr DWORD kChunkBytes = 16 * 1024;
  static constexpr const char16_t* kAgent = u"CeMedia/1.0";

  MediaStreamFeeder(const MediaUrl& url, Answered answered, Failed failed);
  // Cancels and waits for the thread; call after the pipeline was set to
  // NULL, which releases a push waiting for room.
  ~MediaStreamFeeder();
  MediaStreamFeeder(const MediaStreamFeeder&) = delete;
  MediaStreamFeeder& operator=(const MediaStreamFeeder&) = delete;

  // The source the bytes go to (a reference is taken); the thread starts
  // pushing once it has the answer and the source.
  void SetSource(GstElement* appsrc);
  void Cancel();

 private:
  void Run(MediaUrl url, Answered answered, Failed failed);
  // Waits for the source; null when cancelled first.
  GstElement* WaitForSource();

  std::atomic<int32_t> cancel_{0};
  std::mutex mutex_;
  std::condition_variable changed_;
  GstElement* source_ = nullptr;  // guarded by mutex_; owned reference
  std::thread thread_;
};

}  // namespace ce
