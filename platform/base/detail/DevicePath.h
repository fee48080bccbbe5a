// Internal: device paths, their host paths and the name rules of the device
// file system (case-insensitive names, "*" and "?" wildcards).
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include <sys/types.h>

#include "platform/base/Types.h"

namespace ce::detail {

struct HostPath {
  std::filesystem::path path;
  DWORD error = ERROR_SUCCESS;  // ERROR_INVALID_NAME when the device path is not usable
  bool isRoot = false;          // the device path names the root folder itself
  // The path below the root ("Program Files/Zolfa/a.xml"; empty for the root),
  // for the descriptor-relative calls below.
  std::filesystem::path relative;
};

// A file descriptor closed with its owner.
class UniqueFd {
 public:
  UniqueFd() = default;
  explicit UniqueFd(int fd) : fd_(fd) {}
  ~UniqueFd();
  UniqueFd(UniqueFd&& other) noexcept : fd_(other.Release()) {}
  UniqueFd& operator=(UniqueFd&& other) noexcept;
  int Get() const { return fd_; }
  bool Valid() const { return fd_ >= 0; }
  int Release() {
    int fd = fd_;
    fd_ = -1;
    return fd;
  }

 private:
  int fd_ = -1;
};

// Resolves a device path ("\Program Files\Zolfa\a.xml"; "/" also separates)
// against the device root. Existing components match case-insensitively,
// missing ones keep their spelling. Rejected with ERROR_INVALID_NAME: a
// relative path, "..", characters the device does not allow in names
// (< > : " | ? * and control characters), unpaired surrogates, and symbolic
// links that lead out of the root.
// The registry hive, the host table and the run area live in the device
// root beside the device's folders but are not part of its file system: a
// device path that names them is rejected with ERROR_INVALID_NAME too, and
// listings of the root leave them out.
HostPath ResolveHostPath(std::u16string_view devicePath);

// True for a name of the root folder that belongs to the device root itself
// (the hive and its journals, the host table and its files, the run area).
bool IsDeviceRootOwnName(std::string_view utf8Name);

// Opens relative (a HostPath's relative part) beneath the device root in one
// step: no symbolic link, "..", or magic link may lead out of the root while
// the kernel walks the path, so a folder swapped for a link between a check
// and the open cannot escape. flags are open(2)'s; O_CLOEXEC is added.
// Returns the descriptor, or -1 with errno set (EXDEV or ELOOP for a walk
// that would leave the root).
int OpenBeneathRoot(const std::filesystem::path& relative, int flags, mode_t mode = 0644);

// The folder holding a path's last component, opened beneath the root as
// O_PATH, for the *at calls on that component (unlinkat, renameat2, mkdirat,
// fstatat without following). -1 with errno set on failure.
int OpenParentBeneathRoot(const std::filesystem::path& relative);

// The error for a host path that does not exist: ERROR_FILE_NOT_FOUND when
// its folder exists, ERROR_PATH_NOT_FOUND otherwise.
DWORD MissingPathError(const std::filesystem::path& host);
// Maps an errno value of an operation on host to the platform's code.
DWORD ErrorFromErrno(int error, const std::filesystem::path& host);

// Names compare with simple case folding of the Latin, Greek, Cyrillic and
// full-width Latin letters; other characters compare exactly.
bool NamesEqual(std::string_view utf8A, std::string_view utf8B);
// Order of names in searches: ignoring case first, then byte-wise.
bool NameLess(std::string_view utf8A, std::string_view utf8B);
// "*" matches any run of characters, "?" one character; a pattern ending in
// ".*" also matches the name without an extension ("install.*" matches
// "install"), as the platform's searches do.
bool WildcardMatch(std::string_view utf8Pattern, std::string_view utf8Name);
// Strict UTF-16 to UTF-8 (empty optional on an unpaired surrogate).
std::optional<std::string> WideToUtf8(std::u16string_view wide);
// UTF-8 to UTF-16; bytes that are not UTF-8 become U+FFFD.
std::u16string Utf8ToWide(std::string_view utf8);

}  // namespace ce::detail
