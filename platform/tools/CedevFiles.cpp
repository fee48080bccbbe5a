// cedev files: look at and copy device files from the host.
//
//   files ls DEVPATH                list a folder (or the files a pattern names)
//   files cat DEVPATH               write a device file's bytes to stdout
//   files put [-p] HOSTFILE DEVPATH copy a host file in; -p creates missing folders
//   files get DEVPATH HOSTFILE      copy a device file out
//
// Device paths are written with "\" or "/" ("/Program Files/Zolfa/a.xml").
// Copies go to an unnamed file in the target's folder that is named and
// renamed into place only when complete, so a failed copy leaves the target
// as it was and a killed one leaves nothing behind.
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/base/CodePage.h"
#include "platform/base/DeviceFile.h"
#include "platform/base/Handles.h"
#include "platform/base/detail/DevicePath.h"
#include "platform/tools/Cedev.h"

namespace ce::tools {
namespace {

constexpr DWORD kChunkBytes = 64 * 1024;

std::string Describe(DWORD error) {
  switch (error) {
    case ERROR_FILE_NOT_FOUND: return "file not found";
    case ERROR_PATH_NOT_FOUND: return "folder not found";
    case ERROR_INVALID_NAME: return "not a device path inside the device root";
    case ERROR_SHARING_VIOLATION: return "the file is in use (sharing violation)";
    case ERROR_ACCESS_DENIED: return "access denied";
    case ERROR_ALREADY_EXISTS: return "already exists";
    case ERROR_DISK_FULL: return "the disk is full";
    default: return "error " + std::to_string(error);
  }
}

// Path problems are the caller's mistake (exit 2); the rest are failures.
int Report(const std::string& what, DWORD error) {
  std::fprintf(stderr, "cedev files: %s: %s\n", what.c_str(), Describe(error).c_str());
  bool usage = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ||
               error == ERROR_INVALID_NAME;
  return usage ? kExitUsage : kExitFailed;
}

int Usage(const char* text) {
  std::fprintf(stderr, "cedev files: %s\n", text);
  return kExitUsage;
}

bool IsSeparator(char16_t c) { return c == u'\\' || c == u'/'; }

std::u16string DevicePath(const std::string& arg) { return FromUtf8(arg); }

bool HasWildcard(std::u16string_view path) {
  size_t cut = path.find_last_of(u"\\/");
  return path.find_first_of(u"*?", cut == std::u16string_view::npos ? 0 : cut) !=
         std::u16string_view::npos;
}

// The folder part of a device path ("\a\b.txt" -> "\a"; "\b.txt" -> "\").
std::u16string ParentOf(std::u16string_view path) {
  size_t cut = path.find_last_of(u"\\/");
  if (cut == std::u16string_view::npos || cut == 0) return u"\\";
  return std::u16string(path.substr(0, cut));
}

std::u16string NameOf(std::u16string_view path) {
  size_t cut = path.find_last_of(u"\\/");
  return std::u16string(cut == std::u16string_view::npos ? path : path.substr(cut + 1));
}

class HandleCloser {
 public:
  explicit HandleCloser(HANDLE handle) : handle_(handle) {}
  ~HandleCloser() {
    if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
  }
  HandleCloser(const HandleCloser&) = delete;
  HandleCloser& operator=(const HandleCloser&) = delete;
  HANDLE Get() const { return handle_; }
  void Close() {
    CloseHandle(handle_);
    handle_ = INVALID_HANDLE_VALUE;
  }

