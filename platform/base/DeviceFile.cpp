#include "platform/base/DeviceFile.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <limits>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/base/detail/DevicePath.h"
#include "platform/base/detail/HandleTable.h"
#include "platform/base/detail/OpenFile.h"

namespace ce {
namespace {

using detail::ErrorFromErrno;
using detail::HostPath;
using detail::ResolveHostPath;

constexpr char16_t kTempPath[] = u"\\Temp\\";
constexpr DWORD kMaxSupportedAccess = GENERIC_READ | GENERIC_WRITE;
constexpr DWORD kGenericAll = 0x10000000u;

class FileObject : public detail::KernelObject {
 public:
  FileObject(int fd, detail::ShareLock shareLock, DWORD access)
      : fd_(fd), shareLock_(std::move(shareLock)), access_(access) {}
  ~FileObject() override { close(fd_); }
  int Fd() const { return fd_; }
  bool CanRead() const { return (access_ & GENERIC_READ) != 0; }
  bool CanWrite() const { return (access_ & GENERIC_WRITE) != 0; }

 private:
  int fd_;
  detail::ShareLock shareLock_;
  DWORD access_;
};

class FindObject : public detail::KernelObject {
 public:
  explicit FindObject(std::vector<WIN32_FIND_DATA> rest) : rest_(std::move(rest)) {}
  bool Next(WIN32_FIND_DATA* data) {
    std::lock_guard lock(mutex_);
    if (next_ >= rest_.size()) return false;
    *data = rest_[next_++];
    return true;
  }

 private:
  std::mutex mutex_;
  std::vector<WIN32_FIND_DATA> rest_;
  size_t next_ = 0;
};

BOOL Fail(DWORD error) {
  SetLastError(error);
  return FALSE;
}

std::u16string_view View(LPCWSTR text) {
  return text == nullptr ? std::u16string_view() : std::u16string_view(text);
}

std::shared_ptr<FileObject> FileOf(HANDLE handle) {
  auto file = detail::FindHandleAs<FileObject>(handle);
  if (!file) SetLastError(ERROR_INVALID_HANDLE);
  return file;
}

// Resolves a path for an operation; sets the last error when it fails.
bool Resolve(LPCWSTR devicePath, HostPath* host) {
  if (devicePath == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return false;
  }
  *host = ResolveHostPath(devicePath);
  if (host->error != ERROR_SUCCESS) {
    SetLastError(host->error);
    return false;
  }
  return true;
}

DWORD AttributesOf(const struct stat& st) {
  if (S_ISDIR(st.st_mode)) return FILE_ATTRIBUTE_DIRECTORY;
  return (st.st_mode & S_IWUSR) != 0 ? FILE_ATTRIBUTE_NORMAL : FILE_ATTRIBUTE_READONLY;
}

detail::FileId IdOf(const struct stat& st) { return detail::FileId{st.st_dev, st.st_ino}; }

using detail::UniqueFd;

// The last component of a resolved path, as the *at calls take it.
std::string LastName(const HostPath& host) { return host.relative.filename().string(); }

// The folder of a resolved path's last component, opened beneath the root;
// sets the last error when it cannot be.
bool OpenParent(const HostPath& host, UniqueFd* parent) {
  *parent = UniqueFd(detail::OpenParentBeneathRoot(host.relative));
  if (parent->Valid()) return true;
  SetLastError(ErrorFromErrno(errno, host.path));
  return false;
}

}  // namespace

namespace detail {

DWORD OpenDeviceFile(std::u16string_view devicePath, DWORD access, DWORD shareMode,
                     DWORD disposition, OpenedFile* opened) {
  if ((access & kGenericAll) != 0) access |= kMaxSupportedAccess;
  access &= kMaxSupportedAccess;
  if (disposition < CREATE_NEW || disposition > TRUNCATE_EXISTING) return ERROR_INVALID_PARAMETER;
  if (disposition == TRUNCATE_EXISTING && (access & GENERIC_WRITE) == 0) {
    return ERROR_INVALID_PARAMETER;
  }
  HostPath host = ResolveHostPath(devicePath);
  if (host.error != ERROR_SUCCESS) return host.error;
  if (host.isRoot) return ERROR_ACCESS_DENIED;

  bool reads = (access & GENERIC_READ) != 0;
  bool writes = (access & GENERIC_WRITE) != 0;
  // O_NONBLOCK keeps a fifo planted in the root from blocking the open; it
  // is cleared again for the regular file that is accepted.
  int flags = (reads && writes ? O_RDWR : writes ? O_WRONLY : O_RDONLY) | O_CLOEXEC | O_NONBLOCK;
  int fd = -1;
  bool existed = false;
  // Creating first tells whether the file existed; the loop covers another
  // process deleting the file between the two opens.
  for (int attempt = 0; attempt < 8 && fd < 0; ++attempt) {
    switch (disposition) {
      case CREATE_NEW:
        fd = detail::OpenBeneathRoot(host.relative, flags | O_CREAT | O_EXCL);
        if (fd < 0) return ErrorFromErrno(errno, host.path);
        break;
      case OPEN_EXISTING:
      case TRUNCATE_EXISTING:
        existed = true;
        fd = detail::OpenBeneathRoot(host.relative, flags);
        if (fd < 0) return ErrorFromErrno(errno, host.path);
        break;
      default:  // CREATE_ALWAYS, OPEN_ALWAYS
        fd = detail::OpenBeneathRoot(host.relative, flags | O_CREAT | O_EXCL);
        existed = fd < 0 && errno == EEXIST;
        if (existed) fd = detail::OpenBeneathRoot(host.relative, flags);
        if (fd < 0 && !(existed && errno == ENOENT)) return ErrorFromErrno(errno, host.path);
        break;
    }
  }
  if (fd < 0) return ERROR_SHARING_VIOLATION;  // the file kept vanishing under us
  struct stat st {};
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    close(fd);
    return ERROR_ACCESS_DENIED;
  }
  fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  ShareLock shareLock;
  DWORD error = shareLock.Acquire(IdOf(st), access, shareMode);
  bool truncate = disposition == TRUNCATE_EXISTING || (disposition == CREATE_ALWAYS && existed);
  // Truncating only after the share check keeps a refused open from
  // destroying the data of the file's current users.
  if (error == ERROR_SUCCESS && truncate && ftruncate(fd, 0) != 0) {
    error = ErrorFromErrno(errno, host.path);
  }
  if (error != ERROR_SUCCESS) {
    close(fd);
    return error;
  }
  opened->fd = fd;
  opened->shareLock = std::move(shareLock);
  opened->existed = existed;
  return ERROR_SUCCESS;
}

}  // namespace detail

