#include "zolfa/playback/DisplayModeMenu.h"

#include "platform/controls/Menus.h"
#include "platform/controls/Resources.h"

namespace zolfa {

namespace {

struct Entry {
  ce::UINT command;
  const char16_t* text;
};
constexpr Entry kEntries[] = {{kCmdShowSongList, u"歌曲清單"},
                              {kCmdShowLyrics, u"歌詞模式"},
                              {kCmdShowAlbumCover, u"專輯封面"}};

bool IsDisplayModeCommand(ce::UINT command) { return DisplayModeOfCommand(command) >= 0; }

// The popup of resource 185 with only the display-mode entries left; null
// when the program has no such menu.
ce::HMENU FromResource() {
  ce::HMENU root = ce::LoadMenu(ce::GetProgramInstance(), ce::MAKEINTRESOURCE(kContextOnSongMenuId));
  if (root == nullptr) return nullptr;
  ce::HMENU popup = ce::GetSubMenu(root, 0);
  if (popup == nullptr) {
    ce::DestroyMenu(root);
    return nullptr;
  }
  ce::RemoveMenu(root, 0, ce::MF_BYPOSITION);
  ce::DestroyMenu(root);
  for (int position = ce::GetMenuItemCount(popup) - 1; position >= 0; --position) {
    if (!IsDisplayModeCommand(ce::GetMenuItemID(popup, position))) {
      ce::DeleteMenu(popup, static_cast<ce::UINT>(position), ce::MF_BYPOSITION);
    }
  }
  return popup;
}

}  // namespace

ce::HMENU BuildDisplayModeMenu(bool songList, bool lyrics, bool albumCover) {
  ce::HMENU menu = FromResource();
  if (menu == nullptr) {
    menu = ce::CreatePopupMenu();
    for (const Entry& entry : kEntries) ce::AppendMenu(menu, ce::MF_STRING, entry.command, entry.text);
  }
  const bool enabled[] = {songList, lyrics, albumCover};
  for (size_t i = 0; i < std::size(kEntries); ++i) {
    ce::EnableMenuItem(menu, kEntries[i].command,
                       ce::MF_BYCOMMAND | (enabled[i] ? ce::MF_ENABLED : ce::MF_GRAYED));
  }
  return menu;
}

int32_t DisplayModeOfCommand(ce::UINT command) {
  switch (command) {
    case kCmdShowSongList:
      return kDisplaySongList;
    case kCmdShowLyrics:
      return kDisplayLyrics;
    case kCmdShowAlbumCover:
      return kDisplayAlbumCover;
    default:
      return -1;
  }
}

}  // namespace zolfa
