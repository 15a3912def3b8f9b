#include "editor/core/canvas_drawing.h"

#include <algorithm>
#include <cmath>

#include "editor/core/editor.h"

namespace zor::editor {

namespace {

constexpr uint32_t kWhite = 0xFFFFFF;
constexpr uint32_t kBlack = 0x000000;
constexpr uint32_t kRed = 0x0000FF;
constexpr uint32_t kDarkRed = 0x0000C0;
constexpr uint32_t kBlue = 0xFF0000;
constexpr uint32_t kDarkBlue = 0xA00000;
constexpr uint32_t kCyan = 0xFFFF00;
constexpr uint32_t kGrey = 0x606060;

uint32_t rgb(int32_t colour) { return static_cast<uint32_t>(colour) & 0xFFFFFFu; }

// Each channel moved toward the level's colour by trans, rounded.
uint32_t blend(uint32_t block, uint32_t level, float trans) {
  uint32_t out = 0;
  for (int shift = 0; shift < 24; shift += 8) {
    float l = static_cast<float>((level >> shift) & 0xFF), b = static_cast<float>((block >> shift) & 0xFF);
    float v = std::round(trans * l + (1.0f - trans) * b);
    if (!(v >= 0.0f)) v = 0.0f;  // also NaN
    if (v > 255.0f) v = 255.0f;
    out |= static_cast<uint32_t>(v) << shift;
  }
  return out;
}

// A screen rectangle as the plain block projects it.
struct ScreenBox {
  int64_t left, top, width, height;
};

ScreenBox projectBox(const Projection& p, float x, float y, float w, float h, float zrel) {
  const ScreenCorners c = p.corners(x, y, w, h, zrel);
  return {c.left, c.top, int64_t(c.right) - c.left, int64_t(c.bottom) - c.top};
}

void insetBoxes(CanvasImage& image, int64_t l, int64_t t, int64_t w, int64_t h, uint32_t colour) {
  Pen pen{colour, true, false};
  image.box(l + 2, t + 2, w - 4, h - 4, pen);
  image.box(l + 4, t + 4, w - 8, h - 8, pen);
}

void drawEyes(CanvasImage& image, int64_t l, int64_t t, int64_t w, int64_t h, bool outlined) {
  int64_t r = std::min(w, h) / 8;
  Pen pen{kWhite, outlined, false};
  image.circle(l + w / 3, t + h / 3, r, pen);
  image.circle(l + 2 * w / 3, t + h / 3, r, pen);
}

// The longest start of the text (whole UTF-8 characters) that is no wider than
// the canvas. A text far wider than any screen is cut before it is measured:
// no visible character is narrower than a pixel.
std::string fitToWidth(CanvasText& text, const std::string& s, int32_t width) {
  auto startOf = [&s](std::size_t n) {
    while (n > 0 && n < s.size() && (static_cast<unsigned char>(s[n]) & 0xC0) == 0x80) --n;
    return s.substr(0, n);
  };
  const std::size_t limit = static_cast<std::size_t>(std::max(width, 0)) * 4 + 4;  // up to 4 bytes a character
  std::string fitted = s.size() > limit ? startOf(limit) : s;
  if (text.measure(fitted).width <= width) return fitted;
  std::size_t fits = 0, tooWide = fitted.size();  // the longest start that fits lies between
  while (tooWide - fits > 1) {
    const std::size_t mid = fits + (tooWide - fits) / 2;
    if (text.measure(startOf(mid)).width <= width) {
      fits = mid;
    } else {
      tooWide = mid;
    }
  }
  return startOf(fits);
}

void drawCentred(CanvasImage& image, CanvasText& text, const std::string& whole, int32_t y, uint32_t colour) {
  const std::string s = fitToWidth(text, whole, image.width());
  TextSize size = text.measure(s);
  text.draw(image, (image.width() - size.width) / 2, y, s, colour);
}

}  // namespace

Projection canvasProjection(const Editor& editor) {
  Projection p;
  p.width = editor.canvas.width;
  p.height = editor.canvas.height;
  p.scale = editor.canvas.scale;
  p.camera = {editor.zone.view.camx, editor.zone.view.camy, editor.zone.view.camz};
  return p;
}

void drawZone(const Editor& editor, CanvasImage& image, CanvasText& text, bool focused) {
  const int32_t W = std::max(editor.canvas.width, 0), H = std::max(editor.canvas.height, 0);
  if (image.width() != W || image.height() != H) image.resize(W, H);
  if (image.width() == 0) return;  // nothing to draw on

  if (!gameOpen(editor)) {
    image.fill(kWhite);
    const std::string message = fitToWidth(text, "No game file open.", W);
    TextSize size = text.measure(message);
    text.draw(image, (W - size.width) / 2, (H - size.height) / 2, message, kRed);
    return;
  }
  const ZoneState& zone = editor.zone;
  if (zone.openZoneNode == nullptr || zone.levels.empty()) {
    image.fill(kWhite);
    const GameFileState& game = editor.game;
    const std::string shown = fitToWidth(
        text, !game.gtitle.empty() ? game.gtitle : !game.fileName.empty() ? game.fileName : "New Game", W);
    drawCentred(image, text, shown, (H - 3 * text.measure(shown).height) / 2, kBlack);
    std::string message = "No zone open.";
    drawCentred(image, text, message, (H - text.measure(message).height) / 2, kBlack);
    return;
  }

  const Projection p = canvasProjection(editor);
  int levels = zone.levelCount();
  const EditorLevel& level = zone.levels[static_cast<size_t>(((zone.currentLevel % levels) + levels) % levels)];
  const uint32_t levelColour = rgb(level.colour);
  const uint32_t background = zone.invertBackground ? inverseColour(levelColour) : levelColour;
  image.fill(background);

  // The zone's rectangle on the level plane. A plane at or behind the camera has no picture.
  const float levelZrel = p.relativeDepth(level.z);
  auto drawPlane = [&] {
    if (!(levelZrel > 0.0f)) return;
    const ZoneView& v = zone.view;
    int64_t x0 = p.screenX(v.xmin, levelZrel), x1 = p.screenX(v.xmax, levelZrel);
    int64_t y0 = p.screenY(v.ymax, levelZrel), y1 = p.screenY(v.ymin, levelZrel);
    image.box(x0, y0, x1 - x0, y1 - y0, Pen{inverseColour(background), true, false});
  };
  // The plane's outline goes in before each shown object below the level, or after all
  // objects when there is none. It is the same pixels in the same colour each time, and
  // no object is exclusive-or-ed in, so only its last drawing shows: it is drawn there
  // alone, just before the last shown object below the level.
  const size_t count = zone.objects.size();
  auto shownBelowLevel = [&](const EditorObject& o) {
    return Projection::inView(p.relativeDepth(o.z)) && !(o.flags & objflag::Hidden) && o.z < level.z;
  };
  size_t planeBefore = count;  // none
  for (size_t i = count; i > 0; --i) {
    if (shownBelowLevel(*zone.objects[i - 1])) {
      planeBefore = i - 1;
      break;
    }
  }

  // Everything but a plain block's box: the object at its relative depth.
  auto drawObject = [&](const EditorObject& o, float zrel) {
    const bool selected = (o.flags & objflag::Selected) != 0;
    float offx = 0.0f, offy = 0.0f;
    if (o.flags & objflag::BeingPlaced) {
      offx = p.worldX(static_cast<float>(editor.canvas.mouseX), zrel);
      offy = p.worldY(static_cast<float>(editor.canvas.mouseY), zrel);
    }
    switch (o.kind) {
      case kind::Block: {
        if (!zone.showBlocks) break;
        const bool outlined = (o.flags & objflag::Invisible) != 0;
        const uint32_t colour = o.trans > 0.0f ? blend(rgb(o.colour), levelColour, o.trans) : rgb(o.colour);
        if (o.flags & objflag::Checkpoint) {
          int64_t cx = p.screenX(o.x + offx, zrel), cy = p.screenY(o.y + o.w / 2.0f + offy, zrel);
          int64_t r = p.screenLength(o.w / 2.0f, zrel);
          image.circle(cx, cy, r, Pen{kBlack, outlined, false});
          image.circle(cx, cy, r - 2, Pen{kWhite, outlined, false});
          if (selected) {
            image.circle(cx, cy, 2 * r / 3, Pen{kRed, true, false});
            image.circle(cx, cy, r / 3, Pen{kBlue, true, false});
          }
        } else if (o.flags & objflag::Horizon) {
          int64_t ty = p.screenY(o.y + offy, zrel);
          if (ty < 0 || ty >= H) break;
          image.box(0, ty, W, H - ty, Pen{colour, outlined, false});
          if (o.flags & objflag::HasFace) drawEyes(image, 0, ty, W, H - ty, outlined);
          if (selected) insetBoxes(image, 0, ty, W, H - ty, inverseColour(colour));
        } else {
          const ScreenCorners c = p.corners(o.x + offx, o.y + offy, o.w, o.h, zrel);
          const ScreenBox b{c.left, c.top, int64_t(c.right) - c.left, int64_t(c.bottom) - c.top};
          if (outlined) {
            image.box(b.left, b.top, b.width, b.height, Pen{colour, true, false});
          } else {
            image.fillBetween(c.left, c.top, c.right, c.bottom, colour);
          }
          if (o.flags & objflag::HasFace) drawEyes(image, b.left, b.top, b.width, b.height, outlined);
          if (selected) insetBoxes(image, b.left, b.top, b.width, b.height, inverseColour(colour) & 0xC0C0C0u);
        }
        break;
      }
      case kind::Area: {
        if (!zone.showAreas) break;
        ScreenBox b = projectBox(p, o.x + offx, o.y + offy, o.w, o.h, zrel);
        if (selected) {
          image.box(b.left, b.top, b.width, b.height, Pen{kRed, true, false});
          image.box(b.left + 2, b.top + 2, b.width - 4, b.height - 4, Pen{kCyan, true, false});
          image.box(b.left + 3, b.top + 3, b.width - 6, b.height - 6, Pen{kCyan, true, false});
        } else {
          image.box(b.left, b.top, b.width, b.height, Pen{kDarkRed, true, false});
          image.box(b.left + 2, b.top + 2, b.width - 4, b.height - 4, Pen{kWhite, true, false});
        }
        break;
      }
      case kind::Entrance: {
        if (!zone.showEntrances) break;
        ScreenBox b = projectBox(p, o.x + offx, o.y + offy, o.w, o.h, zrel);
        const int64_t l = b.left, t = b.top, r = b.left + b.width - 1, bot = b.top + b.height - 1;
        if (selected) {
          Pen dark{kDarkBlue, false, false};
          image.line(l, t, r, bot, dark);
          image.line(l, bot, r, t, dark);
          image.line(l + 3, t, b.left + b.width - 4, bot, dark);
          image.line(l + 3, bot, b.left + b.width - 4, t, dark);
          image.box(l, t, b.width, b.height, Pen{kBlue, true, false});
          image.box(l - 1, t - 1, b.width + 2, b.height + 2, Pen{kBlue, true, false});
        } else {
          Pen grey{kGrey, false, false};
          image.line(l, t, r, bot, grey);
          image.line(l, bot, r, t, grey);
          image.box(l, t, b.width, b.height, Pen{kDarkBlue, true, false});
        }
        break;
      }
      case kind::PathLine: {
        if (!zone.showPaths) break;
        image.line(p.screenX(o.x + offx, zrel), p.screenY(o.y + offy, zrel), p.screenX(o.w + offx, zrel),
                   p.screenY(o.h + offy, zrel), Pen{rgb(o.colour), false, false});
        break;
      }
      case kind::PathEllipse: {
        if (!zone.showPaths) break;
        image.ellipse(p.screenX(o.x + offx, zrel), p.screenY(o.y + offy, zrel), p.screenLength(o.w, zrel),
                      p.screenLength(o.h, zrel), Pen{rgb(o.colour), true, false});
        break;
      }
      default:
        break;
    }
  };

  // The records are read a run at a time: first what each visible one shows (for a plain
  // block, its box and colour), then the run is drawn in order. Reading the records apart
  // from drawing keeps the loads of the next records from waiting behind the stores of
  // the pixels.
  const float mouseX = static_cast<float>(editor.canvas.mouseX), mouseY = static_cast<float>(editor.canvas.mouseY);
  constexpr int32_t kNotPlain =
      objflag::Checkpoint | objflag::Horizon | objflag::Invisible | objflag::HasFace | objflag::Selected;
  constexpr size_t kRun = 16;
  struct Shown {
    const EditorObject* object;
    float zrel;
    bool planeFirst;  // the plane's outline goes in just before this object
    bool plainBox;    // a filled block and nothing on it: the box below is all it draws
    ScreenCorners box;
    uint32_t colour;
  };
  for (size_t run = 0; run < count; run += kRun) {
    Shown shown[kRun];
    size_t n = 0;
    const size_t end = std::min(count, run + kRun);
    for (size_t i = run; i < end; ++i) {
      // The records lie apart in memory: ask for the ones a run on while these are read.
      if (i + kRun < count) __builtin_prefetch(zone.objects[i + kRun].get());
      const EditorObject& o = *zone.objects[i];
      const float zrel = p.relativeDepth(o.z);
      if (!Projection::inView(zrel) || (o.flags & objflag::Hidden)) continue;
      Shown& s = shown[n++];
      s.object = &o;
      s.zrel = zrel;
      s.planeFirst = i == planeBefore;
      s.plainBox = o.kind == kind::Block && zone.showBlocks && !(o.flags & kNotPlain);
      if (!s.plainBox) continue;
      float offx = 0.0f, offy = 0.0f;
      if (o.flags & objflag::BeingPlaced) {
        offx = p.worldX(mouseX, zrel);
        offy = p.worldY(mouseY, zrel);
      }
      s.box = p.corners(o.x + offx, o.y + offy, o.w, o.h, zrel);
      s.colour = o.trans > 0.0f ? blend(rgb(o.colour), levelColour, o.trans) : rgb(o.colour);
    }
    for (size_t k = 0; k < n; ++k) {
      const Shown& s = shown[k];
      if (s.planeFirst) drawPlane();
      if (s.plainBox) {
        image.fillBetween(s.box.left, s.box.top, s.box.right, s.box.bottom, s.colour);
      } else {
        drawObject(*s.object, s.zrel);
      }
    }
  }
  if (planeBefore == count) drawPlane();

  if (focused) {
    Pen frame{kWhite, false, true};
    image.box(2, 2, W - 4, 2, frame);
    image.box(2, H - 4, W - 4, 2, frame);
    image.box(2, 2, 2, H - 4, frame);
    image.box(W - 4, 2, 2, H - 4, frame);
  }
}

EditorObject* hitTest(const Editor& editor, int32_t px, int32_t py, int32_t skip) {
  const ZoneState& zone = editor.zone;
  if (zone.openZoneNode == nullptr) return nullptr;
  const Projection p = canvasProjection(editor);
  for (auto it = zone.objects.rbegin(); it != zone.objects.rend(); ++it) {
    EditorObject& o = **it;
    const float zrel = p.relativeDepth(o.z);
    if (!Projection::inView(zrel) || (o.flags & objflag::Hidden)) continue;
    if (o.kind == kind::Block ? !zone.showBlocks
        : o.kind == kind::Area ? !zone.showAreas
        : o.kind == kind::Entrance ? !zone.showEntrances
                                   : true)
      continue;
    const float wx = p.worldX(static_cast<float>(px), zrel), wy = p.worldY(static_cast<float>(py), zrel);
    bool hit;
    if (o.kind == kind::Block && (o.flags & objflag::Checkpoint)) {
      float dx = wx - o.x, dy = wy - (o.y + o.w / 2.0f);
      hit = std::sqrt(dx * dx + dy * dy) < o.w / 2.0f;
    } else if (o.kind == kind::Block && (o.flags & objflag::Horizon)) {
      hit = wy < o.y;
    } else {
      hit = o.x < wx && wx < o.x + o.w && o.y < wy && wy < o.y + o.h;
    }
    if (!hit) continue;
    if (skip > 0) {
      --skip;
      continue;
    }
    return &o;
  }
  return nullptr;
}

}  // namespace zor::editor
