#include "zolfa/playback/CoverPlacement.h"

#include <algorithm>

namespace zolfa {

CoverRect PlaceCover(int clientWidth, int clientHeight, int pictureWidth, int pictureHeight) {
  CoverRect rect;
  if (clientWidth < pictureWidth || clientHeight < pictureHeight) {
    rect.width = rect.height = std::min(clientWidth, clientHeight);
  } else {
    rect.width = pictureWidth;
    rect.height = pictureHeight;
  }
  rect.left = (clientWidth - rect.width) / 2;
  rect.top = (clientHeight - rect.height) / 2;
  return rect;
}

}  // namespace zolfa
