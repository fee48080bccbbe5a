#include "platform/base/DeviceRoot.h"

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <mutex>
#include <system_error>

#include "platform/base/DeviceFile.h"
#include "platform/base/detail/DeviceState.h"
#include "platform/base/detail/Hive.h"

namespace ce {
namespace {

constexpr const char16_t* kStandardFolders[] = {u"\\windows", u"\\Program Files", u"\\Temp"};
constexpr const char* kRunArea = "run";

// Root paths are interned and never freed, so the reference DeviceRootPath()
// returns stays valid while another thread switches roots.
std::mutex rootMutex;
std::deque<std::filesystem::path> internedRoots;
std::atomic<const std::filesystem::path*> currentRoot{nullptr};
std::atomic<bool> rootOpen{false};

const std::filesystem::path* Intern(const std::filesystem::path& root) {
  for (const auto& known : internedRoots) {
    if (known == root) return &known;
  }
  internedRoots.push_back(root);
  return &internedRoots.back();
}

std::filesystem::path FallbackRoot() {
  const char* env = std::getenv("CE_DEVICE");
  if (env != nullptr && *env != '\0') return env;
  return CE_DEFAULT_DEVICE_ROOT;
}

std::filesystem::path Absolute(const std::filesystem::path& root) {
  std::error_code ec;
  std::filesystem::path absolute = std::filesystem::absolute(root, ec);
  return (ec ? root : absolute).lexically_normal();
}

void SetError(std::string* error, const std::string& text) {
  if (error != nullptr) *error = text;
}

bool MakeFolder(const std::filesystem::path& path, std::string* error) {
  std::error_code ec;
  std::filesystem::create_directories(path, ec);
  if (ec || !std::filesystem::is_directory(path, ec)) {
    SetError(error, path.string() + ": " + (ec ? ec.message() : "not a folder"));
    return false;
  }
  return true;
}

// Closes what belongs to the current root. Called with rootMutex held.
void CloseCurrentLocked() {
  if (!rootOpen.load()) return;
  detail::CloseRegistryHive();
  rootOpen.store(false);
}

}  // namespace

namespace detail {
bool DeviceRootIsOpen() { return rootOpen.load(); }
}  // namespace detail

bool OpenDeviceRoot(const std::filesystem::path& root, std::string* error) {
  if (root.empty()) {
    SetError(error, "no device root folder given");
    return false;
  }
  std::filesystem::path absolute = Absolute(root);
  std::lock_guard lock(rootMutex);
  const std::filesystem::path* current = currentRoot.load();
  if (rootOpen.load() && current != nullptr && *current != absolute) CloseCurrentLocked();
  if (!MakeFolder(absolute, error) || !MakeFolder(absolute / kRunArea, error)) return false;
  currentRoot.store(Intern(absolute));
  // The standard folders are looked up like any device path, so a "Windows"
  // that already exists counts as "\windows".
  for (const char16_t* folder : kStandardFolders) {
    std::optional<std::filesystem::path> host = ResolveDevicePath(folder);
    if (!host || !MakeFolder(*host, error)) return false;
  }
  rootOpen.store(true);
  return true;
}

const std::filesystem::path& DeviceRootPath() {
  const std::filesystem::path* current = currentRoot.load();
  if (current != nullptr) return *current;
  std::lock_guard lock(rootMutex);
  current = currentRoot.load();
  if (current == nullptr) {
    current = Intern(Absolute(FallbackRoot()));
    currentRoot.store(current);
  }
  return *current;
}

std::filesystem::path RunAreaPath() { return DeviceRootPath() / kRunArea; }

bool OpenDeviceRootFromArgs(int& argc, char** argv, std::string* error) {
  std::filesystem::path chosen;
  if (argc < 1) return OpenDeviceRoot(FallbackRoot(), error);
  int kept = 1;
  bool copyRest = false;
  for (int i = 1; i < argc; ++i) {
    const char* arg = argv[i];
    if (copyRest || std::strcmp(arg, "--") == 0) {
      // Everything after "--" belongs to the program.
      copyRest = true;
      argv[kept++] = argv[i];
      continue;
    }
    if (std::strcmp(arg, "--device") == 0) {
      if (i + 1 >= argc || argv[i + 1][0] == '\0') {
        SetError(error, "--device needs a folder");
        return false;
      }
      chosen = argv[++i];
      continue;
    }
    if (std::strncmp(arg, "--device=", 9) == 0) {
      if (arg[9] == '\0') {
        SetError(error, "--device needs a folder");
        return false;
      }
      chosen = arg + 9;
      continue;
    }
    argv[kept++] = argv[i];
  }
  argc = kept;
  argv[argc] = nullptr;
  if (chosen.empty()) chosen = FallbackRoot();
  return OpenDeviceRoot(chosen, error);
}

void CloseDeviceRoot() {
  std::lock_guard lock(rootMutex);
  CloseCurrentLocked();
  currentRoot.store(nullptr);
}

}  // namespace ce
