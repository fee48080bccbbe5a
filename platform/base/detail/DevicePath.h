// Internal: device paths, their host paths and the name rules of the device
// file system (case-insensitive names, "*" and "?" wildcards).
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "platform/base/Types.h"

namespace ce::detail {

struct HostPath {
  std::filesystem::path path;
  DWORD error = ERROR_SUCCESS;  // ERROR_INVALID_NAME when the device path is not usable
  bool isRoot = false;          // the device path names the root folder itself
};

// Resolves a device path ("\Program Files\Zolfa\a.xml"; "/" also separates)
// against the device root. Existing components match case-insensitively,
// missing ones keep their spelling. Rejected with ERROR_INVALID_NAME: a
// relative path, "..", characters the device does not allow in names
// (< > : " | ? * and control characters), unpaired surrogates, and symbolic
// links that lead out of the root.
HostPath ResolveHostPath(std::u16string_view devicePath);

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
