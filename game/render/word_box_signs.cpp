#include "game/render/word_box_signs.h"

#include <string_view>

#include "game/game.h"
#include "game/render/fill.h"
#include "game/render/pixel_font.h"

namespace zor {

SignPlacement placeSign(const Game& game, const Projection& p, const WordBox& box) {
  SignPlacement s;
  const float d = box.z - p.camera.z;
  if (!(d > kNearLimit)) return s;
  s.beyondNearLimit = true;

  float rx = box.x - p.camera.x;
  float ry = box.y - p.camera.y;
  s.sh = p.scale(box.height, d);
  const SwishFactors k = swishFactors(game.script.screenEffects.swishAmount, game.script.screenEffects.swishAngle);
  if (k.active) {
    rx = rx * k.kx;
    ry = ry * k.ky;
    s.sh = nearestEven(static_cast<float>(s.sh) * k.ky);
  }
  s.sx = p.screenX(rx, d);
  s.sy = p.screenY(ry, d) - s.sh;
  s.sw = p.scale(box.width, d);
  if (k.active) s.sw = nearestEven(static_cast<float>(s.sw) * k.kx);
  s.visible = p.inView(s.sx, s.sy, s.sw, s.sh);
  return s;
}

void drawSign(const Game& game, ShapeFill& fill, const WordBox& box) {
  drawSign(game, projectionFor(game), fill, box);
}

void drawSign(const Game& game, const Projection& p, ShapeFill& fill, const WordBox& box) {
  const SignPlacement s = placeSign(game, p, box);
  if (!s.visible) return;
  int64_t sx = s.sx, sy = s.sy, sw = s.sw, sh = s.sh;

  const std::string_view text = box.text;
  // The text is n font units wide: 5 per glyph and 1 between glyphs.
  const int64_t n = 6 * static_cast<int64_t>(text.size()) - 1;

  if (box.backColour >= 0) {
    // A frame of one unit in the colour, a margin of one unit in the back colour.
    const int64_t units = n + 4;
    fillRect(fill, sx, sy, sw, sh, box.colour);
    fillRect(fill, sx + sw / units, sy + sh / 9,
             truncateToPixel(static_cast<float>(sw) * static_cast<float>(n + 2) / static_cast<float>(units) + 0.5f),
             truncateToPixel(static_cast<float>(sh) * 7.0f / 9.0f + 0.5f), box.backColour);
    sx = sx + 2 * sw / units;
    sy = sy + 2 * sh / 9;
    sw = sw * n / units;
    sh = sh * 5 / 9;
  }
  if (text.empty()) return;

  int64_t top[6];
  top[0] = sy;
  for (int i = 1; i <= 5; ++i) top[i] = sy + sh * i / 5;

  const uint32_t noiseBase = noiseBaseFor(text);
  const int32_t noiseMask = game.app.noiseMask;
  const int64_t rightLimit = p.pixelWidth;
  for (size_t k = 0; k < text.size(); ++k) {
    const uint8_t* glyph = glyphForCharacter(static_cast<uint8_t>(text[k]),
                                             noiseBase + static_cast<uint32_t>(k), noiseMask);
    if (glyph == nullptr) continue;
    const int64_t cell = 6 * static_cast<int64_t>(k);
    int64_t left = sx + sw * cell / n;
    for (int c = 0; c < 5; ++c) {
      const int64_t right = sx + sw * (cell + c + 1) / n;
      if (right >= 0) {
        const uint8_t bit = static_cast<uint8_t>(0x10 >> c);
        for (int r = 0; r < 5; ++r) {
          if (glyph[r] & bit) fillRect(fill, left, top[r], right - left, top[r + 1] - top[r], box.colour);
        }
      }
      left = right;
      if (left >= rightLimit) return;  // the rest is off the screen
    }
  }
}

void updateSignFlags(const Game& game, const Projection& p, WordBox& box) {
  const SignPlacement s = placeSign(game, p, box);
  if (!s.beyondNearLimit) return;
  if (s.visible) {
    box.flags |= wordbox::Seen;
  } else if ((box.flags & wordbox::Disappearing) && (box.flags & wordbox::Seen)) {
    box.flags |= wordbox::Remove;
  }
}

}  // namespace zor
