#include "game/menu/menu_screens.h"

#include <gtest/gtest.h>

#include "tests/game/menu/menu_test_support.h"

namespace zor {
namespace {

using testing::MenuRig;
using Lines = std::vector<std::string>;

std::vector<int32_t> actions(const MenuState& m) {
  std::vector<int32_t> out;
  for (const MenuLine& l : m.lines) out.push_back(l.action);
  return out;
}

TEST(MenuWords, ValuesOutsideTheirTablesShowTheDefault) {
  struct Case {
    int32_t value;
    const char* onOff;
    const char* noYes;
    const char* leap;
  } cases[] = {{0, "OFF", "NO", "OFF"},  {1, "ON", "YES", "ON"},  {2, "ON", "NO", "INVERT"},
               {3, "ON", "NO", "ON"},    {-1, "ON", "NO", "ON"},  {INT32_MIN, "ON", "NO", "ON"},
               {INT32_MAX, "ON", "NO", "ON"}};
  for (const Case& c : cases) {
    EXPECT_EQ(onOffWord(c.value), c.onOff) << c.value;
    EXPECT_EQ(noYesWord(c.value), c.noYes) << c.value;
    EXPECT_EQ(leapModeWord(c.value), c.leap) << c.value;
  }
  EXPECT_EQ(leapLineText(2), "USE ^\\ TO LEAP: INVERT");
  EXPECT_EQ(screenLineText(800, 600), "SCREEN: 800\xD7" "600");
}

TEST(MainMenu, SpeedrunsLineOnlyWithAnUnlockedSpeedrun) {
  struct Case {
    int32_t unlocked;
    Lines lines;
  } cases[] = {
      {0, {"CONTINUE", "NEW GAME", "SETTINGS", "EXIT"}},
      {2, {"CONTINUE", "NEW GAME", "SPEEDRUNS", "SETTINGS", "EXIT"}},
  };
  for (const Case& c : cases) {
    MenuRig rig;
    rig.game.session.unlockedSpeedruns = c.unlocked;
    rig.game.menu.selected = 3;
    rig.game.menu.scroll = 2;
    showMainMenu(rig.game);
    EXPECT_EQ(rig.texts(), c.lines) << c.unlocked;
    const MenuState& m = rig.game.menu;
    EXPECT_EQ(m.title, "ZORLAN");
    EXPECT_EQ(rig.game.app.menuScreen, menu_screen::Main);
    EXPECT_EQ(m.selected, 0);
    EXPECT_EQ(m.scroll, 0);
    EXPECT_EQ(m.firstSelectable, 0);
    EXPECT_EQ(m.lines.back().action, menu_action::Exit);
    EXPECT_EQ(m.lines[0].action, menu_action::Continue);
  }
}

TEST(NewGameMenu, AsksFirstAndTellsThatRecordsRemain) {
  for (int32_t unlocked : {0, 1}) {
    MenuRig rig;
    rig.game.session.unlockedSpeedruns = unlocked;
    showNewGameMenu(rig.game);
    const MenuState& m = rig.game.menu;
    EXPECT_EQ(rig.texts(), (Lines{"ARE YOU SURE?", "NO", "YES"}));
    EXPECT_EQ(actions(m), (std::vector<int32_t>{0, menu_action::Back, menu_action::ConfirmNewGame}));
    EXPECT_EQ(m.selected, 1);
    EXPECT_EQ(m.firstSelectable, 1);
    const std::string help = unlocked ? "SPEEDRUN RECORDS WILL REMAIN." : "";
    EXPECT_EQ(m.lines[0].help, "");
    EXPECT_EQ(m.lines[1].help, help);
    EXPECT_EQ(m.lines[2].help, help);
  }
}

TEST(SettingsMenu, AudioHelpAndGamepadLineFollowTheMachine) {
  struct Case {
    bool sound;
    int32_t pads;
    const char* audioHelp;
    const char* padLine;
  } cases[] = {{true, 0, "", "DETECT GAMEPAD"}, {false, 1, "AUDIO IS DISABLED", "GAMEPAD SETUP"}};
  for (const Case& c : cases) {
    MenuRig rig;
    rig.game.app.soundWorks = c.sound;
    rig.game.controls.gamepadCount = c.pads;
    showSettingsMenu(rig.game);
    EXPECT_EQ(rig.texts(), (Lines{"AUDIO", "VIDEO", c.padLine, "CREDITS", "BACK"}));
    EXPECT_EQ(actions(rig.game.menu), (std::vector<int32_t>{12, 13, 14, 15, 26}));
    EXPECT_EQ(rig.game.menu.lines[0].help, c.audioHelp);
    EXPECT_EQ(rig.game.app.menuScreen, menu_screen::Settings);
  }
}

TEST(AudioMenu, ShowsBothSwitchesAndWhyMusicCannotChange) {
  MenuRig rig;
  rig.game.prefs.music = 0;
  rig.game.prefs.sound = 1;
  showAudioMenu(rig.game);
  EXPECT_EQ(rig.texts(), (Lines{"MUSIC: OFF", "SOUNDS: ON", "BACK"}));
  EXPECT_EQ(rig.game.menu.lines[0].help, "M KEY TOGGLES MUSIC");
  EXPECT_EQ(rig.game.menu.lines[1].help, "S KEY TOGGLES SOUND");
  rig.game.prefs.disableMusic = 1;
  rig.game.prefs.music = 7;  // whatever a preference file says, the menu shows a word
  showAudioMenu(rig.game);
  EXPECT_EQ(rig.lineText(0), "MUSIC: ON");
  EXPECT_EQ(rig.game.menu.lines[0].help, "MUSIC IS DISABLED");
}

TEST(VideoMenu, ShowsTheModeAndWindowState) {
  MenuRig rig;
  ScreenInfo& info = rig.game.screen.info;
  info.width = 1024;
  info.height = 768;
  info.depth = 16;
  rig.game.screen.inWindow = 1;
  showVideoMenu(rig.game);
  EXPECT_EQ(rig.texts(), (Lines{"SCREEN: 1024\xD7" "768", "DEPTH: 16-BIT", "FULL: NO", "BACK"}));
  EXPECT_EQ(rig.game.menu.lines[0].help, "NO OTHER SIZES FOUND");
  EXPECT_EQ(rig.game.menu.lines[1].help, "DEPTH ONLY AFFECTS FULLSCREEN");
  EXPECT_EQ(rig.game.menu.lines[2].help, "CTRL+F TOGGLES FULLSCREEN");
  rig.game.screen.inWindow = 0;
  rig.game.app.screenSizes = {{640, 480}};
  showVideoMenu(rig.game);
  EXPECT_EQ(rig.lineText(2), "FULL: YES");
  EXPECT_EQ(rig.game.menu.lines[0].help, "");
}

TEST(ScreenSizeMenu, SelectsTheSizeInUseAndScrollsItIntoView) {
  const std::vector<ScreenSize> seven = {{640, 480}, {800, 480}, {800, 600}, {1024, 768},
                                         {1280, 720}, {1280, 1024}, {1920, 1080}};
  struct Case {
    int32_t width, height;
    int32_t selected, scroll;
  } cases[] = {{1280, 1024, 6, 2}, {1920, 1080, 7, 3}, {640, 480, 1, 0}, {1024, 768, 4, 0},
               {1280, 720, 5, 1},  {1000, 1000, 1, 0}, {1280, 480, 1, 0}};
  for (const Case& c : cases) {
    MenuRig rig;
    rig.game.app.screenSizes = seven;
    rig.game.screen.info.width = c.width;
    rig.game.screen.info.height = c.height;
    showScreenSizeMenu(rig.game);
    const MenuState& m = rig.game.menu;
    ASSERT_EQ(m.lineCount(), 9);
    EXPECT_EQ(m.lines[0].text, "SELECT SIZE:");
    EXPECT_EQ(m.lines[0].action, 0);
    EXPECT_EQ(m.lines[6].text, "1280\xD7" "1024");
    EXPECT_EQ(m.lines[6].action, menu_action::PickSize);
    EXPECT_EQ(m.lines[8].text, "BACK");
    for (const MenuLine& l : m.lines) EXPECT_EQ(l.help, "HEIGHT ONLY AFFECTS FULLSCREEN");
    EXPECT_EQ(m.firstSelectable, 1);
    EXPECT_EQ(m.selected, c.selected) << c.width << "x" << c.height;
    EXPECT_EQ(m.scroll, c.scroll) << c.width << "x" << c.height;
  }
}

TEST(KeyboardMenu, StartsWithTheFirstControlAndIgnoresKeysAlreadyHeld) {
  MenuRig rig;
  rig.game.menu.captureIndex = 9;
  rig.game.menu.padCaptureArmed = 1;
  showKeyboardMenu(rig.game);
  const MenuState& m = rig.game.menu;
  EXPECT_EQ(rig.game.app.menuScreen, menu_screen::Keyboard);
  EXPECT_EQ(m.title, "KEYBOARD");
  EXPECT_EQ(rig.texts(), (Lines{"PRESS KEY FOR", "MOVE LEFT"}));
  EXPECT_EQ(actions(m), (std::vector<int32_t>{0, 0}));
  EXPECT_EQ(m.selected, 1);
  EXPECT_EQ(m.firstSelectable, 0);
  EXPECT_EQ(m.captureMode, 1);
  EXPECT_EQ(m.captureIndex, 0);
  EXPECT_EQ(m.padCaptureArmed, 0);
  for (uint8_t s : rig.game.controls.keyCaptureStates) ASSERT_EQ(s, 3);
}

TEST(GamepadMenu, ShowsTheLeapMode) {
  for (int32_t leap : {0, 1, 2}) {
    MenuRig rig;
    rig.game.controls.joystickLeap = leap;
    showGamepadMenu(rig.game);
    EXPECT_EQ(rig.texts(), (Lines{"CONFIGURATION", "USE ^\\ TO LEAP: " + leapModeWord(leap), "BACK"}));
    EXPECT_EQ(actions(rig.game.menu), (std::vector<int32_t>{22, 23, 26}));
  }
}

TEST(ButtonSetupMenu, StartsAtJumpWithEveryButtonCountedAsHeld) {
  MenuRig rig;
  rig.game.menu.padCaptureArmed = 1;
  showButtonSetupMenu(rig.game);
  const MenuState& m = rig.game.menu;
  EXPECT_EQ(rig.game.app.menuScreen, menu_screen::Configure);
  EXPECT_EQ(m.title, "CONFIGURE");
  EXPECT_EQ(rig.texts(), (Lines{"PRESS BUTTON FOR", "SPACE (JUMP)", "OR R KEY TO SKIP"}));
  EXPECT_EQ(m.selected, 1);
  EXPECT_EQ(m.captureMode, 1);
  EXPECT_EQ(m.captureIndex, control::Jump);
  EXPECT_EQ(m.padCaptureArmed, 0);
  for (int b = 1; b <= 20; ++b) {
    EXPECT_EQ(rig.game.controls.padButtonStates[b][0], 1);
    EXPECT_EQ(rig.game.controls.padButtonStates[b][1], 1);
  }
}

TEST(CreditsMenu, PagesShowTheGameThenTheEngine) {
  MenuRig rig;
  GameData& d = rig.game.data;
  d.title = "Tower";
  d.author = "";
  d.url = "example.org/tower";
  d.version = "2.0";
  d.description = " first line |second| | fourth |fifth";
  rig.game.world.pauseColour = 0x123456;

  showCreditsMenu(rig.game, 0);
  const MenuState& m = rig.game.menu;
  EXPECT_EQ(rig.game.app.menuScreen, menu_screen::Credits);
  EXPECT_EQ(m.title, "CREDITS");
  EXPECT_EQ(rig.texts(), (Lines{"TOWER", "EXAMPLE.ORG/TOWER", "2.0", "", "NEXT"}));
  EXPECT_EQ(actions(m), (std::vector<int32_t>{0, 0, 0, 0, menu_action::Credits}));
  EXPECT_EQ(m.selected, 4);
  EXPECT_EQ(m.firstSelectable, 4);
  EXPECT_EQ(rig.game.app.menuBackground, 0xD0E0FF);

  struct Page {
    int32_t page;
    Lines lines;
    int32_t colour;
  } pages[] = {
      {1, {"FIRST LINE", "SECOND", "", "FOURTH", "NEXT"}, 0xD0FFFF},
      {2, {"GAME ENGINE BY", "THE ZORLAN TEAM", "", "", "NEXT"}, 0xD0FFD0},
      {3, {"INCLUDES", "EXPAT XML PARSER", "", "", "NEXT"}, 0xFFD0D0},
      {4, {"AND", "SFXR SOUND GENERATION", "", "", "OK"}, 0xFFFFD0},
  };
  for (const Page& p : pages) {
    showCreditsMenu(rig.game, p.page);
    EXPECT_EQ(rig.texts(), p.lines) << p.page;
    EXPECT_EQ(rig.game.app.menuBackground, p.colour) << p.page;
    EXPECT_EQ(m.captureIndex, p.page);
    EXPECT_EQ(m.lines[4].action, menu_action::Credits);
  }

  // After the last page: SETTINGS on the pause colour, with the warp effect.
  showCreditsMenu(rig.game, 5);
  EXPECT_EQ(rig.game.app.menuScreen, menu_screen::Settings);
  EXPECT_EQ(rig.game.app.menuBackground, 0x123456);
  EXPECT_EQ(rig.takeEffects(), (std::vector<int>{5}));
}

TEST(CreditsMenu, AGameWithoutCreditsSkipsItsPages) {
  for (const char* desc : {"", "|", " | |  | ", "||||||"}) {
    MenuRig rig;
    rig.game.data.description = desc;
    showCreditsMenu(rig.game, 0);
    EXPECT_EQ(rig.texts(), (Lines{"", "", "", "", "NEXT"}));
    showCreditsMenu(rig.game, 1);
    EXPECT_EQ(rig.game.menu.captureIndex, 2) << desc;
    EXPECT_EQ(rig.lineText(0), "GAME ENGINE BY");
  }
}

}  // namespace
}  // namespace zor
