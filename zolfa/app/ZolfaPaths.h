// Where ZolfaCE keeps its files and settings: the program folder with its
// file names, and the registry keys and value names.
#pragma once

#include <string>
#include <string_view>

namespace zolfa {

inline constexpr std::u16string_view kProgramName = u"ZolfaCE";

// The program folder, a device path with its trailing backslash.
inline constexpr std::u16string_view kProgramFolder = u"\\Program Files\\Zolfa\\";
inline constexpr std::u16string_view kCurPlayListFileName = u"CurPlayList.xml";
inline constexpr std::u16string_view kPersonalLibraryFileName = u"personal.db";
inline constexpr std::u16string_view kCoreLogFileName = u"ZolfaCE.log";
inline constexpr std::u16string_view kPlaylistLogFileName = u"CCoreCurPlaylist.log";

// The settings key under HKEY_CURRENT_USER and its value names.
inline constexpr std::u16string_view kSettingsKey = u"Software\\Quendal\\zolfa";
inline constexpr std::u16string_view kAccountValuePrefix = u"account";  // account0 .. account3
constexpr int kAccountCount = 4;
inline constexpr std::u16string_view kPasswordValue = u"password";
inline constexpr std::u16string_view kAutologinValue = u"autologin";
inline constexpr std::u16string_view kClientIdValue = u"ZOLFAID";
inline constexpr std::u16string_view kShuffleValue = u"shuffle";
inline constexpr std::u16string_view kRepeatValue = u"repeat";

// The media player's streaming settings under HKEY_LOCAL_MACHINE.
inline constexpr std::u16string_view kMediaStreamingKey =
    u"Software\\Microsoft\\Windows Media Player\\Streaming";
inline constexpr std::u16string_view kConnectionSpeedValue = u"Connection Speed";
inline constexpr std::u16string_view kStreamingBufferValue = u"Streaming Buffer";
inline constexpr std::u16string_view kLocalBufferValue = u"Local Buffer";

// The device path of a file in the program folder.
std::u16string ProgramFilePath(std::u16string_view fileName);

// The full path (key, backslash, value name) of a settings value, as the
// registry value objects take it.
std::u16string SettingsValuePath(std::u16string_view valueName);

// Creates the program folder (and "\Program Files") when missing, so that
// logs and saved lists are never lost for want of it. Returns true when the
// folder exists afterwards.
bool EnsureProgramFolder();

}  // namespace zolfa
