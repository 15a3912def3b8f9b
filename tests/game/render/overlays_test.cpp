#include "game/render/overlays.h"

#include <gtest/gtest.h>

#include <climits>
#include <memory>
#include <string>
#include <vector>

#include "game/game.h"
#include "game/input/controls.h"
#include "game/render/fill.h"
#include "game/render/game_screen.h"
#include "game/render/pixel_font.h"
#include "game/render/titles.h"

namespace zor {
namespace {

constexpr int32_t kPaper = 0x5A5A5A;
constexpr int32_t kBlack = 0x000000;
constexpr int32_t kHighlight = 0x80C0FF;

struct Canvas {
  FrameBuffer fb;
  BufferShapeFill fill;
  explicit Canvas(const ScreenInfo& info) : fb(info.pixelWidth, info.pixelHeight), fill(&fb) {
    clearBuffer(fb, kPaper);
  }
  int32_t at(int32_t x, int32_t y) const { return pointColour(fb, x, y); }
  // First row (from the top) holding the colour, -1 when none.
  int32_t firstRowWith(int32_t colour) const {
    for (int32_t y = 0; y < fb.height(); ++y)
      for (int32_t x = 0; x < fb.width(); ++x)
        if (at(x, y) == colour) return y;
    return -1;
  }
};

ScreenInfo screenFor(int32_t w, int32_t h, bool windowed) { return layoutScreen(w, h, 32, windowed, 32).info; }
TextSizes sizesFor(const ScreenInfo& info) { return textSizesFor(info.viewHeight); }

// ---- Letterbox bars ----

TEST(LetterboxBars, CoverExactlyWhatLiesOutsideTheView) {
  struct Case {
    const char* name;
    int32_t w, h;
    bool windowed;
    int32_t leftBar, topBar;
  };
  const Case cases[] = {
      {"4:3 full screen", 640, 480, false, 0, 60},
      {"16:9 full screen", 1280, 720, false, 0, 0},
      {"21:9 full screen", 2560, 1080, false, 320, 0},
      {"window", 1024, 768, true, 0, 0},
      {"odd top margin", 640, 481, false, 0, 60},
      {"odd side margin", 2561, 1080, false, 320, 0},
      {"16:10 full screen", 1680, 1050, false, 0, 52},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const ScreenInfo info = screenFor(c.w, c.h, c.windowed);
    ASSERT_EQ(info.leftBar, c.leftBar);
    ASSERT_EQ(info.topBar, c.topBar);
    Canvas cv(info);
    drawLetterboxBars(cv.fill, info);
    int64_t wrong = 0, black = 0;
    for (int32_t y = 0; y < info.pixelHeight; ++y) {
      const uint32_t* row = cv.fb.row(y);
      for (int32_t x = 0; x < info.pixelWidth; ++x) {
        const bool inView = x >= info.leftBar && x < info.leftBar + info.viewWidth && y >= info.topBar &&
                            y < info.topBar + info.viewHeight;
        const int32_t colour = colourFromPixel(row[x], cv.fb.format());
        black += colour == kBlack;
        wrong += inView ? colour != kPaper : colour != kBlack;
      }
    }
    EXPECT_EQ(wrong, 0);
    EXPECT_EQ(black, int64_t{info.pixelWidth} * info.pixelHeight - int64_t{info.viewWidth} * info.viewHeight);
  }
}

// ---- Run countdown and clock ----

TEST(RunCountdown, WordsAndCuesOverTheFirstSeconds) {
  struct Case {
    int32_t frame;
    bool replay;
    const char* word;
    bool click, go;
  };
  const Case cases[] = {
      {0, false, "3", true, false},    {1, false, "3", false, false},  {59, false, "3", false, false},
      {60, false, "2", true, false},   {120, false, "1", true, false}, {179, false, "1", false, false},
      {180, false, "GO", false, true}, {180, true, "WATCH", false, true}, {239, false, "GO", false, false},
      {240, false, "", false, false},  {3600, false, "", false, false}, {-1, false, "", false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.frame);
    EXPECT_EQ(countdownText(c.frame, c.replay), c.word);
    float y = 0.0f;
    const CountdownCues cues = advanceRunClock(y, 100.0f, c.frame);
    EXPECT_EQ(cues.click, c.click);
    EXPECT_EQ(cues.go, c.go);
  }
}

TEST(RunClock, GlidesFivePercentOfTheWayOnceShown) {
  float y = 0.0f;
  advanceRunClock(y, 100.0f, 179);
  EXPECT_EQ(y, 0.0f);
  advanceRunClock(y, 100.0f, 180);
  EXPECT_FLOAT_EQ(y, 100.0f * 0.05f);
  advanceRunClock(y, 100.0f, 181);
  EXPECT_FLOAT_EQ(y, 5.0f + 95.0f * 0.05f);
}

TEST(RunClock, TextAndBoxColour) {
  SpeedrunRecord noBest;
  noBest.bestTime = -1;
  SpeedrunRecord best;
  best.bestTime = 600;
  best.fewestDeaths = 2;
  const std::string times(1, static_cast<char>(0xD7));
  struct Case {
    const char* name;
    int32_t frame, deaths;
    RunDisplay run;
    std::string text;
    int32_t box;
  };
  const Case cases[] = {
      {"65 s, 3 deaths", 180 + 65 * 60, 3, {false, false, &noBest}, " 1:05 3" + times + "D ", 0xC0FFC0},
      {"no deaths", 180, 0, {false, false, &noBest}, " 0:00 ", 0xC0FFC0},
      {"ahead of the best time", 779, 5, {false, false, &best}, " 0:09 5" + times + "D ", 0xC0FFC0},
      {"at the best time", 780, 5, {false, false, &best}, " 0:10 5" + times + "D ", 0xC0C0FF},
      {"fewer deaths", 5000, 1, {false, false, &best}, " 1:20 1" + times + "D ", 0xC0FFC0},
      {"behind", 5000, 2, {false, false, &best}, " 1:20 2" + times + "D ", 0xC0C0FF},
      {"replay", 5000, 2, {true, false, &best}, " 1:20 2" + times + "D ", 0xD0D0D0},
      {"replay lost", 5000, 2, {true, true, &best}, " DESYNC ", 0xA0A0FF},
      {"no speedrun record", 5000, 2, {false, false, nullptr}, " 1:20 2" + times + "D ", 0xC0FFC0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const RunClockLook look = runClockLook(c.frame, c.deaths, c.run);
    EXPECT_EQ(look.text, c.text);
    EXPECT_EQ(look.boxColour, c.box);
  }
}

TEST(RunCountdown, DrawnOnTheTitleRowInTheInverseBackground) {
  // A 270-pixel view: 0.15 x 270 lies exactly on a half and rounds up to 41.
  const ScreenInfo info = screenFor(480, 270, true);
  Canvas cv(info);
  const int32_t background = 0x102030;
  drawRunCountdownAndClock(cv.fill, info, sizesFor(info), background, 200.0f, 0, 0, RunDisplay{}, 1);
  EXPECT_EQ(cv.firstRowWith(0xFFFFFF - background), 41);
  // "3" (row 0 ####.) centred on the view: width = size.
  const int32_t size = sizesFor(info).large;
  EXPECT_EQ(cv.at(info.centreX - size / 2, 41), 0xFFFFFF - background);
  EXPECT_EQ(cv.firstRowWith(0xC0FFC0), -1);  // no clock before frame 180
}

TEST(RunCountdown, GoAndTheClockTogetherThenTheClockAlone) {
  const ScreenInfo info = screenFor(854, 480, true);
  const TextSizes sizes = sizesFor(info);
  for (int32_t frame : {180, 239, 240}) {
    SCOPED_TRACE(frame);
    Canvas cv(info);
    drawRunCountdownAndClock(cv.fill, info, sizes, 0xFFFFFF, 300.7f, frame, 0, RunDisplay{}, 1);
    // The clock's box frame (black, two units above the text) starts at trunc(300.7) - 2 * unit.
    const int32_t unit = sizes.small / 5;
    EXPECT_EQ(cv.at(info.centreX, 300 - 2 * unit), kBlack);
    EXPECT_EQ(cv.at(info.centreX, 300 - unit), 0xC0FFC0);
    EXPECT_EQ(cv.at(info.centreX, 300 - 2 * unit - 1), kPaper);
    const bool go = cv.firstRowWith(kBlack) < 300 - 2 * unit;  // "GO" lies above the clock
    EXPECT_EQ(go, frame < 240);
  }
}

// ---- Debug overlay ----

TEST(DebugOverlay, FourLinesFromTheTopLeftOfTheView) {
  const ScreenInfo info = screenFor(640, 480, false);  // top bar 60
  Canvas cv(info);
  drawDebugOverlay(cv.fill, info, 0xFFFFFF, "1:02", 3, 60, 1);
  // "T", "D", "V", "F" at x 10, rows 70, 85, 100, 115, size 10, black (the inverse of white).
  EXPECT_EQ(cv.firstRowWith(kBlack), 70);
  EXPECT_EQ(cv.at(10, 70), kBlack);   // T: #####
  EXPECT_EQ(cv.at(18, 85), kPaper);   // D: ####.
  EXPECT_EQ(cv.at(16, 85), kBlack);
  EXPECT_EQ(cv.at(10, 100), kBlack);  // V: #...#
  EXPECT_EQ(cv.at(12, 100), kPaper);
  EXPECT_EQ(cv.at(18, 115), kBlack);  // F: #####
  EXPECT_EQ(cv.at(9, 70), kPaper);
}

// ---- Menu frame ----

MenuState menuOf(int lines, int firstSelectable, int scroll, int selected) {
  MenuState m;
  m.title = "MENU";
  for (int i = 0; i < lines; ++i) {
    // Appended rather than added to a literal: GCC 12 warns wrongly about the latter.
    std::string text = "L", help = "HELP";
    text += std::to_string(i);
    help += std::to_string(i);
    m.lines.push_back({text, help, 1});
  }
  m.firstSelectable = firstSelectable;
  m.scroll = scroll;
  m.selected = selected;
  return m;
}

TEST(MenuFrame, RowsShowHeadingsThenTheScrolledLines) {
  struct Case {
    int lines, first, scroll;
    std::vector<int32_t> rows;
  };
  const Case cases[] = {
      {9, 0, 2, {2, 3, 4, 5, 6}},
      {9, 2, 1, {0, 1, 3, 4, 5}},
      {3, 0, 0, {0, 1, 2, -1, -1}},
      {0, 0, 0, {-1, -1, -1, -1, -1}},
      {9, 0, -3, {-1, -1, -1, 0, 1}},
  };
  for (const Case& c : cases) {
    const MenuState m = menuOf(c.lines, c.first, c.scroll, 0);
    std::vector<int32_t> rows;
    for (int r = 0; r < 5; ++r) rows.push_back(menuRowLine(m, r));
    EXPECT_EQ(rows, c.rows);
  }
}

TEST(MenuFrame, NineLinesScrolledByTwo) {
  const ScreenInfo info = screenFor(854, 480, true);
  const TextSizes sizes = sizesFor(info);
  ASSERT_EQ(sizes.medium, 20);
  Canvas cv(info);
  drawMenuFrame(cv.fill, info, sizes, menuOf(9, 0, 2, 3), 1);

  // Title "MENU" at row 72 (0.15 x 480), big size 55: M's top-left pixel.
  const int32_t titleLeft = info.centreX - static_cast<int32_t>(pixelTextWidth("MENU", 55) / 2);
  EXPECT_EQ(cv.at(titleLeft, 72), kBlack);
  EXPECT_EQ(cv.at(titleLeft, 71), kPaper);

  // Line rows at 168 + 40 i. Row 0 shows "L2" (not "L0": the digit's top row is ####.).
  const int32_t lineLeft = info.centreX - 22;  // "Ln" is 44 wide
  EXPECT_EQ(cv.at(lineLeft, 168), kBlack);
  EXPECT_EQ(cv.at(lineLeft + 24, 168), kBlack);
  // Row 1 shows "L3", the selected line: black frame and highlighted box.
  EXPECT_EQ(cv.at(lineLeft - 8, 208 - 8), kBlack);
  EXPECT_EQ(cv.at(lineLeft - 4, 208 - 4), kHighlight);
  // Row 0 is not selected: no box.
  EXPECT_EQ(cv.at(lineLeft - 4, 168 - 4), kPaper);

  // The up arrow two cells left of row 0's text: "^ " + 2 blanks + 2 blanks, 140 wide.
  const int32_t markLeft = info.centreX - 70;
  EXPECT_EQ(cv.at(markLeft + 8, 168), kHighlight);  // ^ row 0: ..#..
  EXPECT_EQ(cv.at(markLeft, 168 + 8), kHighlight);  // ^ row 2: #.#.#
  // The down arrow two cells right of row 4's text (line 6, more lines follow).
  EXPECT_EQ(cv.at(markLeft + 5 * 24 + 8, 328), kHighlight);
  EXPECT_EQ(cv.at(markLeft + 5 * 24 + 4, 328 + 12), kHighlight);  // \ row 3: .###.
  // No down arrow on rows 0 to 3, no up arrow on row 4.
  EXPECT_EQ(cv.at(markLeft + 5 * 24 + 8, 168), kPaper);
  EXPECT_EQ(cv.at(markLeft + 8, 328), kPaper);

  // Help of the selected line at row 384 (0.8 x 480), small size 15: "HELP3" is 5 * 18 - 3 wide.
  const int32_t helpLeft = info.centreX - 87 / 2;
  EXPECT_EQ(cv.at(helpLeft, 384), kBlack);
  EXPECT_EQ(cv.at(helpLeft, 383), kPaper);
}

TEST(MenuFrame, LastRowsAndOddStatesAreSafe) {
  const ScreenInfo info = screenFor(854, 480, true);
  // The last line on row 4: no down arrow.
  {
    Canvas cv(info);
    drawMenuFrame(cv.fill, info, sizesFor(info), menuOf(7, 0, 2, 6), 1);
    EXPECT_EQ(cv.at(info.centreX - 70 + 5 * 24 + 8, 328), kPaper);
    EXPECT_EQ(cv.at(info.centreX - 70 + 8, 168), kHighlight);
  }
  for (const MenuState& m : {menuOf(0, 0, 0, 0), menuOf(3, 0, 0, 7), menuOf(3, 0, 0, -2), menuOf(9, 9, -5, 1),
                             menuOf(9, 0, INT32_MAX, 1), menuOf(9, INT32_MIN, INT32_MIN, 1)}) {
    Canvas cv(info);
    drawMenuFrame(cv.fill, info, sizesFor(info), m, 1);
  }
}

TEST(MenuFrame, DrawsTheBars) {
  const ScreenInfo info = screenFor(640, 480, false);
  Canvas cv(info);
  const MenuState m = menuOf(1, 0, 0, 0);
  drawMenuFrame(cv.fill, info, sizesFor(info), m, 1);
  EXPECT_EQ(cv.at(0, 59), kBlack);
  EXPECT_EQ(cv.at(320, 420), kBlack);
}

// ---- The game's overlays ----

struct GameOverlays : ::testing::Test {
  std::unique_ptr<Game> game = std::make_unique<Game>();
  void SetUp() override {
    const ScreenLayout l = layoutScreen(640, 480, 32, false, 32);
    game->screen.info = l.info;
    game->screen.largeTextSize = l.text.large;
    game->screen.mediumTextSize = l.text.medium;
    game->screen.smallTextSize = l.text.small;
    game->world.backgroundColour = 0xFFFFFF;
    game->world.fadeTargetColour = 0xFFFFFF;
  }
};

TEST_F(GameOverlays, DrawingLeavesTheStateAlone) {
  TitleRecord t;
  t.text = "HI";
  t.x = 0.5f, t.y = 0.5f, t.h = 0.1f;
  t.alpha = 0.0f, t.targetAlpha = 1.0f, t.alphaStep = 0.5f;
  t.centred = true;
  layoutTitle(t, game->screen.info);
  game->script.titles.addLast(t);
  game->script.credits.remaining = 1.0f;
  game->script.credits.speed = 0.1f;
  game->script.credits.limit = 1.0f;
  game->app.runNumber = 1;
  game->session.frameCounter = 200;
  game->screen.runClockY = 100.0f;
  game->screen.runClockTargetY = 300.0f;
  game->app.debugOverlay = 1;

  Canvas cv(game->screen.info);
  drawOverlays(*game, cv.fill, RunDisplay{});
  drawOverlays(*game, cv.fill, RunDisplay{});
  EXPECT_EQ(game->script.titles.front()->alpha, 0.0f);
  EXPECT_EQ(game->script.credits.remaining, 1.0f);
  EXPECT_EQ(game->screen.runClockY, 100.0f);
  EXPECT_EQ(cv.at(0, 0), kBlack);      // bars
  EXPECT_EQ(cv.at(10, 70), kBlack);    // debug overlay: inverse of white
  EXPECT_EQ(cv.firstRowWith(0xC0FFC0), 100 - game->screen.smallTextSize / 5);  // clock box
}

TEST_F(GameOverlays, AdvancingFadesScrollsAndCuesEveryFrameWithoutDrawing) {
  TitleRecord t;
  t.y = 0.5f;
  t.alpha = 0.0f, t.targetAlpha = 1.0f, t.alphaStep = 0.5f;
  game->script.titles.addLast(t);
  game->script.credits.remaining = 1.0f;
  game->script.credits.speed = 0.25f;
  game->script.credits.limit = 1.0f;
  game->app.runNumber = 1;
  game->screen.runClockY = 0.0f;
  game->screen.runClockTargetY = 100.0f;

  std::vector<int> clicks, gos;
  for (int32_t frame = 0; frame <= 181; ++frame) {
    game->session.frameCounter = frame;
    const CountdownCues cues = advanceOverlays(*game);
    if (cues.click) clicks.push_back(frame);
    if (cues.go) gos.push_back(frame);
  }
  EXPECT_EQ(clicks, (std::vector<int>{0, 60, 120}));
  EXPECT_EQ(gos, (std::vector<int>{180}));
  EXPECT_EQ(game->script.titles.front()->alpha, 1.0f);
  EXPECT_EQ(game->script.credits.remaining, 0.0f);
  EXPECT_FLOAT_EQ(game->script.titles.front()->y, -0.5f);
  EXPECT_GT(game->screen.runClockY, 0.0f);

  // With a menu shown the countdown neither cues nor glides.
  game->app.menuState = menu_state::Shown;
  game->session.frameCounter = 60;
  const float y = game->screen.runClockY;
  EXPECT_FALSE(advanceOverlays(*game).click);
  EXPECT_EQ(game->screen.runClockY, y);
}

}  // namespace
}  // namespace zor
