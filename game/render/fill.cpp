#include "game/render/fill.h"

#include <cmath>

namespace zor {

namespace {

constexpr uint32_t kAny32 = pixel_format::RedFirst32 | pixel_format::BlueFirst32;

// Clips the span start..start+length to 0..limit as the fill does: a start at or past the
// limit leaves nothing, a negative start cuts the length, and the length never reaches past
// the limit. Works in 64 bits so that no int32 input can overflow.
void clipSpan(int64_t& start, int64_t& length, int64_t limit) {
  if (start >= limit) {
    length = 0;
  } else if (start < 0) {
    length += start;
    start = 0;
  }
  if (length > limit - start) length = limit - start;
}

template <typename T>
int32_t truncateClamped(T v) {
  constexpr T limit = static_cast<T>(1 << 30);
  if (std::isnan(v)) return 0;
  if (v >= limit) return 1 << 30;
  if (v <= -limit) return -(1 << 30);
  return static_cast<int32_t>(v);  // truncates toward zero
}

}  // namespace

int32_t drawFilledBoxInBuffer(FrameBuffer& out, const BufferFillState& state, int32_t x, int32_t y,
                              int32_t width, int32_t height, int32_t colour) {
  const int64_t W = out.width();
  const int64_t H = out.height();
  int64_t bx = x, bw = width, by = y, bh = height;
  clipSpan(bx, bw, W);
  clipSpan(by, bh, H);
  if (bw <= 0 || bh <= 0) return 0;

  // The buffer, its pitch and format are read again at every call.
  uint32_t* base = out.pixels();
  const uint32_t format = out.format();
  if (base == nullptr || (format & kAny32) == 0) {
    drawBox(out, static_cast<int32_t>(bx), static_cast<int32_t>(by), static_cast<int32_t>(bw),
            static_cast<int32_t>(bh), colour);
    return 0;
  }
  const int64_t pitch = out.pitch();
  if (format & pixel_format::BottomUp) by = H - by - bh;
  const uint32_t value = pixelFromColour(colour, format);

  if (bw == W && state.wholeFillDisabled == 0) {
    // One run over whole rows: it covers the padding between the rows but not after the last.
    // Its length comes from the live pitch, so a stale calibration never writes past the rows.
    fillPixels(base + by * pitch, static_cast<size_t>(bh * pitch - (pitch - W)), value);
  } else {
    fillPixelRows(base + by * pitch + bx, static_cast<size_t>(bh), static_cast<size_t>(bw),
                  static_cast<size_t>(pitch), value);
  }
  return 1;
}

void calibrateBufferFill(FrameBuffer& out, BufferFillState& state) {
  const int32_t W = out.width();
  const int32_t H = out.height();
  state.bufferRowPadding = 0;
  if (out.hasPixels() && (out.format() & kAny32) != 0) state.bufferRowPadding = 4 * (out.pitch() - W);
  state.wholeFillDisabled = 0;
  drawBox(out, 0, 0, W, H, 0);
  // Clipped to the full-width lower half: the one-run path.
  drawFilledBoxInBuffer(out, state, -10, H / 2, W + 20, H, 0x010101);
  // Clipped to the right half of every row: the row-by-row path.
  drawFilledBoxInBuffer(out, state, W / 2, -10, W, H + 20, 0x020202);
  // The top-left pixel must still be black, else the one run wrote into the wrong rows.
  state.wholeFillDisabled = pointColour(out, 0, 0) != 0 ? 1 : 0;
}

int32_t truncateToPixel(float v) { return truncateClamped(v); }
int32_t truncateToPixel(double v) { return truncateClamped(v); }

int32_t BufferShapeFill::fillBox(int32_t x, int32_t y, int32_t width, int32_t height, int32_t colour) {
  if (out_ == nullptr) return 0;
  return drawFilledBoxInBuffer(*out_, state, x, y, width, height, colour);
}

int32_t BufferShapeFill::fillDisc(int32_t x, int32_t y, int32_t radius, int32_t colour) {
  if (out_ != nullptr) drawCircle(*out_, x, y, radius, colour);
  return 0;
}

int32_t BufferShapeFill::prepareAfterOpen(bool wrapCheck) {
  if (wrapCheck && out_ != nullptr && out_->hasPixels()) {
    calibrateBufferFill(*out_, state);
  } else {
    state.bufferRowPadding = 0;
    state.wholeFillDisabled = 0;
  }
  return 1;
}

}  // namespace zor
