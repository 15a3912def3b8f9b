// Placing the window inside the usable desktop, and fitting the picture into an output.
#include "platform/window_placement.h"

#include <gtest/gtest.h>

namespace zor {
namespace {

struct PlaceCase {
  const char* what;
  int32_t pictureW, pictureH;
  ScreenRect usable;
  int32_t frameL, frameT, frameR, frameB;
  ScreenRect expected;
};

TEST(WindowPlacement, StaysInsideTheUsableDesktopKeepingThePicturesShape) {
  const PlaceCase cases[] = {
      {"fits: centred in the usable area", 640, 480, {0, 0, 1920, 1040}, 0, 0, 0, 0, {640, 280, 640, 480}},
      {"usable area offset by a panel", 640, 480, {0, 40, 1920, 1040}, 0, 0, 0, 0, {640, 320, 640, 480}},
      {"the desktop's size with a panel: as tall as fits", 1920, 1080, {0, 0, 1920, 1040}, 0, 0, 0, 0,
       {36, 0, 1848, 1040}},
      {"the desktop's size and a title bar", 1920, 1080, {0, 0, 1920, 1080}, 1, 30, 1, 1, {28, 30, 1864, 1049}},
      {"wider than the desktop: as wide as fits", 3000, 1000, {0, 0, 1500, 1000}, 0, 0, 0, 0, {0, 250, 1500, 500}},
      {"both sides too large", 4000, 4000, {100, 50, 800, 600}, 0, 0, 0, 0, {200, 50, 600, 600}},
      {"exactly the usable size", 800, 600, {10, 20, 800, 600}, 0, 0, 0, 0, {10, 20, 800, 600}},
      {"no usable area known", 800, 600, {0, 0, 0, 0}, 0, 0, 0, 0, {0, 0, 800, 600}},
      {"frames larger than the area keep a window", 100, 100, {0, 0, 50, 50}, 40, 40, 40, 40, {40, 40, 1, 1}},
  };
  for (const PlaceCase& c : cases) {
    const ScreenRect r = placeWindow(c.pictureW, c.pictureH, c.usable, c.frameL, c.frameT, c.frameR, c.frameB);
    EXPECT_EQ(r, c.expected) << c.what << ": got " << r.x << "," << r.y << " " << r.width << "x" << r.height;
    if (c.usable.width > 0 && r.width > 1) {
      EXPECT_GE(r.x - c.frameL, c.usable.x) << c.what;
      EXPECT_GE(r.y - c.frameT, c.usable.y) << c.what;
      EXPECT_LE(r.x + r.width + c.frameR, c.usable.x + c.usable.width) << c.what;
      EXPECT_LE(r.y + r.height + c.frameB, c.usable.y + c.usable.height) << c.what;
      // The shape is kept to within a pixel of rounding.
      EXPECT_NEAR(static_cast<double>(r.width) / r.height, static_cast<double>(c.pictureW) / c.pictureH,
                  1.0 / r.height + 1e-9)
          << c.what;
    }
  }
}

TEST(WindowPlacement, FitsThePictureIntoAnOutputWithBars) {
  struct FitCase {
    int32_t pw, ph, ow, oh;
    ScreenRect expected;
  };
  const FitCase cases[] = {
      {320, 180, 1920, 1080, {0, 0, 1920, 1080}},
      {640, 480, 1920, 1080, {240, 0, 1440, 1080}},
      {1920, 1080, 1848, 1040, {0, 0, 1848, 1039}},
      {100, 100, 300, 100, {100, 0, 100, 100}},
      {0, 100, 300, 200, {0, 0, 300, 200}},
  };
  for (const FitCase& c : cases) EXPECT_EQ(fitPicture(c.pw, c.ph, c.ow, c.oh), c.expected) << c.pw << "x" << c.ph;
}

}  // namespace
}  // namespace zor
