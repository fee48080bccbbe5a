#include "zolfa/playback/CDlgAlbumCover.h"

#include <string>

#include "platform/controls/Menus.h"
#include "platform/controls/Resources.h"
#include "platform/framework/Dc.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/Image.h"
#include "platform/shell/Gesture.h"
#include "zolfa/playback/CoverPlacement.h"
#include "zolfa/playback/DisplayModeMenu.h"
#include "zolfa/playback/IAlbumCoverSink.h"
#include "zolfa/widgets/CMemDC.h"

using namespace ce;

CDlgAlbumCover::CDlgAlbumCover(Window* parent) : Dialog(kTemplateId, parent) {}

CDlgAlbumCover::~CDlgAlbumCover() {
  ReleasePicture();
  if (memoryDc_ != nullptr) DeleteDC(memoryDc_);
}

BOOL CDlgAlbumCover::OnInitDialog() {
  if (HWND caption = GetDlgItem(kCaptionId)) ce::ShowWindow(caption, SW_HIDE);
  return TRUE;
}

void CDlgAlbumCover::ReleasePicture() {
  if (memoryDc_ != nullptr && oldBitmap_ != nullptr) SelectObject(memoryDc_, oldBitmap_);
  oldBitmap_ = nullptr;
  if (picture_ != nullptr) DeleteObject(picture_);
  picture_ = nullptr;
  size_ = SIZE{0, 0};
  hasPicture_ = false;
}

bool CDlgAlbumCover::LoadDefault() {
  picture_ = SHLoadImageResource(GetProgramInstance(), kDefaultCoverImageId);
  return picture_ != nullptr;
}

void CDlgAlbumCover::SetCover(std::u16string_view source) {
  ReleasePicture();
  if (source == zolfa::kDefaultCover || source == zolfa::kDefaultCoverAlias) {
    LoadDefault();
  } else {
    const std::u16string path(source);
    picture_ = SHLoadImageFile(path.c_str());
    if (picture_ == nullptr) LoadDefault();
  }
  if (picture_ == nullptr) return;
  if (memoryDc_ == nullptr) memoryDc_ = CreateCompatibleDC(nullptr);
  oldBitmap_ = SelectObject(memoryDc_, picture_);
  BITMAP info{};
  GetObject(picture_, sizeof info, &info);
  size_ = SIZE{info.bmWidth, info.bmHeight};
  hasPicture_ = true;
}

void CDlgAlbumCover::Draw(HDC dc) const {
  const RECT client = GetClientRect();
  Dc target(dc);
  target.FillSolidRect(client, RGB(255, 255, 255));
  if (!hasPicture_) return;
  const zolfa::CoverRect place = zolfa::PlaceCover(client.right, client.bottom, size_.cx, size_.cy);
  target.StretchBlt(place.left, place.top, place.width, place.height, memoryDc_, 0, 0, size_.cx,
                    size_.cy, SRCCOPY);
}

void CDlgAlbumCover::OnPaint() {
  PaintDc paint(Handle());
  CMemDC memory(paint, GetClientRect());
  Draw(memory);
}

BOOL CDlgAlbumCover::OnEraseBkgnd(HDC) { return TRUE; }

void CDlgAlbumCover::OnLButtonDown(UINT flags, POINT point) {
  SHRGINFO gesture;
  gesture.hwndClient = Handle();
  gesture.ptDown = point;
  gesture.dwFlags = SHRG_RETURNCMD;
  if (SHRecognizeGesture(&gesture) == GN_CONTEXTMENU) {
    POINT screen = point;
    ClientToScreen(Handle(), &screen);
    ShowContextMenu(screen);
    return;
  }
  Dialog::OnLButtonDown(flags, point);
}

void CDlgAlbumCover::ShowContextMenu(POINT screenPoint) {
  const bool lyrics = lyricsHaveLines_ && lyricsHaveLines_();
  HMENU menu = zolfa::BuildDisplayModeMenu(true, lyrics, false);
  // The chosen command comes back as WM_COMMAND (OnCommand).
  TrackPopupMenu(menu, TPM_LEFTALIGN | TPM_TOPALIGN, screenPoint.x, screenPoint.y, 0, Handle(),
                 nullptr);
  DestroyMenu(menu);
}

BOOL CDlgAlbumCover::OnCommand(WPARAM wParam, LPARAM lParam) {
  const int32_t mode = zolfa::DisplayModeOfCommand(LOWORD(wParam));
  if (mode < 0) return Dialog::OnCommand(wParam, lParam);
  if (displayModeHandler_) displayModeHandler_(mode);
  return TRUE;
}
