#include "game/menu/menu_engine.h"

#include <gtest/gtest.h>

#include "game/app/frame_loop.h"
#include "game/app/quit.h"
#include "game/load/zone_loader.h"
#include "game/persist/preferences.h"
#include "game/persist/run_file.h"
#include "game/persist/speedrun.h"
#include "game/menu/speedrun_screens.h"

#include <filesystem>
#include "platform/files.h"
#include "tests/game/app/temp_folder.h"
#include "tests/game/load/zone_test_support.h"
#include "tests/game/menu/menu_test_support.h"

namespace zor {
namespace {

using testing::MenuRig;
using testing::TempFolder;
using Effects = std::vector<int>;

constexpr int kDown = key::Down;
constexpr int kUp = key::Up;
constexpr int kSelect = key::Return;
constexpr int kBack = key::Escape;
constexpr int kSkip = 114;  // r

// A screen of plain selectable lines after `headings` headings.
void showPlainScreen(Game& game, int lines, int headings) {
  game.app.menuScreen = menu_screen::Settings;
  game.menu.lines.assign(static_cast<size_t>(lines), MenuLine{});
  for (int i = 0; i < lines; ++i) {
    // Appended rather than added to a literal: GCC 12 warns wrongly about the latter.
    std::string& text = game.menu.lines[static_cast<size_t>(i)].text;
    text = 'L';
    text += std::to_string(i);
  }
  game.menu.firstSelectable = headings;
  game.menu.selected = headings;
  game.menu.scroll = 0;
  game.menu.captureMode = 0;
}

// --- Opening and closing -------------------------------------------------------

TEST(MenuOpening, ThePauseSequenceShowsTheMainMenu) {
  MenuRig rig;
  Game& game = rig.game;
  game.app.menuState = menu_state::Playing;
  game.world.pauseColour = 0x405060;
  // LEFT and ACTION held when play stops.
  rig.input.keys = {key::Left, kSelect};
  readControls(game.controls, rig.input, game.app.menuState, game.app.menuScreen);
  runPauseSequence(game);
  EXPECT_EQ(game.app.menuState, menu_state::Opening);
  EXPECT_EQ(game.app.menuScreen, menu_screen::Main);
  EXPECT_EQ(game.app.menuBackground, 0x405060);
  EXPECT_EQ(game.menu.lines[0].text, "CONTINUE");
  EXPECT_EQ(game.controls.snapshot[control::Left], 1);
  // The select key held through the opening does not choose CONTINUE.
  game.app.menuState = menu_state::Shown;
  rig.frame({key::Left, kSelect});
  EXPECT_EQ(game.app.menuState, menu_state::Shown);
}

TEST(MenuClosing, WaitsForTheSelectKeyThenRestoresMusicAndRecordedControls) {
  MenuRig rig;
  Game& game = rig.game;
  rig.show(showMainMenu);
  // Controls as they were when the menu opened: LEFT and JUMP held, PAUSE too.
  game.controls.snapshot = {};
  game.controls.snapshot[control::Left] = 1;
  game.controls.snapshot[control::Jump] = 1;
  game.controls.snapshot[control::Pause] = 1;
  rig.platform.beforeKeyboard = [&game](testing::FakePlatform&, int) {
    EXPECT_EQ(game.app.menuState, menu_state::Shown);  // still open while it waits
  };
  rig.playPauseMusic();
  rig.frame({kSelect, 115});  // CONTINUE, with the SOUND key down
  EXPECT_EQ(rig.log, (std::vector<std::string>{"examineKeyboard"}));  // waited for ACTION to be let go
  EXPECT_FALSE(rig.pauseMusicPlaying());                               // the music was restored
  EXPECT_EQ(game.app.menuState, menu_state::Playing);
  EXPECT_EQ(game.app.menuScreen, menu_screen::Main);
  const Controls& c = game.controls;
  EXPECT_TRUE(c.held(control::Left));
  EXPECT_TRUE(c.held(control::Jump));
  EXPECT_FALSE(c.held(control::Action));  // recorded controls come back from the snapshot
  EXPECT_FALSE(c.held(control::Pause));    // the others keep what was read
  EXPECT_TRUE(c.held(control::Sound));
  EXPECT_TRUE(rig.takeEffects().empty());
}

TEST(MenuClosing, BackOnTheMainMenuClosesWithoutTouchingDisabledMusic) {
  MenuRig rig;
  rig.game.prefs.disableMusic = 1;
  rig.show(showMainMenu);
  rig.playPauseMusic();
  rig.frame({kBack});
  EXPECT_EQ(rig.game.app.menuState, menu_state::Playing);
  EXPECT_EQ(rig.log, (std::vector<std::string>{"examineKeyboard"}));
  EXPECT_TRUE(rig.pauseMusicPlaying());  // disabled music is not touched
  EXPECT_TRUE(rig.takeEffects().empty());  // no refusal sound on the main menu
}

// --- Choosing the action ---------------------------------------------------------

TEST(MenuInput, BackWinsOverSelectAndJumpNeverSelects) {
  MenuRig rig;
  rig.show(showSettingsMenu);
  rig.game.menu.selected = 1;  // VIDEO
  rig.frame({kSelect, kBack});
  EXPECT_EQ(rig.game.app.menuScreen, menu_screen::Main);
  rig.frame();
  rig.show(showSettingsMenu);
  rig.game.menu.selected = 1;
  rig.press(key::Space);
  EXPECT_EQ(rig.game.app.menuScreen, menu_screen::Settings);
}

TEST(MenuInput, TheInputDelayHoldsActionsButNotTheSelection) {
  MenuRig rig;
  rig.show(showSettingsMenu);
  rig.game.menu.inputDelay = rig.game.app.frameTime + 800;
  rig.press(kDown);
  EXPECT_EQ(rig.game.menu.selected, 1);
  rig.press(kSelect);
  rig.press(kBack);
  EXPECT_EQ(rig.game.app.menuScreen, menu_screen::Settings);
  rig.game.app.frameTime += 800;
  rig.press(kSelect);
  EXPECT_EQ(rig.game.app.menuScreen, menu_screen::Video);
}

TEST(MenuInput, AHeldKeyMovesOnceAndLeapInWinsOverLeapOut) {
  MenuRig rig;
  showPlainScreen(rig.game, 5, 0);
  rig.game.app.menuState = menu_state::Shown;
  rig.frame({kDown});
  rig.frame({kDown});
  rig.frame({kDown});
  EXPECT_EQ(rig.game.menu.selected, 1);
  rig.frame();
  rig.frame({kDown, kUp});
  EXPECT_EQ(rig.game.menu.selected, 2);
  EXPECT_EQ(rig.takeEffects(), (Effects{9, 9}));
}

TEST(MenuSelection, WrapsAndScrollsOverEightLines) {
  MenuRig rig;
  showPlainScreen(rig.game, 8, 0);
  rig.game.app.menuState = menu_state::Shown;
  struct Step {
    int key;
    int selected, scroll;
  } steps[] = {{kDown, 1, 0}, {kDown, 2, 0}, {kDown, 3, 0}, {kDown, 4, 0}, {kDown, 5, 1}, {kDown, 6, 2},
               {kDown, 7, 3}, {kDown, 0, 0}, {kUp, 7, 3},   {kUp, 6, 3},   {kUp, 5, 3},   {kUp, 4, 3},
               {kUp, 3, 3},   {kUp, 2, 2},   {kUp, 1, 1},   {kUp, 0, 0},   {kUp, 7, 3}};
  for (const Step& s : steps) {
    rig.press(s.key);
    EXPECT_EQ(rig.game.menu.selected, s.selected);
    EXPECT_EQ(rig.game.menu.scroll, s.scroll);
  }
}

TEST(MenuSelection, HeadingsAreNeverSelected) {
  struct Case {
    int lines, headings;
    int upSelected, upScroll;  // after one step up from the first selectable line
  } cases[] = {{9, 1, 8, 4}, {4, 1, 3, 0}, {5, 1, 4, 0}, {3, 0, 2, 0}, {6, 0, 5, 1}};
  for (const Case& c : cases) {
    MenuRig rig;
    showPlainScreen(rig.game, c.lines, c.headings);
    rig.game.app.menuState = menu_state::Shown;
    rig.press(kUp);
    EXPECT_EQ(rig.game.menu.selected, c.upSelected) << c.lines << "/" << c.headings;
    EXPECT_EQ(rig.game.menu.scroll, c.upScroll) << c.lines << "/" << c.headings;
    rig.press(kDown);
    EXPECT_EQ(rig.game.menu.selected, c.headings);
    EXPECT_EQ(rig.game.menu.scroll, 0);
  }
}

TEST(MenuSelection, OneSelectableLineOrHeadingsOnlyNeverMove) {
  MenuRig rig;
  rig.show([](Game& g) { showCreditsMenu(g, 2); });
  rig.press(kDown);
  rig.press(kUp);
  EXPECT_EQ(rig.game.menu.selected, 4);
  showPlainScreen(rig.game, 3, 3);
  rig.game.menu.selected = 0;
  rig.press(kDown);
  EXPECT_EQ(rig.game.menu.selected, 0);
  EXPECT_TRUE(rig.takeEffects().empty());
}

// --- BACK --------------------------------------------------------------------------

TEST(MenuBack, LeadsToTheScreenAboveWithTheRefusalSound) {
  struct Case {
    void (*show)(Game&);
    int32_t after;
  } cases[] = {
      {showNewGameMenu, menu_screen::Main},
      {showSettingsMenu, menu_screen::Main},
      {showAudioMenu, menu_screen::Settings},
      {showVideoMenu, menu_screen::Settings},
      {showScreenSizeMenu, menu_screen::Video},
      {showKeyboardMenu, menu_screen::Keyboard},
      {showGamepadMenu, menu_screen::Settings},
      {showButtonSetupMenu, menu_screen::Gamepad},
      {[](Game& g) { showCreditsMenu(g, 3); }, menu_screen::Settings},
  };
  for (const Case& c : cases) {
    MenuRig rig;
    rig.show(c.show);
    const int32_t background = rig.game.app.menuBackground;
    rig.frame({kBack});
    EXPECT_EQ(rig.game.app.menuScreen, c.after);
    EXPECT_EQ(rig.game.app.menuState, menu_state::Shown);
    EXPECT_EQ(rig.game.app.menuBackground, background);  // credits keep their colour
    EXPECT_EQ(rig.takeEffects(), (Effects{11}));
  }
}

// The speedrun screens over a game with the speedruns' zones.
constexpr const char* kSpeedrunZones = R"(<zorlan version="1">
    <zone id="first"><levels><level z="0"/></levels><entrance x="0" y="0" level="0"/></zone>
    <zone id="cave"><levels><level z="0"/></levels><entrance x="0" y="0" level="0"/></zone>
    <zone id="hill"><levels><level z="0"/></levels><entrance x="0" y="0" level="0"/></zone>
  </zorlan>)";
struct SpeedrunZones {
  testing::ZoneLog zoneLog;
};
struct SpeedrunRig : SpeedrunZones, MenuRig {
  SpeedrunRig() : MenuRig(testing::makeGame(kSpeedrunZones, zoneLog)) {
    EXPECT_TRUE(loadZone(game, "first", true));
    game.session.unlockedSpeedruns = 2;
    game.data.speedruns = {run("LOCKED", 0), run("CAVE", 4000), run("HILL", -1), run("CAVE", 9)};
  }
  // The screen shown and the help under its lines.
  std::string screenNote() const { return game.menu.lines.size() > 1 ? game.menu.lines[1].help : ""; }
  static SpeedrunRecord run(const std::string& name, int32_t best) {
    SpeedrunRecord r;
    r.name = name;
    r.zone = text::toLower(name);
    r.runNumber = 2;
    r.bestTime = best;
    r.bestTimeDeaths = best > 0 ? 3 : 0;
    r.fewestDeathsTime = best > 0 ? best + 100 : 0;
    r.fewestDeaths = best > 0 ? 1 : 0;
    return r;
  }
};

TEST(MenuBack, SpeedrunScreensLeadBackAndTheListEndsAnyRun) {
  SpeedrunRig rig;
  rig.game.world.pauseColour = 0x777777;
  rig.game.app.menuBackground = 0xF0F0F0;
  rig.show(showMainMenu);
  ASSERT_EQ(rig.lineText(2), "SPEEDRUNS");
  rig.choose(2);
  EXPECT_EQ(rig.game.app.menuScreen, menu_screen::Speedruns);
  EXPECT_EQ(rig.screenNote(), "");
  rig.choose(1);  // CAVE
  EXPECT_EQ(rig.game.menu.currentSpeedrun, 1);
  EXPECT_EQ(rig.game.app.menuScreen, menu_screen::ZoneRecords);
  EXPECT_EQ(rig.game.menu.title, "CAVE");
  rig.press(kBack);
  EXPECT_EQ(rig.game.app.menuScreen, menu_screen::Speedruns);
  rig.game.run.recording = true;
  rig.press(kBack);
  EXPECT_EQ(rig.game.app.menuScreen, menu_screen::Main);
  EXPECT_EQ(rig.game.app.menuBackground, 0x777777);
  EXPECT_EQ(rig.game.menu.currentSpeedrun, -1);  // the speedrun list ends any run
  EXPECT_FALSE(rig.game.run.recording);
  EXPECT_EQ(rig.takeEffects(), (Effects{10, 10, 11, 11}));
}

TEST(MenuSpeedruns, PickingDeletingAndStarting) {
  SpeedrunRig rig;
  rig.show([](Game& g) { showSpeedrunsMenu(g, ""); });
  // A name that matches no unlocked speedrun is refused.
  rig.game.menu.lines[2].text = "LOCKED";
  rig.choose(2);
  EXPECT_EQ(rig.game.menu.currentSpeedrun, -1);
  EXPECT_EQ(rig.takeEffects(), (Effects{11}));
  // Two speedruns of one name: the first in list order.
  rig.choose(1);
  EXPECT_EQ(rig.game.menu.currentSpeedrun, 1);
  rig.takeEffects();
  // Delete on ZONE RECORDS asks for this speedrun; YES clears its records.
  rig.input.keys = {key::Delete};
  rig.frame({key::Delete});
  rig.frame();
  EXPECT_EQ(rig.game.app.menuScreen, menu_screen::ConfirmDelete);
  rig.game.app.frameTime += 1000;  // the question takes no answer for a moment
  rig.choose(2);
  const SpeedrunRecord& cave = rig.game.data.speedruns[1];
  EXPECT_EQ(cave.bestTime, -1);
  EXPECT_EQ(cave.bestTimeDeaths, 0);
  EXPECT_EQ(cave.fewestDeathsTime, 0);
  EXPECT_EQ(cave.fewestDeaths, 0);
  EXPECT_EQ(rig.game.data.speedruns[3].bestTime, 9);
  EXPECT_EQ(rig.game.app.menuScreen, menu_screen::Speedruns);
  EXPECT_EQ(rig.screenNote(), "CAVE RECORDS DELETED");
  EXPECT_EQ(rig.takeEffects(), (Effects{14, 4, 18}));  // the question's own sound, then the answer's
  // Delete while BACK is selected: no current speedrun; YES: ALL ZONES.
  rig.game.menu.selected = rig.game.menu.lineCount() - 1;
  rig.frame({key::Delete});
  rig.frame();
  EXPECT_EQ(rig.game.app.menuScreen, menu_screen::ConfirmDelete);
  EXPECT_EQ(rig.game.menu.currentSpeedrun, -1);
  rig.game.app.frameTime += 1000;
  rig.choose(2);
  EXPECT_EQ(rig.game.data.speedruns[0].bestTime, 0);  // locked stays locked
  EXPECT_EQ(rig.game.data.speedruns[3].bestTime, -1);
  EXPECT_EQ(rig.game.app.menuScreen, menu_screen::Speedruns);
  EXPECT_EQ(rig.screenNote(), "ALL RECORDS DELETED");
  // START runs the current speedrun as a recording.
  rig.choose(2);  // HILL
  rig.choose(3);
  EXPECT_EQ(rig.game.app.runNumber, 2);
  EXPECT_TRUE(rig.game.run.recording);
  EXPECT_FALSE(rig.game.random.replaying);
  EXPECT_EQ(rig.game.world.currentZoneId, "hill");
}

TEST(MenuSpeedruns, SaveRunWritesOncePerScreen) {
  struct Case {
    int32_t screen;
    int32_t speedrun;  // the current speedrun; -1: none, and nothing can be written
    std::string file;  // the run file written, in the data folder's runs
    bool stopMarker;
    std::string text;
    int effect;
  } cases[] = {{menu_screen::RunPause, 0, "cave1.zorrun", true, "SAVED CAVE1.ZORRUN", 7},
               {menu_screen::Results, 1, "hill1.zorrun", false, "SAVED HILL1.ZORRUN", 7},
               {menu_screen::Results, -1, "", false, "(FAILED)", 11}};
  for (const Case& c : cases) {
    MenuRig rig;
    testing::TempFolder data;
    rig.game.session.dataFolder = data.path();
    rig.game.data.speedruns = {SpeedrunRecord{}, SpeedrunRecord{}};
    rig.game.data.speedruns[0].name = "CAVE";
    rig.game.data.speedruns[1].name = "HILL";
    rig.game.menu.currentSpeedrun = c.speedrun;
    rig.game.run.events = {RunEvent{5, 2, run_event::Down}};
    rig.game.session.frameCounter = 40;
    rig.game.app.menuScreen = c.screen;
    rig.game.app.menuState = menu_state::Shown;
    rig.game.menu.lines = {{"CONTINUE", "", 26}, {"SAVE RUN", "", 11}, {"END RUN", "", 10}};
    rig.game.menu.firstSelectable = 0;
    rig.choose(1);
    rig.choose(1);
    const std::string path = c.file.empty() ? "" : rig.game.session.dataPath("zordata/runs/") + c.file;
    EXPECT_EQ(rig.lineText(1), c.text);
    EXPECT_EQ(rig.game.menu.lines[1].action, 0);
    EXPECT_EQ(rig.game.menu.lastRunFilePath, path);
    std::vector<std::string> written;
    if (files::isFolder(data / "zordata/runs")) {
      for (const auto& e : std::filesystem::directory_iterator(data / "zordata/runs")) written.push_back(e.path().filename().string());
    }
    EXPECT_EQ(written, c.file.empty() ? std::vector<std::string>{} : std::vector<std::string>{c.file});  // once
    if (!path.empty()) {
      std::string bytes;
      ASSERT_TRUE(files::readFile(path, bytes, 1 << 20));
      RunFileContents contents;
      ASSERT_TRUE(decodeRunFile(bytes, contents));
      ASSERT_FALSE(contents.events.empty());
      EXPECT_EQ(contents.events.back().kind == run_event::Stop, c.stopMarker);
    }
    EXPECT_EQ(rig.takeEffects(), (Effects{c.effect}));
  }
}

// --- Main menu and settings actions -------------------------------------------------

TEST(MenuActions, ExitAsksToQuit) {
  MenuRig rig;
  rig.show(showMainMenu);
  rig.choose(3);
  EXPECT_EQ(rig.game.app.quitRequested, 1);
}

TEST(MenuActions, NewGameYesStartsAgainInTheFirstZone) {
  constexpr const char* kGame = R"(<zorlan version="1">
    <zone id="first"><levels><level z="0"/></levels><entrance x="0" y="0" level="0"/></zone>
    <zone id="cave"><levels><level z="0"/></levels><entrance x="0" y="0" level="0"/></zone>
  </zorlan>)";
  testing::ZoneLog zoneLog;
  MenuRig rig(testing::makeGame(kGame, zoneLog));
  Game& game = rig.game;
  enterZone(game, "cave", "");
  ASSERT_EQ(game.world.currentZoneId, "cave");
  game.gameFlags.allocate(64);
  game.gameFlags.set(5, true);
  game.session.attempts = 9;
  game.session.deaths = 4;
  game.session.frameCounter = 1234;