 private:
  HANDLE handle_;
};

int List(const std::string& arg) {
  std::u16string path = DevicePath(arg);
  std::u16string pattern = path;
  if (!HasWildcard(path)) {
    DWORD attributes = GetFileAttributes(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return Report(arg, GetLastError());
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
      while (!pattern.empty() && IsSeparator(pattern.back())) pattern.pop_back();
      pattern += u"\\*";
    }
  }
  WIN32_FIND_DATA data;
  HANDLE find = FindFirstFile(pattern.c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) {
    DWORD error = GetLastError();
    // An empty folder, or a pattern that matches nothing, lists nothing.
    return error == ERROR_FILE_NOT_FOUND ? kExitOk : Report(arg, error);
  }
  do {
    std::string name = ToUtf8(data.cFileName);
    if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
      std::printf("%12s  %s\n", "<DIR>", name.c_str());
    } else {
      auto size = (static_cast<unsigned long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
      std::printf("%12llu  %s\n", size, name.c_str());
    }
  } while (FindNextFile(find, &data));
  FindClose(find);
  return kExitOk;
}

// Opens a device file for reading, telling a folder apart from a file.
HANDLE OpenForReading(const std::string& arg, const std::u16string& path, int* exitCode) {
  HANDLE file = CreateFile(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                           nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file != INVALID_HANDLE_VALUE) return file;
  DWORD error = GetLastError();
  DWORD attributes = GetFileAttributes(path.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
    std::fprintf(stderr, "cedev files: %s: is a folder\n", arg.c_str());
    *exitCode = kExitUsage;
  } else {
    *exitCode = Report(arg, error);
  }
  return INVALID_HANDLE_VALUE;
}

int Cat(const std::string& arg) {
  int exitCode = kExitOk;
  HandleCloser file(OpenForReading(arg, DevicePath(arg), &exitCode));
  if (file.Get() == INVALID_HANDLE_VALUE) return exitCode;
  std::vector<char> buffer(kChunkBytes);
  for (;;) {
    DWORD read = 0;
    if (!ReadFile(file.Get(), buffer.data(), kChunkBytes, &read, nullptr)) {
      return Report(arg, GetLastError());
    }
    if (read == 0) break;
    if (std::fwrite(buffer.data(), 1, read, stdout) != read) {
      std::fprintf(stderr, "cedev files: cannot write to standard output\n");
      return kExitFailed;
    }
  }
  return std::fflush(stdout) == 0 ? kExitOk : kExitFailed;
}

// Creates the folders of folder that are missing, from the root down.
// Makes every missing folder of the path; the ones it made are added to
// *made, outermost first, so that a failed copy can take them away again.
DWORD MakeFolders(const std::u16string& folder, std::vector<std::u16string>* made) {
  std::u16string partial;
  size_t start = 0;
  while (start < folder.size()) {
    size_t end = start;
    while (end < folder.size() && !IsSeparator(folder[end])) ++end;
    if (end > start) {
      partial += u'\\';
      partial.append(folder, start, end - start);
      if (CreateDirectory(partial.c_str(), nullptr)) {
        made->push_back(partial);
      } else if (GetLastError() != ERROR_ALREADY_EXISTS) {
        return GetLastError();
      }
      DWORD attributes = GetFileAttributes(partial.c_str());
      if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
        return ERROR_PATH_NOT_FOUND;  // a file is in the way
      }
    }
    start = end + 1;
  }
  return ERROR_SUCCESS;
}

void RemoveFolders(const std::vector<std::u16string>& made) {
  for (auto folder = made.rbegin(); folder != made.rend(); ++folder) RemoveDirectory(folder->c_str());
}

constexpr char16_t kTempPrefix[] = u".cedev-";
constexpr char16_t kTempSuffix[] = u".tmp";

DWORD WriteError(int error) {
  return error == ENOSPC || error == EDQUOT || error == EFBIG ? ERROR_DISK_FULL : ERROR_WRITE_FAULT;
}

// Copies the stream to fd; ERROR_SUCCESS or the error.
DWORD CopyToDescriptor(std::istream& in, int fd) {
  std::vector<char> buffer(kChunkBytes);
  while (in) {
    in.read(buffer.data(), kChunkBytes);
    auto got = static_cast<size_t>(in.gcount());
    for (size_t done = 0; done < got;) {
      ssize_t n = ::write(fd, buffer.data() + done, got - done);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) return WriteError(n < 0 ? errno : ENOSPC);
      done += static_cast<size_t>(n);
    }
  }
  if (in.bad()) return ERROR_READ_FAULT;
  return fsync(fd) == 0 ? ERROR_SUCCESS : ERROR_WRITE_FAULT;
}

