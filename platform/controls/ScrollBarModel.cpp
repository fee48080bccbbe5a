#include "platform/controls/detail/ScrollBarModel.h"

#include <algorithm>

#include "platform/controls/detail/ControlSupport.h"

namespace ce::detail {

int ScrollBarModel::Set(const SCROLLINFO& info) {
  if ((info.fMask & SIF_RANGE) != 0) {
    min_ = info.nMin;
    max_ = std::max(info.nMin, info.nMax);
  }
  if ((info.fMask & SIF_PAGE) != 0) {
    long long range = static_cast<long long>(max_) - min_ + 1;
    page_ = static_cast<UINT>(std::min<long long>(info.nPage, range));
  }
  if ((info.fMask & SIF_POS) != 0) pos_ = info.nPos;
  pos_ = ClampInt(pos_, min_, MaxPos());
  return pos_;
}

void ScrollBarModel::Get(SCROLLINFO* info) const {
  if ((info->fMask & SIF_RANGE) != 0) {
    info->nMin = min_;
    info->nMax = max_;
  }
  if ((info->fMask & SIF_PAGE) != 0) info->nPage = page_;
  if ((info->fMask & SIF_POS) != 0) info->nPos = pos_;
  if ((info->fMask & SIF_TRACKPOS) != 0) info->nTrackPos = dragging_ ? trackPos_ : pos_;
}

int ScrollBarModel::SetPos(int pos) {
  pos_ = ClampInt(pos, min_, MaxPos());
  return pos_;
}

int ScrollBarModel::MaxPos() const {
  if (page_ == 0) return max_;
  return std::max(min_, static_cast<int>(static_cast<long long>(max_) - page_ + 1));
}

int ScrollBarModel::Length(const RECT& bar) const {
  return vertical_ ? bar.bottom - bar.top : bar.right - bar.left;
}

int ScrollBarModel::Thickness(const RECT& bar) const {
  return vertical_ ? bar.right - bar.left : bar.bottom - bar.top;
}

int ScrollBarModel::ThumbLength(const RECT& bar) const {
  int track = Length(bar) - 2 * Thickness(bar);
  if (track <= 0) return 0;
  long long range = static_cast<long long>(max_) - min_ + 1;
  int length = page_ == 0 ? Thickness(bar) : static_cast<int>(track * static_cast<long long>(page_) / std::max(1LL, range));
  return std::clamp(length, std::min(8, track), track);
}

RECT ScrollBarModel::ThumbRect(const RECT& bar) const {
  int arrow = Thickness(bar);
  int track = Length(bar) - 2 * arrow;
  int thumb = ThumbLength(bar);
  int span = MaxPos() - min_;
  int offset = span <= 0 ? 0 : static_cast<int>(static_cast<long long>(track - thumb) * ((dragging_ ? trackPos_ : pos_) - min_) / span);
  if (vertical_) return RECT{bar.left, bar.top + arrow + offset, bar.right, bar.top + arrow + offset + thumb};
  return RECT{bar.left + arrow + offset, bar.top, bar.left + arrow + offset + thumb, bar.bottom};
}

int ScrollBarModel::PosAtThumbOffset(const RECT& bar, int offset) const {
  int track = Length(bar) - 2 * Thickness(bar) - ThumbLength(bar);
  int span = MaxPos() - min_;
  if (track <= 0 || span <= 0) return min_;
  return ClampInt(min_ + (static_cast<long long>(offset) * span + track / 2) / track, min_, MaxPos());
}

ScrollBarModel::Part ScrollBarModel::HitTest(const RECT& bar, POINT point) const {
  if (!PtInRect(&bar, point)) return Part::kNone;
  int along = vertical_ ? point.y - bar.top : point.x - bar.left;
  int arrow = Thickness(bar);
  if (along < arrow) return Part::kLineUp;
  if (along >= Length(bar) - arrow) return Part::kLineDown;
  RECT thumb = ThumbRect(bar);
  int thumbStart = vertical_ ? thumb.top - bar.top : thumb.left - bar.left;
  int thumbEnd = vertical_ ? thumb.bottom - bar.top : thumb.right - bar.left;
  if (along < thumbStart) return Part::kPageUp;
  if (along >= thumbEnd) return Part::kPageDown;
  return Part::kThumb;
}

void ScrollBarModel::BeginDrag(const RECT& bar, POINT point) {
  RECT thumb = ThumbRect(bar);
  dragging_ = true;
  trackPos_ = pos_;
  dragOffset_ = vertical_ ? point.y - thumb.top : point.x - thumb.left;
}

int ScrollBarModel::DragTo(const RECT& bar, POINT point) {
  int arrow = Thickness(bar);
  int offset = (vertical_ ? point.y - bar.top : point.x - bar.left) - arrow - dragOffset_;
  bool wasDragging = dragging_;
  dragging_ = false;
  trackPos_ = PosAtThumbOffset(bar, offset);
  dragging_ = wasDragging;
  return trackPos_;
}

void ScrollBarModel::Draw(HDC dc, const RECT& bar, bool enabled) const {
  FillSolid(dc, bar, GetSysColor(COLOR_SCROLLBAR));
  int arrow = Thickness(bar);
  RECT first = vertical_ ? RECT{bar.left, bar.top, bar.right, bar.top + arrow}
                         : RECT{bar.left, bar.top, bar.left + arrow, bar.bottom};
  RECT last = vertical_ ? RECT{bar.left, bar.bottom - arrow, bar.right, bar.bottom}
                        : RECT{bar.right - arrow, bar.top, bar.right, bar.bottom};
  COLORREF face = GetSysColor(COLOR_BTNFACE);
  COLORREF ink = enabled ? GetSysColor(COLOR_BTNTEXT) : GetSysColor(COLOR_GRAYTEXT);
  for (int which = 0; which < 2; ++which) {
    const RECT& box = which == 0 ? first : last;
    FillSolid(dc, box, face);
    FrameSolid(dc, box, GetSysColor(COLOR_BTNSHADOW));
    // A small triangle pointing away from the track.
    int cx = (box.left + box.right) / 2;
    int cy = (box.top + box.bottom) / 2;
    for (int i = 0; i < 4; ++i) {
      int d = which == 0 ? i - 2 : 1 - i;
      RECT line = vertical_ ? RECT{cx - i, cy + d, cx + i + 1, cy + d + 1}
                            : RECT{cx + d, cy - i, cx + d + 1, cy + i + 1};
      FillSolid(dc, line, ink);
    }
  }
  if (enabled && MaxPos() > min_) {
    RECT thumb = ThumbRect(bar);
    FillSolid(dc, thumb, face);
    FrameSolid(dc, thumb, GetSysColor(COLOR_BTNSHADOW));
  }
}

}  // namespace ce::detail
