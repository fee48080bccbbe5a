#include "platform/host/detail/ListTargets.h"

#include <algorithm>

#include "platform/base/CodePage.h"
#include "platform/controls/CommonControls.h"
#include "platform/controls/ListView.h"
#include "platform/controls/VisibleControls.h"
#include "platform/host/TranscriptLines.h"
#include "platform/host/detail/WindowNames.h"
#include "platform/window/Window.h"

namespace ce::detail {

namespace {

// The longest text of one entry read back for a dump, in UTF-16 units.
constexpr int kEntryTextUnits = 512;

bool IsListView(HWND window) {
  char16_t name[32] = {};
  GetClassName(window, name, 32);
  return std::u16string(name) == WC_LISTVIEW;
}

bool ShowsIcons(HWND list) {
  DWORD view = static_cast<DWORD>(GetWindowLong(list, GWL_STYLE)) & LVS_TYPEMASK;
  return view == LVS_ICON || view == LVS_SMALLICON;
}

int EntryCount(HWND list) { return static_cast<int>(SendMessage(list, LVM_GETITEMCOUNT, 0, 0)); }

// The entry's rectangle on the screen; false when the list cannot say.
bool EntryScreenRect(HWND list, int index, RECT* rect) {
  RECT item{};
  item.left = LVIR_BOUNDS;
  if (SendMessage(list, LVM_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item)) == 0) {
    return false;
  }
  POINT topLeft{item.left, item.top};
  ClientToScreen(list, &topLeft);
  *rect = RECT{topLeft.x, topLeft.y, topLeft.x + (item.right - item.left), topLeft.y + (item.bottom - item.top)};
  return true;
}

// What is seen of the list's client area on the screen.
RECT VisibleClient(HWND list, const RECT& visible) {
  RECT client{};
  GetClientRect(list, &client);
  POINT origin{0, 0};
  ClientToScreen(list, &origin);
  RECT onScreen{origin.x, origin.y, origin.x + client.right, origin.y + client.bottom};
  RECT seen{};
  IntersectRect(&seen, &onScreen, &visible);
  return seen;
}

std::u16string EntryText(HWND list, int index, int column) {
  char16_t buffer[kEntryTextUnits] = {};
  LVITEM item;
  item.iSubItem = column;
  item.pszText = buffer;
  item.cchTextMax = kEntryTextUnits;
  SendMessage(list, LVM_GETITEMTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
  return std::u16string(buffer);
}

int ColumnCount(HWND list) {
  int count = 0;
  LVCOLUMN column;
  while (count < 64 &&
         SendMessage(list, LVM_GETCOLUMN, static_cast<WPARAM>(count), reinterpret_cast<LPARAM>(&column)) != 0) {
    ++count;
  }
  return std::max(1, count);
}

std::string ListLabel(HWND list) {
  std::u16string name;
  std::string dialog = NearestTemplateDialog(GetParent(list), &name) != nullptr ? ToUtf8(name) : "?";
  return dialog + "/" + std::to_string(GetDlgCtrlID(list));
}

}  // namespace

bool ListHasEntry(HWND list, ScriptTarget::Part part, int index, std::string* reason) {
  const char* noun = part == ScriptTarget::Part::kRow ? "row" : "item";
  const std::string id = std::to_string(GetDlgCtrlID(list));
  if (!IsListView(list)) {
    *reason = "control " + id + " is not a list";
    return false;
  }
  if (ShowsIcons(list) != (part == ScriptTarget::Part::kItem)) {
    *reason = "list " + id + (ShowsIcons(list) ? " shows icons: name an item" : " shows rows: name a row");
    return false;
  }
  int count = EntryCount(list);
  if (index >= count) {
    *reason = "list " + id + " has no " + noun + " " + std::to_string(index) + " (it has " + std::to_string(count) +
              ")";
    return false;
  }
  return true;
}

bool ListItemPoint(HWND list, ScriptTarget::Part part, int index, const RECT& visible, const std::string& id,
                   POINT* point, std::string* reason) {
  const char* noun = part == ScriptTarget::Part::kRow ? "row" : "item";
  if (!ListHasEntry(list, part, index, reason)) return false;
  RECT entry{};
  RECT seen{};
  RECT client = VisibleClient(list, visible);
  if (!EntryScreenRect(list, index, &entry) || !IntersectRect(&seen, &entry, &client)) {
    *reason = std::string(noun) + " " + std::to_string(index) + " of list " + id + " is not on the screen";
    return false;
  }
  *point = POINT{(seen.left + seen.right) / 2, (seen.top + seen.bottom) / 2};
  return true;
}

std::vector<std::string> VisibleListLines(HWND topLevel) {
  std::vector<std::string> lines;
  for (const VisibleControl& control : ListVisibleControls(topLevel)) {
    if (control.window == topLevel || !IsListView(control.window)) continue;
    HWND list = control.window;
    RECT client = VisibleClient(list, control.screenRect);
    if (IsRectEmpty(&client)) continue;
    const char* noun = ShowsIcons(list) ? "item " : "row ";
    const std::string label = ListLabel(list);
    const int columns = ShowsIcons(list) ? 1 : ColumnCount(list);
    const int count = EntryCount(list);
    for (int index = 0; index < count; ++index) {
      RECT entry{};
      RECT seen{};
      if (!EntryScreenRect(list, index, &entry) || !IntersectRect(&seen, &entry, &client)) continue;
      std::string line = noun + label + " " + std::to_string(index);
      for (int column = 0; column < columns; ++column) line += " " + QuoteForTranscript(EntryText(list, index, column));
      UINT state = static_cast<UINT>(SendMessage(list, LVM_GETITEMSTATE, static_cast<WPARAM>(index), LVIS_SELECTED));
      if ((state & LVIS_SELECTED) != 0) line += " selected";
      lines.push_back(line);
    }
  }
  return lines;
}

}  // namespace ce::detail
