// What the personal library asks of the screen that shows it.
#pragma once

#include <cstdint>

namespace zolfa {

class IPersonalLibraryOwner {
 public:
  virtual ~IPersonalLibraryOwner() = default;

  // Deletes all playlist rows and adds one per playlist in library order,
  // with the header "全部歌單(%d)".
  virtual void RebuildPlaylistList() = 0;
  virtual void SelectPlaylistRow(int32_t row) = 0;
  virtual void Repaint() = 0;
};

}  // namespace zolfa
