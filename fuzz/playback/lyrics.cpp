// Arbitrary timed-lyrics bytes through the reader and the view model.
//
// Input: byte 0 chooses the client width (240 or not) and height, byte 1 a
// position; the rest is the lyrics text. The rows must respect their
// limits, each split must join back into the text it came from, and
// positions, resizes and scrolling must keep the view's numbers in range.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "zolfa/playback/LyricsModel.h"
#include "zolfa/playback/LyricsParser.h"

namespace {

void Check(bool ok) {
  if (!ok) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace zolfa;
  if (size < 2) return 0;
  const int width = data[0] % 2 == 0 ? kNarrowClientWidth : 100 + data[0];
  const int height = (data[0] >> 1) % 7 * 40;
  const int position = static_cast<int8_t>(data[1]);
  const std::string_view text(reinterpret_cast<const char*>(data + 2), size - 2);

  const size_t wrap = LyricsWrapBytes(width);
  std::vector<LyricsLine> lines = ParseLyrics(text, wrap);
  Check(lines.size() <= kMaxLyricsLines + 1);
  for (const LyricsLine& line : lines) {
    Check(line.text.size() <= kMaxLyricsTextBytes);
    Check(line.highlighted == 0 && line.countdown == -1);
  }

  LyricsModel model;
  model.Resize(width, height);
  model.SetLyrics(text, width);
  Check(model.Lines().size() == lines.size());
  for (int now = position; now < position + 8; ++now) {
    model.SetPosition(now);
    const int index = model.HighlightIndex();
    Check(index >= -1 && index < static_cast<int>(model.Lines().size()));
    model.FollowHighlight();
    for (size_t row = 0; row < model.Lines().size() + 2; ++row) model.RowStyle(row);
  }
  Check(model.ImageHeight() >= model.VisibleHeight());
  Check(model.ImageHeight() >= model.ContentHeight() || model.VisibleHeight() == 0);
  model.Scroll(LyricsScroll::kPageDown, 0);
  model.Scroll(LyricsScroll::kLineDown, 0);
  Check(model.ScrollPosition() >= 0);
  Check(model.ScrollPosition() <= std::max(model.ContentHeight() - model.VisibleHeight(), 0));
  model.Resize(width == kNarrowClientWidth ? 320 : kNarrowClientWidth, height + 20);
  Check(model.Text() == text);
  Check(model.ScrollPosition() == 0 && model.HighlightIndex() == -1);
  return 0;
}