std::optional<std::filesystem::path> ResolveDevicePath(std::u16string_view devicePath) {
  HostPath host = ResolveHostPath(devicePath);
  if (host.error != ERROR_SUCCESS) return std::nullopt;
  return host.path;
}

HANDLE CreateFile(LPCWSTR devicePath, DWORD access, DWORD shareMode, void* /*security*/,
                  DWORD disposition, DWORD /*flags*/, HANDLE /*templateFile*/) {
  if (devicePath == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return INVALID_HANDLE_VALUE;
  }
  detail::OpenedFile opened;
  DWORD error = detail::OpenDeviceFile(devicePath, access, shareMode, disposition, &opened);
  if (error != ERROR_SUCCESS) {
    SetLastError(error);
    return INVALID_HANDLE_VALUE;
  }
  if ((access & kGenericAll) != 0) access |= kMaxSupportedAccess;
  HANDLE handle = detail::AddHandle(
      std::make_shared<FileObject>(opened.fd, std::move(opened.shareLock), access));
  bool reportExisting =
      opened.existed && (disposition == OPEN_ALWAYS || disposition == CREATE_ALWAYS);
  SetLastError(reportExisting ? ERROR_ALREADY_EXISTS : ERROR_SUCCESS);
  return handle;
}

BOOL ReadFile(HANDLE handle, void* buffer, DWORD toRead, DWORD* read, void* /*overlapped*/) {
  if (read != nullptr) *read = 0;
  auto file = FileOf(handle);
  if (!file) return FALSE;
  if (!file->CanRead()) return Fail(ERROR_ACCESS_DENIED);
  if (buffer == nullptr && toRead > 0) return Fail(ERROR_INVALID_PARAMETER);
  auto* bytes = static_cast<char*>(buffer);
  DWORD done = 0;
  while (done < toRead) {
    ssize_t n = ::read(file->Fd(), bytes + done, toRead - done);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      if (read != nullptr) *read = done;
      return Fail(ERROR_READ_FAULT);
    }
    if (n == 0) break;  // end of file: success with fewer bytes
    done += static_cast<DWORD>(n);
  }
  if (read != nullptr) *read = done;
  return TRUE;
}

