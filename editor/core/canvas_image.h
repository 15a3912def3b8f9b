// The canvas's off-screen image: a buffer of 32-bit pixels that holds colours as the
// editor keeps them (0x00BBGGRR, red in the low byte), and the drawing operations the
// canvas uses on it: filled and outlined boxes, circles, ellipses and lines, each either
// written over the pixels or combined with them by a bitwise exclusive-or.
//
// Every operation takes 64-bit coordinates and clips to the image before it rasterises,
// so a shape of any size costs at most the pixels it covers on the image.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace zor::editor {

// How a shape is drawn: its inside filled or only its outline, and whether its pixels
// replace the image's or are exclusive-or-ed into them.
struct Pen {
  uint32_t colour = 0;  // 0x00BBGGRR
  bool outlined = false;
  bool exclusiveOr = false;
};

class CanvasImage {
 public:
  CanvasImage() = default;
  CanvasImage(int32_t width, int32_t height) { resize(width, height); }

  // New size; the content is undefined (callers redraw the whole image). Negative sizes
  // give an empty image.
  void resize(int32_t width, int32_t height);

  int32_t width() const { return width_; }
  int32_t height() const { return height_; }
  const uint32_t* pixels() const { return pixels_.data(); }
  uint32_t* pixels() { return pixels_.data(); }
  // The colour at (x, y), or 0xFFFFFFFF outside the image.
  uint32_t at(int64_t x, int64_t y) const;

  void fill(uint32_t colour);

  // Box with its top-left corner at (x, y); a negative width or height extends it to the
  // left or upwards from there. A width or height of 0 draws nothing.
  void box(int64_t x, int64_t y, int64_t width, int64_t height, const Pen& pen);
  // The filled box between columns x0 and x1 and rows y0 and y1: the pixels that
  // box(x0, y0, x1 - x0, y1 - y0, Pen{colour}) sets, for the corners of a projected
  // rectangle.
  void fillBetween(int32_t x0, int32_t y0, int32_t x1, int32_t y1, uint32_t colour);
  // Circle of the pixels within radius of the centre (a radius of 0 is the centre pixel;
  // a negative radius draws nothing). The outline is the circle's pixels that have a
  // horizontal or vertical neighbour outside it.
  void circle(int64_t cx, int64_t cy, int64_t radius, const Pen& pen);
  // Axis-aligned ellipse with the given radii (their signs are ignored); a radius of 0
  // gives a straight line through the centre.
  void ellipse(int64_t cx, int64_t cy, int64_t rx, int64_t ry, const Pen& pen);
  // Line including both end points.
  void line(int64_t x1, int64_t y1, int64_t x2, int64_t y2, const Pen& pen);

  // One horizontal run of pixels x0..x1 (inclusive) in row y, clipped.
  void span(int64_t y, int64_t x0, int64_t x1, const Pen& pen);

 private:
  // Half-width of the ellipse's row dy (the largest dx inside it), or -1 when the row
  // lies outside. rx, ry >= 0.
  static int64_t ellipseHalfWidth(int64_t rx, int64_t ry, int64_t dy);
  void roundShape(int64_t cx, int64_t cy, int64_t rx, int64_t ry, const Pen& pen);
  void plot(int64_t x, int64_t y, const Pen& pen);
  // The pixels y0..y1 (inclusive, within the image) of column x; nothing when x is off the image.
  void column(int64_t x, int64_t y0, int64_t y1, const Pen& pen);

  int32_t width_ = 0;
  int32_t height_ = 0;
  std::vector<uint32_t> pixels_;
};

}  // namespace zor::editor
