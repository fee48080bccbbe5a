#include "zolfa/playback/LyricsModel.h"

#include <algorithm>

#include "zolfa/playback/LyricsParser.h"

namespace zolfa {

namespace {

// A countdown line counts down from this many seconds before its start.
constexpr int32_t kCountdownSeconds = 5;

}  // namespace

void LyricsModel::SetLyrics(std::string_view text, int clientWidth) {
  lines_.clear();
  scrollPosition_ = 0;
  highlightIndex_ = -1;
  text_.assign(text);
  clientWidth_ = clientWidth;
  lines_ = ParseLyrics(text_, LyricsWrapBytes(clientWidth_));
  ResetHighlights();
  Layout();
}

void LyricsModel::Resize(int clientWidth, int clientHeight) {
  clientWidth_ = clientWidth;
  clientHeight_ = clientHeight;
  if (!text_.empty()) {
    // The rows are read again from the whole kept text, however long, as a
    // new text would be.
    lines_ = ParseLyrics(text_, LyricsWrapBytes(clientWidth_));
    scrollPosition_ = 0;
    highlightIndex_ = -1;
    ResetHighlights();
  }
  Layout();
}

void LyricsModel::ResetHighlights() {
  for (LyricsLine& line : lines_) {
    line.highlighted = 0;
    line.countdown = -1;
  }
}

void LyricsModel::Layout() {
  visibleHeight_ = std::max(clientHeight_, 0);
  const int content = ContentHeight();
  scrollBarShown_ = content >= visibleHeight_;
  drawWidth_ = std::max(clientWidth_ - (scrollBarShown_ ? kScrollBarWidth : 0), 0);
  int pages = 1;
  if (visibleHeight_ > 0) pages = std::max(1, (content + visibleHeight_ - 1) / visibleHeight_);
  imageHeight_ = pages * visibleHeight_;
}

bool LyricsModel::SetPosition(int32_t seconds) {
  const int32_t now = std::max(seconds, 0);
  highlightIndex_ = -1;
  bool changed = false;
  for (size_t i = 0; i < lines_.size(); ++i) {
    LyricsLine& line = lines_[i];
    const int index = static_cast<int>(i);
    if (line.countdownLine && line.start - kCountdownSeconds <= now && now < line.start) {
      line.countdown = line.start - now;
      highlightIndex_ = std::max(highlightIndex_, index);
      changed = true;
      continue;
    }
    int32_t highlight;
    if (line.start == line.end && now == line.end && line.end != 0) {
      highlight = 1;
    } else if (now < line.start) {
      highlight = 0;
    } else {
      highlight = now < line.end ? 1 : 0;
    }
    if (highlight == 1) highlightIndex_ = std::max(highlightIndex_, index);
    if (highlight != line.highlighted) changed = true;
    line.highlighted = highlight;
    line.countdown = -1;
  }
  return changed;
}

void LyricsModel::FollowHighlight() {
  if (highlightIndex_ == -1) return;
  const int g = kLineHeight * (highlightIndex_ + 2);
  if (g <= 0) return;
  if (g > scrollPosition_ + visibleHeight_ - kLineHeight) {
    scrollPosition_ = g + kLineHeight - visibleHeight_;
  } else if (kLineHeight * highlightIndex_ <= scrollPosition_) {
    scrollPosition_ = kLineHeight * highlightIndex_;
  }
}

void LyricsModel::Scroll(LyricsScroll request, int thumb) {
  const int limit = std::max(ContentHeight() - visibleHeight_, 0);
  int position = scrollPosition_;
  switch (request) {
    case LyricsScroll::kLineUp:
      position -= kLineHeight;
      break;
    case LyricsScroll::kLineDown:
      position += kLineHeight;
      break;
    case LyricsScroll::kPageUp:
      position -= visibleHeight_;
      break;
    case LyricsScroll::kPageDown:
      position += visibleHeight_;
      break;
    case LyricsScroll::kThumbPosition:
    case LyricsScroll::kThumbTrack:
      scrollPosition_ = thumb;
      return;
    default:
      return;
  }
  scrollPosition_ = std::clamp(position, 0, limit);
}

LyricsRowStyle LyricsModel::RowStyle(size_t index) const {
  LyricsRowStyle style;
  style.background =
      index % 2 == 0 ? LyricsRowStyle::Background::kWhite : LyricsRowStyle::Background::kShaded;
  if (index >= lines_.size()) return style;
  const LyricsLine& line = lines_[index];
  if (line.text.empty()) return style;
  if (line.highlighted != 0) {
    style.background = LyricsRowStyle::Background::kStrip;
    style.stripType = line.type;
    style.text = LyricsRowStyle::Text::kOutlinedWhite;
  } else if (line.countdown >= 0) {
    style.text = LyricsRowStyle::Text::kWhite;
  }
  return style;
}

}  // namespace zolfa
