#include "zolfa/playback/CDlgLyrics.h"

#include "platform/controls/Menus.h"
#include "zolfa/playback/DisplayModeMenu.h"

using namespace ce;

CDlgLyrics::CDlgLyrics(Window* parent) : Dialog(kTemplateId, parent) {}

BOOL CDlgLyrics::OnInitDialog() {
  lyrics_.Create(Handle(), GetClientRect(), kLyricsCtrlId);
  lyrics_.SetHoldHandler([this](POINT screen) { ShowContextMenu(screen); });
  return TRUE;
}

void CDlgLyrics::OnSize(UINT type, int width, int height) {
  Dialog::OnSize(type, width, height);
  if (lyrics_.Handle() != nullptr) lyrics_.MoveWindow(0, 0, width, height);
}

void CDlgLyrics::SetLyrics(std::string_view text) { lyrics_.SetLyrics(text); }

void CDlgLyrics::SetPosition(int seconds) { lyrics_.SetPosition(seconds); }

void CDlgLyrics::ShowContextMenu(POINT screenPoint) {
  HMENU menu = zolfa::BuildDisplayModeMenu(true, false, true);
  // The chosen command comes back as WM_COMMAND (OnCommand).
  TrackPopupMenu(menu, TPM_LEFTALIGN | TPM_TOPALIGN, screenPoint.x, screenPoint.y, 0, Handle(),
                 nullptr);
  DestroyMenu(menu);
}

BOOL CDlgLyrics::OnCommand(WPARAM wParam, LPARAM lParam) {
  const int32_t mode = zolfa::DisplayModeOfCommand(LOWORD(wParam));
  if (mode < 0) return Dialog::OnCommand(wParam, lParam);
  if (displayModeHandler_) displayModeHandler_(mode);
  return TRUE;
}
