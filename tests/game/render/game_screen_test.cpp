#include "game/render/game_screen.h"

#include <gtest/gtest.h>

#include "game/game.h"
#include "tests/game/app/fake_app_platform.h"

namespace zor {
namespace {

using testing::FakeScreen;

TEST(RoundUpToMultiple, RoundsOnlyWhenThereIsARemainder) {
  EXPECT_EQ(roundUpToMultiple(17, 5), 20);
  EXPECT_EQ(roundUpToMultiple(20, 5), 20);
  EXPECT_EQ(roundUpToMultiple(0, 5), 0);
  EXPECT_EQ(roundUpToMultiple(1, 5), 5);
  // Near the top of the range the result saturates instead of overflowing.
  EXPECT_EQ(roundUpToMultiple(2147483647, 5), 2147483647);
}

struct LayoutCase {
  int32_t width, height;
  bool windowed;
  int32_t viewW, viewH, pixelW, pixelH, leftBar, topBar, centreX, centreY;
  float focal;
  int32_t border, large, medium, small;
};

class ScreenLayoutTable : public ::testing::TestWithParam<LayoutCase> {};

TEST_P(ScreenLayoutTable, DerivesTheViewAndEverythingThatFollows) {
  const LayoutCase& c = GetParam();
  const ScreenLayout l = layoutScreen(c.width, c.height, 32, c.windowed, 24);
  EXPECT_EQ(l.info.viewWidth, c.viewW);
  EXPECT_EQ(l.info.viewHeight, c.viewH);
  EXPECT_EQ(l.info.pixelWidth, c.pixelW);
  EXPECT_EQ(l.info.pixelHeight, c.pixelH);
  EXPECT_EQ(l.info.leftBar, c.leftBar);
  EXPECT_EQ(l.info.topBar, c.topBar);
  EXPECT_EQ(l.info.centreX, c.centreX);
  EXPECT_EQ(l.info.centreY, c.centreY);
  EXPECT_EQ(l.focalValue, c.focal);
  EXPECT_EQ(l.borderWidth, c.border);
  EXPECT_EQ(l.text.large, c.large);
  EXPECT_EQ(l.text.medium, c.medium);
  EXPECT_EQ(l.text.small, c.small);
  EXPECT_EQ(l.info.pixelDepth, c.windowed ? 24 : 32);
}

INSTANTIATE_TEST_SUITE_P(
    Modes, ScreenLayoutTable,
    ::testing::Values(
        // 4:3 in full screen: bars above and below.
        LayoutCase{640, 480, false, 640, 360, 640, 480, 0, 60, 320, 240, 150.0f, 1, 40, 15, 10},
        // The same mode in a window: the window holds the view alone.
        LayoutCase{640, 480, true, 640, 360, 640, 360, 0, 0, 320, 180, 150.0f, 1, 40, 15, 10},
        LayoutCase{1920, 1080, false, 1920, 1080, 1920, 1080, 0, 0, 960, 540, 450.0f, 4, 120, 45, 30},
        // Wider than 16:9: the height limits the view, bars left and right.
        LayoutCase{2560, 1080, false, 1920, 1080, 2560, 1080, 320, 0, 1280, 540, 450.0f, 4, 120, 45, 30},
        LayoutCase{2560, 1080, true, 1920, 1080, 1920, 1080, 0, 0, 960, 540, 450.0f, 4, 120, 45, 30},
        LayoutCase{1280, 720, false, 1280, 720, 1280, 720, 0, 0, 640, 360, 300.0f, 3, 80, 30, 20},
        // A 480-pixel view: the text sizes of the menus.
        LayoutCase{1280, 480, false, 853, 480, 1280, 480, 213, 0, 639, 240, 200.0f, 2, 55, 20, 15},
        // 16:10 in full screen.
        LayoutCase{1680, 1050, false, 1680, 945, 1680, 1050, 0, 52, 840, 524, 393.75f, 4, 105, 40, 30},
        // Nothing to show: an empty view, never a division by zero.
        LayoutCase{0, 0, false, 0, 0, 0, 0, 0, 0, 0, 0, 0.0f, 0, 0, 0, 0}));

TEST(BorderWidth, FollowsTheViewHeight) {
  const int32_t heights[] = {360, 480, 720, 1080};
  const int32_t borders[] = {1, 2, 3, 4};
  for (int i = 0; i < 4; ++i) EXPECT_EQ(borderWidthFor(focalValueFor(heights[i])), borders[i]) << heights[i];
}

TEST(RunClock, RestsAtItsFractionOfTheViewBelowTheTopBar) {
  ScreenInfo info;
  info.topBar = 60;
  info.viewHeight = 360;
  // 60 + (360 - 18) * 0.8 + 4
  EXPECT_FLOAT_EQ(runClockRestY(info, 10, 0.8f), 60.0f + 342.0f * 0.8f + 4.0f);
}

// The machine's clock is read once for each restart of the frame-rate window.
struct ScreenPlatform : testing::FakePlatform {
  int clockReads = 0;
  uint32_t elapsedMs() override {
    ++clockReads;
    return FakePlatform::elapsedMs();
  }
  std::vector<uint32_t> sleeps() const {
    std::vector<uint32_t> out;
    for (const std::string& e : log) {
      if (e.rfind("sleep ", 0) == 0) out.push_back(static_cast<uint32_t>(std::stoul(e.substr(6))));
    }
    return out;
  }
};

struct GameScreenTest : ::testing::Test {
  Game game;
  ScreenPlatform platform;
  FakeScreen& screen = platform.fakeScreen;
  std::vector<std::string> log;
  const int& frameWindows = platform.clockReads;

