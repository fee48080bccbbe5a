#include "zolfa/playback/CDlgPlayer.h"

#include <algorithm>
#include <exception>
#include <utility>

#include "platform/base/Clock.h"
#include "platform/base/MessageBox.h"
#include "platform/framework/Dc.h"
#include "platform/gdi/Gdi.h"
#include "platform/window/Message.h"
#include "platform/window/Paint.h"
#include "zolfa/playback/CWMPHostMessages.h"
#include "zolfa/playback/PlaySongRequest.h"
#include "zolfa/playback/PlaybackMessages.h"

using namespace ce;
using zolfa::FeedItem;

namespace {

struct ButtonPlace {
  int id;
  UINT image;
  RECT place;  // left, top, width, height
};
// Previous, play/stop, next, mute, volume down, volume up.
constexpr ButtonPlace kButtons[6] = {
    {CDlgPlayer::kPrevButton, 214, {0, 0, 30, 35}},
    {CDlgPlayer::kPlayButton, zolfa::kPlayImage, {30, 0, 35, 35}},
    {CDlgPlayer::kNextButton, 212, {65, 0, 30, 35}},
    {CDlgPlayer::kMuteButton, CDlgPlayer::kMuteImage, {139, 0, 15, 35}},
    {CDlgPlayer::kVolumeDownButton, 218, {154, 0, 15, 35}},
    {CDlgPlayer::kVolumeUpButton, 219, {217, 0, 15, 35}},
};
constexpr size_t kPlaySlot = 1;
constexpr size_t kMuteSlot = 3;
constexpr RECT kVolumeLabelPlace{172, 1, 44, 14};
// The bar's own colours: its face (the background picture's) and its ink.
constexpr COLORREF kFace = RGB(0x2B, 0x3F, 0x55);
constexpr COLORREF kInk = RGB(0xFF, 0xFF, 0xFF);
constexpr int32_t kLyricsMode = 1;
constexpr int32_t kSongListMode = 0;

}  // namespace

CDlgPlayer::CDlgPlayer(zolfa::IPlayerCore& core, zolfa::IPlayerPlaylist& playlist,
                       Window* parent)
    : CDlgPlayer(core, playlist, parent, Options{}) {}

CDlgPlayer::CDlgPlayer(zolfa::IPlayerCore& core, zolfa::IPlayerPlaylist& playlist,
                       Window* parent, Options options)
    : Dialog(kTemplateId, parent),
      core_(core),
      playlist_(playlist),
      options_(std::move(options)),
      host_(*this),
      outcomes_(*this) {}

CDlgPlayer::~CDlgPlayer() {
  if (labelBrush_ != nullptr) DeleteObject(labelBrush_);
}

BOOL CDlgPlayer::OnInitDialog() {
  background_.LoadResource(kBackgroundImage);
  filler_.LoadResource(kFillerImage);
  volumeStrip_.LoadResource(kVolumeImage);
  const SIZE size = background_.Size();
  if (HDC screen = GetDC(Handle())) {
    offscreen_.CreateCompatible(screen, kBitmapWidth, size.cy > 0 ? size.cy : kHeight);
    ReleaseDC(Handle(), screen);
  }
  PlaceControls();
  host_.CreateHost(Handle());
  ApplyVolumes({volume_.Applied()});
  return FALSE;
}

void CDlgPlayer::PlaceControls() {
  for (size_t i = 0; i < buttons_.size(); ++i) {
    const ButtonPlace& button = kButtons[i];
    buttons_[i].SubclassDlgItem(button.id, Handle());
    buttons_[i].SetImage(button.image);
    buttons_[i].MoveWindow(button.place.left, button.place.top, button.place.right,
                           button.place.bottom);
  }
  // Held down, the volume buttons repeat their click.
  buttons_[4].SetRepeat(1);
  buttons_[5].SetRepeat(1);
  if (HWND label = GetDlgItem(kVolumeLabel)) {
    ce::MoveWindow(label, kVolumeLabelPlace.left, kVolumeLabelPlace.top, kVolumeLabelPlace.right,
                   kVolumeLabelPlace.bottom, FALSE);
  }
  // The bar itself shows the volume; the percentage text has no place in
  // the strip.
  if (HWND percent = GetDlgItem(kPercentLabel)) ce::ShowWindow(percent, SW_HIDE);
}

// Playing.

int CDlgPlayer::Play(const FeedItem& item) {
  StartConnecting();
  host_.StopMedia();
  SetText(u"停止");
  SetText(item.title);
  const std::u16string songId = zolfa::SongIdOf(item);
  if (songId.empty() || item.title.empty() || !core_.PlaySong(Handle(), songId)) EndConnecting();
  return 1;
}

void CDlgPlayer::StartConnecting() {
  dots_ = 0;
  SetTimer(kConnectingTimer, kConnectingPeriodMs);
  SetText(u"連線");
}

void CDlgPlayer::StopConnecting() {
  KillTimer(kConnectingTimer);
  dots_ = 0;
  SetText(u"");
}

