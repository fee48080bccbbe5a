#include "zolfa/app/AppendLog.h"

#include <cstdio>

#include "platform/base/CodePage.h"
#include "platform/base/DeviceFile.h"
#include "platform/base/Handles.h"
#include "platform/base/MessageBox.h"
#include "zolfa/app/ZolfaPaths.h"

namespace zolfa {

namespace {

// Writes the whole of bytes at the end of the file. Returns 0 or the error.
ce::DWORD AppendBytes(const std::u16string& path, const std::string& bytes) {
  ce::HANDLE file = ce::CreateFile(path.c_str(), ce::GENERIC_WRITE, ce::FILE_SHARE_READ, nullptr,
                                   ce::OPEN_ALWAYS, ce::FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == ce::INVALID_HANDLE_VALUE) return ce::GetLastError();
  ce::DWORD error = 0;
  // A failed seek must not turn into a write over the start of the log.
  ce::SetLastError(0);
  if (ce::SetFilePointer(file, 0, nullptr, ce::FILE_END) == ce::INVALID_SET_FILE_POINTER &&
      ce::GetLastError() != 0) {
    error = ce::GetLastError();
  } else {
    ce::DWORD written = 0;
    ce::SetLastError(0);
    if (!ce::WriteFile(file, bytes.data(), static_cast<ce::DWORD>(bytes.size()), &written, nullptr) ||
        written != bytes.size()) {
      error = ce::GetLastError() != 0 ? ce::GetLastError() : ce::ERROR_WRITE_FAULT;
    }
  }
  ce::CloseHandle(file);
  return error;
}

}  // namespace

std::u16string LogTimeStamp(const ce::SYSTEMTIME& time) {
  char stamp[32];
  std::snprintf(stamp, sizeof(stamp), "%02dh%02dm%02ds", time.wHour, time.wMinute, time.wSecond);
  return std::u16string(stamp, stamp + std::char_traits<char>::length(stamp));
}

std::u16string LogFailureText(ce::DWORD error, std::u16string_view path) {
  std::u16string text;
  if (error == static_cast<ce::DWORD>(ce::ERROR_FILE_NOT_FOUND)) {
    text = u"檔案找不到: ";
  } else if (error == static_cast<ce::DWORD>(ce::ERROR_SHARING_VIOLATION)) {
    text = u"檔案共享錯誤: ";
  } else {
    return text;
  }
  text += path;
  text += u'\n';
  return text;
}

void AppendLog(std::u16string_view fileName, std::u16string_view text, bool timeStamp) {
  std::u16string line;
  if (timeStamp) {
    ce::SYSTEMTIME now;
    ce::GetLocalTime(&now);
    line = LogTimeStamp(now) + u": ";
  }
  line += text;
  line += u"\r\n";

  if (fileName.starts_with(kLogFilePrefix)) fileName.remove_prefix(kLogFilePrefix.size());
  std::u16string path = ProgramFilePath(fileName);

  EnsureProgramFolder();
  ce::DWORD error = AppendBytes(path, ce::WideToMulti(line, ce::CP_ACP));
  if (error == 0) return;
  std::u16string message = LogFailureText(error, path);
  ce::MessageBox(nullptr, message.c_str(), std::u16string(kProgramName).c_str(),
                 ce::MB_OK | ce::MB_ICONWARNING);
}

}  // namespace zolfa
