#include "platform/host/Keypad.h"

#include <array>
#include <cctype>
#include <string>

#include "platform/window/Keys.h"

namespace ce {

namespace {

struct NamedKey {
  std::string_view name;
  UINT key;
};

constexpr std::array<NamedKey, 14> kNamedKeys{{
    {"star", VK_TSTAR},
    {"pound", VK_TPOUND},
    {"up", VK_UP},
    {"down", VK_DOWN},
    {"left", VK_LEFT},
    {"right", VK_RIGHT},
    {"action", kVkAction},
    {"enter", VK_RETURN},
    {"back", VK_BACK},
    {"backspace", VK_BACK},
    {"soft1", VK_TSOFT1},
    {"soft2", VK_TSOFT2},
    {"escape", VK_ESCAPE},
    {"esc", VK_ESCAPE},
}};

}  // namespace

std::optional<UINT> KeypadKeyByName(std::string_view name) {
  if (name.size() == 1 && name[0] >= '0' && name[0] <= '9') return static_cast<UINT>(name[0]);
  std::string lower;
  for (char c : name) lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  for (const NamedKey& entry : kNamedKeys) {
    if (entry.name == lower) return entry.key;
  }
  return std::nullopt;
}

int SoftKeyIndex(UINT virtualKey) {
  if (virtualKey == VK_TSOFT1) return 0;
  if (virtualKey == VK_TSOFT2) return 1;
  return -1;
}

}  // namespace ce
