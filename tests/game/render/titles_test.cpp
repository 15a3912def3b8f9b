#include "game/render/titles.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "game/game.h"
#include "game/input/controls.h"
#include "game/render/fill.h"
#include "game/render/pixel_font.h"
#include "game/render/time_text.h"
#include "game/script/interpreter.h"
#include "game/script/title_statements.h"
#include "platform/xml.h"

namespace zor {
namespace {

constexpr int32_t kPaper = 0x000000;
constexpr int32_t kWhite = 0xFFFFFF;

ScreenInfo viewInfo(int32_t viewW, int32_t viewH, int32_t leftBar = 0, int32_t topBar = 0) {
  ScreenInfo s;
  s.viewWidth = viewW;
  s.viewHeight = viewH;
  s.leftBar = leftBar;
  s.topBar = topBar;
  s.pixelWidth = viewW + 2 * leftBar;
  s.pixelHeight = viewH + 2 * topBar;
  s.centreX = viewW / 2 + leftBar;
  s.centreY = viewH / 2 + topBar;
  return s;
}

TitleRecord title(float x, float y, float h) {
  TitleRecord t;
  t.x = x, t.y = y, t.h = h;
  t.alpha = t.targetAlpha = 1.0f;
  t.centred = true;
  return t;
}

// ---- Time texts ----

TEST(TimeText, FrameTime) {
  struct Case {
    int32_t frames;
    bool run;
    const char* text;
  };
  const Case cases[] = {
      {0, false, "0:00"},       {300, false, "0:05"},     {3725, false, "1:02"},
      {45600, false, "12:40"},  {216000, false, "1:00:00"}, {223380, false, "1:02:03"},
      {200, true, "0:00"},      {179, true, "0:00"},      {180 + 3900, true, "1:05"},
      {-60, false, "0:00"},     {std::numeric_limits<int32_t>::max(), false, "9942:03:14"},
      {std::numeric_limits<int32_t>::min(), true, "0:00"},
  };
  for (const Case& c : cases) EXPECT_EQ(formatFrameTime(c.frames, c.run), c.text) << c.frames;
}

TEST(TimeText, MinutesSecondsNeverSplitsHours) {
  EXPECT_EQ(formatMinutesSeconds(300), "0:05");
  EXPECT_EQ(formatMinutesSeconds(75 * 3600), "75:00");
  EXPECT_EQ(formatMinutesSeconds(216000), "60:00");
  EXPECT_EQ(formatMinutesSeconds(3900), "1:05");
  EXPECT_EQ(formatMinutesSeconds(-1), "0:00");
}

// ---- Layout ----

TEST(TitleLayout, FractionsBecomePixelsInsideTheBars) {
  struct Case {
    float x, y, h;
    ScreenInfo info;
    int32_t px, py, size;
  };
  const Case cases[] = {
      {0.5f, 0.25f, 0.05f, viewInfo(854, 480), 427, 120, 20},
      {0.5f, 0.25f, 0.001f, viewInfo(854, 480), 427, 120, 1},
      {0.5f, 0.25f, 0.05f, viewInfo(640, 360, 0, 60), 320, 150, 15},
      {0.1f, 0.0f, 0.1f, viewInfo(1920, 1080, 320, 0), 192 + 320, 0, 105},
      {-0.001f, -0.001f, 0.0f, viewInfo(854, 480), 0, 0, 1},  // truncation toward zero
      {0.0f, 0.0f, -1.0f, viewInfo(854, 480), 0, 0, 1},
  };
  for (const Case& c : cases) {
    TitleRecord t = title(c.x, c.y, c.h);
    layoutTitle(t, c.info);
    EXPECT_EQ(t.pixelX, c.px);
    EXPECT_EQ(t.pixelY, c.py);
    EXPECT_EQ(t.size, c.size);
  }
}

TEST(TitleLayout, UnreasonableFractionsStaySafe) {
  const float bad[] = {std::numeric_limits<float>::infinity(), -std::numeric_limits<float>::infinity(),
                       std::numeric_limits<float>::quiet_NaN(), 3.0e38f, -3.0e38f};
  for (float v : bad) {
    TitleRecord t = title(v, v, v);
    layoutTitle(t, viewInfo(16384, 9216, 100, 100));
    EXPECT_GE(t.size, 1);
    EXPECT_EQ(t.size % 5 == 0 || t.size == 1, true);
  }
}

TEST(TitleLayout, AllTitlesFollowANewScreenAndTheCursorGoesFirst) {
  CurrentList<TitleRecord> titles;
  titles.addLast(title(0.5f, 0.1f, 0.05f));
  titles.addLast(title(0.25f, 0.5f, 0.1f));
  layoutTitles(titles, viewInfo(854, 480), nullptr);
  layoutTitles(titles, viewInfo(1280, 720, 0, 60), nullptr);
  auto it = titles.begin();
  EXPECT_EQ(it->pixelX, 640);
  EXPECT_EQ(it->pixelY, 72 + 60);
  EXPECT_EQ(it->size, 35);
  ++it;
  EXPECT_EQ(it->pixelX, 320);
  EXPECT_EQ(it->pixelY, 360 + 60);
  EXPECT_EQ(it->x, 0.25f);  // fractions kept
  EXPECT_EQ(titles.current(), titles.front());
}

// ---- Fading and drawing ----

TEST(TitleFade, DrawColourBlendsTowardTheFadeTarget) {
  EXPECT_EQ(titleDrawColour(kWhite, 0x000000, 0.5f), 0x7F7F7F);
  EXPECT_EQ(titleDrawColour(kWhite, 0x000000, 1.0f), kWhite);
  EXPECT_EQ(titleDrawColour(0x123456, 0xFFFFFF, 1.5f), 0x123456);
  EXPECT_EQ(titleDrawColour(0x0000FF, 0xFF0000, 0.0f), 0xFF0000);
  // Per byte: b + trunc((c - b) * alpha), truncation toward zero on both sides.
  EXPECT_EQ(titleDrawColour(0x000010, 0x0000F0, 0.5f), 0x000080);
  EXPECT_EQ(titleDrawColour(0x00FF00, 0x000000, 0.25f), 0x003F00);
}

TEST(TitleFade, AlphaMovesByItsStepAndStopsAtTheTarget) {
  TitleRecord t = title(0, 0, 0);
  t.alpha = 0.0f;
  t.targetAlpha = 1.0f;
  t.alphaStep = 0.3f;
  stepTitleAlpha(t);
  EXPECT_FLOAT_EQ(t.alpha, 0.3f);
  stepTitleAlpha(t);
  stepTitleAlpha(t);
  stepTitleAlpha(t);
  EXPECT_EQ(t.alpha, 1.0f);
  t.targetAlpha = 0.5f;
  stepTitleAlpha(t);
  EXPECT_FLOAT_EQ(t.alpha, 0.7f);
  stepTitleAlpha(t);
  EXPECT_EQ(t.alpha, 0.5f);
  t.alphaStep = 0.0f;
  t.targetAlpha = 0.0f;
  stepTitleAlpha(t);
  EXPECT_EQ(t.alpha, 0.5f);
}

struct TitleCanvas {
  FrameBuffer fb{200, 120};
  BufferShapeFill fill{&fb};
  ScreenInfo info = viewInfo(200, 120);
  void clear() { clearBuffer(fb, kPaper); }
};

TEST(TitleFade, ATitleFadesInFrameByFrame) {
  // "I" at size 10 centred at x 100: its top bar covers x 97..102 of rows 10..11.
  TitleCanvas cv;
  CurrentList<TitleRecord> titles;
  TitleRecord t = title(0.5f, 10.0f / 120.0f + 0.0001f, 10.0f / 120.0f + 0.0001f);
  t.text = "I";
  t.colour = kWhite;
  t.alpha = 0.0f;
  t.targetAlpha = 1.0f;
  t.alphaStep = 0.25f;
  layoutTitle(t, cv.info);
  ASSERT_EQ(t.size, 10);
  ASSERT_EQ(t.pixelY, 10);
  titles.addLast(t);

  std::vector<int32_t> seen;
  for (int frame = 0; frame < 6; ++frame) {
    cv.clear();
    drawTitles(cv.fill, titles, cv.info, 0x000000, 1);
    seen.push_back(pointColour(cv.fb, 99, 10));
    stepTitleFades(titles);
  }
  // alpha 0 draws nothing; then 0.25, 0.5, 0.75 of the way to white; then white.
  EXPECT_EQ(seen, (std::vector<int32_t>{kPaper, 0x3F3F3F, 0x7F7F7F, 0xBFBFBF, kWhite, kWhite}));
}

TEST(TitleFade, AnInvisibleTitleStillFadesAndOffViewTitlesAreSkipped) {
  const ScreenInfo info = viewInfo(200, 120, 0, 20);
  TitleRecord t = title(0.5f, 0.5f, 0.1f);
  t.size = 10;
  t.alpha = 0.0f;
  EXPECT_FALSE(titleShown(t, info));
  t.alpha = 0.01f;
  t.pixelY = 20 - 20;  // pixel y + 2 * size = top bar: above the view
  EXPECT_FALSE(titleShown(t, info));
  t.pixelY = 1;
  EXPECT_TRUE(titleShown(t, info));
  t.pixelY = 20 + 120 + 10;  // pixel y - size = the view's bottom
  EXPECT_FALSE(titleShown(t, info));
  t.pixelY = 20 + 120 + 9;
  EXPECT_TRUE(titleShown(t, info));

  CurrentList<TitleRecord> titles;
  TitleRecord fading = title(0.5f, 0.5f, 0.1f);
  fading.alpha = 0.0f;
  fading.targetAlpha = 1.0f;
  fading.alphaStep = 0.5f;
  titles.addLast(fading);
  titles.addLast(fading);
  titles.first();
  stepTitleFades(titles);
  EXPECT_EQ(titles.front()->alpha, 0.5f);
  EXPECT_EQ(titles.current(), titles.back());  // the pass leaves the cursor on the last title
}

TEST(TitleFade, LaterTitlesAreDrawnOverEarlierOnes) {
  TitleCanvas cv;
  cv.clear();
  CurrentList<TitleRecord> titles;
  TitleRecord a = title(0.5f, 0.1f, 0.1f);
  a.text = "M";
  a.colour = 0x0000FF;
  layoutTitle(a, cv.info);
  TitleRecord b = a;
  b.colour = 0x00FF00;
  titles.addLast(a);
  titles.addLast(b);
  drawTitles(cv.fill, titles, cv.info, 0, 1);
  EXPECT_EQ(pointColour(cv.fb, a.pixelX - 5, a.pixelY), 0x00FF00);
}

// ---- Credits roll ----

struct CreditsFixture : ::testing::Test {
  ScriptState script;
  Controls controls;
  ScreenInfo info = viewInfo(854, 480, 0, 0);

