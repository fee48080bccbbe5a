// Scripts: lists of user actions, one per line, that drive a program on the
// device screen.
//
//   tap ID | tap TEMPLATE/ID | tap X Y     tap a visible control, or a point
//   tap [TEMPLATE/]ID row N | item N       tap a row or an icon of a list
//   hold ID | hold TEMPLATE/ID | hold X Y  tap and hold (also row N, item N)
//   key NAME...                            press and release keys (Keypad.h)
//   type TEXT                              type characters into the focus
//   menu CMD                               choose a menu command
//   answer OK|YES|NO|CANCEL                the answer to the next message box
//   wait MS                                let the program run
//   until TEXT | until "TEXT" [MS]         run until the transcript has TEXT
//   await [TEMPLATE/]ID row N|item N [MS]  run until the list has that entry
//   await text TEXT | await text "TEXT" [MS]  run until the screen shows TEXT
//   shot FILE                              a PNG picture of the screen
//   dump                                   the visible texts to the transcript
//   rotate                                 turn the screen
//   quit                                   end the program
//
// "#" at the start of a word begins a comment. TEXT and FILE are the rest of
// the line, or a double-quoted string (with \" \\ \n \t escapes); only
// after a quoted TEXT may until take its time-out, so that "until show 200"
// waits for the line "show 200".
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/base/Types.h"
#include "platform/window/Geometry.h"

namespace ce {

enum class ScriptVerb {
  kTap, kHold, kKey, kType, kMenu, kAnswer, kWait, kUntil, kAwait, kAwaitText, kShot, kDump, kRotate, kStamp,
  kQuit
};

// Where a tap or hold lands: a point, or a control by id, optionally in the
// dialog made from a given template ("135" or a template name), or one row
// (report and list views) or item (icon views) of a list control by index.
struct ScriptTarget {
  enum class Part { kControl, kRow, kItem };
  bool isPoint = false;
  POINT point;
  std::u16string dialog;
  int controlId = 0;
  Part part = Part::kControl;
  int index = 0;  // of the row or item, from 0
};

struct ScriptStep {
  int line = 0;          // 1-based line number in the script
  std::string source;    // the line as written, without comment and outer blanks
  ScriptVerb verb = ScriptVerb::kQuit;
  ScriptTarget target;   // tap, hold
  std::vector<UINT> keys;  // key: virtual keys in order
  std::string text;      // type, until (UTF-8); shot: the file name; stamp: its name
  UINT command = 0;      // menu
  int answer = 0;        // answer: IDOK, IDYES, IDNO, IDCANCEL
  DWORD ms = 0;          // wait; until's and await's time-out
};

struct ScriptError {
  int line = 0;  // 1-based
  std::string message;
};

// The longest wait or time-out a script may ask for, in milliseconds.
constexpr DWORD kMaxScriptWaitMs = 24u * 60u * 60u * 1000u;
constexpr DWORD kDefaultUntilMs = 10000;

// Parses one line into *step (left empty for a blank or comment line).
// False with *error filled in when the line is wrong.
bool ParseScriptLine(std::string_view line, int lineNumber, std::optional<ScriptStep>* step,
                     ScriptError* error);
// Parses a whole script (UTF-8, "\n" or "\r\n" line ends). On an error the
// steps before the faulty line are kept and the error names the line.
bool ParseScript(std::string_view text, std::vector<ScriptStep>* steps, ScriptError* error);

}  // namespace ce
