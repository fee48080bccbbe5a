// An owner-drawn push button that shows one frame of an image strip by its
// state, and can repeat its click while it is held.
//
// The strip holds three frames of equal width side by side: 0 normal, 1
// touched (or the alternate look, such as muted), 2 pressed. In repeat mode
// a held button sends its parent a click after kRepeatDelayMs and then every
// repeat period, besides the ordinary click on release.
#pragma once

#include "platform/framework/Bitmap.h"
#include "platform/framework/Button.h"

class CTextHoverButton : public ce::Button {
 public:
  // Timer ids of the repeat: the first delay, then the repeating period.
  static constexpr ce::UINT_PTR kRepeatDelayTimer = 4659;
  static constexpr ce::UINT_PTR kRepeatTimer = 4660;
  static constexpr ce::UINT kRepeatDelayMs = 1000;
  static constexpr ce::UINT kDefaultRepeatPeriodMs = 100;
  // The colour of the focus overlay that lets the frame show through.
  static constexpr ce::COLORREF kOverlayTransparent = 0x00FF00FF;

  // Loads the strip from an image resource and makes the button one frame
  // large (position kept). A missing image leaves an empty strip: the button
  // then draws nothing and keeps its size. Returns whether it loaded.
  bool SetImage(ce::UINT imageId);
  void SetAlternate(int alternate);
  void SetRepeat(int repeat);
  // Disabling a repeating button stops its repeat first.
  ce::BOOL EnableWindow(ce::BOOL enable);

  int FrameWidth() const { return frameWidth_; }
  int FrameHeight() const { return frameHeight_; }
  bool Touched() const { return touched_; }

 protected:
  void DrawItem(ce::DRAWITEMSTRUCT* item) override;
  ce::BOOL OnEraseBkgnd(ce::HDC dc) override;
  void OnLButtonDown(ce::UINT flags, ce::POINT point) override;
  void OnLButtonUp(ce::UINT flags, ce::POINT point) override;
  void OnTimer(ce::UINT_PTR id) override;
  void OnKillFocus(ce::HWND next) override;
  void OnCaptureChanged(ce::HWND newCapture) override;
  void OnCancelMode() override;
  void OnEnable(ce::BOOL enable) override;

 private:
  void StopRepeat();
  // The hold ended, by the stylus coming up or without a release reaching
  // the button (focus or capture taken, a modal state): the repeat stops and
  // the touched look goes.
  void EndHold();
  int FrameToDraw(ce::UINT itemState) const;

  ce::Bitmap strip_;
  ce::Bitmap overlay_;  // drawn over the focused button; none in this program
  int frameWidth_ = 0;
  int frameHeight_ = 0;
  bool alternate_ = false;
  bool touched_ = false;
  bool repeat_ = false;
  ce::UINT repeatPeriodMs_ = kDefaultRepeatPeriodMs;
};
