#include "zolfa/widgets/CTextHoverButton.h"

#include "platform/gdi/Gdi.h"
#include "platform/window/Focus.h"

using namespace ce;

bool CTextHoverButton::SetImage(UINT imageId) {
  strip_.Release();
  frameWidth_ = 0;
  frameHeight_ = 0;
  if (!strip_.LoadResource(imageId)) return false;
  SIZE size = strip_.Size();
  frameWidth_ = size.cx / 3;
  frameHeight_ = size.cy;
  if (Handle() != nullptr) {
    SetWindowPos(Handle(), nullptr, 0, 0, frameWidth_, frameHeight_, SWP_NOMOVE | SWP_NOZORDER);
    Invalidate(FALSE);
  }
  return true;
}

void CTextHoverButton::SetAlternate(int alternate) {
  alternate_ = alternate != 0;
  if (Handle() != nullptr) Invalidate(FALSE);
}

void CTextHoverButton::SetRepeat(int repeat) { repeat_ = repeat != 0; }

BOOL CTextHoverButton::EnableWindow(BOOL enable) {
  if (!enable) StopRepeat();
  return Button::EnableWindow(enable);
}

int CTextHoverButton::FrameToDraw(UINT itemState) const {
  if ((itemState & ODS_SELECTED) != 0) return 2;
  if (touched_ || alternate_) return 1;
  return 0;
}

void CTextHoverButton::DrawItem(DRAWITEMSTRUCT* item) {
  if (strip_.Empty() || frameWidth_ <= 0) return;
  HDC source = CreateCompatibleDC(item->hDC);
  HGDIOBJ old = SelectObject(source, strip_.Handle());
  BitBlt(item->hDC, 0, 0, frameWidth_, frameHeight_, source, FrameToDraw(item->itemState) * frameWidth_, 0, SRCCOPY);
  SelectObject(source, old);
  if ((item->itemState & ODS_FOCUS) != 0 && !overlay_.Empty()) {
    SIZE size = overlay_.Size();
    SelectObject(source, overlay_.Handle());
    RECT& rect = item->rcItem;
    TransparentBlt(item->hDC, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, source,
                   0, 0, size.cx, size.cy, kOverlayTransparent);
    SelectObject(source, old);
  }
  DeleteDC(source);
}

// The frame covers the whole button, so there is nothing to erase.
BOOL CTextHoverButton::OnEraseBkgnd(HDC) { return TRUE; }

void CTextHoverButton::OnLButtonDown(UINT, POINT) {
  touched_ = true;
  Invalidate(FALSE);
  if (repeat_) SetTimer(kRepeatDelayTimer, kRepeatDelayMs);
  Default();
}

void CTextHoverButton::OnLButtonUp(UINT, POINT) {
  EndHold();
  Default();
}

void CTextHoverButton::OnTimer(UINT_PTR id) {
  if (id == kRepeatDelayTimer) {
    KillTimer(kRepeatDelayTimer);
    SetTimer(kRepeatTimer, repeatPeriodMs_);
    return;
  }
  if (id == kRepeatTimer) {
    ce::PostMessage(GetParent(), WM_COMMAND, MakeCommandWParam(GetDlgCtrlID(), BN_CLICKED),
                    reinterpret_cast<LPARAM>(Handle()));
    Invalidate(FALSE);
    return;
  }
  Default();
}

void CTextHoverButton::OnKillFocus(HWND) {
  EndHold();
  Default();
}

void CTextHoverButton::OnCaptureChanged(HWND newCapture) {
  if (newCapture != Handle()) EndHold();
  Default();
}

void CTextHoverButton::OnCancelMode() {
  EndHold();
  Default();
}

void CTextHoverButton::OnEnable(BOOL enable) {
  if (!enable) {
    StopRepeat();
    touched_ = false;
  }
  Default();
}

void CTextHoverButton::EndHold() {
  StopRepeat();
  touched_ = false;
  Invalidate(FALSE);
}

void CTextHoverButton::StopRepeat() {
  if (Handle() == nullptr) return;
  KillTimer(kRepeatDelayTimer);
  KillTimer(kRepeatTimer);
}
