#include "platform/sound.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "tests/game/app/temp_folder.h"

namespace zor {
namespace {

using testing::TempFolder;

TEST(FindPathIgnoringCase, EachComponentIsMatchedWhateverItsCase) {
  TempFolder folder;
  std::filesystem::create_directories(folder / "Game/Music");
  std::ofstream(folder / "Game/Music/Theme.OGG") << "x";
  std::ofstream(folder / "Game/exact.ogg") << "x";
  const std::string base = folder.path();
  const struct {
    std::string asked;
    std::string found;
  } cases[] = {
      {base + "Game/Music/Theme.OGG", base + "Game/Music/Theme.OGG"},
      {base + "game/music/theme.ogg", base + "Game/Music/Theme.OGG"},
      {base + "GAME/./MUSIC/THEME.ogg", base + "Game/./Music/Theme.OGG"},
      {base + "game//music/theme.ogg", base + "Game/Music/Theme.OGG"},
      {base + "game/music/../exact.ogg", base + "Game/Music/../exact.ogg"},
      {base + "game/music/", base + "Game/Music/"},
      {base + "game/missing.ogg", base + "game/missing.ogg"},  // nothing there: as asked
      {base + "nothing/theme.ogg", base + "nothing/theme.ogg"},
      {"", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(findPathIgnoringCase(c.asked), c.found) << c.asked;
}

TEST(FindPathIgnoringCase, RelativePathsAndTheFirstOfSeveralMatches) {
  TempFolder folder;
  std::filesystem::create_directories(folder / "a");
  std::ofstream(folder / "a/TRACK.ogg") << "1";
  std::ofstream(folder / "a/Track.ogg") << "2";
  const auto old = std::filesystem::current_path();
  std::filesystem::current_path(folder.path());
  EXPECT_EQ(findPathIgnoringCase("A/track.ogg"), "a/TRACK.ogg");  // byte order: upper case first
  EXPECT_EQ(findPathIgnoringCase("a/Track.ogg"), "a/Track.ogg");  // as written when it exists
  std::filesystem::current_path(old);
}

}  // namespace
}  // namespace zor
