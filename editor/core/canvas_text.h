// Text on the canvas (the messages shown without a game or zone). The desktop measures
// and draws it in its large message font; tests use a fixed-width stand-in.
#pragma once

#include <cstdint>
#include <string>

#include "editor/core/canvas_image.h"

namespace zor::editor {

struct TextSize {
  int32_t width = 0;
  int32_t height = 0;
};

class CanvasText {
 public:
  virtual ~CanvasText() = default;
  // Size of the text in the large message font, in pixels.
  virtual TextSize measure(const std::string& text) = 0;
  // Draws the text with its top-left corner at (x, y) in the colour (0x00BBGGRR), on a
  // transparent background.
  virtual void draw(CanvasImage& image, int32_t x, int32_t y, const std::string& text, uint32_t colour) = 0;
};

// Every character is a cell of fixed size, drawn as a filled box one pixel smaller on each
// side; for tests and for builds without a desktop.
class FixedWidthText : public CanvasText {
 public:
  FixedWidthText(int32_t cellWidth = 10, int32_t cellHeight = 20) : cellWidth_(cellWidth), cellHeight_(cellHeight) {}
  TextSize measure(const std::string& text) override {
    return {static_cast<int32_t>(text.size()) * cellWidth_, cellHeight_};
  }
  void draw(CanvasImage& image, int32_t x, int32_t y, const std::string& text, uint32_t colour) override {
    for (size_t i = 0; i < text.size(); ++i) {
      if (text[i] == ' ') continue;
      image.box(int64_t(x) + int64_t(i) * cellWidth_ + 1, int64_t(y) + 1, cellWidth_ - 2, cellHeight_ - 2,
                Pen{colour, false, false});
    }
  }

 private:
  int32_t cellWidth_;
  int32_t cellHeight_;
};

}  // namespace zor::editor
