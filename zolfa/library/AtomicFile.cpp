#include "zolfa/library/AtomicFile.h"

#include <algorithm>

#include "platform/base/DeviceFile.h"
#include "platform/base/Handles.h"

namespace zolfa {

namespace {

constexpr size_t kDefaultPieceBytes = 64 * 1024;

ReplaceHook gHook = nullptr;
size_t gPieceBytes = kDefaultPieceBytes;

void Report(ReplaceStep step, size_t bytesWritten) {
  if (gHook != nullptr) gHook(step, bytesWritten);
}

// Creates every missing folder above the file, so that a first save on a
// fresh device does not fail silently.
void CreateFoldersOf(std::u16string_view devicePath) {
  for (size_t slash = devicePath.find(u'\\', 1); slash != std::u16string_view::npos;
       slash = devicePath.find(u'\\', slash + 1)) {
    std::u16string folder(devicePath.substr(0, slash));
    if (ce::GetFileAttributes(folder.c_str()) == ce::INVALID_FILE_ATTRIBUTES) {
      ce::CreateDirectory(folder.c_str(), nullptr);
    }
  }
}

}  // namespace

bool ReadDeviceFile(std::u16string_view devicePath, ce::DWORD disposition, std::string& bytes,
                    ce::DWORD* error) {
  bytes.clear();
  std::u16string path(devicePath);
  // Read access only, also when the file may be created: asking for write
  // access would fail on a read-only file or one another handle shares only
  // for reading, and the caller would take a readable file for a lost one.
  ce::HANDLE file = ce::CreateFile(path.c_str(), ce::GENERIC_READ, ce::FILE_SHARE_READ | ce::FILE_SHARE_WRITE,
                                   nullptr, disposition, ce::FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == ce::INVALID_HANDLE_VALUE) {
    if (error != nullptr) *error = ce::GetLastError();
    return false;
  }
  char chunk[16 * 1024];
  bool ok = true;
  for (;;) {
    ce::DWORD read = 0;
    if (!ce::ReadFile(file, chunk, sizeof(chunk), &read, nullptr)) {
      ok = false;
      break;
    }
    if (read == 0) break;
    bytes.append(chunk, read);
  }
  if (!ok && error != nullptr) *error = ce::GetLastError();
  ce::CloseHandle(file);
  if (!ok) bytes.clear();
  return ok;
}

std::u16string TemporaryPathOf(std::u16string_view devicePath) {
  return std::u16string(devicePath) + u".tmp";
}

bool ReplaceFileAtomically(std::u16string_view devicePath, std::string_view bytes) {
  std::u16string path(devicePath);
  std::u16string temporary = TemporaryPathOf(devicePath);
  CreateFoldersOf(devicePath);
  ce::HANDLE file = ce::CreateFile(temporary.c_str(), ce::GENERIC_WRITE, 0, nullptr,
                                   ce::CREATE_ALWAYS, ce::FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == ce::INVALID_HANDLE_VALUE) return false;
  Report(ReplaceStep::kOpened, 0);

  bool ok = true;
  size_t done = 0;
  while (ok && done < bytes.size()) {
    size_t piece = std::min(gPieceBytes, bytes.size() - done);
    ce::DWORD written = 0;
    ok = ce::WriteFile(file, bytes.data() + done, static_cast<ce::DWORD>(piece), &written,
                       nullptr) &&
         written == piece;
    if (ok) {
      done += piece;
      Report(ReplaceStep::kWrote, done);
    }
  }
  if (ok) {
    ok = ce::FlushFileBuffers(file) != ce::FALSE;
    if (ok) Report(ReplaceStep::kFlushed, done);
  }
  ce::CloseHandle(file);
  if (ok) {
    Report(ReplaceStep::kClosed, done);
    ok = ce::MoveFileEx(temporary.c_str(), path.c_str(),
                        ce::MOVEFILE_REPLACE_EXISTING | ce::MOVEFILE_WRITE_THROUGH) != ce::FALSE;
  }
  if (!ok) {
    // A disk that filled up must not keep the half-written copy either.
    ce::DeleteFile(temporary.c_str());
    return false;
  }
  Report(ReplaceStep::kReplaced, done);
  return true;
}

void SetReplaceHookForTesting(ReplaceHook hook, size_t pieceBytes) {
  gHook = hook;
  gPieceBytes = (hook != nullptr && pieceBytes > 0) ? pieceBytes : kDefaultPieceBytes;
}

}  // namespace zolfa
