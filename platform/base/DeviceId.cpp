#include "platform/base/DeviceId.h"

#include <fcntl.h>
#include <sys/random.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "platform/base/Debug.h"
#include "platform/base/DeviceRoot.h"
#include "platform/base/Registry.h"

namespace ce {
namespace {

constexpr size_t kIdBytes = 16;
using DeviceIdBytes = std::array<BYTE, kIdBytes>;

BOOL Fail(DWORD error) {
  SetLastError(error);
  return FALSE;
}

// HKLM\System\Platform "NoDeviceId": a DWORD (of however many data bytes
// were stored, little-endian) that is not zero.
bool DeviceIdDisabled() {
  HKEY key = nullptr;
  if (RegOpenKeyEx(HKEY_LOCAL_MACHINE, u"System\\Platform", 0, KEY_QUERY_VALUE, &key) !=
      ERROR_SUCCESS) {
    return false;
  }
  bool disabled = false;
  DWORD type = REG_NONE;
  DWORD size = 0;
  if (RegQueryValueEx(key, u"NoDeviceId", nullptr, &type, nullptr, &size) == ERROR_SUCCESS &&
      type == REG_DWORD && size > 0) {
    std::vector<BYTE> data(size);
    if (RegQueryValueEx(key, u"NoDeviceId", nullptr, &type, data.data(), &size) == ERROR_SUCCESS) {
      uint32_t value = 0;
      for (size_t i = 0; i < size && i < 4; ++i) value |= uint32_t{data[i]} << (8 * i);
      disabled = value != 0;
    }
  }
  RegCloseKey(key);
  return disabled;
}

// Reads the identifier file: ERROR_SUCCESS, ERROR_FILE_NOT_FOUND when there
// is none yet, ERROR_GEN_FAILURE when it is damaged or unreadable.
DWORD ReadId(const std::filesystem::path& file, DeviceIdBytes* id) {
  int fd = open(file.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return errno == ENOENT ? ERROR_FILE_NOT_FOUND : ERROR_GEN_FAILURE;
  BYTE buffer[kIdBytes + 1];
  size_t got = 0;
  while (got < sizeof(buffer)) {
    ssize_t n = read(fd, buffer + got, sizeof(buffer) - got);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    got += static_cast<size_t>(n);
  }
  close(fd);
  if (got != kIdBytes) return ERROR_GEN_FAILURE;
  std::memcpy(id->data(), buffer, kIdBytes);
  return ERROR_SUCCESS;
}

bool RandomBytes(BYTE* out, size_t size) {
  while (size > 0) {
    ssize_t n = getrandom(out, size, 0);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    out += n;
    size -= static_cast<size_t>(n);
  }
  return true;
}

// Writes a new identifier to a file of its own and links it into place: the
// first process to link wins, and everybody then reads the same bytes.
bool CreateId(const std::filesystem::path& file) {
  DeviceIdBytes id;
  if (!RandomBytes(id.data(), id.size())) return false;
  std::filesystem::path temp = file;
  char suffix[64];
  std::snprintf(suffix, sizeof suffix, ".%d.%d.tmp", static_cast<int>(getpid()), static_cast<int>(gettid()));
  temp += suffix;
  int fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
  if (fd < 0) return false;
  bool written = write(fd, id.data(), id.size()) == static_cast<ssize_t>(id.size()) && fsync(fd) == 0;
  close(fd);
  bool linked = written && (link(temp.c_str(), file.c_str()) == 0 || errno == EEXIST);
  unlink(temp.c_str());
  return linked;
}

DWORD LoadId(DeviceIdBytes* id) {
  std::filesystem::path file = RunAreaPath() / "deviceid";
  DWORD error = ReadId(file, id);
  if (error == ERROR_FILE_NOT_FOUND) {
    if (!CreateId(file)) return ERROR_GEN_FAILURE;
    error = ReadId(file, id);
  }
  if (error != ERROR_SUCCESS) OutputDebugString(u"KernelIoControl: the device id file is unreadable\r\n");
  return error;
}

}  // namespace

BOOL KernelIoControl(DWORD code, void* /*in*/, DWORD /*inSize*/, void* out, DWORD outSize,
                     DWORD* returned) {
  if (returned != nullptr) *returned = 0;
  if (code != IOCTL_HAL_GET_DEVICEID || DeviceIdDisabled()) return Fail(ERROR_NOT_SUPPORTED);
  if (out == nullptr && outSize > 0) return Fail(ERROR_INVALID_PARAMETER);
  DeviceIdBytes id;
  DWORD error = LoadId(&id);
  if (error != ERROR_SUCCESS) return Fail(error);
  DWORD count = outSize < kIdBytes ? outSize : static_cast<DWORD>(kIdBytes);
  if (count > 0) std::memcpy(out, id.data(), count);
  if (returned != nullptr) *returned = count;
  return TRUE;
}

}  // namespace ce
