// The frame buffer: 32-bit pixels that the software fill writes, either owned
// here or borrowed from the window layer. Also the runtime's plain pixel
// operations on it (box, disc, point), and the window-free interfaces through
// which the game reaches the screen and the shape back-ends.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace zor {

// Pixel-format bits of a drawing output.
namespace pixel_format {
inline constexpr uint32_t RedFirst32 = 0x20;   // red in the lowest byte (a colour's own layout)
inline constexpr uint32_t BlueFirst32 = 0x40;  // blue in the lowest byte
inline constexpr uint32_t Packed565 = 0x04;    // 16-bit 5-6-5; never held by a FrameBuffer
inline constexpr uint32_t BottomUp = 0x8000;   // memory row 0 is the bottom row of the picture

// Bit positions of the colour channels in a 32-bit pixel of the format.
inline constexpr int redShift(uint32_t format) { return (format & BlueFirst32) ? 16 : 0; }
inline constexpr int greenShift(uint32_t) { return 8; }
inline constexpr int blueShift(uint32_t format) { return (format & BlueFirst32) ? 0 : 16; }
}  // namespace pixel_format

// A colour (red in the low byte, blue in the third) as a pixel word of the format;
// the fourth byte is 0.
inline uint32_t pixelFromColour(int32_t colour, uint32_t format) {
  uint32_t c = static_cast<uint32_t>(colour);
  uint32_t r = c & 0xFFu, g = (c >> 8) & 0xFFu, b = (c >> 16) & 0xFFu;
  return (r << pixel_format::redShift(format)) | (g << pixel_format::greenShift(format)) |
         (b << pixel_format::blueShift(format));
}
// The colour of a pixel word of the format (red in the low byte).
inline int32_t colourFromPixel(uint32_t pixel, uint32_t format) {
  uint32_t r = (pixel >> pixel_format::redShift(format)) & 0xFFu;
  uint32_t g = (pixel >> pixel_format::greenShift(format)) & 0xFFu;
  uint32_t b = (pixel >> pixel_format::blueShift(format)) & 0xFFu;
  return static_cast<int32_t>(r | (g << 8) | (b << 16));
}

class FrameBuffer {
 public:
  FrameBuffer() = default;
  // A buffer that owns its pixels (all 0), rows packed (pitch = width).
  FrameBuffer(int32_t width, int32_t height, uint32_t format = pixel_format::RedFirst32);
  // Borrows pixel memory owned elsewhere; pitch counts pixels from one row to the next.
  // A null pointer, a pitch below the width or a negative size gives a buffer without pixels.
  static FrameBuffer borrow(uint32_t* pixels, int32_t width, int32_t height, int32_t pitch,
                            uint32_t format);

  // Pixel memory (memory row 0 first), or null when the buffer has none.
  uint32_t* pixels() { return borrowed_ ? borrowed_ : (owned_.empty() ? nullptr : owned_.data()); }
  const uint32_t* pixels() const {
    return borrowed_ ? borrowed_ : (owned_.empty() ? nullptr : owned_.data());
  }
  int32_t width() const { return width_; }
  int32_t height() const { return height_; }
  int32_t pitch() const { return pitch_; }  // in pixels
  uint32_t format() const { return format_; }
  bool hasPixels() const { return pixels() != nullptr; }

  // Start of a row of the picture (0 = top), honouring bottom-up storage; y must be in range.
  uint32_t* row(int32_t y) { return pixels() + static_cast<size_t>(memoryRow(y)) * static_cast<size_t>(pitch_); }
  const uint32_t* row(int32_t y) const {
    return pixels() + static_cast<size_t>(memoryRow(y)) * static_cast<size_t>(pitch_);
  }
  int32_t memoryRow(int32_t y) const { return (format_ & pixel_format::BottomUp) ? height_ - 1 - y : y; }

 private:
  std::vector<uint32_t> owned_;
  uint32_t* borrowed_ = nullptr;
  int32_t width_ = 0;
  int32_t height_ = 0;
  int32_t pitch_ = 0;
  uint32_t format_ = pixel_format::RedFirst32;
};

// Fills count pixel words from start with value.
void fillPixels(uint32_t* start, size_t count, uint32_t value);
// Fills count pixel words with value in each of rows rows, the first at first and each
// next one step words further on.
void fillPixelRows(uint32_t* first, size_t rows, size_t count, size_t step, uint32_t value);

