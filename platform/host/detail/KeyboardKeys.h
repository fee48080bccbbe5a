// Internal: the keypad keys that the host keyboard's keys stand for, each
// released as the same key it was pressed as.
#pragma once

#include <map>

#include "platform/base/Types.h"

struct SDL_Keysym;

namespace ce::detail {

class KeyboardKeys {
 public:
  // The keypad key to send for a press (or an automatic repeat) of the
  // keyboard key; 0 for a key that stands for none. A key held down keeps
  // the keypad key of its first press, whatever the modifiers do meanwhile.
  UINT Press(const SDL_Keysym& key);
  // The keypad key to release: the one its press sent; 0 when it sent none.
  UINT Release(const SDL_Keysym& key);

  // The keypad key a keyboard key stands for with its modifiers; 0 for none.
  static UINT KeypadKeyOf(const SDL_Keysym& key);

 private:
  std::map<int, UINT> held_;  // SDL scancode -> the keypad key it was pressed as
};

}  // namespace ce::detail
