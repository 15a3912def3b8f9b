#include "platform/window_placement.h"

#include <algorithm>

namespace zor {

namespace {

// The largest size of the picture's shape within maxWidth x maxHeight, at least 1 x 1.
void shrinkToFit(int64_t pictureW, int64_t pictureH, int64_t maxW, int64_t maxH, int64_t& w, int64_t& h) {
  // Width-limited unless the height is the tighter side: compare pictureW/maxW with pictureH/maxH exactly.
  if (pictureW * maxH >= pictureH * maxW) {
    w = maxW;
    h = pictureH * maxW / pictureW;
  } else {
    h = maxH;
    w = pictureW * maxH / pictureH;
  }
  w = std::clamp<int64_t>(w, 1, std::max<int64_t>(maxW, 1));
  h = std::clamp<int64_t>(h, 1, std::max<int64_t>(maxH, 1));
}

}  // namespace

ScreenRect placeWindow(int32_t pictureWidth, int32_t pictureHeight, const ScreenRect& usable, int32_t frameLeft,
                       int32_t frameTop, int32_t frameRight, int32_t frameBottom) {
  const int64_t pw = std::max<int32_t>(pictureWidth, 1), ph = std::max<int32_t>(pictureHeight, 1);
  if (usable.width <= 0 || usable.height <= 0)
    return ScreenRect{usable.x, usable.y, static_cast<int32_t>(pw), static_cast<int32_t>(ph)};
  const int64_t fl = std::max<int32_t>(frameLeft, 0), ft = std::max<int32_t>(frameTop, 0);
  const int64_t fr = std::max<int32_t>(frameRight, 0), fb = std::max<int32_t>(frameBottom, 0);
  const int64_t roomW = std::max<int64_t>(int64_t{usable.width} - fl - fr, 1);
  const int64_t roomH = std::max<int64_t>(int64_t{usable.height} - ft - fb, 1);
  int64_t w = pw, h = ph;
  if (pw > roomW || ph > roomH) shrinkToFit(pw, ph, roomW, roomH, w, h);
  const int64_t x = int64_t{usable.x} + fl + (roomW - w) / 2;
  const int64_t y = int64_t{usable.y} + ft + (roomH - h) / 2;
  return ScreenRect{static_cast<int32_t>(x), static_cast<int32_t>(y), static_cast<int32_t>(w),
                    static_cast<int32_t>(h)};
}

ScreenRect fitPicture(int32_t pictureWidth, int32_t pictureHeight, int32_t outWidth, int32_t outHeight) {
  if (pictureWidth <= 0 || pictureHeight <= 0 || outWidth <= 0 || outHeight <= 0)
    return ScreenRect{0, 0, outWidth, outHeight};
  int64_t w = 0, h = 0;
  shrinkToFit(pictureWidth, pictureHeight, outWidth, outHeight, w, h);
  return ScreenRect{static_cast<int32_t>((outWidth - w) / 2), static_cast<int32_t>((outHeight - h) / 2),
                    static_cast<int32_t>(w), static_cast<int32_t>(h)};
}

}  // namespace zor
