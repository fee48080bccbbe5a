// How the player screen reacts to the outcome of a song ticket: the retry
// after a session refusal, the count of unauthorised songs in a row, the
// logout after a transport failure, and the message of each code.
//
// Codes of MSG_TICKET_FAILED: 1, 2 and -1 the service's general, song and
// key errors (no message); 3 a session refusal (retried once after
// kRetryWaitMs, then the ticket text and logout); 4 an unauthorised song
// (skipped, until more songs were refused than the playlist holds); -2 the
// transport failed (logout); -3 an unknown error; anything else (200 for an
// answer without a status) "播放歌曲失敗".
//
// Runs on the player screen's thread only.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/base/Types.h"
#include "zolfa/playback/ITicketOutcomeOwner.h"

namespace zolfa {

inline constexpr char16_t kUnauthorisedSongText[] =
    u"這首歌是未授權歌曲:(GET_TICKET_AUTH_ERROR)\n";
inline constexpr char16_t kConnectFailedText[] = u"連線失敗, 請檢查您是否已經連上網路";
inline constexpr char16_t kUnknownErrorText[] = u"未知的錯誤";
// Composed for codes 1, 2 and -1 and not shown.
inline constexpr char16_t kGeneralErrorText[] = u"一般錯誤:停止播放 GET_TICKET_GENERAL_ERROR\n";
inline constexpr char16_t kSongIdErrorText[] = u"Song_ID錯誤: GET_TICKET_SONGID_ERROR\n";
inline constexpr char16_t kGetKeyErrorText[] = u"TICKET 錯誤:GET_TICKET_GETKEY_ERROR";

class TicketOutcomes {
 public:
  static constexpr ce::DWORD kRetryWaitMs = 2000;

  explicit TicketOutcomes(ITicketOutcomeOwner& owner) : owner_(owner) {}

  // A ready ticket clears the retry flag (not the unauthorised count).
  void OnTicketReady() { retrying_ = false; }
  // text may be null.
  void OnTicketFailed(int32_t code, const char16_t* text);

  bool Retrying() const { return retrying_; }
  int32_t UnauthorisedCount() const { return unauthorisedCount_; }

  // "播放歌曲失敗: %d " with the code.
  static std::u16string PlayFailedText(int32_t code);

 private:
  void OnSessionRefused(const char16_t* text);
  void OnUnauthorisedSong();

  ITicketOutcomeOwner& owner_;
  bool retrying_ = false;
  int32_t unauthorisedCount_ = 0;
};

}  // namespace zolfa
