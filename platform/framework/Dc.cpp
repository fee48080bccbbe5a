#include "platform/framework/Dc.h"

namespace ce {

void Dc::FillSolidRect(const RECT& rect, COLORREF color) const {
  HBRUSH brush = CreateSolidBrush(color);
  FillRect(dc_, &rect, brush);
  DeleteObject(brush);
}

PaintDc::PaintDc(HWND window) : window_(window) { Reset(BeginPaint(window, &paint_)); }

PaintDc::~PaintDc() { EndPaint(window_, &paint_); }

ClientDc::ClientDc(HWND window) : window_(window) { Reset(GetDC(window)); }

ClientDc::~ClientDc() { ReleaseDC(window_, Handle()); }

}  // namespace ce
