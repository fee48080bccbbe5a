// Device files: the device's file system, mapped into the device root folder.
//
// Device paths are absolute, with backslashes ("\Program Files\Zolfa\a.xml")
// and resolve case-insensitively against what exists in the device root; a
// path that would leave the device root ("..") is rejected. Sharing modes are
// enforced between all handles of all processes of one device.
#pragma once

#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>

#include "platform/base/Types.h"

namespace ce {

// Access and share modes, create dispositions.
constexpr DWORD GENERIC_READ = 0x80000000u;
constexpr DWORD GENERIC_WRITE = 0x40000000u;
constexpr DWORD FILE_SHARE_READ = 0x1;
constexpr DWORD FILE_SHARE_WRITE = 0x2;
constexpr DWORD CREATE_NEW = 1;
constexpr DWORD CREATE_ALWAYS = 2;
constexpr DWORD OPEN_EXISTING = 3;
constexpr DWORD OPEN_ALWAYS = 4;
constexpr DWORD TRUNCATE_EXISTING = 5;
constexpr DWORD FILE_ATTRIBUTE_READONLY = 0x1;
constexpr DWORD FILE_ATTRIBUTE_NORMAL = 0x80;
constexpr DWORD FILE_ATTRIBUTE_DIRECTORY = 0x10;
constexpr DWORD FILE_BEGIN = 0;
constexpr DWORD FILE_CURRENT = 1;
constexpr DWORD FILE_END = 2;
constexpr DWORD INVALID_FILE_SIZE = 0xFFFFFFFFu;
constexpr DWORD INVALID_SET_FILE_POINTER = 0xFFFFFFFFu;
constexpr DWORD INVALID_FILE_ATTRIBUTES = 0xFFFFFFFFu;
constexpr DWORD MOVEFILE_REPLACE_EXISTING = 0x1;
constexpr DWORD MOVEFILE_WRITE_THROUGH = 0x8;  // the rename is on disk when the call returns
constexpr int MAX_PATH = 260;

// Maps a device path to the host path inside the device root. Existing
// components are matched case-insensitively; missing ones keep the given
// spelling. Empty when the path is not absolute or escapes the root.
std::optional<std::filesystem::path> ResolveDevicePath(std::u16string_view devicePath);

// Returns INVALID_HANDLE_VALUE on failure with the last error set
// (ERROR_FILE_NOT_FOUND 2, ERROR_PATH_NOT_FOUND 3, ERROR_SHARING_VIOLATION 32,
// ERROR_FILE_EXISTS 80, ERROR_ACCESS_DENIED 5). OPEN_ALWAYS and CREATE_ALWAYS
// on an existing file set the last error to ERROR_ALREADY_EXISTS.
HANDLE CreateFile(LPCWSTR devicePath, DWORD access, DWORD shareMode, void* security,
                  DWORD disposition, DWORD flags, HANDLE templateFile);
BOOL ReadFile(HANDLE file, void* buffer, DWORD toRead, DWORD* read, void* overlapped);
BOOL WriteFile(HANDLE file, const void* buffer, DWORD toWrite, DWORD* written, void* overlapped);
DWORD SetFilePointer(HANDLE file, LONG distance, LONG* distanceHigh, DWORD method);
DWORD GetFileSize(HANDLE file, DWORD* sizeHigh);
BOOL SetEndOfFile(HANDLE file);
BOOL FlushFileBuffers(HANDLE file);

BOOL DeleteFile(LPCWSTR devicePath);
BOOL MoveFileEx(LPCWSTR from, LPCWSTR to, DWORD flags);
BOOL CreateDirectory(LPCWSTR devicePath, void* security);
BOOL RemoveDirectory(LPCWSTR devicePath);
DWORD GetFileAttributes(LPCWSTR devicePath);

struct WIN32_FIND_DATA {
  DWORD dwFileAttributes = 0;
  DWORD nFileSizeHigh = 0;
  DWORD nFileSizeLow = 0;
  WCHAR cFileName[MAX_PATH] = {};
};
// Wildcards "*" and "?" in the last component, matched case-insensitively.
HANDLE FindFirstFile(LPCWSTR pattern, WIN32_FIND_DATA* data);
BOOL FindNextFile(HANDLE find, WIN32_FIND_DATA* data);
BOOL FindClose(HANDLE find);

// The temporary folder as a device path with a trailing backslash
// ("\Temp\"). Returns the length written, like the platform call.
DWORD GetTempPath(DWORD bufferLen, LPWSTR buffer);

// Text-mode stdio open of a device path ("r", "w", "a", "rb", ... as fopen).
// Returns null with the last error set when the file cannot be opened.
FILE* OpenDeviceStdio(std::u16string_view devicePath, const char* mode);

}  // namespace ce
