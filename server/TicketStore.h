// The song tickets handed out: each names the session and the song it was
// issued for, so that the stream and lyrics paths find the song. The
// newest kCapacity tickets are kept. Shared by the ticket, stream and
// lyrics endpoints behind one lock.
#pragma once

#include <deque>
#include <map>
#include <mutex>
#include <optional>
#include <random>
#include <string>

namespace zolfa_server {

class TicketStore {
 public:
  static constexpr size_t kCapacity = 4096;

  struct Ticket {
    std::string sid;
    std::string songId;
  };

  TicketStore();

  // A new ticket (24 lower-case hexadecimal digits) for the song.
  std::string Issue(const std::string& sid, const std::string& songId);
  // The ticket's song, when it was issued to that session.
  std::optional<std::string> SongOf(const std::string& ticket, const std::string& sid);

 private:
  std::mutex mutex_;
  std::map<std::string, Ticket> tickets_;
  std::deque<std::string> order_;
  std::mt19937_64 random_;
};

}  // namespace zolfa_server