  rig.show(showMainMenu);
  rig.choose(1);
  EXPECT_EQ(game.app.menuScreen, menu_screen::NewGame);
  EXPECT_EQ(game.menu.selected, 1);
  rig.press(kSelect);  // NO
  EXPECT_EQ(game.app.menuScreen, menu_screen::Main);
  EXPECT_EQ(rig.takeEffects(), (Effects{10, 11}));
  rig.choose(1);
  rig.choose(2);  // YES
  EXPECT_EQ(game.world.currentZoneId, "first");
  EXPECT_FALSE(game.gameFlags.isSet(5));
  EXPECT_EQ(game.session.attempts, 1);
  EXPECT_EQ(game.session.deaths, 0);
  EXPECT_EQ(game.session.frameCounter, 0);
  EXPECT_EQ(game.app.menuState, menu_state::Playing);  // back to play
  EXPECT_EQ(game.app.menuScreen, 0);
}

TEST(MenuActions, AudioSwitches) {
  MenuRig rig;
  Game& game = rig.game;
  rig.show(showSettingsMenu);
  rig.choose(0);
  ASSERT_EQ(game.app.menuScreen, menu_screen::Audio);
  rig.takeEffects();
  rig.playPauseMusic();

  rig.choose(0);
  EXPECT_EQ(game.prefs.music, 0);
  EXPECT_EQ(rig.lineText(0), "MUSIC: OFF");
  rig.choose(1);
  EXPECT_EQ(game.prefs.sound, 0);
  EXPECT_EQ(rig.lineText(1), "SOUNDS: OFF");
  rig.choose(1);
  EXPECT_EQ(game.prefs.sound, 1);
  EXPECT_EQ(rig.lineText(1), "SOUNDS: ON");
  EXPECT_EQ(rig.takeEffects(), (Effects{10, 10}));  // the sound switched off is not heard
  EXPECT_EQ(rig.sound.channelVolume(game.app.pauseMusic), 0);  // the switch reached the pause music

  // Music disabled: refused.
  game.prefs.disableMusic = 1;
  rig.choose(0);
  EXPECT_EQ(game.prefs.music, 0);
  EXPECT_EQ(rig.takeEffects(), (Effects{11}));

  // A value from the preference file outside 0..1 still switches to a valid one.
  game.prefs.disableMusic = 0;
  game.prefs.music = 5;
  rig.choose(0);
  EXPECT_EQ(game.prefs.music, 0);
  game.prefs.sound = -3;
  rig.choose(1);
  EXPECT_EQ(game.prefs.sound, 0);
  EXPECT_EQ(rig.lineText(1), "SOUNDS: OFF");
}

