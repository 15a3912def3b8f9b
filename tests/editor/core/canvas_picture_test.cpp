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

// The zone's picture drawn the plain way, one record after another with the image's
// shapes: the background, every shown object far to near with the level plane's
// outline before each one below the level (after all of them when there is none), and
// the focus frame. For a zone open in a game, on a canvas of at least a pixel.
void plainZonePicture(const Editor& editor, CanvasImage& image, bool focused) {
  constexpr uint32_t kWhite = 0xFFFFFF, kBlack = 0x000000, kRed = 0x0000FF, kDarkRed = 0x0000C0;
  constexpr uint32_t kBlue = 0xFF0000, kDarkBlue = 0xA00000, kCyan = 0xFFFF00, kGrey = 0x606060;
  const ZoneState& zone = editor.zone;
  const int32_t W = editor.canvas.width, H = editor.canvas.height;
  image.resize(W, H);
  const Projection p = canvasProjection(editor);
  const int n = zone.levelCount();
  const EditorLevel& level = zone.levels[static_cast<size_t>(((zone.currentLevel % n) + n) % n)];
  const uint32_t levelColour = static_cast<uint32_t>(level.colour) & 0xFFFFFFu;
  const uint32_t background = zone.invertBackground ? inverseColour(levelColour) : levelColour;
  std::fill(image.pixels(), image.pixels() + static_cast<size_t>(W) * static_cast<size_t>(H), background);
  auto blend = [&](uint32_t block, float trans) {
    uint32_t out = 0;
    for (int shift = 0; shift < 24; shift += 8) {
      const float l = static_cast<float>((levelColour >> shift) & 0xFF), b = static_cast<float>((block >> shift) & 0xFF);
      float v = std::round(trans * l + (1.0f - trans) * b);
      if (!(v >= 0.0f)) v = 0.0f;
      if (v > 255.0f) v = 255.0f;
      out |= static_cast<uint32_t>(v) << shift;
    }
    return out;
  };
  auto plane = [&] {
    const float zrel = p.relativeDepth(level.z);
    if (!(zrel > 0.0f)) return;
    const int64_t x0 = p.screenX(zone.view.xmin, zrel), x1 = p.screenX(zone.view.xmax, zrel);
    const int64_t y0 = p.screenY(zone.view.ymax, zrel), y1 = p.screenY(zone.view.ymin, zrel);
    image.box(x0, y0, x1 - x0, y1 - y0, Pen{inverseColour(background), true, false});
  };
  auto eyes = [&](int64_t l, int64_t t, int64_t w, int64_t h, bool outlined) {
    const int64_t r = std::min(w, h) / 8;
    image.circle(l + w / 3, t + h / 3, r, Pen{kWhite, outlined, false});
    image.circle(l + 2 * w / 3, t + h / 3, r, Pen{kWhite, outlined, false});
  };
  auto insets = [&](int64_t l, int64_t t, int64_t w, int64_t h, uint32_t colour) {
    image.box(l + 2, t + 2, w - 4, h - 4, Pen{colour, true, false});
    image.box(l + 4, t + 4, w - 8, h - 8, Pen{colour, true, false});
  };
  bool planeDrawn = false;
  for (const auto& record : zone.objects) {
    const EditorObject& o = *record;
    const float zrel = p.relativeDepth(o.z);
    if (!Projection::inView(zrel) || (o.flags & objflag::Hidden)) continue;
    if (o.z < level.z) {
      plane();
      planeDrawn = true;
    }
    const bool selected = (o.flags & objflag::Selected) != 0, outlined = (o.flags & objflag::Invisible) != 0;
    float offx = 0.0f, offy = 0.0f;
    if (o.flags & objflag::BeingPlaced) {
      offx = p.worldX(static_cast<float>(editor.canvas.mouseX), zrel);
      offy = p.worldY(static_cast<float>(editor.canvas.mouseY), zrel);
    }
    const int64_t left = p.screenX(o.x + offx, zrel), right = p.screenX(o.x + offx + o.w, zrel);
    const int64_t top = p.screenY(o.y + offy + o.h, zrel), bottom = p.screenY(o.y + offy, zrel);
    const int64_t w = right - left, h = bottom - top;
    const uint32_t colour = static_cast<uint32_t>(o.colour) & 0xFFFFFFu;
    if (o.kind == kind::Block && zone.showBlocks) {
      const uint32_t c = o.trans > 0.0f ? blend(colour, o.trans) : colour;
      if (o.flags & objflag::Checkpoint) {
        const int64_t cx = p.screenX(o.x + offx, zrel), cy = p.screenY(o.y + o.w / 2.0f + offy, zrel);
        const int64_t r = p.screenLength(o.w / 2.0f, zrel);
        image.circle(cx, cy, r, Pen{kBlack, outlined, false});
        image.circle(cx, cy, r - 2, Pen{kWhite, outlined, false});
        if (selected) {
          image.circle(cx, cy, 2 * r / 3, Pen{kRed, true, false});
          image.circle(cx, cy, r / 3, Pen{kBlue, true, false});
        }
      } else if (o.flags & objflag::Horizon) {
        const int64_t ty = p.screenY(o.y + offy, zrel);
        if (ty < 0 || ty >= H) continue;
        image.box(0, ty, W, H - ty, Pen{c, outlined, false});
        if (o.flags & objflag::HasFace) eyes(0, ty, W, H - ty, outlined);
        if (selected) insets(0, ty, W, H - ty, inverseColour(c));
      } else {
        image.box(left, top, w, h, Pen{c, outlined, false});
        if (o.flags & objflag::HasFace) eyes(left, top, w, h, outlined);
        if (selected) insets(left, top, w, h, inverseColour(c) & 0xC0C0C0u);
      }
    } else if (o.kind == kind::Area && zone.showAreas) {
      image.box(left, top, w, h, Pen{selected ? kRed : kDarkRed, true, false});
      image.box(left + 2, top + 2, w - 4, h - 4, Pen{selected ? kCyan : kWhite, true, false});
      if (selected) image.box(left + 3, top + 3, w - 6, h - 6, Pen{kCyan, true, false});
    } else if (o.kind == kind::Entrance && zone.showEntrances) {
      const Pen cross{selected ? kDarkBlue : kGrey, false, false};
      image.line(left, top, right - 1, bottom - 1, cross);
      image.line(left, bottom - 1, right - 1, top, cross);
      if (selected) {
        image.line(left + 3, top, right - 4, bottom - 1, cross);
        image.line(left + 3, bottom - 1, right - 4, top, cross);
        image.box(left, top, w, h, Pen{kBlue, true, false});
        image.box(left - 1, top - 1, w + 2, h + 2, Pen{kBlue, true, false});
      } else {
        image.box(left, top, w, h, Pen{kDarkBlue, true, false});
      }
    } else if (o.kind == kind::PathLine && zone.showPaths) {
      image.line(p.screenX(o.x + offx, zrel), p.screenY(o.y + offy, zrel), p.screenX(o.w + offx, zrel),
                 p.screenY(o.h + offy, zrel), Pen{colour, false, false});
    } else if (o.kind == kind::PathEllipse && zone.showPaths) {
      image.ellipse(p.screenX(o.x + offx, zrel), p.screenY(o.y + offy, zrel), p.screenLength(o.w, zrel),
                    p.screenLength(o.h, zrel), Pen{colour, true, false});
    }
  }
  if (!planeDrawn) plane();
  if (focused) {
    const Pen frame{kWhite, false, true};
    image.box(2, 2, W - 4, 2, frame);
    image.box(2, H - 4, W - 4, 2, frame);
    image.box(2, 2, 2, H - 4, frame);
    image.box(W - 4, 2, 2, H - 4, frame);
  }
}

