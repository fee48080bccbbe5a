#include "platform/controls/Resources.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/base/CodePage.h"
#include "platform/base/Debug.h"
#include "platform/base/DeviceFile.h"
#include "platform/controls/ResourceScript.h"
#include "platform/gdi/Image.h"

namespace ce {

namespace {

// A resource file is a script; larger ones are refused as faulty.
constexpr size_t kMaxResourceFileBytes = 4u << 20;

struct Module {
  std::u16string name;
  bool file = false;
  HINSTANCE fallback = nullptr;
  // Builders of compiled-in resources not run yet.
  std::vector<std::function<void(ResourceSet&)>> pending;
  ResourceSet set;
};

class ModuleTable {
 public:
  static ModuleTable& Get() {
    // Never destroyed: static objects of other files may look resources up
    // while the program ends.
    static ModuleTable* table = new ModuleTable;
    return *table;
  }

  HINSTANCE Named(std::u16string_view name, bool create) {
    std::lock_guard lock(mutex_);
    for (auto& [handle, module] : modules_) {
      if (!module->file && module->name == name) return handle;
    }
    if (!create) return nullptr;
    return AddLocked(std::u16string(name), false, nullptr);
  }

  void AddBuilder(std::u16string_view name, std::function<void(ResourceSet&)> builder) {
    HINSTANCE handle = Named(name, true);
    std::lock_guard lock(mutex_);
    modules_[handle]->pending.push_back(std::move(builder));
  }

  HINSTANCE AddFile(ResourceSet set, HINSTANCE fallback, std::u16string path) {
    std::lock_guard lock(mutex_);
    HINSTANCE handle = AddLocked(std::move(path), true, fallback);
    modules_[handle]->set = std::move(set);
    return handle;
  }

  bool Remove(HINSTANCE handle) {
    std::lock_guard lock(mutex_);
    auto it = modules_.find(handle);
    if (it == modules_.end() || !it->second->file) return false;
    modules_.erase(it);
    return true;
  }

  // Calls find on the module and then on its fallbacks until it answers.
  template <typename T, typename Find>
  const T* Look(HINSTANCE handle, Find find) {
    if (handle == nullptr) handle = Named(u"", true);
    std::lock_guard lock(mutex_);
    for (int depth = 0; handle != nullptr && depth < 8; ++depth) {
      auto it = modules_.find(handle);
      if (it == modules_.end()) return nullptr;
      Module& module = *it->second;
      RunPending(module);
      if (const T* found = find(module.set)) return found;
      handle = module.fallback;
    }
    return nullptr;
  }

 private:
  HINSTANCE AddLocked(std::u16string name, bool file, HINSTANCE fallback) {
    auto handle = reinterpret_cast<HINSTANCE>(static_cast<uintptr_t>(++counter_) << 16);
    auto module = std::make_unique<Module>();
    module->name = std::move(name);
    module->file = file;
    module->fallback = fallback;
    modules_[handle] = std::move(module);
    return handle;
  }

  static void RunPending(Module& module) {
    // Builders may be added while others run (never by themselves), so take
    // them out first.
    while (!module.pending.empty()) {
      auto builders = std::move(module.pending);
      module.pending.clear();
      for (auto& builder : builders) builder(module.set);
    }
  }

