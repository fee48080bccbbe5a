// The media player control: one stream at a time, opened from its address,
// with the control's own state numbers.
//
// Setting the URL opens the stream and starts playing on its own. Every
// event reaches the sinks on the thread that created the control (the UI
// thread), posted through a hidden window of that thread, in the order in
// which the control saw the changes; the threads that fetch and decode the
// stream never touch a window. Calls are made on the creating thread only.
//
// Two implementations stand behind the interface: the streaming control
// (GStreamer, MediaStreamPlayer.h) and the scripted control of tests
// (ScriptedMediaPlayer.h). CreateMediaPlayer makes the one installed for the
// process.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/base/Types.h"

namespace ce {

// Play states of the control.
enum MediaPlayState : LONG {
  kPlayStateUndefined = 0,
  kPlayStateStopped = 1,
  kPlayStatePaused = 2,
  kPlayStatePlaying = 3,
  kPlayStateScanForward = 4,
  kPlayStateScanReverse = 5,
  kPlayStateBuffering = 6,
  kPlayStateWaiting = 7,
  kPlayStateMediaEnded = 8,
  kPlayStateTransitioning = 9,
  kPlayStateReady = 10,
  kPlayStateReconnecting = 11,
};

// Open states of the control.
enum MediaOpenState : LONG {
  kOpenStateUndefined = 0,
  kOpenStatePlaylistChanging = 1,
  kOpenStatePlaylistLocating = 2,
  kOpenStatePlaylistConnecting = 3,
  kOpenStatePlaylistLoading = 4,
  kOpenStatePlaylistOpening = 5,
  kOpenStatePlaylistOpenNoMedia = 6,
  kOpenStatePlaylistChanged = 7,
  kOpenStateMediaChanging = 8,
  kOpenStateMediaLocating = 9,
  kOpenStateMediaConnecting = 10,
  kOpenStateMediaLoading = 11,
  kOpenStateMediaOpening = 12,
  kOpenStateMediaOpen = 13,
  kOpenStateMediaWaiting = 20,
  kOpenStateOpeningUnknownUrl = 21,
};

// The lower-case name of a play state ("playing", "ended"), for transcripts
// and diagnostics; "state N" for numbers the control does not use.
std::string PlayStateName(LONG state);

// The control's events. Every operation has a do-nothing default, so a sink
// overrides only what it needs.
class MediaEvents {
 public:
  virtual ~MediaEvents() = default;
  virtual void OpenStateChange(LONG /*newState*/) {}
  virtual void PlayStateChange(LONG /*newState*/) {}
  // A jump of the position (a seek), both in seconds.
  virtual void PositionChange(double /*oldPosition*/, double /*newPosition*/) {}
  // The stream could not be fetched or decoded; the control is then ready
  // for another URL.
  virtual void MediaError(HRESULT /*error*/) {}
};

class MediaPlayer {
 public:
  virtual ~MediaPlayer() = default;

  // The player. An empty URL closes the current media. A URL the control
  // cannot open at all (not "http://host..." ) fails with E_INVALIDARG and
  // leaves the current media playing.
  virtual HRESULT SetUrl(const std::u16string& url) = 0;
  virtual std::u16string Url() const = 0;
  virtual HRESULT Close() = 0;
  virtual LONG PlayState() const = 0;
  virtual LONG OpenState() const = 0;

  // The controls. Play after Stop starts the media from its beginning.
  virtual HRESULT Play() = 0;
  virtual HRESULT Stop() = 0;
  virtual HRESULT Pause() = 0;
  // Seconds from the start of the media; 0 when none plays.
  virtual HRESULT GetCurrentPosition(double* seconds) = 0;
  virtual HRESULT SetCurrentPosition(double seconds) = 0;

  // The settings. The volume is 0..100 (out of range values fail with
  // E_INVALIDARG); muting keeps the volume.
  virtual HRESULT SetVolume(LONG percent) = 0;
  virtual HRESULT GetVolume(LONG* percent) = 0;
  virtual HRESULT SetMute(bool mute) = 0;
  virtual HRESULT GetMute(bool* mute) = 0;

  // The current media: its duration in seconds (0 while unknown), its name
  // (the title the stream carries, else the last part of its address
  // without extension and query) and the address it came from.
  virtual HRESULT GetDuration(double* seconds) = 0;
  virtual HRESULT GetName(std::u16string* name) = 0;
  virtual HRESULT GetSourceUrl(std::u16string* url) = 0;

  // The connection point: sinks are borrowed and must be unadvised before
  // they go away. The cookie is never 0.
  virtual HRESULT Advise(MediaEvents* sink, DWORD* cookie) = 0;
  virtual HRESULT Unadvise(DWORD cookie) = 0;
};

// The class identifier under which the container creates the control.
constexpr const char16_t* kMediaPlayerClassId = u"{6BF52A52-394A-11d3-B153-00C04F79FAA6}";

// Makes the control installed for the process (the streaming control unless
// a factory was installed), on the calling thread. Null with *error set
// when the media system cannot start.
std::unique_ptr<MediaPlayer> CreateMediaPlayer(HRESULT* error = nullptr);
using MediaPlayerFactory = std::function<std::unique_ptr<MediaPlayer>(HRESULT* error)>;
// Installs a factory for the process (empty restores the streaming
// control); returns the previous one.
MediaPlayerFactory SetMediaPlayerFactory(MediaPlayerFactory factory);

// Where the streaming control sends its sound. kAuto uses the audio device
// when one answers and otherwise a sink that runs on the clock, so that
// positions advance in real time and the end of the media arrives on time.
enum class MediaAudioOutput { kAuto, kDevice, kClockedFake };
void SetMediaAudioOutput(MediaAudioOutput output);
MediaAudioOutput GetMediaAudioOutput();

// What the controls of the process do, for the transcript: a URL opened, a
// play state entered, the end of a media reached. Reported on the UI thread
// as the sinks see it.
struct MediaEvent {
  enum Kind { kOpen, kPlayState, kEnded, kError };
  Kind kind = kOpen;
  std::u16string url;  // kOpen
  LONG state = 0;      // kPlayState
  HRESULT error = 0;   // kError
};
using MediaObserver = std::function<void(const MediaEvent&)>;
// Installs an observer for the process (empty removes it); returns the
// previous one.
MediaObserver SetMediaObserver(MediaObserver observer);
void NotifyMediaObserver(const MediaEvent& event);

}  // namespace ce