TEST(MenuActions, WithoutAudioTheAudioLineDoesNothing) {
  MenuRig rig;
  rig.game.app.soundWorks = false;
  rig.show(showSettingsMenu);
  rig.choose(0);
  EXPECT_EQ(rig.game.app.menuScreen, menu_screen::Settings);
  EXPECT_TRUE(rig.takeEffects().empty());
}

// What the game asked of the screen, without the drawing around the fill calibration.
std::vector<std::string> screenOps(const std::vector<std::string>& log) {
  std::vector<std::string> out;
  for (const std::string& s : log) {
    if (s != "startDrawing" && s != "stopDrawing") out.push_back(s);
  }
  return out;
}

struct VideoRig : MenuRig {
  explicit VideoRig(bool windowed) {
    ScreenInfo& info = game.screen.info;
    info.width = 800;
    info.height = 600;
    info.depth = 32;
    EXPECT_EQ(openGameScreen(game, windowed ? 1 : 0), 1);
    game.app.screenSizes = {{640, 480}, {800, 480}, {800, 600}, {1024, 768}};
    show(showVideoMenu);
    log.clear();
  }
};

TEST(MenuActions, DepthOnlyReopensInFullScreen) {
  {
    VideoRig rig(true);
    rig.choose(1);
    EXPECT_EQ(rig.game.screen.info.depth, 16);
    EXPECT_EQ(rig.game.prefs.screenDepth, 16);
    EXPECT_EQ(rig.lineText(1), "DEPTH: 16-BIT");
    EXPECT_TRUE(screenOps(rig.log).empty());  // the window stays
    EXPECT_TRUE(rig.takeEffects().empty());
  }
  {
    VideoRig rig(false);
    rig.choose(1);
    EXPECT_EQ(rig.game.screen.info.depth, 16);
    EXPECT_EQ(rig.game.app.menuState, menu_state::Opening);
    EXPECT_EQ(screenOps(rig.log), (std::vector<std::string>{"close", "openFullScreen 800x600"}));
    EXPECT_EQ(rig.takeEffects(), (Effects{10}));
    EXPECT_EQ(rig.lineText(1), "DEPTH: 16-BIT");
    EXPECT_EQ(rig.game.prefs.screenDepth, 16);
  }
}

