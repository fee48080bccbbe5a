// The album-cover screen (template 155): the cover of the playing song,
// drawn centred on white at its own size, or as a square of the smaller
// side of the screen when it does not fit (PlaceCover).
//
// Runs on the user interface thread only.
#pragma once

#include <cstdint>
#include <functional>
#include <string_view>

#include "platform/framework/Bitmap.h"
#include "platform/framework/Dialog.h"

class CDlgAlbumCover : public ce::Dialog {
 public:
  static constexpr ce::UINT kTemplateId = 155;
  static constexpr int kCaptionId = 1000;  // the static "專輯封面", hidden
  static constexpr ce::UINT kDefaultCoverImageId = 222;

  explicit CDlgAlbumCover(ce::Window* parent = nullptr);
  ~CDlgAlbumCover() override;

  // "res://1" and "res://2" show the default cover; any other source is
  // loaded as a picture file, and the default cover shows when it cannot
  // be. The screen repaints on its next paint.
  void SetCover(std::u16string_view source);
  bool HasPicture() const { return hasPicture_; }
  ce::SIZE PictureSize() const { return size_; }

  // Receives the display mode (DisplayModeMenu.h) the context menu asks for.
  void SetDisplayModeHandler(std::function<void(int32_t)> handler) {
    displayModeHandler_ = std::move(handler);
  }
  // Whether the lyrics display holds lines (the lyrics entry is disabled
  // when it does not); none set counts as no lines.
  void SetLyricsHaveLines(std::function<bool()> query) { lyricsHaveLines_ = std::move(query); }
  // The context menu at a screen point: song list, and lyrics when there
  // are lines; the album cover entry shows disabled.
  void ShowContextMenu(ce::POINT screenPoint);

  // Draws the screen into dc (client coordinates); the paint message draws
  // through an off-screen surface.
  void Draw(ce::HDC dc) const;

 protected:
  ce::BOOL OnInitDialog() override;
  void OnPaint() override;
  ce::BOOL OnEraseBkgnd(ce::HDC dc) override;
  void OnLButtonDown(ce::UINT flags, ce::POINT point) override;
  ce::BOOL OnCommand(ce::WPARAM wParam, ce::LPARAM lParam) override;

 private:
  void ReleasePicture();
  bool LoadDefault();

  ce::HDC memoryDc_ = nullptr;
  ce::HBITMAP picture_ = nullptr;
  ce::HGDIOBJ oldBitmap_ = nullptr;
  ce::SIZE size_{0, 0};
  bool hasPicture_ = false;
  std::function<void(int32_t)> displayModeHandler_;
  std::function<bool()> lyricsHaveLines_;
};
