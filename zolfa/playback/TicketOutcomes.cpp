#include "zolfa/playback/TicketOutcomes.h"

#include "platform/base/CodePage.h"

namespace zolfa {

void TicketOutcomes::OnTicketFailed(int32_t code, const char16_t* text) {
  owner_.StopConnecting();
  switch (code) {
    case 1:
    case 2:
    case -1:
      owner_.Reset();
      break;
    case 3:
      OnSessionRefused(text);
      break;
    case 4:
      OnUnauthorisedSong();
      break;
    case -2:
      owner_.ShowMessage(kConnectFailedText);
      owner_.Logout();
      owner_.Reset();
      break;
    case -3:
      owner_.ShowMessage(kUnknownErrorText);
      owner_.Reset();
      break;
    default:
      owner_.ShowMessage(PlayFailedText(code));
      owner_.Reset();
      break;
  }
}

void TicketOutcomes::OnSessionRefused(const char16_t* text) {
  if (!retrying_) {
    // The service may refuse a ticket while the session is renewed; one
    // more try after a pause usually gets it.
    retrying_ = true;
    owner_.Wait(kRetryWaitMs);
    owner_.Reset();
    owner_.PlayCurrentItemAgain();
    return;
  }
  owner_.ShowMessage(text != nullptr ? std::u16string_view(text) : std::u16string_view());
  retrying_ = false;
  owner_.Logout();
  owner_.Reset();
}

void TicketOutcomes::OnUnauthorisedSong() {
  owner_.ShowMessage(kUnauthorisedSongText);
  ++unauthorisedCount_;
  // More refusals in a row than songs in the playlist: every song was
  // tried, so stop instead of skipping round for ever.
  if (unauthorisedCount_ > owner_.PlaylistSize()) {
    unauthorisedCount_ = 0;
    owner_.StopPlayback();
    return;
  }
  owner_.Reset();
  owner_.PlayNextSong();
}

std::u16string TicketOutcomes::PlayFailedText(int32_t code) {
  return u"播放歌曲失敗: " + ce::FromUtf8(std::to_string(code)) + u" ";
}

}  // namespace zolfa
