// The lyrics screen (template 177): a child of the current-playlist screen
// holding one lyrics view that fills it.
#pragma once

#include <cstdint>
#include <functional>
#include <string_view>

#include "platform/framework/Dialog.h"
#include "zolfa/playback/CLyricsCtrl.h"

class CDlgLyrics : public ce::Dialog {
 public:
  static constexpr ce::UINT kTemplateId = 177;
  static constexpr int kLyricsCtrlId = 4096;

  explicit CDlgLyrics(ce::Window* parent = nullptr);

  // Forwarded to the view; text is multibyte (the system code page).
  void SetLyrics(std::string_view text);
  void SetPosition(int seconds);
  bool HasLines() const { return lyrics_.HasLines(); }
  CLyricsCtrl& Lyrics() { return lyrics_; }

  // Receives the display mode (DisplayModeMenu.h) the context menu asks for.
  void SetDisplayModeHandler(std::function<void(int32_t)> handler) {
    displayModeHandler_ = std::move(handler);
  }
  // The context menu at a screen point: song list and album cover; the
  // lyrics entry shows disabled.
  void ShowContextMenu(ce::POINT screenPoint);

 protected:
  ce::BOOL OnInitDialog() override;
  void OnSize(ce::UINT type, int width, int height) override;
  ce::BOOL OnCommand(ce::WPARAM wParam, ce::LPARAM lParam) override;

 private:
  CLyricsCtrl lyrics_;
  std::function<void(int32_t)> displayModeHandler_;
};
