// The new name of a personal playlist (template 175, "歌單更名"): "確定"
// takes the text as it is, also an empty one.
#pragma once

#include <string>

#include "platform/framework/Dialog.h"

class CDlgRename : public ce::Dialog {
 public:
  static constexpr ce::UINT kTemplateId = 175;
  static constexpr int kNameEdit = 1050;

  CDlgRename(std::u16string currentName, ce::Window* parent = nullptr)
      : Dialog(kTemplateId, parent), name_(std::move(currentName)) {}
  const std::u16string& Name() const { return name_; }

 protected:
  ce::BOOL OnInitDialog() override;
  void OnOK() override;

 private:
  std::u16string name_;
};
