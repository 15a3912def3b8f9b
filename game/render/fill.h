// The software fill: filled rectangles written straight into the frame buffer of
// the drawing output, clipped to it, and discs through the runtime's disc. It is
// the base back-end behind ShapeFill; the sprite back-end lives in the SDL layer.
#pragma once

#include <cstdint>

#include "platform/framebuffer.h"

namespace zor {

// Measured once per opened screen by calibrateBufferFill.
struct BufferFillState {
  // Bytes at the end of each buffer row beyond the visible pixels (pitch - 4 * width).
  int32_t bufferRowPadding = 0;
  // 1 when one run over whole rows landed in the wrong place: rows are then filled one by one.
  int32_t wholeFillDisabled = 0;
};

// Fills the rectangle (pixels of the output, y down) with a 24-bit colour, clipped to the
// output. Returns 1 when it wrote the buffer, 0 when nothing was drawn. Any int32 values
// are safe.
int32_t drawFilledBoxInBuffer(FrameBuffer& out, const BufferFillState& state, int32_t x, int32_t y,
                              int32_t width, int32_t height, int32_t colour);

// Sets the row padding and decides whether full-width rectangles may be filled in one run.
// Overwrites the whole picture. Run it on the screen's buffer right after the screen opens.
void calibrateBufferFill(FrameBuffer& out, BufferFillState& state);

// Float pixel coordinates (projected points, sizes) to int32 by truncation toward zero,
// with NaN as 0 and values beyond +-2^30 held at +-2^30, so that no conversion is undefined
// and sums of two coordinates still fit.
int32_t truncateToPixel(float v);
int32_t truncateToPixel(double v);

// The software back-end: boxes through drawFilledBoxInBuffer, discs through the runtime's
// disc, both into the buffer it is given (null draws nothing).
class BufferShapeFill final : public ShapeFill {
 public:
  explicit BufferShapeFill(FrameBuffer* out = nullptr) : out_(out) {}
  void setOutput(FrameBuffer* out) { out_ = out; }
  FrameBuffer* output() const { return out_; }

  int32_t fillBox(int32_t x, int32_t y, int32_t width, int32_t height, int32_t colour) override;
  int32_t fillDisc(int32_t x, int32_t y, int32_t radius, int32_t colour) override;
  // Calibrates when wrapCheck is set and the output has pixels; otherwise resets to 0 and 0.
  int32_t prepareAfterOpen(bool wrapCheck) override;

  BufferFillState state;

 private:
  FrameBuffer* out_;
};

}  // namespace zor
