#include "editor/ui/wx_canvas_text.h"

#include <algorithm>

#include <wx/bitmap.h>
#include <wx/dcmemory.h>
#include <wx/image.h>

namespace zor::editor::ui {

WxCanvasText::WxCanvasText() {
  // The large message font: Arial, else Tahoma, else Helvetica, else any sans-serif face.
  for (const char* face : {"Arial", "Tahoma", "Helvetica"}) {
    wxFont f(wxFontInfo(18).FaceName(face));
    if (f.IsOk() && f.GetFaceName().Lower() == wxString(face).Lower()) {
      font_ = f;
      return;
    }
  }
  font_ = wxFont(wxFontInfo(18).Family(wxFONTFAMILY_SWISS));
}

TextSize WxCanvasText::measure(const std::string& text) {
  wxBitmap scratch(1, 1);
  wxMemoryDC dc(scratch);
  dc.SetFont(font_);
  wxSize s = dc.GetTextExtent(wxString::FromUTF8(text));
  return {s.x, s.y};
}

void WxCanvasText::draw(CanvasImage& image, int32_t x, int32_t y, const std::string& text, uint32_t colour) {
  TextSize size = measure(text);
  if (size.width <= 0 || size.height <= 0) return;
  // White text on black; its brightness is the coverage of each pixel.
  wxBitmap bitmap(size.width, size.height, 24);
  {
    wxMemoryDC dc(bitmap);
    dc.SetBackground(*wxBLACK_BRUSH);
    dc.Clear();
    dc.SetFont(font_);
    dc.SetTextForeground(*wxWHITE);
    dc.DrawText(wxString::FromUTF8(text), 0, 0);
  }
  wxImage cover = bitmap.ConvertToImage();
  const unsigned char* data = cover.GetData();
  for (int32_t row = 0; row < size.height; ++row) {
    int64_t py = int64_t(y) + row;
    if (py < 0 || py >= image.height()) continue;
    for (int32_t col = 0; col < size.width; ++col) {
      int64_t px = int64_t(x) + col;
      if (px < 0 || px >= image.width()) continue;
      unsigned a = data[3 * (static_cast<size_t>(row) * size.width + col)];
      if (a == 0) continue;
      uint32_t& dst = image.pixels()[static_cast<size_t>(py) * image.width() + static_cast<size_t>(px)];
      uint32_t out = 0;
      for (int shift = 0; shift < 24; shift += 8) {
        unsigned s = (colour >> shift) & 0xFF, d = (dst >> shift) & 0xFF;
        out |= ((s * a + d * (255 - a) + 127) / 255) << shift;
      }
      dst = out;
    }
  }
}

}  // namespace zor::editor::ui