BOOL WriteFile(HANDLE handle, const void* buffer, DWORD toWrite, DWORD* written,
               void* /*overlapped*/) {
  if (written != nullptr) *written = 0;
  auto file = FileOf(handle);
  if (!file) return FALSE;
  if (!file->CanWrite()) return Fail(ERROR_ACCESS_DENIED);
  if (buffer == nullptr && toWrite > 0) return Fail(ERROR_INVALID_PARAMETER);
  const auto* bytes = static_cast<const char*>(buffer);
  DWORD done = 0;
  while (done < toWrite) {
    ssize_t n = ::write(file->Fd(), bytes + done, toWrite - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      if (written != nullptr) *written = done;
      return Fail(n < 0 && (errno == ENOSPC || errno == EDQUOT || errno == EFBIG)
                      ? ERROR_DISK_FULL
                      : ERROR_WRITE_FAULT);
    }
    done += static_cast<DWORD>(n);
  }
  if (written != nullptr) *written = done;
  return TRUE;
}

DWORD SetFilePointer(HANDLE handle, LONG distance, LONG* distanceHigh, DWORD method) {
  auto file = FileOf(handle);
  if (!file) return INVALID_SET_FILE_POINTER;
  int64_t move = distance;
  if (distanceHigh != nullptr) {
    move = static_cast<int64_t>((static_cast<uint64_t>(static_cast<uint32_t>(*distanceHigh)) << 32) |
                                static_cast<uint32_t>(distance));
  }
  int64_t base;
  if (method == FILE_BEGIN) {
    base = 0;
  } else if (method == FILE_CURRENT) {
    base = lseek(file->Fd(), 0, SEEK_CUR);
  } else if (method == FILE_END) {
    struct stat st {};
    base = fstat(file->Fd(), &st) == 0 ? st.st_size : -1;
  } else {
    SetLastError(ERROR_INVALID_PARAMETER);
    return INVALID_SET_FILE_POINTER;
  }
  if (base < 0) {
    SetLastError(ERROR_GEN_FAILURE);
    return INVALID_SET_FILE_POINTER;
  }
  if ((move < 0 && base + move < 0) ||
      (move > 0 && base > std::numeric_limits<int64_t>::max() - move)) {
    SetLastError(ERROR_NEGATIVE_SEEK);
    return INVALID_SET_FILE_POINTER;
  }
  int64_t target = base + move;
  // Without a high word the position must fit the 32-bit result.
  if (distanceHigh == nullptr && target >= int64_t{INVALID_SET_FILE_POINTER}) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return INVALID_SET_FILE_POINTER;
  }
  if (lseek(file->Fd(), target, SEEK_SET) < 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return INVALID_SET_FILE_POINTER;
  }
  if (distanceHigh != nullptr) *distanceHigh = static_cast<LONG>(static_cast<uint64_t>(target) >> 32);
  DWORD low = static_cast<DWORD>(static_cast<uint64_t>(target));
  // A low word of 0xFFFFFFFF is then told apart from failure by the last error.
  SetLastError(ERROR_SUCCESS);
  return low;
}

DWORD GetFileSize(HANDLE handle, DWORD* sizeHigh) {
  auto file = FileOf(handle);
  if (!file) return INVALID_FILE_SIZE;
  struct stat st {};
  if (fstat(file->Fd(), &st) != 0) {
    SetLastError(ERROR_GEN_FAILURE);
    return INVALID_FILE_SIZE;
  }
  auto size = static_cast<uint64_t>(st.st_size);
  if (sizeHigh != nullptr) *sizeHigh = static_cast<DWORD>(size >> 32);
  SetLastError(ERROR_SUCCESS);
  return static_cast<DWORD>(size);
}

