#include "platform/media/ScriptedMediaPlayer.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "platform/base/Clock.h"
#include "platform/base/CodePage.h"
#include "platform/media/MediaUrl.h"
#include "platform/window/Window.h"

namespace ce {

ScriptedMediaPlayer::ScriptedMediaPlayer() = default;

ScriptedMediaPlayer::~ScriptedMediaPlayer() {
  KillTimer(EventWindow(), kOpenTimer);
  KillTimer(EventWindow(), kEndTimer);
}

void ScriptedMediaPlayer::ForcePlayState(LONG state) {
  if (state == kPlayStatePlaying) {
    StartRunning();
  } else if (state == kPlayStateStopped) {
    Freeze();
    position_ = 0;
  } else {
    Freeze();
  }
  EnterPlayState(state);
}

HRESULT ScriptedMediaPlayer::SetUrl(const std::u16string& url) {
  calls_.push_back("SetUrl " + ToUtf8(url));
  if (FAILED(failSetUrl_)) return std::exchange(failSetUrl_, S_OK);
  if (url.empty()) return Close();
  Freeze();
  url_ = url;
  open_ = false;
  position_ = 0;
  ReportOpen(url_);
  EnterOpenState(kOpenStateMediaChanging);
  Open();
  return S_OK;
}

HRESULT ScriptedMediaPlayer::Close() {
  calls_.push_back("Close");
  Freeze();
  KillTimer(EventWindow(), kOpenTimer);
  bool hadMedia = !url_.empty();
  url_.clear();
  open_ = false;
  position_ = 0;
  if (hadMedia) {
    EnterOpenState(kOpenStatePlaylistOpenNoMedia);
    EnterPlayState(kPlayStateReady);
  }
  return S_OK;
}

HRESULT ScriptedMediaPlayer::Play() {
  calls_.push_back("Play");
  if (url_.empty()) return E_UNEXPECTED;
  if (PlayState() == kPlayStatePaused) {
    StartRunning();
    EnterPlayState(kPlayStatePlaying);
  } else if (PlayState() == kPlayStateStopped || PlayState() == kPlayStateReady ||
             PlayState() == kPlayStateMediaEnded) {
    position_ = 0;
    Open();
  }
  return S_OK;
}

HRESULT ScriptedMediaPlayer::Stop() {
  calls_.push_back("Stop");
  KillTimer(EventWindow(), kOpenTimer);
  LONG state = PlayState();
  Freeze();
  position_ = 0;
  if (!url_.empty() && state != kPlayStateStopped && state != kPlayStateReady)
    EnterPlayState(kPlayStateStopped);
  return S_OK;
}

HRESULT ScriptedMediaPlayer::Pause() {
  calls_.push_back("Pause");
  if (PlayState() == kPlayStatePlaying || PlayState() == kPlayStateBuffering) {
    KillTimer(EventWindow(), kOpenTimer);
    Freeze();
    EnterPlayState(kPlayStatePaused);
  }
  return S_OK;
}

HRESULT ScriptedMediaPlayer::GetCurrentPosition(double* seconds) {
  if (!seconds) return E_POINTER;
  if (failPosition_) return E_FAIL;
  *seconds = Position();
  return S_OK;
}

HRESULT ScriptedMediaPlayer::SetCurrentPosition(double seconds) {
  calls_.push_back("SetCurrentPosition " + std::to_string(seconds));
  if (!open_ || seconds < 0 || seconds > duration_) return E_INVALIDARG;
  double old = Position();
  position_ = seconds;
  runStartMs_ = CurrentClock().NowMs();
  if (running_) ScheduleEnd();
  ReportPositionChange(old, seconds);
  return S_OK;
}

HRESULT ScriptedMediaPlayer::SetVolume(LONG percent) {
  calls_.push_back("SetVolume " + std::to_string(percent));
  if (percent < 0 || percent > 100) return E_INVALIDARG;
  volume_ = percent;
  return S_OK;
}

HRESULT ScriptedMediaPlayer::GetVolume(LONG* percent) {
  if (!percent) return E_POINTER;
  *percent = volume_;
  return S_OK;
}

HRESULT ScriptedMediaPlayer::SetMute(bool mute) {
  calls_.push_back(std::string("SetMute ") + (mute ? "1" : "0"));
  mute_ = mute;
  return S_OK;
}

HRESULT ScriptedMediaPlayer::GetMute(bool* mute) {
  if (!mute) return E_POINTER;
  *mute = mute_;
  return S_OK;
}

HRESULT ScriptedMediaPlayer::GetDuration(double* seconds) {
  if (!seconds) return E_POINTER;
  *seconds = open_ ? duration_ : 0;
  return S_OK;
}

HRESULT ScriptedMediaPlayer::GetName(std::u16string* name) {
  if (!name) return E_POINTER;
  if (!name_.empty()) {
    *name = name_;
  } else {
    auto parsed = ParseMediaUrl(url_);
    *name = parsed ? parsed->BaseName() : std::u16string();
  }
  return S_OK;
}

HRESULT ScriptedMediaPlayer::GetSourceUrl(std::u16string* url) {
  if (!url) return E_POINTER;
  *url = url_;
  return S_OK;
}

HRESULT ScriptedMediaPlayer::Advise(MediaEvents* sink, DWORD* cookie) {
  HRESULT result = MediaControlBase::Advise(sink, cookie);
  if (SUCCEEDED(result)) ++advised_;
  return result;
}

HRESULT ScriptedMediaPlayer::Unadvise(DWORD cookie) {
  HRESULT result = MediaControlBase::Unadvise(cookie);
  if (SUCCEEDED(result)) --advised_;
  return result;
}

void ScriptedMediaPlayer::Open() {
  EnterPlayState(kPlayStateTransitioning);
  EnterOpenState(kOpenStateMediaConnecting);
  EnterPlayState(kPlayStateBuffering);
  if (openDelayMs_ == 0) {
    open_ = true;
    EnterOpenState(kOpenStateMediaOpen);
    StartRunning();
    EnterPlayState(kPlayStatePlaying);
  } else {
    SetTimer(EventWindow(), kOpenTimer, openDelayMs_, &ScriptedMediaPlayer::OnTimer);
  }
}

void ScriptedMediaPlayer::StartRunning() {
  running_ = true;
  runStartMs_ = CurrentClock().NowMs();
  ScheduleEnd();
}

void ScriptedMediaPlayer::Freeze() {
  position_ = Position();
  running_ = false;
  KillTimer(EventWindow(), kEndTimer);
}

void ScriptedMediaPlayer::ScheduleEnd() {
  double left = std::max(0.0, duration_ - position_);
  auto ms = static_cast<UINT>(std::ceil(left * 1000));
  SetTimer(EventWindow(), kEndTimer, std::max<UINT>(ms, 1), &ScriptedMediaPlayer::OnTimer);
}

double ScriptedMediaPlayer::Position() const {
  if (!running_) return position_;
  double elapsed = static_cast<double>(CurrentClock().NowMs() - runStartMs_) / 1000.0;
  return std::min(duration_, position_ + elapsed);
}

void ScriptedMediaPlayer::OnTimer(HWND window, UINT, UINT_PTR id, DWORD) {
  KillTimer(window, id);
  auto* base = reinterpret_cast<MediaControlBase*>(GetWindowLongPtr(window, GWLP_USERDATA));
  auto* player = dynamic_cast<ScriptedMediaPlayer*>(base);
  if (!player) return;
  if (id == kOpenTimer) {
    player->open_ = true;
    player->EnterOpenState(kOpenStateMediaOpen);
    player->StartRunning();
    player->EnterPlayState(kPlayStatePlaying);
  } else if (id == kEndTimer) {
    player->Freeze();
    player->position_ = 0;
    player->EnterPlayState(kPlayStateMediaEnded);
    player->EnterPlayState(kPlayStateStopped);
  }
}

}  // namespace ce