TEST(MenuActions, AScreenThatWillNotOpenFallsBackOnceThenEndsTheGame) {
  {
    VideoRig rig(false);
    rig.screen.failOpens = 1;
    rig.choose(1);
    EXPECT_EQ(rig.game.screen.info.depth, 32);  // back to the old depth
    EXPECT_EQ(rig.game.screen.gameScreenOpen, 1);
    EXPECT_EQ(rig.takeEffects(), (Effects{11}));
    EXPECT_EQ(rig.lineText(1), "DEPTH: 32-BIT");
    EXPECT_EQ(rig.game.app.quitRequested, 0);
  }
  {
    VideoRig rig(false);
    rig.screen.failOpens = 2;
    EXPECT_THROW(rig.choose(1), ProgramExit);  // the game ends through the fatal-error path
    EXPECT_EQ(rig.game.app.exitStatus, 1);
    EXPECT_EQ(rig.game.prefs.windowed, 1);
    EXPECT_EQ(rig.platform.messages.back(), "Zorlan - Error|A 800x600 screen could not be opened!");
  }
}

TEST(MenuActions, FullScreenSwitch) {
  VideoRig rig(true);
  rig.choose(2);
  EXPECT_EQ(rig.game.screen.inWindow, 0);
  EXPECT_EQ(rig.game.screen.gameScreenOpen, 1);
  EXPECT_EQ(rig.game.app.menuState, menu_state::Opening);
  EXPECT_EQ(rig.lineText(2), "FULL: YES");
  EXPECT_EQ(rig.game.prefs.windowed, 0);
  EXPECT_EQ(rig.takeEffects(), (Effects{10}));
  rig.game.app.menuState = menu_state::Shown;
  rig.screen.failOpens = 1;  // no retry: the first failure ends the game
  EXPECT_THROW(rig.choose(2), ProgramExit);
  EXPECT_EQ(rig.game.app.exitStatus, 1);
  EXPECT_EQ(rig.game.prefs.windowed, 1);
  EXPECT_EQ(rig.platform.messages.back(), "Zorlan - Error|A 800x600 screen could not be opened!");
}