BOOL SetEndOfFile(HANDLE handle) {
  auto file = FileOf(handle);
  if (!file) return FALSE;
  if (!file->CanWrite()) return Fail(ERROR_ACCESS_DENIED);
  off_t position = lseek(file->Fd(), 0, SEEK_CUR);
  if (position < 0 || ftruncate(file->Fd(), position) != 0) {
    return Fail(errno == EFBIG || errno == ENOSPC ? ERROR_DISK_FULL : ERROR_GEN_FAILURE);
  }
  return TRUE;
}

BOOL FlushFileBuffers(HANDLE handle) {
  auto file = FileOf(handle);
  if (!file) return FALSE;
  if (fsync(file->Fd()) != 0) return Fail(ERROR_WRITE_FAULT);
  return TRUE;
}

BOOL DeleteFile(LPCWSTR devicePath) {
  HostPath host;
  if (!Resolve(devicePath, &host)) return FALSE;
  if (host.isRoot) return Fail(ERROR_ACCESS_DENIED);
  UniqueFd parent;
  if (!OpenParent(host, &parent)) return FALSE;
  std::string name = LastName(host);
  struct stat st {};
  if (fstatat(parent.Get(), name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
    return Fail(ErrorFromErrno(errno, host.path));
  }
  if (S_ISDIR(st.st_mode)) return Fail(ERROR_ACCESS_DENIED);
  DWORD error = detail::WhileNotOpen({IdOf(st)}, [&]() -> DWORD {
    return unlinkat(parent.Get(), name.c_str(), 0) == 0 ? ERROR_SUCCESS
                                                         : ErrorFromErrno(errno, host.path);
  });
  return error == ERROR_SUCCESS ? TRUE : Fail(error);
}

BOOL MoveFileEx(LPCWSTR from, LPCWSTR to, DWORD flags) {
  HostPath source;
  HostPath target;
  if (!Resolve(from, &source) || !Resolve(to, &target)) return FALSE;
  if (source.isRoot || target.isRoot) return Fail(ERROR_ACCESS_DENIED);
  UniqueFd sourceFolder;
  UniqueFd targetFolder;
  if (!OpenParent(source, &sourceFolder)) return FALSE;
  std::string sourceName = LastName(source);
  struct stat sourceStat {};
  if (fstatat(sourceFolder.Get(), sourceName.c_str(), &sourceStat, AT_SYMLINK_NOFOLLOW) != 0) {
    return Fail(ErrorFromErrno(errno, source.path));
  }
  if (!OpenParent(target, &targetFolder)) return FALSE;
  std::string targetName = LastName(target);
  std::filesystem::path destination = target.path;
  struct stat targetStat {};
  bool targetExists =
      fstatat(targetFolder.Get(), targetName.c_str(), &targetStat, AT_SYMLINK_NOFOLLOW) == 0;
  if (targetExists && targetStat.st_dev == sourceStat.st_dev &&
      targetStat.st_ino == sourceStat.st_ino) {
    // The same entry, named with other letter case: a rename to the new spelling.
    std::u16string_view toView = View(to);
    size_t cut = toView.find_last_of(u"\\/");
    auto spelling = detail::WideToUtf8(toView.substr(cut + 1));
    if (!spelling || *spelling == targetName) return TRUE;
    targetName = *spelling;
    destination = target.path.parent_path() / *spelling;
    targetExists = false;
  } else if (targetExists && (flags & MOVEFILE_REPLACE_EXISTING) == 0) {
    return Fail(ERROR_ALREADY_EXISTS);
  }
  bool replace = (flags & MOVEFILE_REPLACE_EXISTING) != 0 && targetExists;
  if (replace && S_ISDIR(targetStat.st_mode)) return Fail(ERROR_ACCESS_DENIED);
  auto rename = [&]() -> DWORD {
    // renameat replaces atomically; without the replace flag, RENAME_NOREPLACE
    // keeps a file that appeared meanwhile.
    int result = replace ? renameat(sourceFolder.Get(), sourceName.c_str(), targetFolder.Get(),
                                    targetName.c_str())
                         : renameat2(sourceFolder.Get(), sourceName.c_str(), targetFolder.Get(),
                                     targetName.c_str(), RENAME_NOREPLACE);
    if (result != 0 && !replace && errno == EINVAL) {
      // A file system without RENAME_NOREPLACE.
      struct stat st {};
      if (fstatat(targetFolder.Get(), targetName.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0) {
        return ERROR_ALREADY_EXISTS;
      }
      result = renameat(sourceFolder.Get(), sourceName.c_str(), targetFolder.Get(),
                        targetName.c_str());
    }
    if (result != 0) return errno == EEXIST ? ERROR_ALREADY_EXISTS : ErrorFromErrno(errno, destination);
    if ((flags & MOVEFILE_WRITE_THROUGH) != 0) {
      fsync(targetFolder.Get());
      if (source.relative.parent_path() != target.relative.parent_path()) fsync(sourceFolder.Get());
    }
    return ERROR_SUCCESS;
  };
  DWORD error;
  if (S_ISDIR(sourceStat.st_mode)) {
    error = rename();
  } else if (replace) {
    error = detail::WhileNotOpen({IdOf(sourceStat), IdOf(targetStat)}, rename);
  } else {
    error = detail::WhileNotOpen({IdOf(sourceStat)}, rename);
  }
  return error == ERROR_SUCCESS ? TRUE : Fail(error);
}

BOOL CreateDirectory(LPCWSTR devicePath, void* /*security*/) {
  HostPath host;
  if (!Resolve(devicePath, &host)) return FALSE;
  if (host.isRoot) return Fail(ERROR_ALREADY_EXISTS);
  UniqueFd parent;
  if (!OpenParent(host, &parent)) return FALSE;
  if (mkdirat(parent.Get(), LastName(host).c_str(), 0755) != 0) {
    return Fail(errno == EEXIST ? ERROR_ALREADY_EXISTS
                                : errno == ENOENT ? ERROR_PATH_NOT_FOUND
                                                  : ErrorFromErrno(errno, host.path));
  }
  return TRUE;
}

BOOL RemoveDirectory(LPCWSTR devicePath) {
  HostPath host;
  if (!Resolve(devicePath, &host)) return FALSE;
  if (host.isRoot) return Fail(ERROR_ACCESS_DENIED);
  UniqueFd parent;
  if (!OpenParent(host, &parent)) return FALSE;
  std::string name = LastName(host);
  struct stat st {};
  if (fstatat(parent.Get(), name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
    return Fail(ErrorFromErrno(errno, host.path));
  }
  if (!S_ISDIR(st.st_mode)) return Fail(ERROR_DIRECTORY);
  if (unlinkat(parent.Get(), name.c_str(), AT_REMOVEDIR) != 0) {
    return Fail(errno == ENOTEMPTY || errno == EEXIST ? ERROR_DIR_NOT_EMPTY
                                                      : ErrorFromErrno(errno, host.path));
  }
  return TRUE;
}

DWORD GetFileAttributes(LPCWSTR devicePath) {
  HostPath host;
  if (!Resolve(devicePath, &host)) return INVALID_FILE_ATTRIBUTES;
  UniqueFd file(detail::OpenBeneathRoot(host.relative, O_PATH));
  struct stat st {};
  if (!file.Valid() || fstat(file.Get(), &st) != 0) {
    SetLastError(ErrorFromErrno(errno, host.path));
    return INVALID_FILE_ATTRIBUTES;
  }
  return AttributesOf(st);
}

HANDLE FindFirstFile(LPCWSTR pattern, WIN32_FIND_DATA* data) {
  if (pattern == nullptr || data == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return INVALID_HANDLE_VALUE;
  }
  std::u16string_view text = View(pattern);
  size_t cut = text.find_last_of(u"\\/");
  if (cut == std::u16string_view::npos) {
    SetLastError(ERROR_INVALID_NAME);
    return INVALID_HANDLE_VALUE;
  }
  std::u16string_view folderPart = cut == 0 ? std::u16string_view(u"\\") : text.substr(0, cut);
  std::u16string_view namePart = text.substr(cut + 1);
  bool usable = !namePart.empty() && namePart != u"." && namePart != u"..";
  for (char16_t c : namePart) {
    usable = usable && c >= 0x20 && std::u16string_view(u"<>:\"|").find(c) == std::u16string_view::npos;
  }
  auto namePattern = detail::WideToUtf8(namePart);
  HostPath folder = ResolveHostPath(folderPart);
  if (!usable || !namePattern || folder.error != ERROR_SUCCESS) {
    SetLastError(namePart.empty() ? ERROR_FILE_NOT_FOUND : ERROR_INVALID_NAME);
    return INVALID_HANDLE_VALUE;
  }
  int folderFd = detail::OpenBeneathRoot(folder.relative, O_RDONLY | O_DIRECTORY);
  DIR* dir = folderFd < 0 ? nullptr : fdopendir(folderFd);
  if (dir == nullptr) {
    if (folderFd >= 0) close(folderFd);
    SetLastError(ERROR_PATH_NOT_FOUND);
    return INVALID_HANDLE_VALUE;
  }
  struct Found {
    std::string name;
    struct stat st;
  };
  std::vector<Found> found;
  while (dirent* entry = readdir(dir)) {
    std::string_view name = entry->d_name;
    if (name == "." || name == ".." || !detail::WildcardMatch(*namePattern, name)) continue;
    if (folder.isRoot && detail::IsDeviceRootOwnName(name)) continue;
    Found item{std::string(name), {}};
    // An entry that cannot be looked at (a dangling link, or one that leads
    // out of the root) is not listed.
    UniqueFd entryFd(detail::OpenBeneathRoot(folder.relative / item.name, O_PATH));
    if (entryFd.Valid() && fstat(entryFd.Get(), &item.st) == 0) found.push_back(std::move(item));
  }
  closedir(dir);
  std::sort(found.begin(), found.end(),
            [](const Found& a, const Found& b) { return detail::NameLess(a.name, b.name); });
  std::vector<WIN32_FIND_DATA> results;
  for (const Found& item : found) {
    std::u16string wide = detail::Utf8ToWide(item.name);
    if (wide.size() >= static_cast<size_t>(MAX_PATH)) continue;  // not representable on the device
    WIN32_FIND_DATA result;
    result.dwFileAttributes = AttributesOf(item.st);
    auto size = S_ISDIR(item.st.st_mode) ? uint64_t{0} : static_cast<uint64_t>(item.st.st_size);
    result.nFileSizeHigh = static_cast<DWORD>(size >> 32);
    result.nFileSizeLow = static_cast<DWORD>(size);
    std::copy(wide.begin(), wide.end(), result.cFileName);
    results.push_back(result);
  }
  if (results.empty()) {
    SetLastError(ERROR_FILE_NOT_FOUND);
    return INVALID_HANDLE_VALUE;
  }
  *data = results.front();
  results.erase(results.begin());
  SetLastError(ERROR_SUCCESS);
  return detail::AddHandle(std::make_shared<FindObject>(std::move(results)));
}

BOOL FindNextFile(HANDLE find, WIN32_FIND_DATA* data) {
  auto search = detail::FindHandleAs<FindObject>(find);
  if (!search) return Fail(ERROR_INVALID_HANDLE);
  if (data == nullptr) return Fail(ERROR_INVALID_PARAMETER);
  return search->Next(data) ? TRUE : Fail(ERROR_NO_MORE_FILES);
}

BOOL FindClose(HANDLE find) {
  if (!detail::FindHandleAs<FindObject>(find)) return Fail(ERROR_INVALID_HANDLE);
  detail::RemoveHandle(find);
  return TRUE;
}

DWORD GetTempPath(DWORD bufferLen, LPWSTR buffer) {
  constexpr DWORD kLength = sizeof(kTempPath) / sizeof(kTempPath[0]) - 1;
  if (buffer == nullptr || bufferLen <= kLength) return kLength + 1;  // the size needed, terminator included
  std::copy(kTempPath, kTempPath + kLength + 1, buffer);
  return kLength;
}

}  // namespace ce
