#include "platform/base/detail/ShareLock.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>

#include "platform/base/DeviceFile.h"
#include "platform/base/DeviceRoot.h"
#include "platform/base/detail/DevicePath.h"

namespace ce::detail {
namespace {

constexpr off_t kGuardByte = 0;
constexpr off_t kBlockSize = 8;
constexpr off_t kHasRead = 0;
constexpr off_t kHasWrite = 1;
constexpr off_t kDeniesRead = 2;
constexpr off_t kDeniesWrite = 3;
constexpr off_t kIsOpen = 4;
constexpr uint64_t kBlockMask = (uint64_t{1} << 58) - 1;  // keeps every offset below 2^62

class Fd {
 public:
  explicit Fd(int fd) : fd_(fd) {}
  ~Fd() {
    if (fd_ >= 0) close(fd_);
  }
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  int Get() const { return fd_; }
  int Release() {
    int fd = fd_;
    fd_ = -1;
    return fd;
  }

 private:
  int fd_;
};

// The block of lock bytes of one file. Device and inode are mixed into 58
// bits; two files meet in one block only by a hash collision.
off_t BlockOf(FileId file) {
  uint64_t h = static_cast<uint64_t>(file.inode) * 0x9E3779B97F4A7C15ull ^
               static_cast<uint64_t>(file.device);
  h ^= h >> 30;
  h *= 0xBF58476D1CE4E5B9ull;
  h ^= h >> 27;
  h *= 0x94D049BB133111EBull;
  h ^= h >> 31;
  return kBlockSize * static_cast<off_t>(1 + (h & kBlockMask));
}

// Opens the lock table; each call gives a new open file description, which
// is what owns OFD locks.
int OpenTable(DWORD* error) {
  std::filesystem::path run = RunAreaPath();
  std::filesystem::path table = run / "sharelocks";
  int fd = open(table.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
  if (fd < 0 && errno == ENOENT && mkdir(run.c_str(), 0755) == 0) {
    fd = open(table.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
  }
  if (fd < 0) *error = ErrorFromErrno(errno, table);
  return fd;
}

bool SetLock(int fd, int command, short type, off_t byte) {
  struct flock lock {};
  lock.l_type = type;
  lock.l_whence = SEEK_SET;
  lock.l_start = byte;
  lock.l_len = 1;
  while (fcntl(fd, command, &lock) != 0) {
    if (errno != EINTR) return false;
  }
  return true;
}

// True when an open file description other than fd holds a lock on byte.
bool HeldByOthers(int fd, off_t byte) {
  struct flock lock {};
  lock.l_type = F_WRLCK;
  lock.l_whence = SEEK_SET;
  lock.l_start = byte;
  lock.l_len = 1;
  if (fcntl(fd, F_OFD_GETLK, &lock) != 0) return true;  // cannot tell: assume the worst
  return lock.l_type != F_UNLCK;
}

// Holds the table's guard byte for a scope: one process at a time tests and
// registers opens.
class Guard {
 public:
  explicit Guard(int fd) : fd_(fd), held_(SetLock(fd, F_OFD_SETLKW, F_WRLCK, kGuardByte)) {}
  ~Guard() {
    if (held_) SetLock(fd_, F_OFD_SETLK, F_UNLCK, kGuardByte);
  }
  Guard(const Guard&) = delete;
  Guard& operator=(const Guard&) = delete;
  bool Held() const { return held_; }

 private:
  int fd_;
  bool held_;
};

}  // namespace

ShareLock::~ShareLock() {
  if (fd_ >= 0) close(fd_);
}

ShareLock& ShareLock::operator=(ShareLock&& other) noexcept {
  if (this != &other) {
    if (fd_ >= 0) close(fd_);
    fd_ = other.fd_;
    other.fd_ = -1;
  }
  return *this;
}

DWORD ShareLock::Acquire(FileId file, DWORD access, DWORD shareMode) {
  DWORD error = ERROR_SUCCESS;
  Fd fd(OpenTable(&error));
  if (fd.Get() < 0) return error;
  off_t block = BlockOf(file);
  bool reads = (access & GENERIC_READ) != 0;
  bool writes = (access & GENERIC_WRITE) != 0;
  bool deniesRead = (shareMode & FILE_SHARE_READ) == 0;
  bool deniesWrite = (shareMode & FILE_SHARE_WRITE) == 0;
  {
    Guard guard(fd.Get());
    if (!guard.Held()) return ERROR_GEN_FAILURE;
    bool conflict = (reads && HeldByOthers(fd.Get(), block + kDeniesRead)) ||
                    (writes && HeldByOthers(fd.Get(), block + kDeniesWrite)) ||
                    (deniesRead && HeldByOthers(fd.Get(), block + kHasRead)) ||
                    (deniesWrite && HeldByOthers(fd.Get(), block + kHasWrite));
    if (conflict) return ERROR_SHARING_VIOLATION;
    bool registered = SetLock(fd.Get(), F_OFD_SETLK, F_RDLCK, block + kIsOpen) &&
                      (!reads || SetLock(fd.Get(), F_OFD_SETLK, F_RDLCK, block + kHasRead)) &&
                      (!writes || SetLock(fd.Get(), F_OFD_SETLK, F_RDLCK, block + kHasWrite)) &&
                      (!deniesRead || SetLock(fd.Get(), F_OFD_SETLK, F_RDLCK, block + kDeniesRead)) &&
                      (!deniesWrite || SetLock(fd.Get(), F_OFD_SETLK, F_RDLCK, block + kDeniesWrite));
    if (!registered) return ERROR_NOT_ENOUGH_MEMORY;  // the kernel's lock table is full
  }
  if (fd_ >= 0) close(fd_);
  fd_ = fd.Release();
  return ERROR_SUCCESS;
}

DWORD WhileNotOpen(std::initializer_list<FileId> files, const std::function<DWORD()>& action) {
  DWORD error = ERROR_SUCCESS;
  Fd fd(OpenTable(&error));
  if (fd.Get() < 0) return error;
  Guard guard(fd.Get());
  if (!guard.Held()) return ERROR_GEN_FAILURE;
  for (FileId file : files) {
    if (HeldByOthers(fd.Get(), BlockOf(file) + kIsOpen)) return ERROR_SHARING_VIOLATION;
  }
  return action();
}

}  // namespace ce::detail
