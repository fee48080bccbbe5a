// Where the album-cover screen draws its picture: centred on a white
// client area, at the picture's own size when it fits, otherwise as a
// square of the smaller side of the client area (the picture's aspect
// ratio is then not kept).
#pragma once

namespace zolfa {

struct CoverRect {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;

  bool operator==(const CoverRect&) const = default;
};

// W x H the client area, w x h the picture (pixels).
CoverRect PlaceCover(int clientWidth, int clientHeight, int pictureWidth, int pictureHeight);

}  // namespace zolfa