void CDlgPlayer::EndConnecting() {
  StopConnecting();
  if (!volume_.Muted()) host_.SetVolume(volume_.Percent());
  playlist_.SetSongStarted(true);
}

void CDlgPlayer::Stop() {
  try {
    host_.StopMedia();
  } catch (const std::exception&) {
    ce::MessageBox(Handle(), u"Stop Exception", u"", MB_OK);
  }
  SetText(u"停止");
}

void CDlgPlayer::OnPlayButton() {
  const int32_t state = core_.PlayState();
  if (state == zolfa::kPlayStatePlaying) {
    playlist_.Stop();
    return;
  }
  // Stopped, paused or anything else (buffering): a new ticket for the
  // chosen song, not a resume.
  stoppedOnPurpose_ = false;
  playlist_.SetCurrent(playlist_.SelectedIndex());
  Play(playlist_.CurrentItem());
}

void CDlgPlayer::OnTicketReady(const zolfa::PlaySongRequest& request) {
  if (stoppedOnPurpose_) {
    EndConnecting();
    return;
  }
  outcomes_.OnTicketReady();
  dots_ = 0;
  KillTimer(kConnectingTimer);
  SetText(u"");
  // The lyrics display reads the system code page; the playlist's screen
  // converts them.
  playlist_.SetLyrics(request.lyrics);
  streamUrl_ = request.streamUrl;
  try {
    host_.StopMedia();
    host_.PlayMedia(streamUrl_);
    playlist_.SetSongStarted(true);
    if (playlist_.DisplayMode() == kLyricsMode && !playlist_.LyricsHaveLines()) {
      playlist_.SetDisplayMode(kSongListMode);
    }
  } catch (const std::exception&) {
    ce::MessageBox(Handle(), u"CException at Play Media\n", u"", MB_OK);
  }
}

// Ticket outcomes.

void CDlgPlayer::ShowMessage(std::u16string_view text) {
  const std::u16string shown(text);
  ce::MessageBox(Handle(), shown.c_str(), u"", MB_OK);
}

void CDlgPlayer::Wait(DWORD ms) {
  if (options_.wait) {
    options_.wait(ms);
  } else {
    ce::Sleep(ms);
  }
}

void CDlgPlayer::PlayCurrentItemAgain() { Play(playlist_.CurrentItem()); }

void CDlgPlayer::StopPlayback() {
  Stop();
}

// Play states and positions.

void CDlgPlayer::PostPlayerStatus(int32_t status) {
  ce::PostMessage(Handle(), zolfa::MSG_PLAYER_STATUS, static_cast<WPARAM>(status), 0);
}

void CDlgPlayer::OnStatus(int32_t status) {
  const zolfa::PlayerStatusLook look = zolfa::LookOfStatus(status);
  if (!look.known) return;
  SetText(look.text);
  if (look.playImage != 0 && look.playImage != playImage_) {
    playImage_ = look.playImage;
    buttons_[kPlaySlot].SetImage(playImage_);
    buttons_[kPlaySlot].Invalidate(FALSE);
  }
}

void CDlgPlayer::OnPosition(int32_t position, int32_t duration) {
  SetText(zolfa::PositionText(position));
  trackRange_ = duration;
  trackPosition_ = position;
  playlist_.SetLyricsPosition(position);
}

bool CDlgPlayer::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
  switch (message) {
    case zolfa::MSG_TICKET_READY:
      if (wParam != 0) OnTicketReady(*reinterpret_cast<const zolfa::PlaySongRequest*>(wParam));
      break;
    case zolfa::MSG_TICKET_FAILED:
      outcomes_.OnTicketFailed(static_cast<int32_t>(wParam),
                               reinterpret_cast<const char16_t*>(lParam));
      break;
    case zolfa::MSG_PLAYER_STATUS:
      OnStatus(static_cast<int32_t>(wParam));
      break;
    case zolfa::MSG_PLAYER_POSITION:
      OnPosition(static_cast<int32_t>(wParam), static_cast<int32_t>(lParam));
      break;
    case zolfa::MSG_MEDIA_PLAY_STATE_CHANGE:
      zolfa::HandleControlPlayState(static_cast<LONG>(wParam), *this);
      break;
    case zolfa::MSG_MEDIA_OPEN_STATE_CHANGE:
    case zolfa::MSG_MEDIA_POSITION_CHANGE:
      // The shown position comes from the host's own poll.
      break;
    default:
      return Dialog::OnMessage(message, wParam, lParam, result);
  }
  *result = 0;
  return true;
}

// Buttons, the stylus and the timer.

BOOL CDlgPlayer::OnCommand(WPARAM wParam, LPARAM lParam) {
  if (HIWORD(wParam) != BN_CLICKED) return Dialog::OnCommand(wParam, lParam);
  switch (LOWORD(wParam)) {
    case kPrevButton:
      playlist_.PlayPrevSong();
      return TRUE;
    case kNextButton:
      playlist_.PlayNextSong();
      return TRUE;
    case kPlayButton:
      OnPlayButton();
      return TRUE;
    case kBrowseButton:
      core_.RequestScreen(kMainScreen);
      return TRUE;
    case kVolumeUpButton:
      ApplyVolumes(volume_.Up());
      return TRUE;
    case kVolumeDownButton:
      ApplyVolumes(volume_.Down());
      return TRUE;
    case kMuteButton:
      ApplyVolumes(volume_.ToggleMute());
      return TRUE;
    default:
      return Dialog::OnCommand(wParam, lParam);
  }
}