TEST(MenuActions, ScreenSizes) {
  struct Case {
    bool windowed;
    int line;  // 1..4
    int failOpens;
    std::vector<std::string> screenLog;
    Effects effects;
    int32_t width, height;
  } cases[] = {
      // The size in use, windowed: nothing to reopen.
      {true, 3, 0, {}, {10}, 800, 600},
      // Same width, windowed: only the height changes, which a window ignores.
      {true, 2, 0, {}, {10}, 800, 480},
      // Another width, windowed: a new window.
      {true, 4, 0, {"close", "openWindowed 1024x576"}, {10}, 1024, 768},
      // Full screen always reopens.
      {false, 2, 0, {"close", "openFullScreen 800x480"}, {10}, 800, 480},
      // A size that fails falls back to the old one.
      {false, 1, 1, {"close", "openFullScreen failed", "openFullScreen 800x600"}, {11}, 800, 600},
  };
  for (const Case& c : cases) {
    VideoRig rig(c.windowed);
    rig.choose(0);
    ASSERT_EQ(rig.game.app.menuScreen, menu_screen::ScreenSizes);
    EXPECT_EQ(rig.game.menu.selected, 3);
    rig.takeEffects();
    rig.screen.failOpens = c.failOpens;
    rig.choose(c.line);
    EXPECT_EQ(screenOps(rig.log), c.screenLog) << c.line;
    EXPECT_EQ(rig.takeEffects(), c.effects) << c.line;
    EXPECT_EQ(rig.game.screen.info.width, c.width);
    EXPECT_EQ(rig.game.screen.info.height, c.height);
    EXPECT_EQ(rig.game.prefs.screenWidth, c.width);
    EXPECT_EQ(rig.game.prefs.screenHeight, c.height);
    EXPECT_EQ(rig.game.app.menuScreen, menu_screen::ScreenSizes);
  }
  // Without other sizes the SCREEN line is refused.
  VideoRig rig(true);
  rig.game.app.screenSizes.clear();
  rig.choose(0);
  EXPECT_EQ(rig.game.app.menuScreen, menu_screen::Video);
  EXPECT_EQ(rig.takeEffects(), (Effects{11}));
}

