// Where a window of the picture's size goes on the desktop: always inside the
// usable area (the desktop less its panels and docks). A picture larger than
// that area gets the largest window of the same shape that fits, and is scaled
// into it; the picture itself keeps its size.
#pragma once

#include <cstdint>

namespace zor {

struct ScreenRect {
  int32_t x = 0, y = 0, width = 0, height = 0;
  bool operator==(const ScreenRect&) const = default;
};

// The window for a picture of pictureWidth x pictureHeight inside usable, centred
// there. Frame sizes (left, top, right, bottom) are the window manager's decoration
// around the window, kept inside the usable area too. An empty usable area (none
// known) leaves the picture's size, placed at the area's corner.
ScreenRect placeWindow(int32_t pictureWidth, int32_t pictureHeight, const ScreenRect& usable,
                       int32_t frameLeft = 0, int32_t frameTop = 0, int32_t frameRight = 0,
                       int32_t frameBottom = 0);

// The picture scaled as large as it fits into an output of outWidth x outHeight,
// centred, its shape kept; the whole output for sizes that are not positive.
ScreenRect fitPicture(int32_t pictureWidth, int32_t pictureHeight, int32_t outWidth, int32_t outHeight);

}  // namespace zor
