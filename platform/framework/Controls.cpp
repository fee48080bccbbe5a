#include "platform/framework/Controls.h"

#include <vector>

namespace ce {

std::u16string ComboBox::GetLBText(int index) const {
  auto length = SendMessage(CB_GETLBTEXTLEN, static_cast<WPARAM>(index));
  if (length < 0) return std::u16string();
  std::vector<char16_t> buffer(static_cast<size_t>(length) + 1);
  SendMessage(CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(buffer.data()));
  return std::u16string(buffer.data(), static_cast<size_t>(length));
}

int TabControl::InsertItem(int index, const std::u16string& text) const {
  std::u16string copy = text;
  TCITEM item;
  item.mask = TCIF_TEXT;
  item.pszText = copy.data();
  return static_cast<int>(SendMessage(TCM_INSERTITEM, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item)));
}

}  // namespace ce
