// The personal-library screen as the core controller sees it.
#pragma once

#include "zolfa/app/IPersonalLibraryScreen.h"
#include "zolfa/library/CDlgPersonalLib.h"

namespace zolfa {

class PersonalLibraryAdapter final : public IPersonalLibraryScreen {
 public:
  // The screen must outlive the adapter.
  explicit PersonalLibraryAdapter(CDlgPersonalLib& screen) : screen_(screen) {}

  void AddPlaylist(std::u16string_view name, const std::vector<FeedItem>& items) override {
    screen_.AddPlaylist(name, items);
  }
  void SelectLastPlaylist() override { screen_.SelectLastPlaylist(); }

 private:
  CDlgPersonalLib& screen_;
};

}  // namespace zolfa
