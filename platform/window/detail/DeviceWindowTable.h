// The device's table of top-level windows, shared by all its processes:
// one small file per process in "<device root>/run/windows/", replaced
// atomically on every change, plus the foreground record. A process is
// alive while a process with its pid and start time exists; files of ended
// processes are ignored and removed by whoever reads them.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <sys/types.h>
#include <vector>

#include "platform/base/Types.h"

namespace ce::detail {

struct PublishedWindow {
  uint32_t serial = 0;
  std::u16string className;
  std::u16string title;
};

struct DeviceProcess {
  uint32_t key = 0;
  pid_t pid = 0;
  uint64_t startTime = 0;
  std::vector<PublishedWindow> windows;
};

class DeviceWindowTable {
 public:
  // Writes this process's entry; an empty list removes it. False when the
  // run area cannot be written.
  static bool Publish(uint32_t key, const std::vector<PublishedWindow>& windows);
  // Live processes of the device other than `ownKey`.
  static std::vector<DeviceProcess> OtherProcesses(uint32_t ownKey);
  // The entry of one live process.
  static std::optional<DeviceProcess> FindProcess(uint32_t key);
  static void WriteForeground(uint32_t ownKey, HWND window);
  // The recorded foreground handle (not checked for liveness).
  static HWND ReadForeground();
  static std::filesystem::path RunFolder();

  // A string as one space-free field of a line, and back (empty for a
  // damaged field).
  static std::string EscapeField(const std::u16string& text);
  static std::optional<std::u16string> UnescapeField(const std::string& field);

  // The file format, exposed for tests of malformed entries.
  static std::string Format(pid_t pid, uint64_t startTime,
                            const std::vector<PublishedWindow>& windows);
  static std::optional<DeviceProcess> Parse(uint32_t key, const std::string& text);
};

// Start time of a live process in clock ticks since boot (from /proc); empty
// when no such process runs (a zombie counts as ended).
std::optional<uint64_t> ProcessStartTime(pid_t pid);

}  // namespace ce::detail