void CDlgPlayer::ApplyVolumes(const std::vector<int32_t>& volumes) {
  for (int32_t percent : volumes) host_.SetVolume(percent);
  buttons_[kMuteSlot].SetAlternate(volume_.Muted() ? 1 : 0);
  ShowVolume();
}

void CDlgPlayer::ShowVolume() {
  if (Handle() == nullptr) return;
  RECT place = kVolumePlace;
  ce::InvalidateRect(Handle(), &place, FALSE);
}

void CDlgPlayer::OnLButtonDown(UINT flags, POINT point) {
  if (point.x >= zolfa::kVolumeBarLeft && point.x <= zolfa::kVolumeBarRight) {
    ApplyVolumes(volume_.TapAt(point.x));
    return;
  }
  Dialog::OnLButtonDown(flags, point);
}

void CDlgPlayer::OnTimer(UINT_PTR id) {
  if (id != kConnectingTimer) {
    Dialog::OnTimer(id);
    return;
  }
  ++dots_;
  SetText(zolfa::ConnectingText(dots_));
}

void CDlgPlayer::SetText(std::u16string text) {
  text_ = std::move(text);
  if (Handle() == nullptr) return;
  RECT place = kTextPlace;
  ce::InvalidateRect(Handle(), &place, FALSE);
}

// Painting: everything goes to the off-screen bitmap first, which reaches
// the window in one transfer.

BOOL CDlgPlayer::OnEraseBkgnd(HDC) { return TRUE; }

void CDlgPlayer::OnPaint() {
  PaintDc paint(Handle());
  Draw(paint);
}

void CDlgPlayer::Draw(HDC target) {
  if (offscreen_.Empty()) return;
  const SIZE size = offscreen_.Size();
  HDC memory = CreateCompatibleDC(target);
  HGDIOBJ oldOffscreen = SelectObject(memory, offscreen_.Handle());
  HDC source = CreateCompatibleDC(target);
  HGDIOBJ oldSource = nullptr;
  auto pick = [&](const Bitmap& picture) {
    HGDIOBJ previous = SelectObject(source, picture.Handle());
    if (oldSource == nullptr) oldSource = previous;
  };
  RECT all{0, 0, size.cx, size.cy};
  Dc(memory).FillSolidRect(all, kFace);
  if (!background_.Empty()) {
    const SIZE picture = background_.Size();
    pick(background_);
    BitBlt(memory, 0, 0, std::min<int>(picture.cx, kBitmapWidth), picture.cy, source, 0, 0,
           SRCCOPY);
  }
  if (!filler_.Empty()) {
    const SIZE strip = filler_.Size();
    pick(filler_);
    StretchBlt(memory, kFillerLeft, 0, kBitmapWidth - kFillerLeft, kHeight, source, 0, 0, strip.cx,
               strip.cy, SRCCOPY);
  }
  const int bar = volume_.BarWidth();
  if (!volumeStrip_.Empty() && bar > 0) {
    const SIZE strip = volumeStrip_.Size();
    pick(volumeStrip_);
    StretchBlt(memory, zolfa::kVolumeBarLeft, zolfa::kVolumeBarTop, bar, zolfa::kVolumeBarHeight,
               source, 0, 0, strip.cx, strip.cy, SRCCOPY);
  }
  if (!text_.empty()) {
    RECT place = kTextPlace;
    SetBkMode(memory, TRANSPARENT);
    SetTextColor(memory, kInk);
    DrawText(memory, text_.c_str(), static_cast<int>(text_.size()), &place,
             DT_SINGLELINE | DT_VCENTER | DT_LEFT | DT_NOPREFIX);
  }
  BitBlt(target, 0, 0, kBitmapWidth, size.cy, memory, 0, 0, SRCCOPY);
  if (oldSource != nullptr) SelectObject(source, oldSource);
  DeleteDC(source);
  SelectObject(memory, oldOffscreen);
  DeleteDC(memory);
}

HBRUSH CDlgPlayer::OnCtlColor(HDC dc, HWND control, UINT message) {
  if (message != WM_CTLCOLORSTATIC) return Dialog::OnCtlColor(dc, control, message);
  // The volume label lies on the bar's face.
  if (labelBrush_ == nullptr) labelBrush_ = CreateSolidBrush(kFace);
  SetBkColor(dc, kFace);
  SetTextColor(dc, kInk);
  return labelBrush_;
}

// Enter and Escape hide the bar instead of closing it.
void CDlgPlayer::OnOK() { ShowWindow(SW_HIDE); }

void CDlgPlayer::OnCancel() { ShowWindow(SW_HIDE); }

void CDlgPlayer::OnDestroy() {
  KillTimer(kConnectingTimer);
  Dialog::OnDestroy();
}