TEST(MenuActions, GamepadDetectionAndLeapMode) {
  MenuRig rig;
  Game& game = rig.game;
  int32_t& pads = rig.platform.gamepads;
  pads = 0;
  rig.show(showSettingsMenu);
  ASSERT_EQ(rig.lineText(2), "DETECT GAMEPAD");
  rig.choose(2);
  EXPECT_EQ(rig.lineText(2), "TRY AGAIN");
  EXPECT_EQ(rig.takeEffects(), (Effects{11}));
  pads = 2;
  rig.choose(2);
  EXPECT_EQ(rig.lineText(2), "GAMEPAD SETUP");
  EXPECT_EQ(game.controls.gamepadCount, 2);
  EXPECT_EQ(game.app.menuScreen, menu_screen::Settings);
  EXPECT_EQ(rig.takeEffects(), (Effects{10, 5}));
  rig.choose(2);
  EXPECT_EQ(game.app.menuScreen, menu_screen::Gamepad);

  game.controls.joystickLeap = 1;
  for (const char* mode : {"INVERT", "OFF", "ON", "INVERT"}) {
    rig.choose(1);
    EXPECT_EQ(rig.lineText(1), std::string("USE ^\\ TO LEAP: ") + mode);
  }
  EXPECT_EQ(game.controls.joystickLeap, 2);
  game.controls.joystickLeap = 40;  // not a mode: taken as ON
  rig.choose(1);
  EXPECT_EQ(game.controls.joystickLeap, 2);
  rig.choose(0);
  EXPECT_EQ(game.app.menuScreen, menu_screen::Configure);
}

