// The import dialog (template 187, "匯入歌單"): "開始匯入" starts the backup
// import once and animates the status line until the answer arrives; the
// answer's playlists join the personal library and the dialog closes with
// result 2. "離開" closes it; a late answer then finds no dialog.
#pragma once

#include <cstdint>

#include "platform/framework/Dialog.h"
#include "zolfa/library/CBackupImport.h"
#include "zolfa/library/CPersonalLibrary.h"

class CDlgImport : public ce::Dialog {
 public:
  static constexpr ce::UINT kTemplateId = 187;
  static constexpr int kStatusText = 1047;
  static constexpr int kStartButton = 1046;
  static constexpr ce::UINT_PTR kDotsTimer = 4096;
  static constexpr ce::UINT kDotsPeriodMs = 400;
  static constexpr int kMaxDots = 5;
  static constexpr ce::INT_PTR kImported = 2;
  inline static constexpr char16_t kImporting[] = u"資料匯入中 ";

  // The import request and the library outlive the dialog.
  CDlgImport(zolfa::CBackupImport& import, zolfa::CPersonalLibrary& library,
             ce::Window* parent = nullptr)
      : Dialog(kTemplateId, parent), import_(import), library_(library) {}

  bool Started() const { return started_; }

 protected:
  ce::BOOL OnCommand(ce::WPARAM wParam, ce::LPARAM lParam) override;
  bool OnMessage(ce::UINT message, ce::WPARAM wParam, ce::LPARAM lParam,
                 ce::LRESULT* result) override;
  void OnTimer(ce::UINT_PTR id) override;

 private:
  void Start();
  void OnImportDone(uint32_t requestId, const char16_t* text);

  zolfa::CBackupImport& import_;
  zolfa::CPersonalLibrary& library_;
  bool started_ = false;
  int dots_ = 0;
  uint32_t requestId_ = 0;
};