// Copies the stream into a new device file at temp (a name in folder). The
// bytes go to an unnamed file first, which gets the name only when complete.
DWORD WriteDeviceFile(std::istream& in, const std::u16string& folder, const std::u16string& temp) {
  detail::HostPath host = detail::ResolveHostPath(folder);
  if (host.error != ERROR_SUCCESS) return host.error;
  detail::UniqueFd data(detail::OpenBeneathRoot(host.relative, O_TMPFILE | O_WRONLY, 0644));
  if (!data.Valid() && errno != EOPNOTSUPP && errno != EISDIR) {
    return detail::ErrorFromErrno(errno, host.path);
  }
  if (!data.Valid()) {
    // A file system without unnamed files: a named one, which a killed copy
    // leaves for the next copy into this folder to remove.
    HandleCloser out(CreateFile(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (out.Get() == INVALID_HANDLE_VALUE) return GetLastError();
    std::vector<char> buffer(kChunkBytes);
    while (in) {
      in.read(buffer.data(), kChunkBytes);
      auto got = static_cast<DWORD>(in.gcount());
      DWORD written = 0;
      if (got > 0 && !WriteFile(out.Get(), buffer.data(), got, &written, nullptr)) {
        return GetLastError();
      }
    }
    if (in.bad()) return ERROR_READ_FAULT;
    return FlushFileBuffers(out.Get()) ? ERROR_SUCCESS : GetLastError();
  }
  if (DWORD error = CopyToDescriptor(in, data.Get()); error != ERROR_SUCCESS) return error;
  detail::UniqueFd parent(detail::OpenBeneathRoot(host.relative, O_RDONLY | O_DIRECTORY));
  std::string procLink = "/proc/self/fd/" + std::to_string(data.Get());
  auto tempName = detail::WideToUtf8(NameOf(temp));
  if (!parent.Valid() || !tempName ||
      linkat(AT_FDCWD, procLink.c_str(), parent.Get(), tempName->c_str(), AT_SYMLINK_FOLLOW) != 0) {
    return parent.Valid() && tempName ? detail::ErrorFromErrno(errno, host.path) : ERROR_PATH_NOT_FOUND;
  }
  return ERROR_SUCCESS;
}

// Removes the temporary files that copies into folder left when they were
// killed: those whose process no longer runs.
void RemoveStaleTemps(const std::u16string& folder) {
  std::u16string base = folder == u"\\" ? u"" : folder;
  std::u16string pattern = base + u"\\" + kTempPrefix + u"*" + kTempSuffix;
  WIN32_FIND_DATA data;
  HANDLE find = FindFirstFile(pattern.c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return;
  std::vector<std::u16string> stale;
  do {
    std::string name = ToUtf8(data.cFileName);
    std::string digits = name.substr(7, name.size() - 7 - 4);  // between ".cedev-" and ".tmp"
    bool number = !digits.empty() && digits.size() <= 9 &&
                  digits.find_first_not_of("0123456789") == std::string::npos;
    if (!number) continue;
    pid_t pid = static_cast<pid_t>(std::stol(digits));
    if (pid != getpid() && kill(pid, 0) != 0 && errno == ESRCH) {
      stale.push_back(base + u"\\" + data.cFileName);
    }
  } while (FindNextFile(find, &data));
  FindClose(find);
  for (const std::u16string& path : stale) DeleteFile(path.c_str());
}

int Put(const std::vector<std::string>& args) {
  bool makeFolders = false;
  std::vector<std::string> operands;
  for (const std::string& arg : args) {
    if (arg == "-p") {
      makeFolders = true;
    } else {
      operands.push_back(arg);
    }
  }
  if (operands.size() != 2) return Usage("usage: files put [-p] HOSTFILE DEVPATH");
  const std::string& hostFile = operands[0];
  std::error_code ec;
  if (!std::filesystem::is_regular_file(hostFile, ec)) {
    std::fprintf(stderr, "cedev files: %s: no such host file\n", hostFile.c_str());
    return kExitUsage;
  }
  std::ifstream in(hostFile, std::ios::binary);
  if (!in) {
    std::fprintf(stderr, "cedev files: %s: cannot read the host file\n", hostFile.c_str());
    return kExitUsage;
  }
  std::u16string target = DevicePath(operands[1]);
  if (!ResolveDevicePath(target)) return Report(operands[1], ERROR_INVALID_NAME);
  DWORD attributes = GetFileAttributes(target.c_str());
  bool intoFolder = (attributes != INVALID_FILE_ATTRIBUTES &&
                     (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) ||
                    IsSeparator(target.back());
  if (intoFolder) {
    while (!target.empty() && IsSeparator(target.back())) target.pop_back();
    target += u'\\';
    target += FromUtf8(std::filesystem::path(hostFile).filename().string());
  }
  std::u16string folder = ParentOf(target);
  std::vector<std::u16string> madeFolders;
  DWORD folderAttributes = GetFileAttributes(folder.c_str());
  if (folderAttributes == INVALID_FILE_ATTRIBUTES) {
    if (!makeFolders) {
      std::fprintf(stderr, "cedev files: %s: folder does not exist (-p creates it)\n",
                   ToUtf8(folder).c_str());
      return kExitUsage;
    }
    if (DWORD error = MakeFolders(folder, &madeFolders); error != ERROR_SUCCESS) {
      RemoveFolders(madeFolders);
      return Report(ToUtf8(folder), error);
    }
  } else if ((folderAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
    return Report(ToUtf8(folder), ERROR_PATH_NOT_FOUND);
  }
  // A short name of its own: the target's name may already be as long as a
  // name can be.
  std::u16string temp = folder + (folder == u"\\" ? u"" : u"\\") + kTempPrefix +
                        FromUtf8(std::to_string(getpid())) + kTempSuffix;
  RemoveStaleTemps(folder);
  DWORD error = WriteDeviceFile(in, folder, temp);
  if (error == ERROR_SUCCESS && !MoveFileEx(temp.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING |
                                                                       MOVEFILE_WRITE_THROUGH)) {
    error = GetLastError();
  }
  if (error != ERROR_SUCCESS) {
    DeleteFile(temp.c_str());
    RemoveFolders(madeFolders);
    return Report(ToUtf8(target), error);
  }
  return kExitOk;
}

int Get(const std::vector<std::string>& args) {
  if (args.size() != 2) return Usage("usage: files get DEVPATH HOSTFILE");
  int exitCode = kExitOk;
  std::u16string source = DevicePath(args[0]);
  HandleCloser in(OpenForReading(args[0], source, &exitCode));
  if (in.Get() == INVALID_HANDLE_VALUE) return exitCode;
  std::filesystem::path host = args[1];
  std::error_code ec;
  if (std::filesystem::is_directory(host, ec)) host /= ToUtf8(NameOf(source));
  std::filesystem::path folder = host.parent_path().empty() ? "." : host.parent_path();
  if (!std::filesystem::is_directory(folder, ec)) {
    std::fprintf(stderr, "cedev files: %s: host folder does not exist\n", folder.c_str());
    return kExitUsage;
  }
  std::filesystem::path temp = host;
  temp += ".cedev-" + std::to_string(getpid()) + ".tmp";
  // An unnamed file in the host folder, named only once complete, so that a
  // killed copy leaves nothing there.
  detail::UniqueFd out(open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0644));
  bool named = false;
  if (!out.Valid()) {
    out = detail::UniqueFd(open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644));
    named = true;
  }
  bool ok = out.Valid();
  std::vector<char> buffer(kChunkBytes);
  while (ok) {
    DWORD read = 0;
    if (!ReadFile(in.Get(), buffer.data(), kChunkBytes, &read, nullptr)) {
      ok = false;
      break;
    }
    if (read == 0) break;
    for (DWORD done = 0; ok && done < read;) {
      ssize_t n = ::write(out.Get(), buffer.data() + done, read - done);
      if (n < 0 && errno == EINTR) continue;
      ok = n > 0;
      if (ok) done += static_cast<DWORD>(n);
    }
  }
  ok = ok && fsync(out.Get()) == 0;
  if (ok && !named) {
    std::string procLink = "/proc/self/fd/" + std::to_string(out.Get());
    ok = linkat(AT_FDCWD, procLink.c_str(), AT_FDCWD, temp.c_str(), AT_SYMLINK_FOLLOW) == 0;
    named = ok;
  }
  out = detail::UniqueFd();
  if (ok) {
    std::filesystem::rename(temp, host, ec);
    ok = !ec;
  }
  if (!ok) {
    if (named) std::filesystem::remove(temp, ec);
    std::fprintf(stderr, "cedev files: cannot write %s\n", host.c_str());
    return kExitFailed;
  }
  return kExitOk;
}

int RunFiles(const std::vector<std::string>& args) {
  if (args.empty()) return Usage("usage: files ls|cat|put|get ...");
  const std::string& verb = args[0];
  std::vector<std::string> rest(args.begin() + 1, args.end());
  if (verb == "ls" || verb == "cat") {
    if (rest.size() != 1) return Usage(verb == "ls" ? "usage: files ls DEVPATH" : "usage: files cat DEVPATH");
    return verb == "ls" ? List(rest[0]) : Cat(rest[0]);
  }
  if (verb == "put") return Put(rest);
  if (verb == "get") return Get(rest);
  std::fprintf(stderr, "cedev files: unknown command \"%s\"\n", verb.c_str());
  return kExitUsage;
}

const CommandRegistrar kFiles(
    "files",
    "files ls DEVPATH | cat DEVPATH | put [-p] HOSTFILE DEVPATH | get DEVPATH HOSTFILE\n"
    "        (device paths use \\ or /; put -p creates missing device folders)",
    RunFiles);

}  // namespace
}  // namespace ce::tools
