// Resource modules: the resources compiled into a program or library, and
// resource files loaded as data (the language-specific files of the device
// components).
//
// A module handle (HINSTANCE) names one set of resources. Null means the
// program's own. A resource file loaded as data may name a fallback module:
// what the file lacks is then taken from there.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

#include "platform/base/Types.h"
#include "platform/controls/ResourceSet.h"
#include "platform/gdi/GdiTypes.h"

namespace ce {

inline LPCWSTR MAKEINTRESOURCE(UINT id) {
  return reinterpret_cast<LPCWSTR>(static_cast<uintptr_t>(id & 0xFFFF));
}
inline bool IS_INTRESOURCE(LPCWSTR name) {
  return (reinterpret_cast<uintptr_t>(name) >> 16) == 0;
}

// The program's own resources (the compiled-in module with the empty name).
HINSTANCE GetProgramInstance();
// The compiled-in resources of a library ("Callbuzz.dll"); its handle exists
// once anything was registered under the name, else null.
HINSTANCE GetModuleResources(std::u16string_view moduleName);

// Compiled-in resources. Registration may run during static initialisation;
// builders and scripts are run when the module is first used. A faulty
// script is reported on the debug output and its later statements are
// missing.
void RegisterResources(std::u16string_view moduleName, std::function<void(ResourceSet&)> builder);
struct EmbeddedFile {
  const char* name;
  const unsigned char* data;
  size_t size;
};
void RegisterResourceScript(std::u16string_view moduleName, std::string_view script,
                            const EmbeddedFile* files, size_t fileCount);

// Loads a resource script file of the device ("\windows\LexoImeRes.dll") as
// data; the images it names are read from its folder. Null with the last
// error set (ERROR_FILE_NOT_FOUND, ERROR_INVALID_DATA) when the file is
// missing or faulty. fallback may be null (no fallback).
HINSTANCE LoadResourceFile(LPCWSTR devicePath, HINSTANCE fallback);
BOOL FreeResourceFile(HINSTANCE module);

// Looks a resource up in the module and then in its fallbacks.
const DialogTemplate* FindDialogTemplate(HINSTANCE module, const ResourceName& name);
const MenuTemplate* FindMenuTemplate(HINSTANCE module, const ResourceName& name);
const std::vector<uint8_t>* FindImageResource(HINSTANCE module, const ResourceName& name);

// Copies string id into buffer (bufferMax characters with the terminating
// zero, cut when longer); returns the characters copied, 0 when missing.
int LoadString(HINSTANCE module, UINT id, LPWSTR buffer, int bufferMax);
// The whole string; empty when missing.
std::u16string LoadStringText(HINSTANCE module, UINT id);

// Decodes an image resource (GIF, PNG, JPEG, BMP) into a new bitmap the
// caller deletes; null when missing or undecodable.
HBITMAP LoadBitmap(HINSTANCE module, const ResourceName& name);
// The platform's name for loading a GIF resource by number.
HBITMAP SHLoadImageResource(HINSTANCE module, UINT id);

}  // namespace ce
