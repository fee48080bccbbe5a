#include "platform/media/MediaPlayer.h"

#include <atomic>
#include <mutex>
#include <utility>

#include "platform/media/MediaStreamPlayer.h"

namespace ce {
namespace {

std::mutex& FactoryMutex() {
  static std::mutex mutex;
  return mutex;
}
MediaPlayerFactory& Factory() {
  static MediaPlayerFactory factory;
  return factory;
}

std::mutex& ObserverMutex() {
  static std::mutex mutex;
  return mutex;
}
MediaObserver& Observer() {
  static MediaObserver observer;
  return observer;
}

std::atomic<MediaAudioOutput> audioOutput{MediaAudioOutput::kAuto};

}  // namespace

std::string PlayStateName(LONG state) {
  switch (state) {
    case kPlayStateUndefined: return "undefined";
    case kPlayStateStopped: return "stopped";
    case kPlayStatePaused: return "paused";
    case kPlayStatePlaying: return "playing";
    case kPlayStateScanForward: return "scanforward";
    case kPlayStateScanReverse: return "scanreverse";
    case kPlayStateBuffering: return "buffering";
    case kPlayStateWaiting: return "waiting";
    case kPlayStateMediaEnded: return "ended";
    case kPlayStateTransitioning: return "transitioning";
    case kPlayStateReady: return "ready";
    case kPlayStateReconnecting: return "reconnecting";
    default: return "state " + std::to_string(state);
  }
}

std::unique_ptr<MediaPlayer> CreateMediaPlayer(HRESULT* error) {
  MediaPlayerFactory factory;
  {
    std::lock_guard<std::mutex> lock(FactoryMutex());
    factory = Factory();
  }
  if (factory) return factory(error);
  return MediaStreamPlayer::Create(error);
}

MediaPlayerFactory SetMediaPlayerFactory(MediaPlayerFactory factory) {
  std::lock_guard<std::mutex> lock(FactoryMutex());
  return std::exchange(Factory(), std::move(factory));
}

void SetMediaAudioOutput(MediaAudioOutput output) { audioOutput = output; }
MediaAudioOutput GetMediaAudioOutput() { return audioOutput; }

MediaObserver SetMediaObserver(MediaObserver observer) {
  std::lock_guard<std::mutex> lock(ObserverMutex());
  return std::exchange(Observer(), std::move(observer));
}

void NotifyMediaObserver(const MediaEvent& event) {
  MediaObserver observer;
  {
    std::lock_guard<std::mutex> lock(ObserverMutex());
    observer = Observer();
  }
  if (observer) observer(event);
}

}  // namespace ce
