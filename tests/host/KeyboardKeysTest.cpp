// The keypad keys that the host keyboard's keys stand for.
#include "platform/host/detail/KeyboardKeys.h"

#include <SDL_keyboard.h>
#include <gtest/gtest.h>

#include "platform/host/Keypad.h"
#include "platform/window/Keys.h"

namespace ce::detail {
namespace {

SDL_Keysym Key(SDL_Scancode scancode, SDL_Keycode sym, Uint16 mod = KMOD_NONE) {
  SDL_Keysym key{};
  key.scancode = scancode;
  key.sym = sym;
  key.mod = mod;
  return key;
}

TEST(KeyboardKeysTest, KeysStandForTheirKeypadKeys) {
  struct Case {
    SDL_Keysym key;
    UINT keypad;
  };
  for (const Case& c : {
           Case{Key(SDL_SCANCODE_3, SDLK_3, KMOD_RSHIFT), VK_TPOUND},
           Case{Key(SDL_SCANCODE_3, SDLK_3), '3'},
           Case{Key(SDL_SCANCODE_KP_0, SDLK_KP_0), '0'},
           Case{Key(SDL_SCANCODE_KP_MULTIPLY, SDLK_KP_MULTIPLY), VK_TSTAR},
           Case{Key(SDL_SCANCODE_SPACE, SDLK_SPACE), kVkAction},
           Case{Key(SDL_SCANCODE_F2, SDLK_F2), VK_TSOFT2},
           Case{Key(SDL_SCANCODE_A, SDLK_a), 0},
       }) {
    EXPECT_EQ(KeyboardKeys::KeypadKeyOf(c.key), c.keypad) << "key " << c.key.sym;
  }
}

TEST(KeyboardKeysTest, AKeyIsReleasedAsTheKeyItWasPressedAs) {
  KeyboardKeys keys;
  // Shift+8 is the star key, also when shift goes up before the 8.
  EXPECT_EQ(keys.Press(Key(SDL_SCANCODE_8, SDLK_8, KMOD_LSHIFT)), VK_TSTAR);
  EXPECT_EQ(keys.Press(Key(SDL_SCANCODE_8, SDLK_8)), VK_TSTAR) << "a repeat after shift went up";
  EXPECT_EQ(keys.Release(Key(SDL_SCANCODE_8, SDLK_8)), VK_TSTAR);
  EXPECT_EQ(keys.Release(Key(SDL_SCANCODE_8, SDLK_8)), 0u) << "released once";

  EXPECT_EQ(keys.Press(Key(SDL_SCANCODE_8, SDLK_8)), UINT{'8'});
  EXPECT_EQ(keys.Release(Key(SDL_SCANCODE_8, SDLK_8, KMOD_LSHIFT)), UINT{'8'}) << "shift went down meanwhile";
  EXPECT_EQ(keys.Press(Key(SDL_SCANCODE_A, SDLK_a)), 0u);
  EXPECT_EQ(keys.Release(Key(SDL_SCANCODE_A, SDLK_a)), 0u);
}

}  // namespace
}  // namespace ce::detail