  void SetUp() override {
    screen.log = &log;
    game.platform = &platform;
    game.screen.output = &screen;
    TitleRecord title;
    title.y = 0.5f;
    title.pixelY = -12345;  // not laid out yet
    game.script.titles.addLast(title);
  }
  std::vector<uint32_t> sleeps() const { return platform.sleeps(); }
  bool titleLaidOut() { return game.script.titles.front()->pixelY != -12345; }
};

TEST_F(GameScreenTest, AWindowHoldsTheViewAndIsTitledAfterTheGame) {
  EXPECT_EQ(openGameScreen(game, 1), 1);
  EXPECT_EQ(screen.title, "Zorlan");  // an empty game title
  EXPECT_EQ(log.front(), "openWindowed 640x360");
  const GameScreen& s = game.screen;
  EXPECT_EQ(s.inWindow, 1);
  EXPECT_EQ(s.windowedPacing, 1);
  EXPECT_EQ(s.gameScreenOpen, 1);
  EXPECT_EQ(s.info.leftBar, 0);
  EXPECT_EQ(s.info.topBar, 0);
  EXPECT_EQ(s.info.pixelDepth, 24);
  EXPECT_EQ(s.info.centreX, 320);
  EXPECT_EQ(s.info.centreY, 180);
  EXPECT_EQ(s.smallTextSize, 10);
  EXPECT_EQ(game.prefs.windowed, 1);
  EXPECT_EQ(frameWindows, 1);
  EXPECT_EQ(game.app.secondStart, platform.clock);
  EXPECT_TRUE(titleLaidOut());
  // The clock rests at 0.8 of the view.
  EXPECT_FLOAT_EQ(s.runClockTargetY, (360.0f - 18.0f) * 0.8f + 4.0f);
  EXPECT_EQ(s.runClockY, s.runClockTargetY);

  closeGameScreen(game);
  game.data.title = "Castle";
  openGameScreen(game, 1);
  EXPECT_EQ(screen.title, "Castle");
}

TEST_F(GameScreenTest, FullScreenUsesTheModeWithBarsAndTheProductName) {
  game.data.title = "Castle";
  EXPECT_EQ(openGameScreen(game, 0), 1);
  EXPECT_EQ(screen.title, "Zorlan");
  EXPECT_EQ(log.front(), "openFullScreen 640x480");
  EXPECT_EQ(game.screen.inWindow, 0);
  EXPECT_EQ(game.screen.windowedPacing, 0);
  EXPECT_EQ(game.screen.info.topBar, 60);
  EXPECT_EQ(game.screen.info.pixelDepth, 32);
  EXPECT_EQ(game.prefs.windowed, 0);
}

TEST_F(GameScreenTest, ReopeningInFullScreenWaitsAfterClosingAndAWindowDoesNot) {
  openGameScreen(game, 1);
  EXPECT_TRUE(sleeps().empty());
  openGameScreen(game, 0);
  ASSERT_EQ(sleeps().size(), 1u);
  EXPECT_EQ(sleeps()[0], 200u);
  openGameScreen(game, 1);
  EXPECT_EQ(sleeps().size(), 1u);
  EXPECT_EQ(screen.opens, 3);
}

TEST_F(GameScreenTest, AFailedOpenReportsOnlyThroughItsResultAndKeepsTheOldDerivedValues) {
  openGameScreen(game, 1);
  const int32_t small = game.screen.smallTextSize;
  const int32_t centreY = game.screen.info.centreY;
  screen.failFullScreen = true;
  game.screen.info.width = 1920;
  game.screen.info.height = 1080;
  EXPECT_EQ(openGameScreen(game, 0), 0);
  EXPECT_EQ(game.screen.gameScreenOpen, 0);
  EXPECT_EQ(game.screen.inWindow, 0);
  EXPECT_EQ(game.prefs.windowed, 0);  // the mode asked for
  EXPECT_EQ(game.screen.smallTextSize, small);
  EXPECT_EQ(game.screen.info.centreY, centreY);
  EXPECT_EQ(game.screen.info.leftBar, 0);
  EXPECT_EQ(game.screen.info.topBar, 0);
  EXPECT_EQ(frameWindows, 2);  // the frame-rate window restarts either way

  screen.failWindowed = true;
  EXPECT_EQ(openGameScreen(game, 1), 0);
  EXPECT_EQ(game.prefs.windowed, 1);
}

TEST_F(GameScreenTest, CalibratesTheSoftwareFillOnlyWhenAsked) {
  game.prefs.screenWrapCheck = 1;
  openGameScreen(game, 1);
  EXPECT_NE(std::find(log.begin(), log.end(), "startDrawing"), log.end());
  EXPECT_EQ(game.screen.bufferFill.state.bufferRowPadding, 0);
  EXPECT_EQ(game.screen.bufferFill.state.wholeFillDisabled, 0);

  log.clear();
  game.prefs.screenWrapCheck = 0;
  game.screen.bufferFill.state.wholeFillDisabled = 1;
  openGameScreen(game, 1);
  EXPECT_EQ(std::find(log.begin(), log.end(), "startDrawing"), log.end());
  EXPECT_EQ(game.screen.bufferFill.state.wholeFillDisabled, 0);
}

TEST_F(GameScreenTest, ClosingIsHarmlessWhenNothingIsOpen) {
  closeGameScreen(game);
  EXPECT_TRUE(log.empty());
  openGameScreen(game, 0);
  closeGameScreen(game);
  closeGameScreen(game);
  EXPECT_EQ(std::count(log.begin(), log.end(), "close"), 1);
  EXPECT_EQ(game.screen.gameScreenOpen, 0);
  EXPECT_EQ(game.screen.shapeFill(), nullptr);
}

TEST_F(GameScreenTest, TheShapeFillDrawsIntoTheScreensBuffer) {
  openGameScreen(game, 1);
  ShapeFill* fill = game.screen.shapeFill();
  ASSERT_NE(fill, nullptr);
  EXPECT_EQ(fill->fillBox(10, 10, 5, 5, 0x0000FF), 1);
  EXPECT_EQ(pointColour(screen.buffer, 12, 12), 0x0000FF);
}

}  // namespace
}  // namespace zor
