// The values and the geometry of one scroll bar: shared by the scroll bar
// control and by the controls that draw a bar of their own (list views).
#pragma once

#include "platform/controls/ScrollBar.h"
#include "platform/gdi/GdiTypes.h"

namespace ce::detail {

class ScrollBarModel {
 public:
  enum class Part { kNone, kLineUp, kPageUp, kThumb, kPageDown, kLineDown };

  explicit ScrollBarModel(bool vertical = true) : vertical_(vertical) {}

  void SetVertical(bool vertical) { vertical_ = vertical; }
  bool Vertical() const { return vertical_; }
  // Applies the fields named by info->fMask; returns the new position.
  int Set(const SCROLLINFO& info);
  void Get(SCROLLINFO* info) const;
  int Pos() const { return pos_; }
  int SetPos(int pos);
  // The largest position: max - page + 1 with a page, else max.
  int MaxPos() const;
  int Min() const { return min_; }
  UINT Page() const { return page_; }

  Part HitTest(const RECT& bar, POINT point) const;
  RECT ThumbRect(const RECT& bar) const;
  // The position whose thumb starts at the given offset along the track.
  int PosAtThumbOffset(const RECT& bar, int offset) const;
  void Draw(HDC dc, const RECT& bar, bool enabled) const;

  // Thumb dragging.
  void BeginDrag(const RECT& bar, POINT point);
  int DragTo(const RECT& bar, POINT point);  // returns the track position
  bool Dragging() const { return dragging_; }
  void EndDrag() { dragging_ = false; }
  int TrackPos() const { return trackPos_; }

 private:
  int Length(const RECT& bar) const;
  int Thickness(const RECT& bar) const;
  int ThumbLength(const RECT& bar) const;

  bool vertical_;
  int min_ = 0;
  int max_ = 100;
  UINT page_ = 0;
  int pos_ = 0;
  int trackPos_ = 0;
  bool dragging_ = false;
  int dragOffset_ = 0;  // stylus offset inside the thumb, pixels
};

}  // namespace ce::detail
