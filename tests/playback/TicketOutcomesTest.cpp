// The player screen's reactions to ticket failures, through a recording
// owner.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "zolfa/playback/TicketOutcomes.h"

namespace {

using zolfa::TicketOutcomes;

class RecordingOwner : public zolfa::ITicketOutcomeOwner {
 public:
  void StopConnecting() override { calls.push_back(u"stop-connecting"); }
  void ShowMessage(std::u16string_view text) override {
    calls.push_back(u"message:" + std::u16string(text));
  }
  void Wait(ce::DWORD ms) override { calls.push_back(u"wait:" + Number(ms)); }
  void Reset() override { calls.push_back(u"reset"); }
  void PlayCurrentItemAgain() override { calls.push_back(u"play-again"); }
  void Logout() override { calls.push_back(u"logout"); }
  void StopPlayback() override { calls.push_back(u"stop-playback"); }
  void PlayNextSong() override { calls.push_back(u"play-next"); }
  int32_t PlaylistSize() override { return playlistSize; }

  static std::u16string Number(int64_t n) {
    std::string s = std::to_string(n);
    return std::u16string(s.begin(), s.end());
  }

  std::vector<std::u16string> Take() {
    std::vector<std::u16string> taken;
    taken.swap(calls);
    return taken;
  }

  std::vector<std::u16string> calls;
  int32_t playlistSize = 2;
};

using Calls = std::vector<std::u16string>;

TEST(TicketOutcomes, EachCodeShowsItsMessageAndReacts) {
  struct Case {
    int32_t code;
    Calls expected;
  };
  const Case cases[] = {
      {1, {u"stop-connecting", u"reset"}},
      {2, {u"stop-connecting", u"reset"}},
      {-1, {u"stop-connecting", u"reset"}},
      {-2, {u"stop-connecting", u"message:連線失敗, 請檢查您是否已經連上網路", u"logout", u"reset"}},
      {-3, {u"stop-connecting", u"message:未知的錯誤", u"reset"}},
      {200, {u"stop-connecting", u"message:播放歌曲失敗: 200 ", u"reset"}},
      {-7, {u"stop-connecting", u"message:播放歌曲失敗: -7 ", u"reset"}},
  };
  for (const Case& c : cases) {
    RecordingOwner owner;
    TicketOutcomes outcomes(owner);
    outcomes.OnTicketFailed(c.code, u"text");
    EXPECT_EQ(owner.Take(), c.expected) << c.code;
  }
}

TEST(TicketOutcomes, SessionRefusalRetriesOnceThenShowsTheTextAndLogsOut) {
  RecordingOwner owner;
  TicketOutcomes outcomes(owner);
  outcomes.OnTicketFailed(3, u"請重新登入");
  EXPECT_EQ(owner.Take(), (Calls{u"stop-connecting", u"wait:2000", u"reset", u"play-again"}));
  EXPECT_TRUE(outcomes.Retrying());

  outcomes.OnTicketFailed(3, u"請重新登入");
  EXPECT_EQ(owner.Take(),
            (Calls{u"stop-connecting", u"message:請重新登入", u"logout", u"reset"}));
  EXPECT_FALSE(outcomes.Retrying());

  // A ready ticket between two refusals makes the next one a first again.
  outcomes.OnTicketFailed(3, nullptr);
  outcomes.OnTicketReady();
  owner.Take();
  outcomes.OnTicketFailed(3, nullptr);
  EXPECT_EQ(owner.Take(), (Calls{u"stop-connecting", u"wait:2000", u"reset", u"play-again"}));
}

TEST(TicketOutcomes, UnauthorisedSongsSkipUntilMoreThanThePlaylistWereRefused) {
  RecordingOwner owner;
  owner.playlistSize = 2;
  TicketOutcomes outcomes(owner);
  const Calls skip = {u"stop-connecting",
                      u"message:這首歌是未授權歌曲:(GET_TICKET_AUTH_ERROR)\n", u"reset",
                      u"play-next"};
  outcomes.OnTicketFailed(4, nullptr);
  EXPECT_EQ(owner.Take(), skip);
  // A ready ticket does not reset the count.
  outcomes.OnTicketReady();
  outcomes.OnTicketFailed(4, nullptr);
  EXPECT_EQ(owner.Take(), skip);
  EXPECT_EQ(outcomes.UnauthorisedCount(), 2);
  outcomes.OnTicketFailed(4, nullptr);
  EXPECT_EQ(owner.Take(),
            (Calls{u"stop-connecting", u"message:這首歌是未授權歌曲:(GET_TICKET_AUTH_ERROR)\n",
                   u"stop-playback"}));
  EXPECT_EQ(outcomes.UnauthorisedCount(), 0);
}

}  // namespace
