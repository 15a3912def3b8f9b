// The canvas picture pixel for pixel: the image's shapes against a plain
// pixel-at-a-time painter on random shapes, and whole pictures of varied zones
// and views against their recorded fingerprints, so that a faster way of
// drawing keeps every pixel.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "tests/editor/core/canvas_fixture.h"

namespace zor::editor::test {
namespace {

// The plain painter: every shape clipped and set one pixel at a time.
class PlainPainter {
 public:
  PlainPainter(int32_t w, int32_t h) : w_(w), h_(h), px_(static_cast<size_t>(w) * static_cast<size_t>(h), 0) {}
  const std::vector<uint32_t>& pixels() const { return px_; }
  void fill(uint32_t c) { std::fill(px_.begin(), px_.end(), c); }

  void box(int64_t x, int64_t y, int64_t width, int64_t height, const Pen& pen) {
    if (width == 0 || height == 0) return;
    const Wide l = width > 0 ? Wide(x) : Wide(x) + width + 1, r = width > 0 ? Wide(x) + width - 1 : Wide(x);
    const Wide t = height > 0 ? Wide(y) : Wide(y) + height + 1, b = height > 0 ? Wide(y) + height - 1 : Wide(y);
    for (int64_t py = 0; py < h_; ++py) {
      for (int64_t px = 0; px < w_; ++px) {
        if (px < l || px > r || py < t || py > b) continue;
        if (!pen.outlined || px == l || px == r || py == t || py == b) plot(px, py, pen);
      }
    }
  }

  void ellipse(int64_t cx, int64_t cy, int64_t rx, int64_t ry, const Pen& pen) {
    rx = rx < 0 ? (rx == INT64_MIN ? kMaxRadius : -rx) : rx;
    ry = ry < 0 ? (ry == INT64_MIN ? kMaxRadius : -ry) : ry;
    round(cx, cy, std::min(rx, kMaxRadius), std::min(ry, kMaxRadius), pen);
  }
  void circle(int64_t cx, int64_t cy, int64_t r, const Pen& pen) {
    if (r >= 0) round(cx, cy, std::min(r, kMaxRadius), std::min(r, kMaxRadius), pen);
  }

