#include "game/app/splash.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "game/game.h"
#include "game/input/action_release.h"
#include "platform/input_source.h"
#include "tests/game/app/fake_app_platform.h"
#include "tests/game/audio/fake_sound_output.h"

namespace zor {
namespace {

using testing::FakePlatform;

TEST(SplashLogo, ScalesWithTheOutputWidthAndIsCentred) {
  const LogoPlacement p = placeLogo(640, 480);
  EXPECT_EQ(p.width, 170);
  EXPECT_EQ(p.height, 127);
  EXPECT_EQ(p.x, 320 - 85);
  EXPECT_EQ(p.y, 240 - 63);
}

struct SplashRun {
  Game game;
  FakePlatform platform;
  int sleeps() const {
    return static_cast<int>(std::count_if(platform.log.begin(), platform.log.end(),
                                          [](const std::string& s) { return s == "sleep 20"; }));
  }
};

TEST(Splash, BothPhasesLastTheirTime) {
  SplashRun r;
  showSplash(r.game, r.platform, 100, 40);
  // 100 ms: passes until the clock is past the deadline (6 passes); 40 ms: 3 passes.
  EXPECT_EQ(r.sleeps(), 6 + 3);
}

TEST(Splash, EachPhaseRunsOncePassEvenWithoutTime) {
  SplashRun r;
  showSplash(r.game, r.platform, 0, 0);
  EXPECT_EQ(r.sleeps(), 2);
}

TEST(Splash, AKeyLetGoEndsThePhaseButNotTheNext) {
  SplashRun r;
  r.platform.fakeInput.keys = {'a'};
  r.platform.beforeKeyboard = [](FakePlatform& p, int n) {
    if (n == 1) p.fakeInput.keys.clear();  // let go in the second pass of the logo
  };
  showSplash(r.game, r.platform, 1000, 100);
  EXPECT_EQ(r.sleeps(), 2 + 6);
}

// The close box, Ctrl+Q or a signal end the splash at once, without the blank phase.
TEST(Splash, AQuitEndsTheSplashAtOnce) {
  struct Case {
    const char* what;
    std::function<void(FakePlatform&)> ask;
  };
  const Case cases[] = {
      {"Ctrl+Q", [](FakePlatform& p) { p.fakeInput.keys = {key::Control2, kQuitKey}; }},
      {"close box", [](FakePlatform& p) { p.fakeScreen.events.push_back(WindowEvent::Close); }},
      {"signal", [](FakePlatform& p) { p.quit = true; }},
  };
  for (const Case& c : cases) {
    SplashRun r;
    r.game.screen.inWindow = 1;
    r.platform.beforeKeyboard = [&](FakePlatform& p, int n) {
      if (n == 2) c.ask(p);
    };
    showSplash(r.game, r.platform, 1000, 1000);
    EXPECT_EQ(r.game.app.quitRequested, 1) << c.what;
    EXPECT_EQ(r.sleeps(), 2) << c.what;
  }
}

// The jingle comes from the program, not from the data folder.
TEST(Splash, TheJinglePlaysWithoutAnyDataFile) {
  SplashRun r;
  testing::FakeSoundOutput out;
  r.game.sounds.output = &out;
  r.game.prefs.sound = 1;
  showSplash(r.game, r.platform, 0, 0);
  EXPECT_TRUE(out.loadsTried.empty());
  ASSERT_FALSE(out.log.empty());
  EXPECT_EQ(out.log[0].rfind("play ", 0), 0u) << out.log[0];
  EXPECT_TRUE(out.sounds.empty());  // freed at the end

  // With sounds off it stays silent.
  out.log.clear();
  r.game.prefs.sound = 0;
  showSplash(r.game, r.platform, 0, 0);
  EXPECT_TRUE(out.log.empty());
}

}  // namespace
}  // namespace zor
