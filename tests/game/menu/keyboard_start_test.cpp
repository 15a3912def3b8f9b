// The whole program started with "-k": the keyboard screen opens over the first
// zone, thirteen keys are pressed, the player quits, and the preference file
// holds the new keys.
#include <gtest/gtest.h>

#include "game/app/startup.h"
#include "game/game.h"
#include "game/menu/menu_engine.h"
#include "platform/files.h"
#include "tests/game/app/fake_app_platform.h"
#include "tests/game/app/temp_folder.h"

namespace zor {
namespace {

using testing::FakePlatform;
using testing::TempFolder;

TEST(KeyboardSetupStart, ThirteenKeysPressedEndUpInThePreferenceFile) {
  TempFolder folder;
  ProgramArgs args;
  args.args = {"-k", "-z", "first"};  // a start zone: no splash (it has its own tests)
  args.programFolder = folder.path();
  args.startFolder = folder.path();

  // a..m, each down for one reading and up for the next, after a few quiet readings.
  constexpr int kFirst = 97;
  constexpr int kQuiet = 6;
  FakePlatform platform;
  std::vector<int32_t> screens;  // the menu screen seen at each reading
  Game game;
  platform.beforeKeyboard = [&](FakePlatform& p, int reads) {
    screens.push_back(game.app.menuScreen);
    p.fakeInput.keys.clear();
    const int step = reads - kQuiet;
    if (step >= 0 && step < 2 * kControlCount && step % 2 == 0) p.fakeInput.keys.insert(kFirst + step / 2);
    if (step >= 2 * kControlCount + 4) p.quit = true;
  };
  ASSERT_EQ(runProgram(game, platform, args), 0);

  // The keyboard screen was up from the first pass until the last key.
  ASSERT_GT(screens.size(), static_cast<size_t>(kQuiet + 2 * kControlCount));
  EXPECT_EQ(screens[kQuiet], menu_screen::Keyboard);
  EXPECT_EQ(screens.back(), menu_screen::Main);

  std::string prefs;
  ASSERT_TRUE(files::readFile(folder / "zordata/saves/pref-mac.ini", prefs, 1 << 16));
  std::string keys;
  for (int i = 0; i < kControlCount; ++i) {
    keys += "KeyCode" + std::string(i < 10 ? "0" : "") + std::to_string(i) + " = " + std::to_string(kFirst + i) + "\n";
  }
  EXPECT_NE(prefs.find(keys), std::string::npos) << prefs;
}

}  // namespace
}  // namespace zor