  std::mutex mutex_;
  std::map<HINSTANCE, std::unique_ptr<Module>> modules_;
  uintptr_t counter_ = 0x40;
};

bool ReadWholeFile(const std::filesystem::path& path, std::vector<uint8_t>* bytes) {
  std::error_code error;
  auto size = std::filesystem::file_size(path, error);
  if (error || size > kMaxResourceFileBytes) return false;
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  bytes->assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return static_cast<bool>(in) || in.eof();
}

// Image file names of a script are plain names in the script's folder.
bool IsPlainFileName(std::string_view name) {
  return !name.empty() && name.find('/') == std::string_view::npos &&
         name.find('\\') == std::string_view::npos && name != "." && name != "..";
}

void ReportScriptError(std::u16string_view where, const ResourceScriptError& error) {
  std::u16string text = u"resources of ";
  text += where.empty() ? std::u16string_view(u"the program") : where;
  text += u": line " + FromUtf8(std::to_string(error.line)) + u": " + FromUtf8(error.message) + u"\n";
  OutputDebugString(text.c_str());
}

}  // namespace

HINSTANCE GetProgramInstance() { return ModuleTable::Get().Named(u"", true); }

HINSTANCE GetModuleResources(std::u16string_view moduleName) {
  return ModuleTable::Get().Named(moduleName, false);
}

void RegisterResources(std::u16string_view moduleName, std::function<void(ResourceSet&)> builder) {
  ModuleTable::Get().AddBuilder(moduleName, std::move(builder));
}

void RegisterResourceScript(std::u16string_view moduleName, std::string_view script,
                            const EmbeddedFile* files, size_t fileCount) {
  std::u16string name(moduleName);
  RegisterResources(moduleName, [name, script, files, fileCount](ResourceSet& set) {
    auto readFile = [files, fileCount](std::string_view file, std::vector<uint8_t>* bytes) {
      for (size_t i = 0; i < fileCount; ++i) {
        if (file == files[i].name) {
          bytes->assign(files[i].data, files[i].data + files[i].size);
          return true;
        }
      }
      return false;
    };
    if (auto error = ParseResourceScript(script, readFile, &set)) ReportScriptError(name, *error);
  });
}

HINSTANCE LoadResourceFile(LPCWSTR devicePath, HINSTANCE fallback) {
  if (devicePath == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  auto hostPath = ResolveDevicePath(devicePath);
  std::vector<uint8_t> bytes;
  if (!hostPath || !ReadWholeFile(*hostPath, &bytes)) {
    SetLastError(ERROR_FILE_NOT_FOUND);
    return nullptr;
  }
  std::filesystem::path folder = hostPath->parent_path();
  auto readFile = [&folder](std::string_view name, std::vector<uint8_t>* image) {
    return IsPlainFileName(name) && ReadWholeFile(folder / std::string(name), image);
  };
  ResourceSet set;
  std::string_view script(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  if (auto error = ParseResourceScript(script, readFile, &set)) {
    ReportScriptError(devicePath, *error);
    SetLastError(ERROR_INVALID_DATA);
    return nullptr;
  }
  return ModuleTable::Get().AddFile(std::move(set), fallback, devicePath);
}

BOOL FreeResourceFile(HINSTANCE module) {
  if (!ModuleTable::Get().Remove(module)) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  return TRUE;
}

const DialogTemplate* FindDialogTemplate(HINSTANCE module, const ResourceName& name) {
  return ModuleTable::Get().Look<DialogTemplate>(
      module, [&](const ResourceSet& set) { return set.Dialog(name); });
}

const MenuTemplate* FindMenuTemplate(HINSTANCE module, const ResourceName& name) {
  return ModuleTable::Get().Look<MenuTemplate>(
      module, [&](const ResourceSet& set) { return set.Menu(name); });
}

const std::vector<uint8_t>* FindImageResource(HINSTANCE module, const ResourceName& name) {
  return ModuleTable::Get().Look<std::vector<uint8_t>>(
      module, [&](const ResourceSet& set) { return set.Image(name); });
}

std::u16string LoadStringText(HINSTANCE module, UINT id) {
  const std::u16string* text = ModuleTable::Get().Look<std::u16string>(
      module, [id](const ResourceSet& set) { return set.String(id); });
  return text != nullptr ? *text : std::u16string();
}

int LoadString(HINSTANCE module, UINT id, LPWSTR buffer, int bufferMax) {
  if (buffer == nullptr || bufferMax <= 0) return 0;
  std::u16string text = LoadStringText(module, id);
  size_t count = std::min(text.size(), static_cast<size_t>(bufferMax - 1));
  std::copy_n(text.data(), count, buffer);
  buffer[count] = 0;
  return static_cast<int>(count);
}

HBITMAP LoadBitmap(HINSTANCE module, const ResourceName& name) {
  const std::vector<uint8_t>* bytes = FindImageResource(module, name);
  if (bytes == nullptr) {
    SetLastError(ERROR_FILE_NOT_FOUND);
    return nullptr;
  }
  return LoadImageFromMemory(bytes->data(), bytes->size());
}

HBITMAP SHLoadImageResource(HINSTANCE module, UINT id) { return LoadBitmap(module, ResourceName(id)); }

}  // namespace ce
