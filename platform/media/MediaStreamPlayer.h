// The streaming media control on GStreamer's playbin.
//
// Each opening of the media (setting the URL, or Play after Stop or the end)
// is one session: the feeder fetches the address with the platform's HTTP
// client and the pipeline reads it from an application source, finding the
// type from the bytes (the address's extension says nothing). The stream is
// read once from its start, so the control cannot seek.
//
// Play states as the control reports them: 9 (transitioning) when a session
// starts, 7 (waiting) while the request waits for its answer, 6 (buffering)
// from the answer until the sound runs, 3 (playing), 2 (paused), 1 (stopped),
// 8 (ended) and then 1 at the end of the media, 10 (ready) after Close and
// after a stream that could not be fetched or decoded (with a MediaError
// event first). Open states: 8 (media changing) on a new URL, 10 (media
// connecting), 11 (media loading) at the answer, 13 (media open) when the
// sound runs, 6 (no media) after Close.
#pragma once

#include <atomic>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include "platform/media/MediaControlBase.h"
#include "platform/media/MediaStreamFeeder.h"
#include "platform/media/MediaUrl.h"

typedef struct _GstElement GstElement;
typedef struct _GstBus GstBus;
typedef struct _GstMessage GstMessage;

namespace ce {

class MediaStreamPlayer : public MediaControlBase {
 public:
  // Null with *error (E_FAIL) when GStreamer or its playbin is missing.
  static std::unique_ptr<MediaPlayer> Create(HRESULT* error);
  ~MediaStreamPlayer() override;

  HRESULT SetUrl(const std::u16string& url) override;
  std::u16string Url() const override { return url_; }
  HRESULT Close() override;
  HRESULT Play() override;
  HRESULT Stop() override;
  HRESULT Pause() override;
  HRESULT GetCurrentPosition(double* seconds) override;
  HRESULT SetCurrentPosition(double seconds) override;
  HRESULT SetVolume(LONG percent) override;
  HRESULT GetVolume(LONG* percent) override;
  HRESULT SetMute(bool mute) override;
  HRESULT GetMute(bool* mute) override;
  HRESULT GetDuration(double* seconds) override;
  HRESULT GetName(std::u16string* name) override;
  HRESULT GetSourceUrl(std::u16string* url) override;

 private:
  explicit MediaStreamPlayer(GstElement* playbin);
  // The signal and bus callbacks of the pipeline (in the source file).
  friend struct MediaStreamCallbacks;
  void OnSourceSetup(GstElement* source);
  void OnBusMessage(GstMessage* message);

  void StartSession();
  // Stops the pipeline and the fetch; the media stays (Play starts again).
  void EndSession();
  void OnAnswered(unsigned session, uint64_t length);
  void OnFetchFailed(unsigned session, DWORD status, DWORD error);
  void HandleBusMessage(unsigned session, GstMessage* message);
  void HandleStateChanged(GstMessage* message);
  void HandleEnd();
  void HandleError(GstMessage* message);
  void ApplyVolume();

  GstElement* playbin_ = nullptr;
  GstBus* bus_ = nullptr;
  std::u16string url_;
  std::optional<MediaUrl> parsed_;
  std::u16string title_;  // from the stream's tags
  unsigned session_ = 0;  // counts sessions, so late results of old ones are dropped
  // The source-setup signal reads these; it comes from inside the
  // pipeline's state change, which may be on a thread of its own.
  std::mutex feedMutex_;
  std::unique_ptr<MediaStreamFeeder> feeder_;  // guarded by feedMutex_ (written on the UI thread)
  uint64_t contentLength_ = 0;                 // guarded by feedMutex_
  // The session whose pipeline messages are taken, 0 while none runs; read
  // by the pipeline's threads.
  std::atomic<unsigned> busSession_{0};
  bool running_ = false;          // a session is under way
  bool pipelineStarted_ = false;  // its answer came and the pipeline runs
  bool paused_ = false;   // the caller asked for pause
  bool reachedPlaying_ = false;
  double lastPosition_ = 0;
  double duration_ = 0;
  LONG volume_ = 100;
  bool mute_ = false;
};

}  // namespace ce
