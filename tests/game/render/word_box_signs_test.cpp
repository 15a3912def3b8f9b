#include "game/render/word_box_signs.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>

#include "game/render/pixel_font.h"
#include "tests/game/render/scene_test_support.h"

namespace zor {
namespace {

using namespace scene_test;

constexpr int kGlyphI = 8;
constexpr int32_t kInk = 0x203040;
constexpr int32_t kPanel = 0xE0E0E0;

WordBox makeSign(std::string text, float x, float y, float z, float width, float height, int32_t back = -1) {
  WordBox b;
  b.text = std::move(text);
  b.x = x;
  b.y = y;
  b.z = z;
  b.width = width;
  b.height = height;
  b.colour = kInk;
  b.backColour = back;
  return b;
}

// True when the glyph has the font pixel at (column, row).
bool glyphPixel(int glyph, int column, int row) {
  return (fontGlyphs[glyph * 5 + row] & (0x10 >> column)) != 0;
}

TEST(WordBoxSigns, TextStretchesOverTheBoxFromTheGlyphTable) {
  // "I" at letter height 10 without a panel: 10x10 pixels at depth 100, two pixels per
  // font unit, from (80, 35).
  SceneFixture s;
  const WordBox b = makeSign("I", 0.0f, 0.0f, 100.0f, 10.0f, 10.0f);
  drawSign(s.game, s.fill, b);
  EXPECT_TRUE(pixelsMatch(s.fb, [](int x, int y) {
    if (!inRect(x, y, 80, 35, 10, 10)) return kClear;
    return glyphPixel(kGlyphI, (x - 80) / 2, (y - 35) / 2) ? kInk : kClear;
  }));
}

TEST(WordBoxSigns, BlankCellsAndGapsBetweenGlyphs) {
  // "I I" at letter height 5: one pixel per unit; the glyphs start 12 units apart.
  SceneFixture s;
  const WordBox b = makeSign("I I", 0.0f, 0.0f, 100.0f, 17.0f, 5.0f);
  drawSign(s.game, s.fill, b);
  EXPECT_TRUE(pixelsMatch(s.fb, [](int x, int y) {
    if (y < 40 || y >= 45) return kClear;
    for (int cell : {80, 92})
      if (x >= cell && x < cell + 5 && glyphPixel(kGlyphI, x - cell, y - 40)) return kInk;
    return kClear;
  }));
}

TEST(WordBoxSigns, PanelWithFrameMarginAndText) {
  // With a panel: (6 + 3) x 9 units of 2 pixels: an 18x18 box from (80, 27).
  SceneFixture s;
  const WordBox b = makeSign("I", 0.0f, 0.0f, 100.0f, 18.0f, 18.0f, kPanel);
  drawSign(s.game, s.fill, b);
  EXPECT_TRUE(pixelsMatch(s.fb, [](int x, int y) {
    if (!inRect(x, y, 80, 27, 18, 18)) return kClear;
    if (!inRect(x, y, 82, 29, 14, 14)) return kInk;  // the frame
    if (inRect(x, y, 84, 31, 10, 10) && glyphPixel(kGlyphI, (x - 84) / 2, (y - 31) / 2)) return kInk;
    return kPanel;
  }));
}

TEST(WordBoxSigns, EmptyTextWithPanelIsFrameAndStrip) {
  SceneFixture s;
  const WordBox b = makeSign("", 0.0f, 0.0f, 100.0f, 9.0f, 9.0f, kPanel);
  drawSign(s.game, s.fill, b);
  EXPECT_TRUE(pixelsMatch(s.fb, [](int x, int y) {
    if (inRect(x, y, 83, 37, 3, 7)) return kPanel;
    return inRect(x, y, 80, 36, 9, 9) ? kInk : kClear;
  }));
  // Without a panel an empty text draws nothing.
  SceneFixture t;
  drawSign(t.game, t.fill, makeSign("", 0.0f, 0.0f, 100.0f, 9.0f, 9.0f));
  EXPECT_TRUE(pixelsMatch(t.fb, [](int, int) { return kClear; }));
}

TEST(WordBoxSigns, SignPartlyLeftOfTheScreen) {
  SceneFixture s;
  const WordBox b = makeSign("I I", -86.0f, 0.0f, 100.0f, 17.0f, 5.0f);  // starts at x -6
  drawSign(s.game, s.fill, b);
  EXPECT_TRUE(pixelsMatch(s.fb, [](int x, int y) {
    if (y < 40 || y >= 45 || x < 6 || x >= 11) return kClear;
    return glyphPixel(kGlyphI, x - 6, y - 40) ? kInk : kClear;
  }));
}

TEST(WordBoxSigns, SwishMovesAndStretchesTheSign) {
  SceneFixture s;
  s.game.script.screenEffects.swishAmount = 2.0f;
  s.game.script.screenEffects.swishAngle = 1.5707964f;  // kx 1.2, ky 1
  drawSign(s.game, s.fill, makeSign("I", 10.0f, 0.0f, 100.0f, 10.0f, 10.0f));
  SceneFixture r;
  drawSign(r.game, r.fill, makeSign("I", 12.0f, 0.0f, 100.0f, 12.0f, 10.0f));
  EXPECT_TRUE(pixelsMatch(s.fb, [&](int x, int y) { return r.at(x, y); }));
  EXPECT_FALSE(pixelsMatch(s.fb, [](int, int) { return kClear; }));
}

TEST(WordBoxSigns, NoiseGlyphStaysInsideItsCell) {
  for (int32_t mask : {1, 0x5A5A5A, 16777216}) {
    SceneFixture s;
    s.game.app.noiseMask = mask;
    drawSign(s.game, s.fill, makeSign("~~", 0.0f, 0.0f, 100.0f, 22.0f, 10.0f));
    for (int y = 0; y < 90; ++y)
      for (int x = 0; x < 160; ++x) {
        const int32_t c = s.at(x, y);
        if (c == kClear) continue;
        EXPECT_EQ(c, kInk);
        // Two cells of 10 pixels with a 2-pixel gap after each glyph's 5 columns.
        EXPECT_TRUE(inRect(x, y, 80, 35, 10, 10) || inRect(x, y, 92, 35, 10, 10)) << x << "," << y;
      }
  }
}

TEST(WordBoxSigns, FlagsFollowVisibility) {
  struct Case {
    const char* what;
    float x, z;
    int32_t flags, want;
  } cases[] = {
      {"in view becomes seen", 0.0f, 100.0f, 0, wordbox::Seen},
      {"in view, disappearing", 0.0f, 100.0f, wordbox::Disappearing, wordbox::Disappearing | wordbox::Seen},
      {"out of view, never seen", 1000.0f, 100.0f, wordbox::Disappearing, wordbox::Disappearing},
      {"out of view after being seen", 1000.0f, 100.0f, wordbox::Disappearing | wordbox::Seen,
       wordbox::Disappearing | wordbox::Seen | wordbox::Remove},
      {"out of view, seen, stays", 1000.0f, 100.0f, wordbox::Seen, wordbox::Seen},
      {"too near keeps its flags", 1000.0f, 5.0f, wordbox::Disappearing | wordbox::Seen,
       wordbox::Disappearing | wordbox::Seen},
      {"too near, in line of sight", 0.0f, 4.0f, 0, 0},
  };
  for (const Case& c : cases) {
    SceneFixture s;
    WordBox b = makeSign("HI", c.x, 0.0f, c.z, 22.0f, 10.0f);
    b.flags = c.flags;
    updateSignFlags(s.game, projectionFor(s.game), b);
    EXPECT_EQ(b.flags, c.want) << c.what;
    // Drawing changes no flag.
    const int32_t before = b.flags;
    drawSign(s.game, s.fill, b);
    EXPECT_EQ(b.flags, before);
  }
}

TEST(WordBoxSigns, NearAndHugeSignsStayDefined) {
  constexpr float kInf = std::numeric_limits<float>::infinity();
  SceneFixture s;
  drawSign(s.game, s.fill, makeSign("HI", 0.0f, 0.0f, 5.0f, 22.0f, 10.0f));
  EXPECT_TRUE(pixelsMatch(s.fb, [](int, int) { return kClear; }));
  const WordBox odd[] = {
      makeSign("HELLO", -1e30f, -1e30f, 5.0001f, 3e38f, 3e38f, kPanel),
      makeSign("HELLO", 0.0f, 0.0f, 100.0f, kInf, kInf, kPanel),
      makeSign(std::string(5000, 'W'), -1e6f, 0.0f, 6.0f, 1e9f, 50.0f),
      makeSign("A~B", std::numeric_limits<float>::quiet_NaN(), 0.0f, 100.0f, 10.0f, 10.0f),
      makeSign("AB", 0.0f, 0.0f, 100.0f, -40.0f, -10.0f, kPanel),
  };
  for (const WordBox& b : odd) {
    drawSign(s.game, s.fill, b);
    WordBox copy = b;
    updateSignFlags(s.game, projectionFor(s.game), copy);
  }
}

}  // namespace
}  // namespace zor
