// The lyrics view without its window: the rows, which of them are
// highlighted or counting down as the position advances, the layout of the
// rows in a scrolling area and how each row is drawn. The lyrics control
// draws what this model describes.
//
// Rows are kLineHeight pixels high. The highlighted row is kept in view:
// every paint moves the scroll position so that the two rows after it show
// at the bottom, or so that it comes to the top when it lies above.
//
// Runs on the user interface thread only.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "zolfa/playback/LyricsLine.h"

namespace zolfa {

// The scroll requests of a vertical scroll bar, as the platform numbers them.
enum class LyricsScroll : int {
  kLineUp = 0,
  kLineDown = 1,
  kPageUp = 2,
  kPageDown = 3,
  kThumbPosition = 4,
  kThumbTrack = 5,
  kTop = 6,
  kBottom = 7,
  kEndScroll = 8,
};

// How one row is drawn.
struct LyricsRowStyle {
  enum class Background { kWhite, kShaded, kStrip };
  enum class Text { kBlack, kOutlinedWhite, kWhite };
  Background background = Background::kWhite;
  int32_t stripType = 0;  // the highlight strip's column, for kStrip
  Text text = Text::kBlack;
};

class LyricsModel {
 public:
  static constexpr int kLineHeight = 20;
  static constexpr int kScrollBarWidth = 15;

  // Replaces every row with those of text (multibyte; empty clears them),
  // for a client area clientWidth pixels wide, and lays them out again.
  void SetLyrics(std::string_view text, int clientWidth);
  // Updates highlights and countdowns for the position (seconds; negative
  // counts as 0). True when a row changed and the view must be drawn again.
  bool SetPosition(int32_t seconds);
  // Lays the rows out in a client area of this size, reading them again
  // from the kept text (scroll position and highlights start over).
  void Resize(int clientWidth, int clientHeight);
  // Moves the scroll position as the scroll bar asks (thumb is the thumb's
  // position for the thumb requests). The caller paints afterwards.
  void Scroll(LyricsScroll request, int thumb);
  // The step of every paint: brings the highlighted row into view.
  void FollowHighlight();

  const std::vector<LyricsLine>& Lines() const { return lines_; }
  bool HasLines() const { return !lines_.empty(); }
  const std::string& Text() const { return text_; }
  int HighlightIndex() const { return highlightIndex_; }

  // Layout.
  int ScrollPosition() const { return scrollPosition_; }
  int VisibleHeight() const { return visibleHeight_; }
  int ContentHeight() const { return static_cast<int>(lines_.size()) * kLineHeight; }
  bool ScrollBarShown() const { return scrollBarShown_; }
  // The width the rows are drawn in: the client width less the scroll bar.
  int DrawWidth() const { return drawWidth_; }
  // The off-screen image: a whole number of visible pages, at least one.
  int ImageHeight() const { return imageHeight_; }
  int LinesPerPage() const { return visibleHeight_ / kLineHeight; }

  // How the row at index is drawn; rows past the last line are plain.
  LyricsRowStyle RowStyle(size_t index) const;

 private:
  void Layout();
  void ResetHighlights();

  std::vector<LyricsLine> lines_;
  // The whole text, read again on a resize. Kept whole, of any length.
  std::string text_;
  int highlightIndex_ = -1;
  int scrollPosition_ = 0;
  int clientWidth_ = 0;
  int clientHeight_ = 0;
  int visibleHeight_ = 0;
  int drawWidth_ = 0;
  int imageHeight_ = 0;
  bool scrollBarShown_ = false;
};

}  // namespace zolfa
