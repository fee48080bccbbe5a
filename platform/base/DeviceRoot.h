// The device root: the folder that holds one device's registry hive, its file
// system and its run area. Every process of one device opens the same root.
#pragma once

#include <filesystem>
#include <string>

namespace ce {

// Opens (creating it and its standard folders "\windows", "\Program Files"
// and "\Temp" when missing) the device root of this process. Call once at
// start, before any other platform call. Returns false with a message in
// *error when the folder cannot be created.
bool OpenDeviceRoot(const std::filesystem::path& root, std::string* error = nullptr);

// The device root of this process: the one opened, else CE_DEVICE from the
// environment, else the build's default ("device" beside the build).
const std::filesystem::path& DeviceRootPath();

// The run area of the device root ("<root>/run"): cross-process tables, the
// debug log and the device identifier live there. It is not a device path.
std::filesystem::path RunAreaPath();

// Takes "--device DIR" (or "--device=DIR") out of argv, falling back to
// CE_DEVICE and then the default, and opens that root. argc/argv are updated
// so that the program sees only its own arguments.
bool OpenDeviceRootFromArgs(int& argc, char** argv, std::string* error = nullptr);

// Closes the registry and forgets the root (tests switch roots with this).
void CloseDeviceRoot();

}  // namespace ce
