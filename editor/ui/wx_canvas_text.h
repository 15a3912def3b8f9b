// Canvas texts in the desktop's large message font: measured with a memory device
// context and drawn into the core's canvas image through an off-screen bitmap.
#pragma once

#include <wx/font.h>

#include "editor/core/canvas_text.h"

namespace zor::editor::ui {

class WxCanvasText : public CanvasText {
 public:
  WxCanvasText();
  TextSize measure(const std::string& text) override;
  void draw(CanvasImage& image, int32_t x, int32_t y, const std::string& text, uint32_t colour) override;

 private:
  wxFont font_;
};

}  // namespace zor::editor::ui
