#include "zolfa/playback/CDlgLyrics.h"

using namespace ce;

CDlgLyrics::CDlgLyrics(Window* parent) : Dialog(kTemplateId, parent) {}

BOOL CDlgLyrics::OnInitDialog() {
  lyrics_.Create(Handle(), GetClientRect(), kLyricsCtrlId);
  return TRUE;
}

void CDlgLyrics::OnSize(UINT type, int width, int height) {
  Dialog::OnSize(type, width, height);
  if (lyrics_.Handle() != nullptr) lyrics_.MoveWindow(0, 0, width, height);
}

void CDlgLyrics::SetLyrics(std::string_view text) { lyrics_.SetLyrics(text); }

void CDlgLyrics::SetPosition(int seconds) { lyrics_.SetPosition(seconds); }