TEST(MenuActions, CreditsRunThroughTheirPages) {
  MenuRig rig;
  Game& game = rig.game;
  game.world.pauseColour = 0xABCDEF;
  game.data.title = "T";
  rig.show(showSettingsMenu);
  rig.choose(3);
  EXPECT_EQ(game.menu.captureIndex, 0);
  EXPECT_EQ(rig.takeEffects(), (Effects{10, 5}));
  rig.press(kSelect);  // no description: page 1 is left out
  EXPECT_EQ(game.menu.captureIndex, 2);
  rig.press(kSelect);
  rig.press(kSelect);
  EXPECT_EQ(rig.lineText(4), "OK");
  EXPECT_EQ(rig.takeEffects(), (Effects{9, 9, 9}));
  rig.press(kSelect);
  EXPECT_EQ(game.app.menuScreen, menu_screen::Settings);
  EXPECT_EQ(game.app.menuBackground, 0xABCDEF);
  EXPECT_EQ(rig.takeEffects(), (Effects{5, 9}));
}

// --- Key capture ------------------------------------------------------------------------

TEST(KeyCapture, AllThirteenControlsInOrder) {
  MenuRig rig;
  Game& game = rig.game;
  // Return is held as the screen opens: it counts only once let go and pressed again.
  rig.show(showKeyboardMenu);
  rig.frame({kSelect});
  rig.frame({kSelect});
  EXPECT_EQ(game.menu.captureIndex, 0);

  // Escape backs out (refused here) and is taken as the key; Return is taken too.
  const int keys[kControlCount] = {97, kBack, 98, kSelect, 99, 100, key::Space, 101, kUp, kDown, key::F1, 102, 103};
  for (int i = 0; i < kControlCount; ++i) {
    EXPECT_EQ(game.app.menuScreen, menu_screen::Keyboard);
    EXPECT_EQ(rig.lineText(1), game.controls.actionNames[static_cast<size_t>(i)]);
    rig.frame({keys[i]});
    rig.frame();
  }
  for (int i = 0; i < kControlCount; ++i) EXPECT_EQ(game.controls.keyCodes[static_cast<size_t>(i)], keys[i]) << i;
  EXPECT_EQ(game.app.menuScreen, menu_screen::Main);
  EXPECT_EQ(game.app.menuState, menu_state::Shown);
  Effects expected(kControlCount, 10);
  expected.insert(expected.begin() + 1, 11);  // Escape's refused BACK before its capture
  EXPECT_EQ(rig.takeEffects(), expected);
}

TEST(KeyCapture, OneKeyAFrameAndNothingNewlyPressedAfterTheLast) {
  MenuRig rig;
  Game& game = rig.game;
  rig.show(showKeyboardMenu);
  rig.frame();
  rig.frame({120, 110});  // two keys in one frame: the lower code only
  rig.frame({120, 110});
  rig.frame();
  EXPECT_EQ(game.controls.keyCodes[0], 110);
  EXPECT_EQ(game.menu.captureIndex, 1);

  for (int i = 1; i < control::Pause; ++i) rig.press(200 + i);
  rig.frame({200 + control::Pause});
  EXPECT_EQ(game.app.menuScreen, menu_screen::Main);
  // After the last key every control counts as held: the new select key, pressed
  // in the very next frame, chooses nothing.
  game.menu.selected = 3;  // EXIT
  rig.frame({game.controls.keyCodes[control::Action], game.controls.keyCodes[control::Pause]});
  EXPECT_EQ(game.app.quitRequested, 0);
  EXPECT_EQ(game.app.menuState, menu_state::Shown);
}

// --- Button capture -----------------------------------------------------------------------