 private:
  using Wide = __int128;
  static constexpr int64_t kMaxRadius = int64_t(1) << 30;
  void plot(int64_t x, int64_t y, const Pen& pen) {
    if (x < 0 || y < 0 || x >= w_ || y >= h_) return;
    uint32_t& p = px_[static_cast<size_t>(y) * static_cast<size_t>(w_) + static_cast<size_t>(x)];
    p = pen.exclusiveOr ? p ^ pen.colour : pen.colour;
  }
  // Inside the ellipse of radii rx + 1/2 and ry + 1/2 around the pixel centre.
  static bool inside(int64_t dx, int64_t dy, int64_t rx, int64_t ry) {
    if (dx < -rx || dx > rx || dy < -ry || dy > ry) return false;
    const Wide a = Wide(2 * rx + 1) * Wide(2 * rx + 1), b = Wide(2 * ry + 1) * Wide(2 * ry + 1);
    return Wide(4) * dx * dx * b + Wide(4) * dy * dy * a <= a * b;
  }
  void round(int64_t cx, int64_t cy, int64_t rx, int64_t ry, const Pen& pen) {
    for (int64_t py = 0; py < h_; ++py) {
      for (int64_t px = 0; px < w_; ++px) {
        const Wide dxw = Wide(px) - cx, dyw = Wide(py) - cy;
        if (dxw < -rx || dxw > rx || dyw < -ry || dyw > ry) continue;
        const int64_t dx = static_cast<int64_t>(dxw), dy = static_cast<int64_t>(dyw);
        if (!inside(dx, dy, rx, ry)) continue;
        const bool edge = !inside(dx - 1, dy, rx, ry) || !inside(dx + 1, dy, rx, ry) || !inside(dx, dy - 1, rx, ry) ||
                          !inside(dx, dy + 1, rx, ry);
        if (!pen.outlined || edge) plot(px, py, pen);
      }
    }
  }
  int32_t w_, h_;
  std::vector<uint32_t> px_;
};

struct Random {
  uint64_t state;
  int64_t below(int64_t n) {
    state = state * 6364136223846793005ull + 1442695040888963407ull;
    return static_cast<int64_t>((state >> 33) % static_cast<uint64_t>(n));
  }
  int64_t between(int64_t lo, int64_t hi) { return lo + below(hi - lo + 1); }
};

TEST(CanvasImageShapes, BoxesAndRoundShapesSetThePixelsAPlainPainterSets) {
  const struct { int32_t w, h; } sizes[] = {{37, 23}, {1, 9}, {64, 1}, {70, 41}};
  for (const auto& size : sizes) {
    SCOPED_TRACE(std::to_string(size.w) + "x" + std::to_string(size.h));
    CanvasImage image(size.w, size.h);
    PlainPainter plain(size.w, size.h);
    image.fill(0x123456);
    plain.fill(0x123456);
    Random rnd{static_cast<uint64_t>(size.w * 1000 + size.h)};
    const int64_t far = int64_t(1) << 40;
    for (int i = 0; i < 3000; ++i) {
      const Pen pen{static_cast<uint32_t>(rnd.below(0x1000000)), rnd.below(2) == 0, rnd.below(4) == 0};
      // Mostly shapes near the image, crossing its edges; some far out or of
      // extreme size.
      auto coord = [&](int32_t extent) {
        switch (rnd.below(8)) {
          case 0:
            return rnd.between(-far, far);
          case 1:
            return rnd.below(2) ? INT64_MAX - rnd.below(3) : INT64_MIN + rnd.below(3);
          default:
            return rnd.between(-8, extent + 8);
        }
      };
      auto length = [&](int32_t extent) {
        switch (rnd.below(10)) {
          case 0:
            return rnd.between(-far, far);
          case 1:
            return rnd.below(2) ? INT64_MAX - rnd.below(3) : INT64_MIN + rnd.below(3);
          case 2:
            return rnd.between(-3, 3);
          default:
            return rnd.between(-extent - 10, extent + 10);
        }
      };
      const int64_t x = coord(size.w), y = coord(size.h);
      switch (rnd.below(3)) {
        case 0: {
          const int64_t w = length(size.w), h = length(size.h);
          // The plain painter's corners stay within 128 bits; the image clamps
          // the same way.
          image.box(x, y, w, h, pen);
          plain.box(x, y, w, h, pen);
          break;
        }
        case 1: {
          const int64_t r = rnd.below(6) == 0 ? length(size.w) : rnd.between(-1, size.w);
          if (x < -far || x > far || y < -far || y > far) break;  // the plain painter's scan stays exact
          image.circle(x, y, r, pen);
          plain.circle(x, y, r, pen);
          break;
        }
        default: {
          const int64_t rx = rnd.between(-size.w, size.w), ry = rnd.between(-size.h, size.h);
          if (x < -far || x > far || y < -far || y > far) break;
          image.ellipse(x, y, rx, ry, pen);
          plain.ellipse(x, y, rx, ry, pen);
          break;
        }
      }
      const std::vector<uint32_t> drawn(image.pixels(), image.pixels() + plain.pixels().size());
      ASSERT_EQ(drawn, plain.pixels()) << "after shape " << i;
    }
  }
}

// Filled boxes on images whose rows are a whole number of 64-byte lines (where every
// row of a box starts at the same place in its line) and on others, given by size and
// by their corners, set the pixels a plain painter sets.
TEST(CanvasImageShapes, FilledBoxesByCornersAndOnWholeLineRowsSetThePixelsAPlainPainterSets) {
  const struct { int32_t w, h; } sizes[] = {{16, 9}, {48, 20}, {880, 14}, {3, 40}, {37, 23}, {130, 17}};
  for (const auto& size : sizes) {
    SCOPED_TRACE(std::to_string(size.w) + "x" + std::to_string(size.h));
    CanvasImage image(size.w, size.h);
    PlainPainter plain(size.w, size.h);
    image.fill(0x654321);
    plain.fill(0x654321);
    Random rnd{static_cast<uint64_t>(size.w * 77 + size.h)};
    for (int i = 0; i < 2000; ++i) {
      const uint32_t colour = static_cast<uint32_t>(rnd.below(0x1000000));
      const int64_t x0 = rnd.between(-40, size.w + 40), y0 = rnd.between(-10, size.h + 10);
      const int64_t x1 = rnd.below(3) == 0 ? x0 + rnd.between(-3, 3) : rnd.between(-40, size.w + 40);
      const int64_t y1 = rnd.between(-10, size.h + 10);
      if (rnd.below(2) == 0) {
        image.fillBetween(static_cast<int32_t>(x0), static_cast<int32_t>(y0), static_cast<int32_t>(x1),
                          static_cast<int32_t>(y1), colour);
      } else {
        image.box(x0, y0, x1 - x0, y1 - y0, Pen{colour, false, false});
      }
      plain.box(x0, y0, x1 - x0, y1 - y0, Pen{colour, false, false});
      const std::vector<uint32_t> drawn(image.pixels(), image.pixels() + plain.pixels().size());
      ASSERT_EQ(drawn, plain.pixels()) << "after box " << i << ": " << x0 << "," << y0 << " to " << x1 << "," << y1;
    }
    // Corners at the ends of the projected range.
    for (const int32_t far : {kScreenLimit, -kScreenLimit, size.w / 2 + kScreenLimit}) {
      image.fillBetween(far, 1, size.w / 2, size.h - 1, 0x111111);
      plain.box(far, 1, int64_t(size.w / 2) - far, size.h - 2, Pen{0x111111, false, false});
      image.fillBetween(2, -far, size.w - 2, far, 0x222222);
      plain.box(2, -far, size.w - 4, int64_t(far) + far, Pen{0x222222, false, false});
    }
    const std::vector<uint32_t> drawn(image.pixels(), image.pixels() + plain.pixels().size());
    EXPECT_EQ(drawn, plain.pixels());
  }
}

// FNV-1a over the image's pixels and size.
uint64_t fingerprint(const CanvasImage& image) {
  uint64_t h = 14695981039346656037ull;
  auto mix = [&h](uint32_t v) {
    for (int i = 0; i < 4; ++i) {
      h ^= (v >> (8 * i)) & 0xFF;
      h *= 1099511628211ull;
    }
  };
  mix(static_cast<uint32_t>(image.width()));
  mix(static_cast<uint32_t>(image.height()));
  for (int64_t i = 0; i < int64_t(image.width()) * image.height(); ++i) mix(image.pixels()[i]);
  return h;
}

// A zone of every kind of object the canvas draws: blocks of many sizes and
// depths (some far beyond the canvas, some a pixel wide, some behind the
// camera), checkpoints, faces, invisible, see-through and horizon blocks,
// moving blocks with line, two-line and ellipse paths, areas and entrances, on
// three levels.
std::string variedZone(uint32_t seed) {
  Random rnd{seed};
  std::string xml =
      "<levels><level z=\"0\" color=\"3060C0\"/><level z=\"60\" "
      "color=\"406080\"/>"
      "<level z=\"-40\" color=\"F0F0F0\"/></levels>";
  const char* waves[] = {"", "saw", "parabola", "tri", ""};
  for (int i = 0; i < 120; ++i) {
    const int64_t size = rnd.below(25) == 0 ? 4000 : rnd.below(4) == 0 ? 2 : 60;
    // Huge blocks lie far back, so that they do not cover everything else.
    const int64_t x = rnd.between(-300, 300), y = rnd.between(-250, 250);
    const int64_t z = size > 60 ? rnd.between(300, 400) : rnd.between(-120, 200);
    const int64_t w = 1 + rnd.below(size), h = 1 + rnd.below(size);
    std::string flg, extra;
    switch (rnd.below(12)) {
      case 0:
        flg = "checkpoint";
        break;
      case 1:
        flg = "hasface";
        break;
      case 2:
        flg = "invisible";
        break;
      case 3:
        flg = "hasface,invisible";
        break;
      case 4:
        flg = "checkpoint,invisible";
        break;
      case 5:
        flg = rnd.below(2) ? "motion" : "motion,circular";
        extra = " xlim=\"" + std::to_string(x) + "," + std::to_string(x + rnd.between(-200, 200)) + "\" ylim=\"" +
                std::to_string(y) + "," + std::to_string(y + rnd.between(-150, 150)) + "\" phase=\"" +
                std::to_string(rnd.below(360)) + "\" wave=\"" + waves[rnd.below(5)] + "\"";
        break;
      case 6:
        extra = " trans=\"0." + std::to_string(rnd.below(10)) + "\"";
        break;
      default:
        break;
    }
    if (i % 60 == 7) flg = rnd.below(2) ? "horizon" : "horizon,hasface";
    char colour[8];
    std::snprintf(colour, sizeof colour, "%06X", static_cast<unsigned>(rnd.below(0x1000000)));
    xml += "<block oname=\"b" + std::to_string(i) + "\" color=\"" + colour + "\" x=\"" + std::to_string(x) + "\" y=\"" +
           std::to_string(y) + "\" w=\"" + std::to_string(w) + "\" h=\"" + std::to_string(h) + "\" z=\"" +
           std::to_string(z) + "\"" + (flg.empty() ? "" : " flg=\"" + flg + "\"") + extra + "/>";
    if (i % 9 == 4)
      xml += "<area xlim=\"" + std::to_string(x) + "," + std::to_string(x + w) + "\" ylim=\"" + std::to_string(y) +
             "," + std::to_string(y + h) + "\" z=\"" + std::to_string(z) + "\"/>";
    if (i % 23 == 5)
      xml +=
          "<entrance x=\"" + std::to_string(x) + "\" y=\"" + std::to_string(y) + "\" z=\"" + std::to_string(z) + "\"/>";
  }
  return xml;
}

class CanvasPictureTest : public CanvasTest {};

TEST_F(CanvasPictureTest, VariedZonesAndViewsDrawTheirRecordedPictures) {
  struct Case {
    const char* name;
    uint32_t seed;
    int32_t w, h;
    float camx, camy, camz, scale;
    int level;
    int select;  // every n-th object selected (0: none)
    int hide;    // every n-th object hidden (0: none)
    int place;   // every n-th object being placed at the mouse (0: none)
    bool invert, focused, blocks, areas, entrances, paths;
    uint64_t picture;
  };
  const Case cases[] = {
      {"plain", 1, 400, 300, 0, 0, -100, kProjectionScale, 0, 0, 0, 0, false, false, true, true, true, true,
       0x3138fba0e932fb6bull},
      {"selected", 1, 400, 300, 0, 0, -100, kProjectionScale, 0, 3, 0, 0, false, true, true, true, true, true,
       0xeb2405719da73bb5ull},
      {"near", 2, 400, 300, 40, -30, -130, kProjectionScale, 1, 2, 5, 0, false, false, true, true, true, true,
       0x2d31bc803e9aec54ull},
      {"far", 3, 400, 300, -50, 60, -900, kProjectionScale, 2, 4, 0, 0, true, true, true, true, true, true,
       0xe6e537c9ad015edcull},
      {"zoomed in", 4, 400, 300, 10, 10, -200, kProjectionScale * 6.0f, 0, 5, 0, 0, false, false, true, true, true,
       true, 0xe62dbad1d35e796bull},
      {"zoomed out", 5, 400, 300, 10, 10, -150, kProjectionScale / 5.0f, 1, 2, 0, 0, false, true, true, true, true,
       true, 0x3362f8c2bd73ea3full},
      {"scrolled", 6, 400, 300, 700, -500, -250, kProjectionScale, 0, 7, 0, 0, false, false, true, true, true, true,
       0xf802cf64df2ea93dull},
      {"odd size", 7, 173, 61, -20, 5, -110, kProjectionScale, 2, 3, 0, 0, false, true, true, true, true, true,
       0xf69c7f95808bae88ull},
      {"tall", 8, 5, 333, 0, 0, -300, kProjectionScale, 0, 2, 0, 0, false, true, true, true, true, true,
       0x1f476c92e9503053ull},
      {"placing", 9, 400, 300, 0, 0, -100, kProjectionScale, 0, 0, 0, 6, false, false, true, true, true, true,
       0x3f012f302484c2edull},
      {"kinds hidden", 10, 400, 300, 0, 0, -160, kProjectionScale, 1, 2, 4, 0, false, false, false, true, false, true,
       0x7b9925db12b8d960ull},
      {"paths hidden", 11, 400, 300, 0, 0, -160, kProjectionScale, 1, 2, 0, 0, true, false, true, false, true, false,
       0x5b0914346fcf1b0bull},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    openZoneWith(variedZone(c.seed), "xlim=\"-400,500\" ylim=\"-300,700\"");
    ASSERT_GT(editor.zone.objects.size(), 120u);
    canvasResized(editor, c.w, c.h);
    editor.canvas.scale = c.scale;
    editor.canvas.mouseX = c.w / 3;
    editor.canvas.mouseY = c.h / 4;
    editor.zone.view.camx = c.camx;
    editor.zone.view.camy = c.camy;
    editor.zone.view.camz = c.camz;
    editor.zone.currentLevel = c.level;
    editor.zone.invertBackground = c.invert;
    editor.zone.showBlocks = c.blocks;
    editor.zone.showAreas = c.areas;
    editor.zone.showEntrances = c.entrances;
    editor.zone.showPaths = c.paths;
    for (size_t i = 0; i < editor.zone.objects.size(); ++i) {
      EditorObject& o = *editor.zone.objects[i];
      if (c.select && i % static_cast<size_t>(c.select) == 1) o.flags |= objflag::Selected;
      if (c.hide && i % static_cast<size_t>(c.hide) == 2) o.flags |= objflag::Hidden;
      if (c.place && i % static_cast<size_t>(c.place) == 0) o.flags |= objflag::BeingPlaced;
    }
    drawZone(editor, image, text, c.focused);
    EXPECT_EQ(fingerprint(image), c.picture) << std::hex << "0x" << fingerprint(image) << "ull";
  }
}

}  // namespace
}  // namespace zor::editor::test