  void SetUp() override {
    script.credits.remaining = 2.0f;
    script.credits.limit = 2.5f;
    script.credits.speed = 0.01f;
    script.credits.fastSpeed = 0.2f;
    script.titles.addLast(title(0.5f, 1.0f, 0.1f));
    layoutTitles(script.titles, info, nullptr);
  }
  void hold(std::initializer_list<int> cs) {
    for (auto& row : controls.table) row[0] = row[1] = 0;
    for (int c : cs) controls.table[c][controls.currentColumn] = 1;
  }
  const TitleRecord& t() { return *script.titles.front(); }
};

TEST_F(CreditsFixture, StepsByHeldControls) {
  struct Case {
    std::vector<int> held;
    float step;
  };
  const Case cases[] = {
      {{}, 0.01f},
      {{control::Jump}, 0.2f},
      {{control::Action}, 0.2f},
      {{control::LeapIn}, 0.2f},
      {{control::LeapOut}, -0.2f},
      {{control::LeapOut, control::LeapIn}, 0.0f},
      {{control::LeapOut, control::Jump}, -0.2f},
  };
  for (const Case& c : cases) {
    SetUp();
    script.titles.clear();
    script.titles.addLast(title(0.5f, 1.0f, 0.1f));
    script.credits.remaining = 1.0f;
    hold({});
    for (int h : c.held) controls.table[h][controls.currentColumn] = 1;
    const float before = t().y;
    EXPECT_FLOAT_EQ(scrollCredits(script, controls, info), c.step);
    EXPECT_FLOAT_EQ(script.credits.remaining, 1.0f - c.step);
    EXPECT_FLOAT_EQ(t().y, before - c.step);
  }
}

TEST_F(CreditsFixture, TitlesMoveAndGetNewRows) {
  hold({});
  scrollCredits(script, controls, info);
  EXPECT_FLOAT_EQ(t().y, 0.99f);
  EXPECT_EQ(t().pixelY, truncateToPixel(t().y * 480.0f));
  EXPECT_EQ(t().pixelX, 427);
}

TEST_F(CreditsFixture, ScrollingBackStopsAtTheLimit) {
  hold({control::LeapOut});
  float moved = 0.0f;
  for (int i = 0; i < 10; ++i) moved += scrollCredits(script, controls, info);
  EXPECT_EQ(script.credits.remaining, 2.5f);
  EXPECT_NEAR(moved, -0.5f, 1e-5);
  EXPECT_NEAR(t().y, 1.5f, 1e-5);
}

TEST_F(CreditsFixture, TheRollEndsAfterItsDistance) {
  script.credits.remaining = 1.9f;
  script.credits.fastSpeed = 0.25f;
  hold({control::Jump});
  int frames = 0;
  while (script.credits.remaining > 0.0f && frames < 100) {
    scrollCredits(script, controls, info);
    ++frames;
  }
  EXPECT_EQ(frames, 8);
  EXPECT_LT(script.credits.remaining, 0.0f);
  // Found below 0 on the next frame: set to 0; the titles no longer move.
  const float y = t().y;
  EXPECT_EQ(scrollCredits(script, controls, info), 0.0f);
  EXPECT_EQ(script.credits.remaining, 0.0f);
  EXPECT_EQ(t().y, y);
}

// ---- The title statements ----

struct TitleStatements : ::testing::Test {
  std::unique_ptr<Game> game = std::make_unique<Game>();
  StatementTable table;
  xml::Document doc;

