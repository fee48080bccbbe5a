// The text form of a resource module ("resource script", UTF-8), used for
// resource files loaded as data and for scripts compiled into a program.
//
//   # comment to the end of the line
//   STRINGTABLE
//   BEGIN
//     101 "Connect alert"
//   END
//   IMAGE 146 "icons16.png"          (a file beside the script)
//   DIALOG 225 0, 0, 140, 80
//   STYLE WS_POPUP | WS_CAPTION
//   CAPTION "About"
//   FONT 9, "細明體"
//   BEGIN
//     CONTROL "OK", IDOK, "BUTTON", BS_DEFPUSHBUTTON | WS_TABSTOP, 45, 60, 50, 14
//   END
//   MENU 185
//   BEGIN
//     POPUP "ContextOnSong"
//     BEGIN
//       MENUITEM "播放", 32871
//       MENUITEM SEPARATOR
//       MENUITEM "刪除", 32874, GRAYED
//     END
//   END
//
// Commas are optional. Names are numbers or words. Styles are numbers and
// the platform's style names joined with "|"; "NOT name" clears a style.
// CONTROL styles always include WS_CHILD and, unless cleared with
// "NOT WS_VISIBLE", WS_VISIBLE. Strings take \" \\ \n \t escapes.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/controls/ResourceSet.h"

namespace ce {

// Reads the bytes of a file named by an IMAGE line; false when it has none.
using ResourceFileReader = std::function<bool(std::string_view name, std::vector<uint8_t>* bytes)>;

struct ResourceScriptError {
  int line = 0;         // 1-based
  std::string message;  // what is wrong, in English, for logs
};

// Adds what the script defines to set. On an error the set keeps what came
// before the faulty statement and the error says where it is.
std::optional<ResourceScriptError> ParseResourceScript(std::string_view script,
                                                       const ResourceFileReader& readFile,
                                                       ResourceSet* set);

// The value of a style or id name the scripts know ("WS_CHILD", "IDOK");
// false for an unknown name.
bool LookUpResourceSymbol(std::string_view name, int64_t* value);

}  // namespace ce
