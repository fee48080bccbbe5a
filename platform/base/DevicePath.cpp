// Device paths: from the device's backslash paths with case-insensitive
// names to host paths inside the device root.
#include "platform/base/detail/DevicePath.h"

#include <dirent.h>
#include <fcntl.h>
#include <linux/openat2.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <vector>

#include "platform/base/DeviceRoot.h"

namespace ce::detail {
namespace {

constexpr size_t kMaxNameBytes = 255;  // the host's limit for one name (NAME_MAX)
constexpr char32_t kInvalidByteBase = 0x110000;  // code points above Unicode stand for bad bytes

bool IsSeparator(char16_t c) { return c == u'\\' || c == u'/'; }

bool IsForbiddenInName(char16_t c) {
  if (c < 0x20) return true;
  switch (c) {
    case u'<': case u'>': case u':': case u'"': case u'|': case u'?': case u'*':
      return true;
    default:
      return false;
  }
}

// Decodes the code point at i and moves i past it. A byte that does not
// start a well-formed sequence comes back as kInvalidByteBase + byte, so it
// only ever equals the same byte.
char32_t NextCodePoint(std::string_view text, size_t& i) {
  auto byte = [&](size_t at) { return static_cast<unsigned char>(text[at]); };
  unsigned char first = byte(i);
  if (first < 0x80) {
    ++i;
    return first;
  }
  int length = first >= 0xF0 && first <= 0xF4 ? 4 : first >= 0xE0 ? 3 : first >= 0xC2 ? 2 : 0;
  if (first >= 0xF5) length = 0;
  if (length == 0 || i + length > text.size()) {
    ++i;
    return kInvalidByteBase + first;
  }
  char32_t cp = first & (0x7F >> length);
  for (int k = 1; k < length; ++k) {
    unsigned char next = byte(i + k);
    if ((next & 0xC0) != 0x80) {
      ++i;
      return kInvalidByteBase + first;
    }
    cp = (cp << 6) | (next & 0x3F);
  }
  bool overlong = (length == 3 && cp < 0x800) || (length == 4 && cp < 0x10000);
  if (overlong || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
    ++i;
    return kInvalidByteBase + first;
  }
  i += length;
  return cp;
}

char32_t Fold(char32_t c) {
  if (c >= U'A' && c <= U'Z') return c + 0x20;
  if (c < 0xC0) return c;
  if (c <= 0xDE) return c == 0xD7 ? c : c + 0x20;  // Latin-1 capitals, not the multiplication sign
  if (c >= 0x100 && c <= 0x17F) {                   // Latin Extended-A: capital/small pairs
    if ((c <= 0x137 || (c >= 0x14A && c <= 0x177)) && c != 0x130) return c | 1;
    if ((c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E)) return (c & 1) ? c + 1 : c;
    if (c == 0x178) return 0xFF;
    return c;
  }
  if (c >= 0x391 && c <= 0x3A9 && c != 0x3A2) return c + 0x20;  // Greek
  if (c >= 0x410 && c <= 0x42F) return c + 0x20;                // Cyrillic
  if (c >= 0x400 && c <= 0x40F) return c + 0x50;
  if (c >= 0xFF21 && c <= 0xFF3A) return c + 0x20;  // full-width Latin
  return c;
}

std::u32string FoldedCodePoints(std::string_view utf8) {
  std::u32string out;
  out.reserve(utf8.size());
  for (size_t i = 0; i < utf8.size();) out.push_back(Fold(NextCodePoint(utf8, i)));
  return out;
}

bool Match(std::u32string_view pattern, std::u32string_view name) {
  size_t p = 0;
  size_t n = 0;
  size_t starP = std::u32string_view::npos;
  size_t starN = 0;
  while (n < name.size()) {
    if (p < pattern.size() && (pattern[p] == U'?' || pattern[p] == name[n])) {
      ++p;
      ++n;
    } else if (p < pattern.size() && pattern[p] == U'*') {
      starP = p++;
      starN = n;
    } else if (starP != std::u32string_view::npos) {
      p = starP + 1;
      n = ++starN;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == U'*') ++p;
  return p == pattern.size();
}

bool IsInside(const std::filesystem::path& path, const std::filesystem::path& folder) {
  auto [folderEnd, pathIt] = std::mismatch(folder.begin(), folder.end(), path.begin(), path.end());
  return folderEnd == folder.end();
}

// Finds the entry of folder whose name equals name ignoring case; the
// byte-wise smallest when several do, so the choice is always the same.
std::optional<std::string> FindEntryIgnoringCase(const std::filesystem::path& folder,
                                                 std::string_view name) {
  DIR* dir = opendir(folder.c_str());
  if (dir == nullptr) return std::nullopt;
  std::u32string wanted = FoldedCodePoints(name);
  std::optional<std::string> best;
  while (dirent* entry = readdir(dir)) {
    std::string_view entryName = entry->d_name;
    if (entryName == "." || entryName == "..") continue;
    if (FoldedCodePoints(entryName) != wanted) continue;
    if (!best || entryName < *best) best = std::string(entryName);
  }
  closedir(dir);
  return best;
}

// The root's own entries, in folded form: names equal to one of kOwnNames or
// starting with one of kOwnPrefixes.
constexpr std::u32string_view kOwnNames[] = {U"run", U"hosts"};
constexpr std::u32string_view kOwnPrefixes[] = {U"registry.db", U"hosts."};

int OpenRootFolder() {
  return open(DeviceRootPath().c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
}

// The walk of a kernel without openat2: one component at a time, refusing
// every symbolic link on the way.
int OpenByComponents(int folder, const std::filesystem::path& relative, int flags, mode_t mode) {
  if (relative.empty()) return openat(folder, ".", flags | O_CLOEXEC);
  UniqueFd current(fcntl(folder, F_DUPFD_CLOEXEC, 0));
  if (!current.Valid()) return -1;
  std::vector<std::string> names;
  for (const auto& part : relative) names.push_back(part.string());
  for (size_t i = 0; i + 1 < names.size(); ++i) {
    UniqueFd next(openat(current.Get(), names[i].c_str(),
                         O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (!next.Valid()) return -1;
    current = std::move(next);
  }
  return openat(current.Get(), names.back().c_str(), flags | O_NOFOLLOW | O_CLOEXEC, mode);
}

int OpenBeneath(int folder, const std::filesystem::path& relative, int flags, mode_t mode) {
  struct open_how how {};
  how.flags = static_cast<uint64_t>(flags | O_CLOEXEC);
  bool creates = (flags & O_CREAT) != 0 || (flags & O_TMPFILE) == O_TMPFILE;
  how.mode = creates ? mode : 0;
  how.resolve = RESOLVE_BENEATH | RESOLVE_NO_MAGICLINKS;
  const char* name = relative.empty() ? "." : relative.c_str();
  long fd;
  do {
    fd = syscall(SYS_openat2, folder, name, &how, sizeof how);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0 && errno == ENOSYS) fd = OpenByComponents(folder, relative, flags, mode);
  // A walk that would leave the root reads as a bad name, not as a
  // cross-device move.
  if (fd < 0 && errno == EXDEV) errno = ELOOP;
  return static_cast<int>(fd);
}

// Where a symbolic link that stays inside the root leads, below the root.
std::optional<std::filesystem::path> LinkTargetBelowRoot(const std::filesystem::path& link,
                                                         const std::filesystem::path& root) {
  std::error_code ec;
  std::filesystem::path target = std::filesystem::canonical(link, ec);
  if (ec) return std::nullopt;
  std::filesystem::path canonicalRoot = std::filesystem::canonical(root, ec);
  if (ec || !IsInside(target, canonicalRoot)) return std::nullopt;
  std::filesystem::path below = target.lexically_relative(canonicalRoot);
  return below == "." ? std::filesystem::path() : below;
}

}  // namespace

UniqueFd::~UniqueFd() {
  if (fd_ >= 0) close(fd_);
}

UniqueFd& UniqueFd::operator=(UniqueFd&& other) noexcept {
  if (this != &other) {
    if (fd_ >= 0) close(fd_);
    fd_ = other.Release();
  }
  return *this;
}

bool IsDeviceRootOwnName(std::string_view utf8Name) {
  std::u32string folded = FoldedCodePoints(utf8Name);
  std::u32string_view name = folded;
  for (std::u32string_view own : kOwnNames) {
    if (name == own) return true;
  }
  for (std::u32string_view prefix : kOwnPrefixes) {
    if (name.substr(0, prefix.size()) == prefix) return true;
  }
  return false;
}

int OpenBeneathRoot(const std::filesystem::path& relative, int flags, mode_t mode) {
  UniqueFd root(OpenRootFolder());
  if (!root.Valid()) return -1;
  return OpenBeneath(root.Get(), relative, flags, mode);
}

int OpenParentBeneathRoot(const std::filesystem::path& relative) {
  return OpenBeneathRoot(relative.parent_path(), O_RDONLY | O_DIRECTORY);
}

HostPath ResolveHostPath(std::u16string_view devicePath) {
  HostPath result;
  if (devicePath.empty() || !IsSeparator(devicePath[0])) {
    result.error = ERROR_INVALID_NAME;
    return result;
  }
  const std::filesystem::path& root = DeviceRootPath();
  std::filesystem::path current = root;
  std::filesystem::path relative;
  bool missing = false;  // once a component is missing, the rest keep their spelling
  int components = 0;
  size_t start = 0;
  while (start < devicePath.size()) {
    size_t end = start;
    while (end < devicePath.size() && !IsSeparator(devicePath[end])) ++end;
    std::u16string_view component = devicePath.substr(start, end - start);
    start = end + 1;
    if (component.empty() || component == u".") continue;
    std::optional<std::string> name;
    bool forbidden = component == u"..";
    for (char16_t c : component) forbidden = forbidden || IsForbiddenInName(c);
    if (!forbidden) name = WideToUtf8(component);
    if (!name || name->size() > kMaxNameBytes) {
      result.error = ERROR_INVALID_NAME;
      return result;
    }
    ++components;
    if (components == 1 && IsDeviceRootOwnName(*name)) {
      result.error = ERROR_INVALID_NAME;
      return result;
    }
    if (missing) {
      current /= *name;
      relative /= *name;
      continue;
    }
    std::filesystem::path exact = current / *name;
    struct stat st {};
    std::optional<std::filesystem::path> found;
    if (lstat(exact.c_str(), &st) == 0) {
      found = exact;
    } else if (errno == ENOENT) {
      if (auto entry = FindEntryIgnoringCase(current, *name)) {
        found = current / *entry;
        if (lstat(found->c_str(), &st) != 0) found.reset();
      }
    }
    if (!found) {
      missing = true;
      current = exact;
      relative /= *name;
      continue;
    }
    if (components == 1 && IsDeviceRootOwnName(found->filename().string())) {
      result.error = ERROR_INVALID_NAME;
      return result;
    }
    if (S_ISLNK(st.st_mode)) {
      // A link is followed only when it stays inside the root, and the walk
      // below the root takes its target, not the link, so that a link
      // swapped in later is walked by the kernel's checks.
      std::optional<std::filesystem::path> target = LinkTargetBelowRoot(*found, root);
      if (!target || (!target->empty() && IsDeviceRootOwnName(target->begin()->string()))) {
        result.error = ERROR_INVALID_NAME;
        return result;
      }
      relative = *target;
    } else {
      relative /= found->filename();
    }
    current = *found;
  }
  result.path = current;
  result.relative = relative;
  result.isRoot = components == 0;
  return result;
}

DWORD MissingPathError(const std::filesystem::path& host) {
  struct stat st {};
  if (stat(host.parent_path().c_str(), &st) == 0 && S_ISDIR(st.st_mode)) {
    return ERROR_FILE_NOT_FOUND;
  }
  return ERROR_PATH_NOT_FOUND;
}

DWORD ErrorFromErrno(int error, const std::filesystem::path& host) {
  switch (error) {
    case ENOENT: return MissingPathError(host);
    case ENOTDIR: return ERROR_PATH_NOT_FOUND;
    case EEXIST: return ERROR_FILE_EXISTS;
    case EACCES: case EPERM: case EROFS: case EISDIR: case ETXTBSY: case EXDEV: case EBUSY:
      return ERROR_ACCESS_DENIED;
    case ENAMETOOLONG: case ELOOP: return ERROR_INVALID_NAME;
    case EMFILE: case ENFILE: return ERROR_TOO_MANY_OPEN_FILES;
    case ENOSPC: case EDQUOT: case EFBIG: return ERROR_DISK_FULL;
    case ENOTEMPTY: return ERROR_DIR_NOT_EMPTY;
    case ENOMEM: return ERROR_NOT_ENOUGH_MEMORY;
    case EINVAL: return ERROR_INVALID_PARAMETER;
    default: return ERROR_GEN_FAILURE;
  }
}

bool NamesEqual(std::string_view utf8A, std::string_view utf8B) {
  return utf8A == utf8B || FoldedCodePoints(utf8A) == FoldedCodePoints(utf8B);
}

bool NameLess(std::string_view utf8A, std::string_view utf8B) {
  std::u32string a = FoldedCodePoints(utf8A);
  std::u32string b = FoldedCodePoints(utf8B);
  return a != b ? a < b : utf8A < utf8B;
}

bool WildcardMatch(std::string_view utf8Pattern, std::string_view utf8Name) {
  std::u32string pattern = FoldedCodePoints(utf8Pattern);
  std::u32string name = FoldedCodePoints(utf8Name);
  if (Match(pattern, name)) return true;
  std::u32string_view view = pattern;
  return view.size() >= 2 && view.substr(view.size() - 2) == U".*" &&
         name.find(U'.') == std::u32string::npos && Match(view.substr(0, view.size() - 2), name);
}

std::optional<std::string> WideToUtf8(std::u16string_view wide) {
  std::string out;
  out.reserve(wide.size());
  for (size_t i = 0; i < wide.size(); ++i) {
    char32_t c = wide[i];
    if (c >= 0xD800 && c <= 0xDBFF) {
      if (i + 1 >= wide.size() || wide[i + 1] < 0xDC00 || wide[i + 1] > 0xDFFF) return std::nullopt;
      c = 0x10000 + ((c - 0xD800) << 10) + (wide[++i] - 0xDC00);
    } else if (c >= 0xDC00 && c <= 0xDFFF) {
      return std::nullopt;
    }
    if (c < 0x80) {
      out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
      out.push_back(static_cast<char>(0xC0 | (c >> 6)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
      out.push_back(static_cast<char>(0xE0 | (c >> 12)));
      out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
      out.push_back(static_cast<char>(0xF0 | (c >> 18)));
      out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
  }
  return out;
}

std::u16string Utf8ToWide(std::string_view utf8) {
  std::u16string out;
  out.reserve(utf8.size());
  for (size_t i = 0; i < utf8.size();) {
    char32_t c = NextCodePoint(utf8, i);
    if (c >= kInvalidByteBase) {
      out.push_back(u'\uFFFD');
    } else if (c >= 0x10000) {
      out.push_back(static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10)));
      out.push_back(static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF)));
    } else {
      out.push_back(static_cast<char16_t>(c));
    }
  }
  return out;
}

}  // namespace ce::detail