  void SetUp() override {
    registerTitleStatements(table);
    game->screen.info = viewInfo(854, 480);
  }
  // Runs each element of a snippet in order.
  void run(const std::string& statements) {
    xml::ParseError err;
    ASSERT_TRUE(doc.parse("<s>" + statements + "</s>", &err)) << err.message;
    for (const xml::Node* n = doc.root()->firstElement(); n; n = n->nextElement()) {
      StatementHandler h = table.find(n->name);
      ASSERT_NE(h, nullptr) << n->name;
      StatementContext ctx{*game, *n, doc.root(), nullptr};
      EXPECT_EQ(h(ctx), StatementResult::Continue);
    }
  }
  CurrentList<TitleRecord>& titles() { return game->script.titles; }
  std::vector<std::string> texts() {
    std::vector<std::string> out;
    for (const TitleRecord& t : titles()) out.push_back(t.text);
    return out;
  }
};

TEST_F(TitleStatements, ANewTitleHasItsDefaults) {
  run(R"(<title text="HELLO"/>)");
  ASSERT_EQ(titles().size(), 1u);
  const TitleRecord& t = *titles().front();
  EXPECT_EQ(t.tname, "");
  EXPECT_EQ(t.colour, 0);
  EXPECT_EQ(t.boxColour, -1);
  EXPECT_TRUE(t.centred);
  EXPECT_EQ(t.alpha, 1.0f);
  EXPECT_EQ(t.targetAlpha, 1.0f);
  EXPECT_EQ(t.alphaStep, 0.0f);
  EXPECT_EQ(t.size, 1);  // h 0
}

TEST_F(TitleStatements, NamesFindOneTitleIgnoringCase) {
  run(R"(<title tname="Intro" text="A" x="0.5" y="0.2" h="0.05" color="FF0000"/>
         <title tname="intro" text="B"/>
         <title text="C"/><title text="D"/>)");
  EXPECT_EQ(texts(), (std::vector<std::string>{"B", "C", "D"}));
  const TitleRecord& t = *titles().front();
  EXPECT_EQ(t.tname, "intro");
  EXPECT_EQ(t.colour, 0x0000FF);  // red in the low byte
  EXPECT_EQ(t.pixelX, 427);
  EXPECT_EQ(t.pixelY, 96);
  EXPECT_EQ(t.size, 20);
}

TEST_F(TitleStatements, AlphaForms) {
  struct Case {
    const char* alpha;
    float start;  // alpha before the statement
    float alphaAfter, target, step;
  };
  const Case cases[] = {
      {"0,1,0.02", 1.0f, 0.0f, 1.0f, 0.02f},  {"0,0.05", 0.7f, 0.7f, 0.0f, 0.05f},
      {"0.5", 1.0f, 0.5f, 0.5f, 0.0f},        {"1,0,0.1,9", 0.2f, 1.0f, 1.0f, 0.0f},
      {"0,1,-0.02", 1.0f, 0.0f, 1.0f, 0.02f}, {"0", 1.0f, 0.0f, 0.0f, 0.0f},
      {"junk", 1.0f, 0.0f, 0.0f, 0.0f},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.alpha);
    titles().clear();
    run(R"(<title tname="t" text="KEEP" x="0.3" color="00FF00"/>)");
    titles().front()->alpha = c.start;
    run(std::string(R"(<title tname="t" alpha=")") + c.alpha + R"("/>)");
    ASSERT_EQ(titles().size(), 1u);
    const TitleRecord& t = *titles().front();
    EXPECT_FLOAT_EQ(t.alpha, c.alphaAfter);
    EXPECT_FLOAT_EQ(t.targetAlpha, c.target);
    EXPECT_FLOAT_EQ(t.alphaStep, c.step);
    EXPECT_EQ(t.text, "KEEP");
    EXPECT_EQ(t.x, 0.3f);
    EXPECT_EQ(t.colour, 0x00FF00);
  }
}

TEST_F(TitleStatements, RelativeYFollowsThePreviousTitleStatement) {
  run(R"(<title text="A" y="+0.1"/>)");  // the first of the process: 0 + 0.1
  EXPECT_FLOAT_EQ(titles().back()->y, 0.1f);
  run(R"(<title text="B" y="0.2" h="0.05"/><title text="C" y="+0.1"/>)");
  EXPECT_FLOAT_EQ(titles().back()->y, 0.35f);
  // cleartitles and zone loads keep the last bottom.
  run(R"(<cleartitles/><title text="D" y="+0"/>)");
  ASSERT_EQ(titles().size(), 1u);
  EXPECT_FLOAT_EQ(titles().back()->y, 0.35f);
}

TEST_F(TitleStatements, CenIsReadAsAnInteger) {
  run(R"(<title tname="a" cen="0"/><title tname="b" cen="true"/><title tname="c" cen=""/><title tname="d" cen="2"/>)");
  std::vector<bool> centred;
  for (const TitleRecord& t : titles()) centred.push_back(t.centred);
  EXPECT_EQ(centred, (std::vector<bool>{false, false, true, true}));
}

TEST_F(TitleStatements, AttributeNamesAreComparedInLowerCase) {
  run(R"(<title TEXT="UP" X="0.5" Color="0000FF"/>)");
  EXPECT_EQ(titles().front()->text, "UP");
  EXPECT_EQ(titles().front()->x, 0.5f);
  EXPECT_EQ(titles().front()->colour, 0xFF0000);
}

TEST_F(TitleStatements, PlaceholdersTakeTheValuesOfTheMoment) {
  game->session.frameCounter = 3725;
  game->session.deaths = 4;
  run(R"(<title text="%TIME% %DEATHS%D %FRAMES% %time% %TIME%"/>)");
  EXPECT_EQ(titles().back()->text, "1:02 4D 3725 %time% 1:02");
  game->session.frameCounter = 200;
  game->app.runNumber = 1;
  run(R"(<title text="%TIME%"/>)");
  EXPECT_EQ(titles().back()->text, "0:00");
  game->app.runNumber = 0;
  game->session.frameCounter = 216000;
  run(R"(<title text="%TIME%"/>)");
  EXPECT_EQ(titles().back()->text, "1:00:00");
}

TEST_F(TitleStatements, NewTitlesGoAfterTheCursor) {
  run(R"(<title text="A"/><title text="B"/><title text="C"/>)");
  // A pass of layoutTitles leaves the cursor on the first title: an unnamed title follows it.
  layoutTitles(*game, nullptr);
  run(R"(<title text="X"/>)");
  EXPECT_EQ(texts(), (std::vector<std::string>{"A", "X", "B", "C"}));
  // A name that no title has walks the list first: its title goes last.
  layoutTitles(*game, nullptr);
  run(R"(<title tname="new" text="N"/>)");
  EXPECT_EQ(texts(), (std::vector<std::string>{"A", "X", "B", "C", "N"}));
  // Setting a title leaves the cursor on it.
  run(R"(<title tname="new" text="N2"/><title text="Y"/>)");
  EXPECT_EQ(texts(), (std::vector<std::string>{"A", "X", "B", "C", "N2", "Y"}));
  // A frame's fade pass leaves it on the last.
  game->script.titles.first();
  stepTitleFades(game->script.titles);
  run(R"(<title text="Z"/>)");
  EXPECT_EQ(texts().back(), "Z");
}

TEST_F(TitleStatements, ClearTitlesEmptiesTheList) {
  run(R"(<title text="A"/><title text="B"/><cleartitles/>)");
  EXPECT_TRUE(titles().empty());
  run(R"(<title text="C"/>)");
  EXPECT_EQ(texts(), (std::vector<std::string>{"C"}));
}

}  // namespace
}  // namespace zor
