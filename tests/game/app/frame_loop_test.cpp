#include "game/app/frame_loop.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "game/app/startup.h"
#include "game/game.h"
#include "game/load/game_file.h"
#include "game/load/zone_loader.h"
#include "game/app/quit.h"
#include "game/menu/menu_screens.h"
#include "tests/game/audio/fake_sound_output.h"
#include "platform/files.h"
#include "tests/game/app/fake_app_platform.h"
#include "tests/game/app/temp_folder.h"

namespace zor {
namespace {

using testing::FakePlatform;
using testing::TempFolder;

constexpr const char* kTwoZones = R"(<zorlan version="1" gtitle="Two">
  <zone id="first">
    <levels><level z="0" color="102030"/></levels>
    <entrance x="0" y="0" level="0"/>
  </zone>
  <zone id="cave">
    <levels><level z="0" color="405060"/></levels>
    <entrance x="0" y="0" level="0"/>
    <entrance_door x="50" y="0" level="0"/>
    <start><wait frames="1"/></start>
  </zone>
</zorlan>)";

// Width and height from a PNG file's header.
bool pngSize(const std::string& path, uint32_t& w, uint32_t& h) {
  std::string bytes;
  if (!files::readFile(path, bytes, 1u << 24) || bytes.size() < 24 || bytes.compare(1, 3, "PNG") != 0) return false;
  auto be32 = [&](size_t at) {
    return (uint32_t(uint8_t(bytes[at])) << 24) | (uint32_t(uint8_t(bytes[at + 1])) << 16) |
           (uint32_t(uint8_t(bytes[at + 2])) << 8) | uint32_t(uint8_t(bytes[at + 3]));
  };
  w = be32(16);
  h = be32(20);
  return true;
}

std::vector<std::string> filesIn(const std::string& folder) {
  std::vector<std::string> names;
  std::error_code ec;
  for (const auto& e : std::filesystem::directory_iterator(folder, ec)) names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

// A sound layer that writes the effects it plays into the platform's log, so
// that they are seen in order with the screen's operations.
struct LoggedSound : testing::FakeSoundOutput {
  std::vector<std::string>* shared = nullptr;
  void play(int32_t sound, bool looped, int32_t volume) override {
    FakeSoundOutput::play(sound, looped, volume);
    if (sound < kFirstNewSound) shared->push_back("effect " + std::to_string(sound));
  }
};

struct FrameLoopTest : ::testing::Test {
  Game game;
  FakePlatform platform;
  LoggedSound sound;
  TempFolder data;

  void SetUp() override {
    attachPlatform(game, platform);
    sound.shared = &platform.log;
    sound.fillEffectSlots();
    sound.loadable.insert("pause.ogg");
    game.sounds.attach(sound);
    game.app.pauseMusic = sound.loadStreamedSound("pause.ogg");
    game.prefs.sound = 1;
    ASSERT_TRUE(loadControlDefaults(game.controls));
    game.session.dataFolder = data.path();
    xml::ParseError error;
    ASSERT_TRUE(game.data.document.parse(kTwoZones, &error)) << error.message;
    readGameData(game);
    ASSERT_TRUE(loadZone(game, "first", true));
    ASSERT_EQ(openGameScreen(game, 1), 1);
    platform.log.clear();
  }

  bool pass() { return runFramePass(game, platform); }
  void hold(std::initializer_list<int> keys) { platform.fakeInput.keys = keys; }
  // The world stepped: the player, in the air over nothing, fell.
  float playerY() const { return game.world.player ? game.world.player->y : 0.0f; }
  int effectsPlayed() const { return static_cast<int>(sound.playedEffects().size()); }
  uint32_t pixelAt(int32_t x, int32_t y) const { return platform.fakeScreen.buffer.row(y)[x]; }
  std::vector<std::string> menuTexts(std::size_t n) const {
    std::vector<std::string> out;
    for (std::size_t i = 0; i < n && i < game.menu.lines.size(); ++i) out.push_back(game.menu.lines[i].text);
    return out;
  }
  bool logged(const std::string& s) const {
    return std::find(platform.log.begin(), platform.log.end(), s) != platform.log.end();
  }
};

TEST_F(FrameLoopTest, AGameFrameRunsItsStepsAndEndOfFrameRequestsInOrder) {
  // Requests left for the frame's end, and SCREENSHOT pressed for the player-control step.
  game.world.requests.zoneChange = "cave";
  game.world.entranceName = "door";
  game.app.playerBlinkPending = 1;
  game.script.screenEffects.pendingFlash = 0x123456;
  hold({136});
  const int32_t background = game.world.backgroundColour;
  EXPECT_EQ(background, 0x302010);

  ASSERT_TRUE(pass());

  // Drawn in the old zone; then the zone changed (its start script ran and waits)
  // with the warp sound, then the screenshot, the flip and the sleep.
  const std::vector<std::string> expected = {"clear " + std::to_string(background), "startDrawing", "stopDrawing",
                                             "effect 5", "grab 0,0 640x360", "flip", "sleep 1"};
  EXPECT_EQ(platform.log, expected);
  EXPECT_EQ(game.script.runningScript, game.world.zoneStartScript);

  // The blink and the flash act on the zone just entered.
  EXPECT_EQ(game.world.currentZoneId, "cave");
  ASSERT_NE(game.world.player, nullptr);
  EXPECT_EQ(game.world.respawnPoint.x, 50.0f);  // at the entrance the warp named
  EXPECT_EQ(game.world.player->effectBits, 1u);
  EXPECT_EQ(game.world.player->effectTimer, 61);
  EXPECT_TRUE(game.world.player->has(format::flag::Invisible));
  EXPECT_EQ(game.app.playerBlinkPending, 0);
  EXPECT_EQ(game.world.fadeFromColour, 0x123456);
  EXPECT_EQ(game.world.fadeAmount, 1.0f);
  EXPECT_EQ(game.script.screenEffects.pendingFlash, -1);
  EXPECT_EQ(game.session.frameCounter, 1);

  // The screenshot holds the view.
  const std::vector<std::string> shots = filesIn(data / "zordata/screens");
  ASSERT_EQ(shots.size(), 1u);
  EXPECT_EQ(shots[0].size(), std::string("yyyymmddhhmmss.png").size());
  uint32_t w = 0, h = 0;
  ASSERT_TRUE(pngSize(data / ("zordata/screens/" + shots[0]), w, h));
  EXPECT_EQ(w, 640u);
  EXPECT_EQ(h, 360u);
  EXPECT_EQ(game.app.screenshotRequested, 0);
}

TEST_F(FrameLoopTest, ASilentWarpMakesNoSoundAndTheWarpSoundNeedsSoundOn) {
  game.world.requests.zoneChange = "cave";
  game.world.silentWarp = true;
  ASSERT_TRUE(pass());
  EXPECT_EQ(game.world.currentZoneId, "cave");
  EXPECT_EQ(effectsPlayed(), 0);

  game.world.silentWarp = false;
  game.prefs.sound = 0;
  game.world.requests.zoneChange = "first";
  ASSERT_TRUE(pass());
  EXPECT_EQ(effectsPlayed(), 0);
  game.prefs.sound = 1;
  game.world.requests.zoneChange = "cave";
  ASSERT_TRUE(pass());
  EXPECT_EQ(effectsPlayed(), 1);
}

TEST_F(FrameLoopTest, TheScreenshotKeyAloneTakesOneScreenshotPerPress) {
  hold({136});
  ASSERT_TRUE(pass());
  ASSERT_TRUE(pass());  // still held: no second screenshot
  hold({});
  ASSERT_TRUE(pass());
  hold({136});
  ASSERT_TRUE(pass());  // pressed again within the same second: a second file
  const std::vector<std::string> shots = filesIn(data / "zordata/screens");
  ASSERT_EQ(shots.size(), 2u);
  EXPECT_NE(shots[0], shots[1]);
}

TEST_F(FrameLoopTest, TheOpeningMenuFrameIsDrawnButNotShownThenMenuFramesRun) {
  game.app.menuState = menu_state::Opening;
  game.app.menuBackground = 0xABCDEF;
  const float y = playerY();
  ASSERT_TRUE(pass());
  EXPECT_NE(playerY(), y);  // the world stepped
  EXPECT_FALSE(logged("flip"));
  EXPECT_EQ(game.app.menuState, menu_state::Shown);

  platform.log.clear();
  game.app.framesThisSecond = 7;
  const float shownY = playerY();
  ASSERT_TRUE(pass());
  const std::vector<std::string> expected = {"clear " + std::to_string(0xABCDEF), "startDrawing", "stopDrawing",
                                             "flip", "sleep 20"};
  EXPECT_EQ(platform.log, expected);
  EXPECT_EQ(playerY(), shownY);  // a menu frame does not step the world
  EXPECT_EQ(game.app.framesThisSecond, 0);
  EXPECT_EQ(game.app.framesLastSecond, 7);
}

TEST_F(FrameLoopTest, TheRunCountdownHoldsTheWorldButCountsFrames) {
  game.app.runNumber = 1;
  game.session.frameCounter = 180;
  const float y = playerY();
  ASSERT_TRUE(pass());
  EXPECT_EQ(playerY(), y);  // the world held
  EXPECT_EQ(game.app.runningThisFrame, 0);
  EXPECT_EQ(game.session.frameCounter, 181);
  ASSERT_TRUE(pass());
  EXPECT_NE(playerY(), y);
  EXPECT_EQ(game.session.frameCounter, 182);

  game.script.frameCounting = false;
  ASSERT_TRUE(pass());
  EXPECT_EQ(game.session.frameCounter, 182);
}

TEST_F(FrameLoopTest, AFailedDrawingStartSkipsOnlyTheDrawing) {
  platform.fakeScreen.failStartDrawing = true;
  clearBuffer(platform.fakeScreen.buffer, 0x010203);
  const float y = playerY();
  const uint32_t before = pixelAt(game.screen.info.centreX, game.screen.info.centreY);
  ASSERT_TRUE(pass());
  EXPECT_NE(playerY(), y);  // the world stepped
  EXPECT_FALSE(logged("stopDrawing"));
  EXPECT_TRUE(logged("flip"));
  (void)before;
}

TEST_F(FrameLoopTest, HomSkipsTheClearAndHaltSkipsTheScene) {
  game.script.screenEffects.homActive = 1;
  game.script.screenEffects.haltActive = true;
  ASSERT_TRUE(pass());
  EXPECT_EQ(std::count_if(platform.log.begin(), platform.log.end(),
                          [](const std::string& s) { return s.rfind("clear", 0) == 0; }),
            0);
  EXPECT_TRUE(logged("startDrawing"));  // the overlays are drawn
}

struct PacingCase {
  int frames;
  bool active;
  int32_t sleepBefore;
  int32_t sleepAfter;
};

class FramePacing : public ::testing::TestWithParam<PacingCase> {};

TEST_P(FramePacing, AdjustsTheSleepOnceASecond) {
  const PacingCase& c = GetParam();
  AppState app;
  RandomGenerator gen;
  gen.seed(1);
  app.frameSleep = c.sleepBefore;
  app.secondStart = 5000;
  // Frames spread over one second; the last one is past it.
  for (int i = 0; i < c.frames; ++i) {
    app.frameTime = 5000 + static_cast<uint32_t>(1000 * i / c.frames);
    countFrameForPacing(app, c.active, gen);
    ASSERT_EQ(app.frameSleep, c.sleepBefore) << "changed before the second was over";
  }
  app.frameTime = 6001;
  countFrameForPacing(app, c.active, gen);
  EXPECT_EQ(app.frameSleep, c.sleepAfter);
  EXPECT_EQ(app.framesLastSecond, c.frames + 1);
  EXPECT_EQ(app.framesThisSecond, 0);
  EXPECT_EQ(app.secondStart, 6001u);
  EXPECT_GE(app.noiseMask, 1);
  EXPECT_LE(app.noiseMask, 16777216);
}

INSTANTIATE_TEST_SUITE_P(Seconds, FramePacing,
                         // frames + 1 are counted: the last one ends the second.
                         ::testing::Values(PacingCase{69, true, 12, 13},   // 70: one more ms
                                           PacingCase{65, true, 12, 13},   // 66: above 65
                                           PacingCase{64, true, 12, 12},   // 65: unchanged
                                           PacingCase{58, true, 12, 12},   // 59: unchanged
                                           PacingCase{57, true, 12, 10},   // 58: two less
                                           PacingCase{49, true, 12, 10},   // 50: two less
                                           PacingCase{49, true, 2, 1},     // never below 1
                                           PacingCase{49, false, 12, 12},  // screen not active
                                           PacingCase{0, true, 12, 12}));  // one frame counted

TEST(FramePacingWindow, ARestartLaterInThePassIsNotAnEndedSecond) {
  AppState app;
  RandomGenerator gen;
  app.frameTime = 10000;
  app.secondStart = 10020;  // a zone load in this frame restarted the window
  app.framesThisSecond = 3;
  countFrameForPacing(app, true, gen);
  EXPECT_EQ(app.framesThisSecond, 4);
  EXPECT_EQ(app.secondStart, 10020u);
}

TEST_F(FrameLoopTest, FrameSleepPacesFullScreenOnly) {
  ASSERT_TRUE(pass());
  EXPECT_EQ(platform.log.back(), "sleep 1");
  ASSERT_EQ(openGameScreen(game, 0), 1);
  platform.log.clear();
  game.app.frameSleep = 9;
  ASSERT_TRUE(pass());
  EXPECT_EQ(platform.log.back(), "sleep 9");
}

TEST_F(FrameLoopTest, WithoutAScreenThePassOnlyWaits) {
  closeGameScreen(game);
  game.app.framesThisSecond = 5;
  const float y = playerY();
  ASSERT_TRUE(pass());
  EXPECT_EQ(playerY(), y);  // the world did not step
  EXPECT_EQ(platform.log.back(), "sleep 50");
  EXPECT_EQ(game.app.framesLastSecond, 5);
}

struct FocusCase {
  bool pauseOnUnfocus;
  bool active;
  int32_t menuState;
  int32_t runNumber;
  int32_t frameCounter;
  bool pauses;
};

class FocusLoss : public FrameLoopTest, public ::testing::WithParamInterface<FocusCase> {};

TEST_P(FocusLoss, OpensThePauseMenuOnlyWhenItShould) {
  const FocusCase& c = GetParam();
  game.app.menuScreen = -1;  // no menu screen built yet
  game.prefs.pauseOnUnfocus = c.pauseOnUnfocus ? 1 : 0;
  platform.fakeScreen.active = c.active;
  game.app.menuState = c.menuState;
  game.app.runNumber = c.runNumber;
  game.session.frameCounter = c.frameCounter;
  game.world.pauseColour = 0x00FF00;
  hold({13, 29});  // ACTION and RIGHT held as the menu opens
  ASSERT_TRUE(pass());
  if (c.pauses) {
    EXPECT_EQ(game.app.menuScreen, c.runNumber ? menu_screen::RunPause : menu_screen::Main);
    EXPECT_TRUE(sound.isPlaying(game.app.pauseMusic));
    EXPECT_EQ(game.app.menuBackground, 0x00FF00);
    EXPECT_EQ(game.app.menuState, menu_state::Shown);  // opened, then this frame ran as the opening one
    EXPECT_EQ(game.controls.snapshot[control::Right], 1);
    EXPECT_EQ(game.controls.snapshot[control::Action], 1);
    EXPECT_FALSE(game.controls.pressed(control::Action));
  } else {
    EXPECT_EQ(game.app.menuScreen, -1);
    EXPECT_FALSE(sound.isPlaying(game.app.pauseMusic));
    EXPECT_EQ(game.app.menuState, c.menuState == menu_state::Opening ? menu_state::Shown : c.menuState);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FocusLoss,
    ::testing::Values(FocusCase{true, false, 0, 0, 0, true},  // lost focus in play
                      FocusCase{true, true, 0, 0, 0, false},     // still active
                      FocusCase{false, false, 0, 0, 0, false},   // PauseOnUnfocus 0
                      FocusCase{true, false, 2, 0, 0, false},    // a menu is already shown
                      FocusCase{true, false, 0, 1, 180, false},  // in a run's countdown
                      FocusCase{true, false, 0, 1, 181, true}));  // the run's pause screen

TEST_F(FrameLoopTest, CtrlWithTheFullScreenKeyOrOptionWithActionTogglesTheScreen) {
  struct Case {
    std::initializer_list<int> keys;
    bool toggles;
  };
  const Case cases[] = {
      {{102, 141}, true},       // Ctrl+F
      {{102, 142}, true},       // the other Ctrl
      {{13, 143}, true},        // Option+Return
      {{13, 144}, true},        // the other Option
      {{102}, false},           // F alone
      {{13}, false},            // Return alone
      {{102, 13, 143}, false},  // F without Ctrl: the ACTION test is not made
  };
  for (const Case& c : cases) {
    ASSERT_EQ(openGameScreen(game, 1), 1);
    hold({});
    ASSERT_TRUE(pass());
    hold(c.keys);
    ASSERT_TRUE(pass());
    EXPECT_EQ(game.screen.inWindow, c.toggles ? 0 : 1);
    EXPECT_EQ(game.prefs.windowed, c.toggles ? 0 : 1);
  }
}

TEST_F(FrameLoopTest, AScreenThatCannotOpenOnToggleIsFatalAndAsksForAWindowNextTime) {
  platform.fakeScreen.failFullScreen = true;
  hold({102, 141});
  EXPECT_THROW(pass(), ProgramExit);  // the fatal-error path ends the program
  ASSERT_EQ(platform.messages.size(), 1u);
  EXPECT_EQ(platform.messages[0], "Zorlan - Error|A 640x480 screen could not be opened!");
  EXPECT_EQ(game.prefs.windowed, 1);
}

TEST_F(FrameLoopTest, TheFullScreenToggleRefreshesTheVideoMenu) {
  showVideoMenu(game);
  game.app.menuState = menu_state::Shown;
  hold({102, 141});
  ASSERT_TRUE(pass());
  const std::vector<std::string> expected = {"SCREEN: 640\xD7" "480", "DEPTH: 32-BIT", "FULL: YES"};
  EXPECT_EQ(menuTexts(3), expected);
  EXPECT_EQ(game.app.menuState, menu_state::Shown);  // reopened, then the opening frame ran
}

TEST_F(FrameLoopTest, QuitComesFromCtrlQTheCloseBoxOrATerminationSignal) {
  hold({113});
  EXPECT_TRUE(pass());  // "q" alone plays on
  hold({113, 141});
  EXPECT_FALSE(pass());
  EXPECT_EQ(game.app.quitRequested, 1);

  game.app.quitRequested = 0;
  hold({});
  platform.fakeScreen.events = {WindowEvent::FocusLost, WindowEvent::Close};
  EXPECT_FALSE(pass());
  EXPECT_TRUE(platform.fakeScreen.events.empty());

  game.app.quitRequested = 0;
  platform.quit = true;
  EXPECT_FALSE(pass());
}

TEST_F(FrameLoopTest, InFullScreenNoWindowEventsAreTaken) {
  ASSERT_EQ(openGameScreen(game, 0), 1);
  platform.fakeScreen.events = {WindowEvent::Close};
  EXPECT_TRUE(pass());
  EXPECT_EQ(platform.fakeScreen.events.size(), 1u);
}

TEST_F(FrameLoopTest, SoundAndMusicKeys) {
  game.app.soundWorks = false;
  sound.play(game.app.pauseMusic, true, 35);  // heard in play only through the switch
  game.app.menuState = menu_state::Opening;
  hold({115, 109});
  ASSERT_TRUE(pass());
  EXPECT_EQ(game.prefs.sound, 1);  // no sound output: the key does nothing
  EXPECT_EQ(game.prefs.music, 0);
  EXPECT_EQ(sound.channelVolume(game.app.pauseMusic), 0);  // the switch reached the music
  game.app.menuState = menu_state::Playing;

  game.app.soundWorks = true;
  hold({});
  ASSERT_TRUE(pass());
  hold({115});
  ASSERT_TRUE(pass());
  EXPECT_EQ(game.prefs.sound, 0);

  // While the keyboard screen captures keys, neither key acts.
  game.app.menuState = menu_state::Shown;
  game.app.menuScreen = menu_screen::Keyboard;
  hold({});
  ASSERT_TRUE(pass());
  hold({115, 109});
  ASSERT_TRUE(pass());
  EXPECT_EQ(game.prefs.sound, 0);
  EXPECT_EQ(game.prefs.music, 0);

  // DisableMusic keeps music off; the audio menu shows the switches.
  showAudioMenu(game);
  game.app.menuState = menu_state::Shown;
  game.prefs.disableMusic = 1;
  hold({});
  ASSERT_TRUE(pass());
  hold({115, 109});
  ASSERT_TRUE(pass());
  EXPECT_EQ(game.prefs.music, 0);
  EXPECT_EQ(game.prefs.sound, 1);
  const std::vector<std::string> expected = {"MUSIC: OFF", "SOUNDS: ON"};
  EXPECT_EQ(menuTexts(2), expected);
}

TEST_F(FrameLoopTest, TabTogglesTheDebugOverlayWhenLetGo) {
  hold({9});
  ASSERT_TRUE(pass());
  EXPECT_EQ(game.app.debugOverlay, 0);
  ASSERT_TRUE(pass());
  EXPECT_EQ(game.app.debugOverlay, 0);
  hold({});
  ASSERT_TRUE(pass());
  EXPECT_EQ(game.app.debugOverlay, 1);
}

TEST_F(FrameLoopTest, LandingsStayQuietUntilThePlayerHasControl) {
  EXPECT_TRUE(game.script.zoneEntryQuiet);
  game.script.playerFrozen = true;  // a script holds the player
  ASSERT_TRUE(pass());
  EXPECT_EQ(game.app.controlsActive, 0);
  EXPECT_TRUE(game.script.zoneEntryQuiet);
  game.script.playerFrozen = false;
  ASSERT_TRUE(pass());
  EXPECT_EQ(game.app.controlsActive, 1);
  EXPECT_FALSE(game.script.zoneEntryQuiet);
}

TEST(ScreenshotNames, TakeTheFirstFreeName) {
  TempFolder folder;
  const std::string stamp = "20260102030405";
  EXPECT_EQ(freeScreenshotPath(folder.path(), stamp), folder / (stamp + ".png"));
  ASSERT_TRUE(files::writeFileAtomic(folder / (stamp + ".png"), "x"));
  EXPECT_EQ(freeScreenshotPath(folder.path(), stamp), folder / (stamp + "-2.png"));
  ASSERT_TRUE(files::writeFileAtomic(folder / (stamp + "-2.png"), "x"));
  EXPECT_EQ(freeScreenshotPath(folder.path(), stamp), folder / (stamp + "-3.png"));
}

TEST_F(FrameLoopTest, AFailedGrabWritesNothing) {
  game.screen.info.viewWidth = 5000;  // outside the picture
  game.app.screenshotRequested = 1;
  EXPECT_FALSE(takeScreenshot(game));
  EXPECT_FALSE(files::isFolder(data / "zordata/screens"));
}

TEST_F(FrameLoopTest, ZoneEntryWaitsForActionToBeLetGoAndHonoursAQuit) {
  int reads = 0;
  platform.beforeKeyboard = [&](FakePlatform& p, int n) {
    reads = n + 1;
    if (n == 3) p.fakeInput.keys.clear();
  };
  hold({13});
  platform.log.clear();
  waitForActionRelease(game, platform);
  EXPECT_EQ(reads, 4);
  EXPECT_EQ(std::count(platform.log.begin(), platform.log.end(), "flip"), 3);
  EXPECT_EQ(std::count(platform.log.begin(), platform.log.end(), "sleep 15"), 3);

  // A gamepad's JUMP button holds it too; a quit ends the wait.
  game.controls.gamepadCount = 1;
  platform.beforeKeyboard = [](FakePlatform& p, int n) {
    if (n == 2) p.quit = true;
  };
  platform.keyboardReads = 0;
  hold({});
  platform.fakeInput.buttons = {game.controls.buttons[control::Jump]};
  waitForActionRelease(game, platform);
  EXPECT_EQ(game.app.quitRequested, 1);
}

// A key the window system reports held for good (pressed in another window
// before the game's window took the focus) must not keep the player in: the
// quit hot key ends the wait, as the close box does.
TEST_F(FrameLoopTest, CtrlQEndsTheWaitForActionToBeLetGo) {
  constexpr int kGiveUp = 200;
  platform.beforeKeyboard = [](FakePlatform& p, int n) {
    if (n == 3) p.fakeInput.keys.insert({key::Control, kQuitKey});
    if (n == kGiveUp) p.fakeInput.keys.clear();
  };
  hold({13});
  waitForActionRelease(game, platform);
  EXPECT_EQ(game.app.quitRequested, 1);
  EXPECT_EQ(platform.keyboardReads, 4);
}

}  // namespace
}  // namespace zor
