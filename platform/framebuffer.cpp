#include "platform/framebuffer.h"

#include <algorithm>
#include <cmath>

namespace zor {

namespace {

// Largest frame side we allocate or accept; far above any display.
constexpr int32_t kMaxSide = 16384;

bool validSize(int32_t width, int32_t height) {
  return width > 0 && height > 0 && width <= kMaxSide && height <= kMaxSide;
}

// Largest s with s * s <= v.
uint64_t integerSqrt(uint64_t v) {
  uint64_t s = static_cast<uint64_t>(std::sqrt(static_cast<long double>(v)));
  while (s > 0 && s * s > v) --s;
  while ((s + 1) * (s + 1) <= v) ++s;
  return s;
}

}  // namespace

FrameBuffer::FrameBuffer(int32_t width, int32_t height, uint32_t format) : format_(format) {
  if (!validSize(width, height)) return;
  owned_.assign(static_cast<size_t>(width) * static_cast<size_t>(height), 0u);
  width_ = width;
  height_ = height;
  pitch_ = width;
}

FrameBuffer FrameBuffer::borrow(uint32_t* pixels, int32_t width, int32_t height, int32_t pitch,
                                uint32_t format) {
  FrameBuffer fb;
  fb.format_ = format;
  if (pixels == nullptr || !validSize(width, height) || pitch < width) return fb;
  fb.borrowed_ = pixels;
  fb.width_ = width;
  fb.height_ = height;
  fb.pitch_ = pitch;
  return fb;
}

// How a run of pixel words is stored depends on its length. Short runs (a letter's stroke,
// a far block) take the plain loop. Longer ones take the widest stores of the processor
// that runs us: the compiler builds the loop twice and the copy is picked at load time.
// Runs of whole frames and bands take the string store, which current processors carry
// out in whole cache lines without reading them first.
#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__)) && defined(__ELF__)
#define ZOR_WIDE_FILL 1
#endif

namespace {

constexpr size_t kShortRun = 16;

#ifdef ZOR_WIDE_FILL
constexpr size_t kStringRun = 4096;

__attribute__((target_clones("avx2", "default"))) void fillWideRows(uint32_t* first, size_t rows, size_t count,
                                                                    size_t step, uint32_t value) {
  for (size_t row = 0; row < rows; ++row, first += step) std::fill_n(first, count, value);
}

void fillStringRows(uint32_t* first, size_t rows, size_t count, size_t step, uint32_t value) {
  for (size_t row = 0; row < rows; ++row, first += step) {
    // Both ends through plain stores first, so that checked builds still see the run's extent.
    uint32_t* start = first;
    size_t left = count;
    start[0] = value;
    start[count - 1] = value;
    asm volatile("rep stosl" : "+D"(start), "+c"(left) : "a"(value) : "memory");
  }
}
#endif

}  // namespace

void fillPixelRows(uint32_t* first, size_t rows, size_t count, size_t step, uint32_t value) {
  if (count == 0) return;
#ifdef ZOR_WIDE_FILL
  if (count >= kStringRun) return fillStringRows(first, rows, count, step, value);
  if (count >= kShortRun) return fillWideRows(first, rows, count, step, value);
#endif
  for (size_t row = 0; row < rows; ++row, first += step) std::fill_n(first, count, value);
}

void fillPixels(uint32_t* start, size_t count, uint32_t value) { fillPixelRows(start, 1, count, 0, value); }

void drawBox(FrameBuffer& out, int32_t x, int32_t y, int32_t width, int32_t height, int32_t colour) {
  if (!out.hasPixels()) return;
  int64_t x0 = std::max<int64_t>(x, 0);
  int64_t y0 = std::max<int64_t>(y, 0);
  int64_t x1 = std::min<int64_t>(int64_t{x} + width, out.width());
  int64_t y1 = std::min<int64_t>(int64_t{y} + height, out.height());
  if (x1 <= x0 || y1 <= y0) return;
  const uint32_t value = pixelFromColour(colour, out.format());
  // Every row gets the same words, so the rows are filled in memory order whichever way up
  // the picture is stored.
  const int32_t firstRow =
      std::min(out.memoryRow(static_cast<int32_t>(y0)), out.memoryRow(static_cast<int32_t>(y1 - 1)));
  const size_t pitch = static_cast<size_t>(out.pitch());
  uint32_t* first = out.pixels() + static_cast<size_t>(firstRow) * pitch + static_cast<size_t>(x0);
  const size_t rows = static_cast<size_t>(y1 - y0), count = static_cast<size_t>(x1 - x0);
  if (x0 == 0 && x1 == out.width() && out.pitch() == out.width()) {
    // Whole rows packed without padding: one run.
    fillPixelRows(first, 1, rows * count, 0, value);
  } else {
    fillPixelRows(first, rows, count, pitch, value);
  }
}

bool discRowSpan(int64_t cx, int64_t cy, int64_t radius, int64_t y, int64_t& x0, int64_t& x1) {
  if (radius < 0) return false;
  int64_t dy = y - cy;
  if (dy < -radius || dy > radius) return false;
  // A pixel centre lies within radius + 0.5 when dx^2 + dy^2 <= radius^2 + radius.
  uint64_t r = static_cast<uint64_t>(radius);
  uint64_t ady = static_cast<uint64_t>(dy < 0 ? -dy : dy);
  uint64_t s = integerSqrt(r * r + r - ady * ady);
  x0 = cx - static_cast<int64_t>(s);
  x1 = cx + static_cast<int64_t>(s);
  return true;
}

void drawCircle(FrameBuffer& out, int32_t x, int32_t y, int32_t radius, int32_t colour) {
  if (!out.hasPixels() || radius < 0) return;
  uint32_t value = pixelFromColour(colour, out.format());
  int64_t top = std::max<int64_t>(int64_t{y} - radius, 0);
  int64_t bottom = std::min<int64_t>(int64_t{y} + radius, int64_t{out.height()} - 1);
  for (int64_t row = top; row <= bottom; ++row) {
    int64_t a, b;
    if (!discRowSpan(x, y, radius, row, a, b)) continue;
    a = std::max<int64_t>(a, 0);
    b = std::min<int64_t>(b, int64_t{out.width()} - 1);
    if (b < a) continue;
    fillPixels(out.row(static_cast<int32_t>(row)) + a, static_cast<size_t>(b - a + 1), value);
  }
}

int32_t pointColour(const FrameBuffer& out, int32_t x, int32_t y) {
  if (!out.hasPixels() || x < 0 || y < 0 || x >= out.width() || y >= out.height()) return -1;
  return colourFromPixel(out.row(y)[x], out.format());
}

void clearBuffer(FrameBuffer& out, int32_t colour) {
  drawBox(out, 0, 0, out.width(), out.height(), colour);
}

}  // namespace zor
