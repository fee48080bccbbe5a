// The lyrics view: a scrolling list of rows of timed lyrics in which the
// sung row is highlighted with its type's strip and outlined white text and
// kept in view. The rows, highlights and scrolling are LyricsModel's; this
// control draws them.
//
// Drawing goes through two off-screen images: the content image holds every
// row (a whole number of visible pages), and the back buffer the visible
// part of it, which the paint message copies to the screen.
//
// Runs on the user interface thread only.
#pragma once

#include <functional>
#include <string_view>

#include "platform/framework/Bitmap.h"
#include "platform/framework/Window.h"
#include "zolfa/playback/LyricsModel.h"

class CLyricsCtrl : public ce::Window {
 public:
  static constexpr int kVerticalScrollBarId = 28672;
  static constexpr int kHorizontalScrollBarId = 28673;
  // The highlight strip: one column 20 pixels high per line type.
  static constexpr ce::UINT kStripImageId = 178;
  static constexpr int kTextLeft = 6;
  static constexpr int kFontPointTenths = 95;
  static constexpr ce::COLORREF kShadedRowColor = ce::RGB(247, 247, 239);

  CLyricsCtrl() = default;
  ~CLyricsCtrl() override;

  bool Create(ce::HWND parent, const ce::RECT& rect, int id);

  // Replaces every row with those of text (multibyte, the system code
  // page); an empty text clears them. Redraws.
  void SetLyrics(std::string_view text);
  // Updates highlights and scrolling for the position in seconds.
  void SetPosition(int seconds);
  bool HasLines() const { return model_.HasLines(); }

  // Called with the screen point of a tap-and-hold on the view.
  void SetHoldHandler(std::function<void(ce::POINT)> handler) { holdHandler_ = std::move(handler); }

  const zolfa::LyricsModel& Model() const { return model_; }
  // The picture the next paint copies to the screen.
  const ce::Bitmap& BackBuffer() const { return backBuffer_; }

 protected:
  int OnCreate(ce::CREATESTRUCT* create) override;
  void OnDestroy() override;
  void OnPaint() override;
  ce::BOOL OnEraseBkgnd(ce::HDC dc) override;
  void OnSize(ce::UINT type, int width, int height) override;
  void OnVScroll(ce::UINT code, ce::UINT pos, ce::HWND scrollBar) override;
  void OnLButtonDown(ce::UINT flags, ce::POINT point) override;

 private:
  // Makes the images and the scroll bar fit the model's layout.
  void ApplyLayout();
  // Draws every row into the content image.
  void Render();
  void DrawRow(ce::HDC dc, size_t index, int top);
  // Brings the highlighted row into view, copies the visible part of the
  // content image into the back buffer and invalidates the control.
  void Paint();
  void ReleaseResources();

  zolfa::LyricsModel model_;
  ce::HFONT font_ = nullptr;
  ce::HBRUSH whiteBrush_ = nullptr;
  ce::HBRUSH shadedBrush_ = nullptr;
  ce::Bitmap strip_;
  ce::Bitmap content_;
  ce::Bitmap backBuffer_;
  ce::HWND verticalBar_ = nullptr;
  ce::HWND horizontalBar_ = nullptr;
  std::function<void(ce::POINT)> holdHandler_;
};
