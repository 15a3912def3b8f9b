#include "game/render/pixel_font.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstring>

#include "game/input/controls.h"

namespace zor {

// clang-format off
const uint8_t fontGlyphs[kGlyphCount * kGlyphRows] = {
    0x0E, 0x11, 0x1F, 0x11, 0x11,  // A
    0x1E, 0x11, 0x1E, 0x11, 0x1E,  // B
    0x0F, 0x10, 0x10, 0x10, 0x0F,  // C
    0x1E, 0x11, 0x11, 0x11, 0x1E,  // D
    0x1F, 0x10, 0x1E, 0x10, 0x1F,  // E
    0x1F, 0x10, 0x1E, 0x10, 0x10,  // F
    0x0E, 0x10, 0x13, 0x11, 0x0E,  // G
    0x11, 0x11, 0x1F, 0x11, 0x11,  // H
    0x0E, 0x04, 0x04, 0x04, 0x0E,  // I
    0x0F, 0x02, 0x02, 0x12, 0x0C,  // J
    0x11, 0x12, 0x1C, 0x12, 0x11,  // K
    0x10, 0x10, 0x10, 0x10, 0x1F,  // L
    0x11, 0x1B, 0x15, 0x11, 0x11,  // M
    0x11, 0x19, 0x15, 0x13, 0x11,  // N
    0x0E, 0x11, 0x11, 0x11, 0x0E,  // O
    0x1E, 0x11, 0x1E, 0x10, 0x10,  // P
    0x0E, 0x11, 0x11, 0x0E, 0x03,  // Q
    0x1E, 0x11, 0x1E, 0x12, 0x11,  // R
    0x0F, 0x10, 0x0E, 0x01, 0x1E,  // S
    0x1F, 0x04, 0x04, 0x04, 0x04,  // T
    0x11, 0x11, 0x11, 0x11, 0x0E,  // U
    0x11, 0x11, 0x11, 0x0A, 0x04,  // V
    0x11, 0x15, 0x15, 0x15, 0x0A,  // W
    0x11, 0x0A, 0x04, 0x0A, 0x11,  // X
    0x11, 0x11, 0x0E, 0x04, 0x04,  // Y
    0x1F, 0x02, 0x04, 0x08, 0x1F,  // Z
    0x0E, 0x11, 0x11, 0x11, 0x0E,  // 0
    0x0C, 0x14, 0x04, 0x04, 0x1F,  // 1
    0x1E, 0x01, 0x0E, 0x10, 0x1F,  // 2
    0x1E, 0x01, 0x0E, 0x01, 0x1E,  // 3
    0x12, 0x12, 0x1F, 0x02, 0x02,  // 4
    0x1F, 0x10, 0x1E, 0x01, 0x1E,  // 5
    0x0E, 0x10, 0x1E, 0x11, 0x0E,  // 6
    0x1F, 0x02, 0x04, 0x08, 0x08,  // 7
    0x0E, 0x11, 0x0E, 0x11, 0x0E,  // 8
    0x0F, 0x11, 0x0F, 0x01, 0x01,  // 9
    0x04, 0x02, 0x1F, 0x02, 0x04,  // > right arrow
    0x04, 0x0E, 0x15, 0x04, 0x04,  // ^ up arrow
    0x04, 0x08, 0x1F, 0x08, 0x04,  // < left arrow
    0x04, 0x04, 0x15, 0x0E, 0x04,  // \ down arrow
    0x00, 0x00, 0x00, 0x0C, 0x0C,  // .
    0x0C, 0x0C, 0x00, 0x0C, 0x0C,  // :
    0x00, 0x04, 0x0E, 0x04, 0x00,  // +
    0x00, 0x00, 0x0F, 0x00, 0x00,  // -
    0x00, 0x0E, 0x00, 0x0E, 0x00,  // =
    0x00, 0x0A, 0x04, 0x0A, 0x00,  // multiplication sign (0xD7)
    0x0E, 0x11, 0x06, 0x00, 0x04,  // ?
    0x04, 0x04, 0x04, 0x00, 0x04,  // !
    0x01, 0x02, 0x04, 0x08, 0x10,  // /
    0x02, 0x04, 0x04, 0x04, 0x02,  // (
    0x08, 0x04, 0x04, 0x04, 0x08,  // )
    0x0E, 0x1B, 0x15, 0x1B, 0x0E,  // *
    0x0A, 0x0A, 0x00, 0x00, 0x00,  // "
};
// clang-format on

namespace {

constexpr int kNoiseGlyph = -2;
// Bytes of the noise source the noise glyph may read: 5 from byte 4 * 52.
constexpr std::size_t kNoiseSourceBytes = 4 * (kGlyphCount - 1) + kGlyphRows;

// The noise glyph's rows come from the stored bytes of the built-in control
// definitions laid back to back: per control its key code and gamepad button
// (32-bit little-endian), then the glyph and key label as one zero-ended text and
// the action name as another. Built once from the constant table; never changes.
const std::array<uint8_t, kNoiseSourceBytes>& noiseSource() {
  static const std::array<uint8_t, kNoiseSourceBytes> bytes = [] {
    std::array<uint8_t, kNoiseSourceBytes> out{};
    std::size_t at = 0;
    auto put = [&](uint8_t b) {
      if (at < out.size()) out[at++] = b;
    };
    auto put32 = [&](int32_t v) {
      const uint32_t u = static_cast<uint32_t>(v);
      for (int i = 0; i < 4; ++i) put(static_cast<uint8_t>(u >> (8 * i)));
    };
    auto putText = [&](const char* s) {
      if (s != nullptr)
        for (; *s != '\0'; ++s) put(static_cast<uint8_t>(*s));
      put(0);
    };
    for (const ControlKeyRecord& r : kControlKeyTable) {
      put32(r.keyCode);
      put32(r.button);
      put(static_cast<uint8_t>(r.glyph));
      putText(r.keyName);
      putText(r.actionName);
    }
    return out;  // any bytes not reached stay 0 (a blank pattern)
  }();
  return bytes;
}

// The visible part of a rectangle within +-2^29: far beyond any output, so the
// clipped rectangle draws the same pixels and its sides always fit in 32 bits.
void fillClipped(ShapeFill& fill, int64_t x, int64_t y, int64_t w, int64_t h, int32_t colour) {
  constexpr int64_t kLimit = int64_t{1} << 29;
  if (w <= 0 || h <= 0) return;
  const int64_t x0 = std::max(x, -kLimit), x1 = std::min(x + w, kLimit);
  const int64_t y0 = std::max(y, -kLimit), y1 = std::min(y + h, kLimit);
  if (x1 <= x0 || y1 <= y0) return;
  fill.fillBox(static_cast<int32_t>(x0), static_cast<int32_t>(y0), static_cast<int32_t>(x1 - x0),
               static_cast<int32_t>(y1 - y0), colour);
}

}  // namespace

int glyphIndexOf(uint8_t byte) {
  if (byte >= 'A' && byte <= 'Z') return byte - 'A';
  if (byte >= '0' && byte <= '9') return 26 + (byte - '0');
  switch (byte) {
    case '>': return 36;
    case '^': return 37;
    case '<': return 38;
    case '\\': return 39;
    case '.': return 40;
    case ':': return 41;
    case '+': return 42;
    case '-': return 43;
    case '=': return 44;
    case 0xD7: return 45;
    case '?': return 46;
    case '!': return 47;
    case '/': return 48;
    case '(': return 49;
    case ')': return 50;
    case '*': return 51;
    case '"': return 52;
    case '~': return kNoiseGlyph;
    default: return -1;
  }
}

const uint8_t* glyphForCharacter(uint8_t byte, uint32_t position, int32_t noiseMask) {
  const int index = glyphIndexOf(byte);
  if (index >= 0) return &fontGlyphs[index * kGlyphRows];
  if (index != kNoiseGlyph) return nullptr;
  const uint32_t k = (position & static_cast<uint32_t>(noiseMask)) % static_cast<uint32_t>(kGlyphCount);
  return noiseSource().data() + 4 * k;
}

uint32_t noiseBaseFor(std::string_view text) {
  uint32_t h = 2166136261u;  // FNV-1a
  for (char c : text) {
    h ^= static_cast<uint8_t>(c);
    h *= 16777619u;
  }
  return h;
}

int32_t renewNoiseMask(RandomGenerator& noiseGenerator) {
  return static_cast<int32_t>(noiseGenerator.draw(16777215u)) + 1;
}

int64_t pixelTextWidth(std::string_view text, int32_t size) {
  if (text.empty()) return 0;
  const int64_t unit = size / 5;
  return static_cast<int64_t>(text.size()) * (int64_t{size} + unit) - unit;
}

void drawPixelText(ShapeFill& fill, int32_t x, int32_t y, std::string_view text, int32_t colour,
                   int32_t size, int32_t centred, int32_t boxColour, int32_t noiseMask) {
  if (text.empty()) return;
  const int64_t unit = size / 5;  // toward zero
  const int64_t advance = int64_t{size} + unit;
  const int64_t width = pixelTextWidth(text, size);
  const int64_t left = centred != 0 ? int64_t{x} - width / 2 : int64_t{x};
  const int64_t top = y;

  if (boxColour != -1) {
    fillClipped(fill, left - 2 * unit, top - 2 * unit, width + 4 * unit, int64_t{size} + 4 * unit, colour);
    fillClipped(fill, left - unit, top - unit, width + 2 * unit, int64_t{size} + 2 * unit, boxColour);
  }
  // Font pixels of no size draw nothing; the box above is all there is.
  if (unit <= 0) return;

  const uint32_t base = noiseBaseFor(text);
  constexpr int64_t kFarRight = int64_t{1} << 29;
  int64_t pen = left;
  for (std::size_t i = 0; i < text.size(); ++i, pen += advance) {
    if (pen >= kFarRight) break;  // every further cell is beyond any output
    const uint8_t* glyph =
        glyphForCharacter(static_cast<uint8_t>(text[i]), base + static_cast<uint32_t>(i), noiseMask);
    if (glyph == nullptr) continue;
    for (int r = 0; r < kGlyphRows; ++r) {
      const uint8_t rowBits = glyph[r];
      const int64_t rowTop = top + r * unit;
      int64_t runStart = pen;
      int64_t run = 0;
      // Six steps: the sixth is always off and closes a run reaching the right edge.
      for (int c = 0; c < 6; ++c) {
        const bool on = c < 5 && (rowBits & (0x10 >> c)) != 0;
        if (on) {
          run += unit;
        } else if (run != 0) {
          fillClipped(fill, runStart, rowTop, run, unit, colour);
          runStart += run + unit;
          run = 0;
        } else {
          runStart += unit;
        }
      }
    }
  }
}

}  // namespace zor
