#include "zolfa/app/ZolfaPaths.h"

#include "platform/base/DeviceFile.h"

namespace zolfa {

namespace {

bool IsFolder(const std::u16string& path) {
  ce::DWORD attributes = ce::GetFileAttributes(path.c_str());
  return attributes != ce::INVALID_FILE_ATTRIBUTES && (attributes & ce::FILE_ATTRIBUTE_DIRECTORY) != 0;
}

}  // namespace

std::u16string ProgramFilePath(std::u16string_view fileName) {
  std::u16string path(kProgramFolder);
  path += fileName;
  return path;
}

std::u16string SettingsValuePath(std::u16string_view valueName) {
  std::u16string path(kSettingsKey);
  path += u'\\';
  path += valueName;
  return path;
}

bool EnsureProgramFolder() {
  // Each level without its trailing backslash: "\Program Files", then
  // "\Program Files\Zolfa".
  std::u16string_view folder = kProgramFolder.substr(0, kProgramFolder.size() - 1);
  for (size_t slash = folder.find(u'\\', 1);; slash = folder.find(u'\\', slash + 1)) {
    std::u16string level(folder.substr(0, slash));
    if (!IsFolder(level)) ce::CreateDirectory(level.c_str(), nullptr);
    if (slash == std::u16string_view::npos) return IsFolder(level);
  }
}

}  // namespace zolfa
