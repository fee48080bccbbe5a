// The name of a new personal playlist (template 176): "確定" closes only
// with a name.
#pragma once

#include <string>

#include "platform/framework/Dialog.h"

class CDlgNewPlaylist : public ce::Dialog {
 public:
  static constexpr ce::UINT kTemplateId = 176;
  static constexpr int kNameEdit = 1048;
  inline static constexpr char16_t kDefaultName[] = u"歌單";

  explicit CDlgNewPlaylist(ce::Window* parent = nullptr) : Dialog(kTemplateId, parent) {}
  // The name entered, once the dialog ended with IDOK.
  const std::u16string& Name() const { return name_; }

 protected:
  ce::BOOL OnInitDialog() override;
  void OnOK() override;

 private:
  std::u16string name_;
};
