// Internal: share modes of open device files, enforced between all handles of
// all processes of one device.
//
// Every open registers itself in the lock table "<run>/sharelocks" as shared
// byte-range locks of its own open file description (OFD locks), in a block
// of bytes that belongs to the file (its device and inode): one byte each for
// "has read access", "has write access", "denies readers", "denies writers"
// and "is open". A new open tests the bytes it conflicts with; one exclusive
// guard byte makes the test and the registration a single step for every
// process. OFD locks go away when their descriptor is closed or the process
// ends, so a crashed process leaves nothing behind.
#pragma once

#include <sys/types.h>

#include <functional>
#include <initializer_list>

#include "platform/base/Types.h"

namespace ce::detail {

struct FileId {
  dev_t device = 0;
  ino_t inode = 0;
};

// The registration of one open; released when the object goes away.
class ShareLock {
 public:
  ShareLock() = default;
  ~ShareLock();
  ShareLock(ShareLock&& other) noexcept : fd_(other.fd_) { other.fd_ = -1; }
  ShareLock& operator=(ShareLock&& other) noexcept;
  ShareLock(const ShareLock&) = delete;
  ShareLock& operator=(const ShareLock&) = delete;

  // Registers an open of file with access (GENERIC_READ/WRITE) and share
  // mode (FILE_SHARE_*). ERROR_SHARING_VIOLATION when another open forbids
  // it or is forbidden by it.
  DWORD Acquire(FileId file, DWORD access, DWORD shareMode);

 private:
  int fd_ = -1;
};

// Runs action (whose result is returned) while no process can open the
// files; ERROR_SHARING_VIOLATION without running it when one of them is open.
DWORD WhileNotOpen(std::initializer_list<FileId> files, const std::function<DWORD()>& action);

}  // namespace ce::detail
