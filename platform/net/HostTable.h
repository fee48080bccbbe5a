// The device's host table: host names the programs ask for, mapped to the
// address that is really connected to. Programs always speak to the ports
// they were built for (80) while the local service listens on a free
// loopback port; the table bridges the two.
//
// It is the text file "hosts" at the top of the device root, one mapping a
// line:
//     NAME[:PORT] ADDRESS:PORT
// for example "login1.zolfa.test:80 127.0.0.1:40123". An entry with a port
// applies to that port only and wins over an entry for the bare name, which
// applies to every port. Names compare case-insensitively. ADDRESS is an
// IPv4 address, an IPv6 address in brackets, or a host name. Lines that start
// with "#", blank lines and lines that are not entries are kept as they are
// when the table is saved again. `cedev hosts` edits the file.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ce {

class HostTable {
 public:
  struct Key {
    std::string name;
    uint16_t port = 0;  // 0: every port
  };
  struct Endpoint {
    std::string address;  // without brackets
    uint16_t port = 0;
  };
  struct Entry {
    Key key;
    Endpoint endpoint;
  };

  // "<device root>/hosts".
  static std::filesystem::path DefaultPath();

  // Parse "NAME[:PORT]" and "ADDRESS:PORT"; false for anything else (empty
  // parts, characters a host name cannot hold, ports outside 1..65535).
  static bool ParseKey(std::string_view text, Key* key);
  static bool ParseEndpoint(std::string_view text, Endpoint* endpoint);
  static std::string FormatKey(const Key& key);
  static std::string FormatEndpoint(const Endpoint& endpoint);

  // Reads a table file; a missing file is an empty table. false with a
  // message when the file exists but cannot be read.
  bool Load(const std::filesystem::path& path, std::string* error = nullptr);
  // Writes the table through a temporary file of its own and a rename, so a
  // reader never sees half a table.
  bool Save(const std::filesystem::path& path, std::string* error = nullptr) const;

  // Held around a load, change and save, so that writers of one table file
  // (several processes) take turns and none loses another's entries. The
  // lock is an advisory lock on "<table>.lock", released with the object.
  class EditLock {
   public:
    EditLock() = default;
    ~EditLock();
    EditLock(EditLock&& other) noexcept : fd_(other.fd_) { other.fd_ = -1; }
    EditLock& operator=(EditLock&&) = delete;
    // Waits for the lock; false with a message when the lock file cannot be used.
    bool Take(const std::filesystem::path& table, std::string* error = nullptr);

   private:
    int fd_ = -1;
  };

  // Adds a mapping, replacing the one with the same name and port.
  void Add(const Key& key, const Endpoint& endpoint);
  // false when there was no entry with exactly that name and port.
  bool Remove(const Key& key);
  std::optional<Endpoint> Lookup(std::string_view name, uint16_t port) const;
  std::vector<Entry> Entries() const;
  // Lines that are neither entries, comments nor blank.
  std::vector<std::string> BadLines() const;

 private:
  struct Line {
    std::string text;
    std::optional<Entry> entry;
  };
  static std::optional<Entry> ParseLine(std::string_view text);
  std::vector<Line> lines_;
};

}  // namespace ce
