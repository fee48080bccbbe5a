// ce_regwriter DEVICE PREFIX COUNT GO_FD
//
// Waits until GO_FD reaches end of file (so that several copies start
// writing at the same moment), then COUNT times: creates or opens
// HKCU\Software\Race, sets the REG_DWORD value PREFIX<i> to i, and creates
// the key HKCU\Software\Race\Keys\PREFIX<i>. Exits 0 when every call
// succeeded, 1 otherwise, 2 on bad arguments.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/base/CodePage.h"
#include "platform/base/DeviceRoot.h"
#include "platform/base/Registry.h"

int main(int argc, char** argv) {
  if (argc != 5) {
    std::fprintf(stderr, "usage: ce_regwriter DEVICE PREFIX COUNT GO_FD\n");
    return 2;
  }
  std::string error;
  if (!ce::OpenDeviceRoot(argv[1], &error)) {
    std::fprintf(stderr, "ce_regwriter: %s\n", error.c_str());
    return 2;
  }
  std::u16string prefix = ce::FromUtf8(argv[2]);
  int count = std::atoi(argv[3]);
  int goFd = std::atoi(argv[4]);
  char ignored;
  while (read(goFd, &ignored, 1) > 0) {
  }

  int failures = 0;
  for (int i = 0; i < count; ++i) {
    std::u16string name = prefix + ce::FromUtf8(std::to_string(i));
    ce::HKEY key = nullptr;
    ce::LONG rc = ce::RegCreateKeyEx(ce::HKEY_CURRENT_USER, u"Software\\Race", 0, nullptr, 0,
                                     ce::KEY_WRITE, nullptr, &key, nullptr);
    if (rc == ce::ERROR_SUCCESS) {
      ce::DWORD value = static_cast<ce::DWORD>(i);
      rc = ce::RegSetValueEx(key, name.c_str(), 0, ce::REG_DWORD,
                             reinterpret_cast<const ce::BYTE*>(&value), sizeof(value));
      ce::RegCloseKey(key);
    }
    if (rc == ce::ERROR_SUCCESS) {
      std::u16string path = u"Software\\Race\\Keys\\" + name;
      rc = ce::RegCreateKeyEx(ce::HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, ce::KEY_WRITE,
                              nullptr, &key, nullptr);
      if (rc == ce::ERROR_SUCCESS) ce::RegCloseKey(key);
    }
    if (rc != ce::ERROR_SUCCESS) {
      std::fprintf(stderr, "ce_regwriter: step %d failed with %d\n", i, static_cast<int>(rc));
      ++failures;
    }
  }
  ce::CloseDeviceRoot();
  return failures == 0 ? 0 : 1;
}
