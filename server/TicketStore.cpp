#include "server/TicketStore.h"

#include <cstdio>

namespace zolfa_server {

TicketStore::TicketStore() : random_(std::random_device{}()) {}

std::string TicketStore::Issue(const std::string& sid, const std::string& songId) {
  std::lock_guard<std::mutex> lock(mutex_);
  std::string ticket;
  do {
    char text[32];
    std::snprintf(text, sizeof text, "%08llx%016llx",
                  static_cast<unsigned long long>(random_() & 0xFFFFFFFFu),
                  static_cast<unsigned long long>(random_()));
    ticket = text;
  } while (tickets_.count(ticket) != 0);
  tickets_[ticket] = Ticket{sid, songId};
  order_.push_back(ticket);
  while (order_.size() > kCapacity) {
    tickets_.erase(order_.front());
    order_.pop_front();
  }
  return ticket;
}

std::optional<std::string> TicketStore::SongOf(const std::string& ticket, const std::string& sid) {
  std::lock_guard<std::mutex> lock(mutex_);
  auto found = tickets_.find(ticket);
  if (found == tickets_.end() || found->second.sid != sid) return std::nullopt;
  return found->second.songId;
}

}  // namespace zolfa_server
