#include "game/render/block_drawing.h"

#include <algorithm>
#include <cmath>

#include "format/vocabulary.h"
#include "game/game.h"

namespace zor {

namespace {

namespace flag = format::flag;

constexpr int32_t kWhite = 0xFFFFFF;
constexpr int32_t kBlack = 0x000000;
constexpr int32_t kInactiveCheckpointGrey = 0xA0A0A0;

// The object's box after the swish distortion.
struct Placed {
  float x, y, w, h;
  float d;  // depth in front of the camera
};

Placed place(const Game& game, const Projection& p, const ObjectRecord& o) {
  Placed b{o.x, o.y, o.w, o.h, o.z - p.camera.z};
  const SwishFactors s = swishFactors(game.script.screenEffects.swishAmount, game.script.screenEffects.swishAngle);
  if (s.active) {
    b.x = p.camera.x + (b.x - p.camera.x) * s.kx;
    b.y = p.camera.y + (b.y - p.camera.y) * s.ky;
    if (!o.has(flag::Checkpoint)) {
      b.w = b.w * s.kx;
      b.h = b.h * s.ky;
    }
  }
  return b;
}

struct Disc {
  int64_t sx = 0, sy = 0, r = 0;
  bool visible = false;
};

Disc checkpointDisc(const Projection& p, const Placed& b) {
  Disc c;
  const float rx = b.x - p.camera.x;
  const float ry = b.y - p.camera.y;
  c.r = truncateToPixel(p.focal * b.w * 0.5f / b.d);
  c.sx = p.screenX(rx, b.d) + c.r;
  c.sy = p.screenY(ry, b.d) - c.r;
  c.visible = p.inView(c.sx - c.r, c.sy - c.r, 2 * c.r, 2 * c.r);
  return c;
}

void drawCheckpoint(const Game& game, const Projection& p, ShapeFill& fill, const ObjectRecord& o,
                    const Placed& b) {
  const Disc c = checkpointDisc(p, b);
  if (!c.visible) return;
  if (game.world.currentCheckpoint == &o) {
    int32_t first = o.colour1, second = o.colour2;
    if (o.litColour < 0) {
      first = rainbowColour(o.colour1);
      second = rainbowColour(o.colour2);
    }
    fillDisc(fill, c.sx, c.sy, c.r * 11 / 10, second);
    fillDisc(fill, c.sx, c.sy, c.r, first);
    fillDisc(fill, c.sx, c.sy, nearestEven(static_cast<float>(c.r) * o.phase), second);
  } else {
    int64_t r2 = c.r * 11 / 10;
    if (r2 <= c.r) r2 = c.r + 1;
    fillDisc(fill, c.sx, c.sy, r2, kBlack);
    fillDisc(fill, c.sx, c.sy, c.r, kInactiveCheckpointGrey);
  }
}

void drawHorizon(const Game& game, const Projection& p, ShapeFill& fill, const ObjectRecord& o,
                 const Placed& b) {
  const int64_t sy = p.screenY(b.y - p.camera.y, b.d);
  int32_t colour = o.colour1;
  if (o.has(flag::Cyclic)) colour = blendColour(o.colour1, o.colour2, o.waveValue);
  colour = blendColour(colour, game.world.backgroundColour, o.trans);
  fillRect(fill, 0, sy, p.viewWidth, int64_t{p.pixelHeight} - sy, colour);
}

void drawFace(const Projection& p, ShapeFill& fill, const ObjectRecord& o, const Placed& b,
              int32_t fillColour) {
  float e = b.w / 8.0f;
  if (b.h / 8.0f < e) e = b.h / 8.0f;
  if (!(e >= 1.0f)) return;
  const float f = p.focal, d = b.d;
  const float camX = p.camera.x, camY = p.camera.y;
  const float cy = static_cast<float>(p.centreY);
  const float fx = b.x + 0.5f * b.w;
  const float fy = b.y + 0.67f * b.h;
  const float dx = 1.5f * e;

  // Eyes.
  const int64_t er = nearestAway(e * f / d);
  const int64_t ex1 = p.screenX(fx - dx - camX, d);
  const int64_t ex2 = p.screenX(fx + dx - camX, d);
  const int64_t ey = nearestEven(cy - f * (fy - camY) / d);
  if (er > 1) {
    fillDisc(fill, ex1, ey, er, kWhite);
    fillDisc(fill, ex2, ey, er, kWhite);
  } else {
    const int64_t sy = nearestEven(cy - f * (fy - camY) / d - 1.0f);
    fillRect(fill, ex1 - 1, sy, 3, 3, kWhite);
    fillRect(fill, ex2 - 1, sy, 3, 3, kWhite);
  }

  // Brows: one wedge row per pixel row, only the rows on the screen.
  if (o.has(flag::Evil) || o.has(flag::Sad)) {
    const int64_t bw = 2 * er + 3;
    const int64_t hb = bw / 2;
    int64_t bx1 = ex1 - hb, bx2 = ex2 - hb;
    const int64_t by = p.screenY(fy - camY, d) - hb;
    if (o.has(flag::Sad)) std::swap(bx1, bx2);
    const int64_t firstRow = std::max<int64_t>(0, -by);
    const int64_t endRow = std::min<int64_t>(hb, int64_t{p.pixelHeight} - by);
    for (int64_t i = firstRow; i < endRow; ++i) {
      const int64_t off = bw * i / hb;
      fillRect(fill, bx1 + off, by + i, bw - off, 1, fillColour);
      fillRect(fill, bx2, by + i, bw - off, 1, fillColour);
    }
  }

  // Pupils.
  float px = 0.0f, py = 0.0f;
  if (o.facedObject != nullptr) {
    const ObjectRecord& t = *o.facedObject;
    const float vx = t.x + t.w / 2.0f - fx;
    const float vy = t.y + t.h / 2.0f - fy;
    const float a = std::atan2(vy, vx);
    px = 0.4f * e * std::cos(a);
    py = 0.4f * e * std::sin(a);
  } else {
    if (o.facing == 1) {
      px = 0.38f * e;
    } else if (o.facing == -1) {
      px = -0.39f * e;
    }
    px = static_cast<float>(nearestAway(px));
    py = 0.0f;
  }
  const int64_t ps = nearestAway(e * f / d * 0.6f);
  const int64_t pupilY = nearestEven(cy - f * (fy + py - camY) / d - static_cast<float>(ps) / 2.0f);
  fillRect(fill, p.screenX(fx - dx + px - camX, d) - ps / 2, pupilY, ps, ps, kBlack);
  fillRect(fill, p.screenX(fx + dx + px - camX, d) - ps / 2, pupilY, ps, ps, kBlack);
}

bool hasBorder(const Game& game, const ObjectRecord& o) {
  const ObjectRecord* player = game.world.player;
  if (player == nullptr) return false;
  if (o.level == player->level && o.has(flag::Solid) && !o.has(flag::NoBorder)) return true;
  if (o.has(flag::Scenic) && o.has(flag::NoBorder)) {
    const int level = player->level;
    if (level < 0 || level >= game.world.levelCount()) return false;
    return std::fabs(o.z - game.world.levels[static_cast<size_t>(level)].z) < 1.0f;
  }
  return false;
}

void drawBox(const Game& game, const Projection& p, ShapeFill& fill, const ObjectRecord& o,
             const Placed& b) {
  const float rx = b.x - p.camera.x;
  const float ry = b.y - p.camera.y;
  const int64_t sx = p.screenX(rx, b.d);
  const int64_t sy = p.screenY(ry + b.h, b.d);
  const int64_t sw = p.screenX(rx + b.w, b.d) - sx + 1;
  const int64_t sh = p.screenY(ry, b.d) - sy + 1;
  if (!p.inView(sx, sy, sw, sh)) return;

  const int32_t background = game.world.backgroundColour;
  int32_t borderColour = kBlack;
  int32_t fillColour = background;
  const bool filled = o.colour1 >= 0;
  if (filled) {
    if (o.trans == 0.0f) {
      const ObjectRecord* player = game.world.player;
      const bool litUp = o.has(flag::Lightup) && player != nullptr && player->support == &o;
      const bool bounced =
          o.has(flag::Bouncy) && game.world.lastBounceObject == &o && game.world.bounceFrames != 0;
      if (o.has(flag::Cyclic) && !o.has(flag::Lightup)) {
        fillColour = blendColour(o.colour1, o.colour2, o.waveValue);
      } else if (litUp || bounced) {
        fillColour = o.colour2;
      } else {
        fillColour = o.colour1;
      }
    } else {
      borderColour = blendColour(kBlack, background, o.trans);
      fillColour = o.has(flag::Cyclic) ? blendColour(o.colour1, o.colour2, o.waveValue) : o.colour1;
      fillColour = blendColour(fillColour, background, o.trans);
    }

    if (hasBorder(game, o)) {
      const int64_t bw = p.borderWidth;
      fillRect(fill, sx, sy, sw, bw, borderColour);
      fillRect(fill, sx, sy + bw, bw, sh - 2 * bw, borderColour);
      fillRect(fill, sx, sy + sh - bw, sw, bw, borderColour);
      fillRect(fill, sx + sw - bw, sy, bw, sh, borderColour);
      fillRect(fill, sx + bw, sy + bw, sw - 2 * bw, sh - 2 * bw, fillColour);
    } else {
      fillRect(fill, sx, sy, sw - 1, sh - 1, fillColour);
    }
  }

  if (o.has(flag::HasFace)) drawFace(p, fill, o, b, fillColour);
}

}  // namespace

int32_t rainbowColour(int64_t index) {
  int64_t i = index % kRainbowColourCount;
  if (i < 0) i += kRainbowColourCount;
  return kRainbowColours[i];
}

int32_t drawBlock(Game& game, ShapeFill& fill, const ObjectRecord& object) {
  return drawBlock(game, projectionFor(game), fill, object);
}

int32_t drawBlock(const Game& game, const Projection& projection, ShapeFill& fill,
                  const ObjectRecord& object) {
  const float d = object.z - projection.camera.z;
  if (!(d > kNearLimit)) return 1;
  const Placed b = place(game, projection, object);
  if (object.has(flag::Checkpoint)) {
    drawCheckpoint(game, projection, fill, object, b);
  } else if (object.has(flag::Horizon)) {
    drawHorizon(game, projection, fill, object, b);
  } else {
    drawBox(game, projection, fill, object, b);
  }
  return 0;
}

bool advanceCheckpointCycle(Game& game, const Projection& projection, ObjectRecord& o) {
  if (game.world.currentCheckpoint != &o || !o.has(flag::Checkpoint)) return false;
  const float d = o.z - projection.camera.z;
  if (!(d > kNearLimit)) return false;
  if (!checkpointDisc(projection, place(game, projection, o)).visible) return false;

  o.phase = o.phase + 0.1f;
  // A phase far beyond a few whole steps (only a corrupt value gets there) starts over
  // rather than stepping for ever.
  if (!(o.phase < 64.0f) && !std::isnan(o.phase)) o.phase = 0.0f;
  while (o.phase >= 1.0f) {
    o.colour1 = o.colour2;
    if (o.litColour >= 0) {
      o.colour2 = o.colour1 == kWhite ? o.litColour : kWhite;
    } else {
      // Kept an index into the rainbow table whatever the colour held before.
      int64_t next = (int64_t{o.colour2} + 1) % kRainbowColourCount;
      if (next < 0) next += kRainbowColourCount;
      o.colour2 = static_cast<int32_t>(next);
    }
    o.phase = o.phase - 1.0f;
  }
  return true;
}

}  // namespace zor
