#include "zolfa/playback/CWMPHost.h"

#include <algorithm>
#include <cstdio>
#include <exception>

#include "platform/base/CodePage.h"
#include "platform/base/DeviceFile.h"
#include "platform/base/MessageBox.h"
#include "platform/media/MediaContainer.h"
#include "platform/system/Power.h"
#include "platform/window/Message.h"
#include "zolfa/playback/CWMPHostMessages.h"

namespace zolfa {
namespace {

constexpr ce::DWORD kContainerStyle =
    ce::WS_CHILD | ce::WS_VISIBLE | ce::WS_CLIPSIBLINGS | ce::WS_CLIPCHILDREN;  // 0x56000000

}  // namespace

CWMPHost::CWMPHost(Owner& owner) : owner_(owner) {}

// The window goes while the object is still a host, so that its own
// destruction steps run.
CWMPHost::~CWMPHost() {
  if (Handle()) DestroyWindow();
}

bool CWMPHost::CreateHost(ce::HWND parent) {
  return Create(nullptr, kWindowTitle, ce::WS_CHILD, ce::RECT{0, 0, 0, 0}, parent, kWindowId);
}

int CWMPHost::OnCreate(ce::CREATESTRUCT* /*create*/) {
  notifyTarget_ = GetParent();
  ce::RECT client = GetClientRect();
  ce::RegisterMediaContainerClass();
  container_ = ce::CreateWindowEx(0, ce::kMediaContainerClass, u"", kContainerStyle, 0, 0,
                                  client.right - client.left, client.bottom - client.top, Handle(),
                                  nullptr, nullptr, nullptr);
  ce::HRESULT result = container_ ? ce::S_OK : ce::E_FAIL;
  if (ce::SUCCEEDED(result))
    result = ce::CreateControlInContainer(container_, ce::kMediaPlayerClassId, &player_);
  if (ce::FAILED(result)) {
    ShowCreationError(result);
    return -1;
  }
  sink_ = std::make_unique<CWMPEventDispatch>();
  result = player_->Advise(sink_.get(), &cookie_);
  if (ce::FAILED(result)) {
    ShowCreationError(result);
    return -1;
  }
  // The controls, the settings and the current media are the control's own
  // operations here, reached through the one interface.
  return 0;
}

void CWMPHost::ShowCreationError(ce::HRESULT error) {
  char text[32];
  std::snprintf(text, sizeof(text), "Error code = %08X", static_cast<unsigned>(error));
  ce::MessageBox(Handle(), ce::FromUtf8(text).c_str(), u"Error", ce::MB_ICONERROR);
  player_ = nullptr;
  ce::PostQuitMessage(0);
}

void CWMPHost::OnDestroy() {
  if (player_) {
    if (cookie_ != 0) player_->Unadvise(cookie_);
    cookie_ = 0;
    player_->Close();
    player_ = nullptr;  // the container destroys it with itself
  }
  sink_.reset();
}

void CWMPHost::PostNcDestroy() {
  // The host lives as long as the application.
  ce::PostQuitMessage(0);
}

bool CWMPHost::PlayMedia(const std::u16string& url) {
  try {
    playRequested_ = true;
    if (!player_) return false;
    player_->Stop();
    if (ce::FAILED(player_->SetUrl(url))) {
      std::u16string text = u"put_URL failed, URL == " + url;
      ce::MessageBox(Handle(), text.c_str(), u"", ce::MB_OK);
      return false;
    }
    SetTimer(kPositionTimer, kPositionPeriodMs);
    SetTimer(kPowerTimer, kPowerPeriodMs);
  } catch (const std::exception&) {
    ce::MessageBox(Handle(), u"PlayMedia Exception Dropped! \n", u"", ce::MB_OK);
  }
  return true;
}

void CWMPHost::StopMedia() {
  if (!player_) return;
  if (ce::SUCCEEDED(player_->Stop())) {
    playRequested_ = false;
    KillTimer(kPositionTimer);
  }
}

void CWMPHost::PauseMedia() {
  if (!player_) return;
  if (ce::SUCCEEDED(player_->Pause())) KillTimer(kPositionTimer);
}

void CWMPHost::SetVolume(int32_t percent) {
  if (!player_) return;
  player_->SetVolume(std::clamp(percent, 0, 100));
}

void CWMPHost::OnTimer(ce::UINT_PTR id) {
  if (id == kPositionTimer) {
    PollPosition();
  } else if (id == kPowerTimer) {
    WatchPowerState();
  } else {
    Window::OnTimer(id);
  }
}

void CWMPHost::PollPosition() {
  if (!player_) return;
  if (ce::FAILED(player_->GetCurrentPosition(&position_)) || position_ < kFirstShownSecond) return;
  player_->GetDuration(&duration_);
  // Read as the device's host does, for diagnostics only.
  std::u16string name;
  std::u16string source;
  player_->GetName(&name);
  player_->GetSourceUrl(&source);
  previousPosition_ = position_;
  owner_.EndConnecting();
  ce::PostMessage(notifyTarget_, MSG_PLAYER_POSITION,
                  static_cast<ce::WPARAM>(static_cast<int32_t>(position_)),
                  static_cast<ce::LPARAM>(static_cast<int32_t>(duration_)));
}

void CWMPHost::WatchPowerState() {
  ce::WCHAR name[ce::MAX_PATH] = {};
  ce::DWORD flags = 0;
  if (ce::GetSystemPowerState(name, ce::MAX_PATH, &flags) != ce::ERROR_SUCCESS) return;
  std::u16string state(name);
  // Exact names, and the flag word compared whole, not bit by bit.
  if (state == u"unattended" || flags == ce::POWER_STATE_UNATTENDED || state == u"resuming" ||
      flags == ce::POWER_STATE_PASSWORD) {
    PauseMedia();
  }
}

}  // namespace zolfa
