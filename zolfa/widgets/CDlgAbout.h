// The about box (template 225): the program's name and version in text 1058.
#pragma once

#include <string>

#include "platform/framework/Dialog.h"

class CDlgAbout : public ce::Dialog {
 public:
  static constexpr ce::UINT kTemplateId = 225;
  static constexpr int kVersionTextId = 1058;

  explicit CDlgAbout(ce::Window* parent = nullptr);
  // "Zolfa for Pocket PC \nVersion 1.0013 \n" for the versions "0100" and
  // "0013": the second character of the first part, then the second part.
  static std::u16string VersionText(std::u16string_view major, std::u16string_view minor);

 protected:
  ce::BOOL OnInitDialog() override;
};