struct PadRig : MenuRig {
  TempFolder folder;
  PadRig() {
    game.controls.gamepadCount = 1;
    game.session.prefsPath = folder / "zordata/saves/pref-mac.ini";
    show(showGamepadMenu);
    frame({kSelect});  // CONFIGURATION; the select key is let go in the test's first frame
    EXPECT_EQ(game.app.menuScreen, menu_screen::Configure);
    takeEffects();
  }
  std::string prefs() const {
    std::string s;
    files::readFile(game.session.prefsPath, s, 1 << 16);
    return s;
  }
};

TEST(ButtonCapture, SevenControlsWithASkipThenThePreferenceFile) {
  PadRig rig;
  Game& game = rig.game;
  // A button held since the screen opened arms nothing until it is let go.
  rig.frame({}, {3});
  rig.frame({}, {3});
  EXPECT_EQ(game.menu.padCaptureArmed, 0);
  rig.frame();
  EXPECT_EQ(game.menu.padCaptureArmed, 1);
  EXPECT_EQ(game.menu.captureIndex, control::Jump);

  rig.pressButton(3);   // JUMP
  EXPECT_EQ(rig.lineText(1), "ENTER (ACTION)");
  rig.pressButton(20);  // ACTION
  rig.pressButton(7);   // LEAP OUT
  rig.pressButton(1);   // LEAP IN
  rig.press(kSkip);     // ZOOM: no button
  EXPECT_EQ(rig.lineText(1), "R (RESET)");
  rig.pressButton(12);  // RESET
  EXPECT_EQ(rig.prefs(), "");  // nothing written before the last control
  rig.pressButton(9);   // PAUSE
  EXPECT_EQ(game.app.menuScreen, menu_screen::Gamepad);

  const int expected[kControlCount] = {0, 0, 0, 0, 0, 0, 3, 20, 7, 1, 0, 12, 9};
  for (int i = 0; i < kControlCount; ++i) EXPECT_EQ(game.controls.buttons[static_cast<size_t>(i)], expected[i]) << i;
  EXPECT_NE(rig.prefs().find("ButtonMap06 = 3\nButtonMap07 = 20\nButtonMap08 = 7\nButtonMap09 = 1\n"
                             "ButtonMap10 = 0\nButtonMap11 = 12\nButtonMap12 = 9\n"),
            std::string::npos)
      << rig.prefs();
  Effects effects(7, 10);
  effects[4] = 9;  // the skip clicks
  EXPECT_EQ(rig.takeEffects(), effects);
}

TEST(ButtonCapture, TwoButtonsInOneFrameGoToTwoControlsButNeverPastPause) {
  PadRig rig;
  Game& game = rig.game;
  rig.frame();  // armed
  rig.frame({}, {2, 5});
  EXPECT_EQ(game.controls.buttons[control::Jump], 2);
  EXPECT_EQ(game.controls.buttons[control::Action], 5);
  EXPECT_EQ(game.menu.captureIndex, control::LeapOut);
  rig.frame();
  for (int b : {6, 7, 8, 9}) rig.pressButton(b);
  ASSERT_EQ(game.menu.captureIndex, control::Pause);
  // PAUSE and one more button in the same frame: PAUSE keeps the first.
  rig.frame({}, {4, 11});
  EXPECT_EQ(game.controls.buttons[control::Pause], 4);
  EXPECT_EQ(game.controls.buttons[control::Reset], 9);
  EXPECT_EQ(game.app.menuScreen, menu_screen::Gamepad);
  EXPECT_NE(rig.prefs().find("ButtonMap12 = 4\n"), std::string::npos);
  // The PAUSE button still held does not back out of GAMEPAD.
  rig.frame({}, {4});
  EXPECT_EQ(game.app.menuScreen, menu_screen::Gamepad);
}

// --- Menu frame drawing ---------------------------------------------------------------------

TEST(MenuDrawing, DrawsTheShownScreenOntoTheGameScreen) {
  MenuRig rig;
  Game& game = rig.game;
  ASSERT_EQ(openGameScreen(game, 1), 1);
  rig.show(showMainMenu);
  clearBuffer(rig.screen.buffer, 0xFFFFFF);
  ASSERT_TRUE(rig.screen.startDrawing());
  drawMenu(game);
  rig.screen.stopDrawing();
  // The highlighted first line leaves its box colour on the screen.
  bool highlight = false;
  const FrameBuffer& b = rig.screen.buffer;
  for (int32_t y = 0; y < b.height() && !highlight; ++y) {
    for (int32_t x = 0; x < b.width(); ++x) {
      if (pointColour(b, x, y) == 0x80C0FF) {
        highlight = true;
        break;
      }
    }
  }
  EXPECT_TRUE(highlight);
  setMenuLine(game, 99, "nothing");
  setMenuLine(game, -1, "nothing");
  setMenuLine(game, 1, "CHANGED");
  EXPECT_EQ(rig.lineText(1), "CHANGED");
}

}  // namespace
}  // namespace zor
