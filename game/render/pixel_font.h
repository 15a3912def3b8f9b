// The built-in 5x5 pixel font and the one routine that draws screen text with
// it. Every glyph pixel becomes part of a filled rectangle on the drawing
// output (one rectangle per horizontal run of set pixels), so text looks the
// same through both shape back-ends. Menus, titles, the run clock, the
// countdown and the debug overlay draw with drawPixelText; the word-box signs
// read the glyphs through glyphForCharacter.
#pragma once

#include <cstdint>
#include <string_view>

#include "platform/framebuffer.h"
#include "platform/random.h"

namespace zor {

inline constexpr int kGlyphCount = 53;
inline constexpr int kGlyphRows = 5;

// 53 glyphs of 5 row bytes, top row first. In a row byte 0x10 is the leftmost
// column and 0x01 the rightmost. Order: A..Z, 0..9, then ">", "^", "<", "\",
// ".", ":", "+", "-", "=", the byte 0xD7 (multiplication sign), "?", "!", "/",
// "(", ")", "*" and the double quote.
extern const uint8_t fontGlyphs[kGlyphCount * kGlyphRows];

// Glyph index of a byte, -1 for a blank cell (space, lower-case letters and
// every byte the font lacks) and -2 for the noise glyph "~".
int glyphIndexOf(uint8_t byte);

// The 5 row bytes of a character, or null for a blank cell. position is the
// character's noise number: only the noise glyph "~" reads it, picking one of
// 53 patterns by (position AND noiseMask) mod 53; neighbouring characters should
// get different numbers.
const uint8_t* glyphForCharacter(uint8_t byte, uint32_t position, int32_t noiseMask);

// A noise number base for a text: the same for the same text, so a text drawn
// again shows the same noise until the mask changes. Character i uses base + i.
uint32_t noiseBaseFor(std::string_view text);

// A new noise mask, 1..16777216, drawn from the generator given. The noise glyph
// is a presentation detail: its generator must be its own, never the world's
// seeded one, so that a replay's random draws do not depend on when a second
// of wall-clock time ended.
int32_t renewNoiseMask(RandomGenerator& noiseGenerator);

// Width in pixels of a text of n bytes at a size: n * (size + size / 5) - size / 5
// (0 for an empty text). 64-bit so that no text or size can overflow.
int64_t pixelTextWidth(std::string_view text, int32_t size);

// Draws one line of text. (x, y) is the left edge, or the centre when centred is
// not 0, and y the top; size is the glyph height in pixels (one font pixel is
// size / 5 screen pixels square); colour has red in the low byte. With a
// boxColour other than -1 the text first gets a frame in its own colour and a
// box in boxColour one font pixel around it. An empty text draws nothing.
// Rectangles are clipped to the output; any coordinates and sizes are safe.
void drawPixelText(ShapeFill& fill, int32_t x, int32_t y, std::string_view text, int32_t colour,
                   int32_t size, int32_t centred, int32_t boxColour, int32_t noiseMask = 1);

}  // namespace zor