// Random zones and views, with records moved to odd places (far off the canvas, of no
// or negative size, at huge or NaN coordinates) and random marks on them, draw the
// picture the plain way draws.
TEST_F(CanvasPictureTest, RandomZonesAndViewsDrawThePicturePlainDrawingDraws) {
  const struct { int32_t w, h; } sizes[] = {{400, 300}, {880, 96}, {173, 61}, {1, 40}, {64, 1}, {33, 257}};
  const float odd[] = {0.0f, -0.0f, 1e30f, -1e30f, 3e9f, -7.5f, std::nanf(""), 1e-30f, 2.5e4f};
  Random rnd{2024};
  for (int round = 0; round < 36; ++round) {
    SCOPED_TRACE("round " + std::to_string(round));
    openZoneWith(variedZone(static_cast<uint32_t>(100 + round)), "xlim=\"-400,500\" ylim=\"-300,700\"");
    const auto size = sizes[round % 6];
    canvasResized(editor, size.w, size.h);
    editor.canvas.scale = kProjectionScale * static_cast<float>(rnd.between(1, 40)) / 10.0f;
    editor.canvas.mouseX = static_cast<int32_t>(rnd.between(-20, size.w + 20));
    editor.canvas.mouseY = static_cast<int32_t>(rnd.between(-20, size.h + 20));
    editor.zone.view.camx = static_cast<float>(rnd.between(-300, 300));
    editor.zone.view.camy = static_cast<float>(rnd.between(-300, 300));
    editor.zone.view.camz = static_cast<float>(rnd.between(-600, 40));
    editor.zone.currentLevel = static_cast<int>(rnd.between(-3, 3));
    editor.zone.invertBackground = rnd.below(2) == 0;
    editor.zone.showBlocks = rnd.below(6) != 0;
    editor.zone.showAreas = rnd.below(4) != 0;
    editor.zone.showEntrances = rnd.below(4) != 0;
    editor.zone.showPaths = rnd.below(4) != 0;
    const int64_t marks = rnd.between(2, 30);  // one record in `marks` gets each mark, about
    for (auto& record : editor.zone.objects) {
      EditorObject& o = *record;
      if (rnd.below(marks) == 0) o.flags |= objflag::Selected;
      if (rnd.below(marks) == 0) o.flags |= objflag::Hidden;
      if (rnd.below(marks) == 0) o.flags |= objflag::BeingPlaced;
      if (rnd.below(marks) == 0) o.trans = static_cast<float>(rnd.between(-5, 15)) / 10.0f;
      if (rnd.below(marks) == 0) o.colour = static_cast<int32_t>(rnd.below(INT32_MAX));
      float* const fields[] = {&o.x, &o.y, &o.w, &o.h, &o.z};
      if (rnd.below(marks) == 0) *fields[rnd.below(5)] = odd[rnd.below(9)];
      if (rnd.below(marks) == 0) {
        const int64_t to = rnd.below(4), from = rnd.below(4);
        *fields[to] = -*fields[from];
      }
    }
    const bool focused = rnd.below(2) == 0;
    drawZone(editor, image, text, focused);
    CanvasImage plain;
    plainZonePicture(editor, plain, focused);
    ASSERT_EQ(image.width(), plain.width());
    ASSERT_EQ(image.height(), plain.height());
    const size_t count = static_cast<size_t>(plain.width()) * static_cast<size_t>(plain.height());
    ASSERT_EQ(std::vector<uint32_t>(image.pixels(), image.pixels() + count),
              std::vector<uint32_t>(plain.pixels(), plain.pixels() + count));
  }
}

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