// The runtime's filled rectangle: x, y, width, height in pixels (y down), clipped to the buffer.
// Any int32 values are safe.
void drawBox(FrameBuffer& out, int32_t x, int32_t y, int32_t width, int32_t height, int32_t colour);
// The runtime's filled disc centred on the pixel (x, y): the pixels whose centres lie within
// radius + 0.5 of its centre, so radius 0 is one pixel and the disc spans 2 * radius + 1.
// A negative radius draws nothing. Any int32 values are safe.
void drawCircle(FrameBuffer& out, int32_t x, int32_t y, int32_t radius, int32_t colour);
// The colour of one pixel (red in the low byte), or -1 outside the buffer or without pixels.
int32_t pointColour(const FrameBuffer& out, int32_t x, int32_t y);
// Sets every pixel of the picture to the colour.
void clearBuffer(FrameBuffer& out, int32_t colour);

// The pixels of the disc (cx, cy, radius) in picture row y: columns x0..x1 inclusive, not
// clipped. False when the row misses the disc. Shared by both back-ends so that their
// discs agree.
bool discRowSpan(int64_t cx, int64_t cy, int64_t radius, int64_t y, int64_t& x0, int64_t& x1);

// Filled boxes and discs on the current drawing output, with one calling convention for
// both back-ends (the software fill and the sprite fill). Coordinates are pixels, y down;
// colours have red in the low byte.
class ShapeFill {
 public:
  virtual ~ShapeFill() = default;
  // Returns 1 when the back-end wrote the pixels itself, else 0.
  virtual int32_t fillBox(int32_t x, int32_t y, int32_t width, int32_t height, int32_t colour) = 0;
  virtual int32_t fillDisc(int32_t x, int32_t y, int32_t radius, int32_t colour) = 0;
  // Called while drawing on a freshly opened screen: the software fill calibrates when
  // wrapCheck is set (and resets otherwise), the sprite fill rebuilds its colour sprites.
  // Returns 0 when the back-end could not be prepared.
  virtual int32_t prepareAfterOpen(bool wrapCheck) = 0;
};

// A display mode as the desktop lists it.
struct DisplayMode {
  int32_t width = 0;
  int32_t height = 0;
  int32_t depth = 0;        // bits per pixel
  int32_t refreshRate = 0;  // Hz, 0 when unknown
};

enum class WindowEvent { None, Close, FocusLost, FocusGained };

// What the game asks of the screen. The SDL layer implements it; tests may fake it.
class ScreenOutput {
 public:
  virtual ~ScreenOutput() = default;

  virtual std::vector<DisplayMode> displayModes() = 0;
  // Bits per pixel of the desktop, 0 when no display is found.
  virtual int32_t desktopDepth() = 0;
  // A centred window of this size that cannot be resized, inside the usable desktop: a
  // size larger than that gives the largest window of its shape that fits, with the
  // picture (still of this size) scaled into it. False on failure (nothing is left
  // open then).
  virtual bool openWindowed(int32_t width, int32_t height, const std::string& title) = 0;
  // The whole display, with a picture of this size scaled into it. False on failure.
  virtual bool openFullScreen(int32_t width, int32_t height, const std::string& title) = 0;
  // Closes whatever is open; harmless when nothing is.
  virtual void close() = 0;
  virtual bool isOpen() const = 0;
  virtual bool inWindow() const = 0;
  // True while the open screen has the input focus and is not minimised.
  virtual bool isActive() = 0;
  // Takes the next window event; None when no event is left.
  virtual WindowEvent nextWindowEvent() = 0;

  // Size of the picture drawn (the size asked for when opening).
  virtual int32_t outputWidth() const = 0;
  virtual int32_t outputHeight() const = 0;
  virtual void clear(int32_t colour) = 0;
  virtual bool startDrawing() = 0;
  virtual void stopDrawing() = 0;
  // The pixel memory the software fill writes, or null (no screen, or the sprite back-end).
  virtual FrameBuffer* drawingBuffer() = 0;
  // The sprite back-end when this screen draws shapes through it, else null.
  virtual ShapeFill* spriteFill() = 0;
  // Copies a rectangle of the picture into out (a new owned buffer); false when the
  // rectangle is not wholly inside the picture or cannot be read.
  virtual bool grab(int32_t x, int32_t y, int32_t width, int32_t height, FrameBuffer& out) = 0;
  // Shows the picture. In a window it also waits for the 60-frames-a-second period.
  virtual void flip() = 0;
};

}  // namespace zor
