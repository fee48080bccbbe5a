#include "platform/host/detail/KeyboardKeys.h"

#include <SDL_keyboard.h>

#include "platform/host/Keypad.h"
#include "platform/window/Keys.h"

namespace ce::detail {

UINT KeyboardKeys::Press(const SDL_Keysym& key) {
  auto held = held_.find(key.scancode);
  if (held != held_.end()) return held->second;
  UINT virtualKey = KeypadKeyOf(key);
  if (virtualKey != 0) held_[key.scancode] = virtualKey;
  return virtualKey;
}

UINT KeyboardKeys::Release(const SDL_Keysym& key) {
  auto held = held_.find(key.scancode);
  if (held == held_.end()) return 0;
  UINT virtualKey = held->second;
  held_.erase(held);
  return virtualKey;
}

UINT KeyboardKeys::KeypadKeyOf(const SDL_Keysym& key) {
  bool shift = (key.mod & KMOD_SHIFT) != 0;
  SDL_Keycode code = key.sym;
  if (shift && code == SDLK_8) return VK_TSTAR;
  if (shift && code == SDLK_3) return VK_TPOUND;
  if (code >= SDLK_0 && code <= SDLK_9) return static_cast<UINT>('0' + (code - SDLK_0));
  if (code >= SDLK_KP_1 && code <= SDLK_KP_9) return static_cast<UINT>('1' + (code - SDLK_KP_1));
  switch (code) {
    case SDLK_KP_0: return '0';
    case SDLK_ASTERISK:
    case SDLK_KP_MULTIPLY:
    case SDLK_F8: return VK_TSTAR;
    case SDLK_HASH:
    case SDLK_KP_DIVIDE:
    case SDLK_F9: return VK_TPOUND;
    case SDLK_UP: return VK_UP;
    case SDLK_DOWN: return VK_DOWN;
    case SDLK_LEFT: return VK_LEFT;
    case SDLK_RIGHT: return VK_RIGHT;
    case SDLK_SPACE: return kVkAction;
    case SDLK_RETURN:
    case SDLK_KP_ENTER: return VK_RETURN;
    case SDLK_BACKSPACE: return VK_BACK;
    case SDLK_F1: return VK_TSOFT1;
    case SDLK_F2: return VK_TSOFT2;
    case SDLK_ESCAPE: return VK_ESCAPE;
    default: return 0;
  }
}

}  // namespace ce::detail
