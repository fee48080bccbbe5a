// What the core controller asks of the personal-library screen when the
// current playlist is saved as a personal playlist.
#pragma once

#include <string_view>
#include <vector>

#include "zolfa/browse/FeedItem.h"

namespace zolfa {

class IPersonalLibraryScreen {
 public:
  virtual ~IPersonalLibraryScreen() = default;

  // Adds a playlist of that name holding the items' songs, in order.
  virtual void AddPlaylist(std::u16string_view name, const std::vector<FeedItem>& items) = 0;
  // Opens the last playlist of the library (the one just added).
  virtual void SelectLastPlaylist() = 0;
};

}  // namespace zolfa
