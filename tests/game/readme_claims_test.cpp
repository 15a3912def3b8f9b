// What the README tells a player about the game holds for the game as built: the
// zone ids it lists for `-z` are the built-in game's zones, in their order, and
// each of them can be entered.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "game/game.h"
#include "game/load/game_file.h"
#include "game/model/zone_model.h"
#include "platform/files.h"
#include "platform/text.h"
#include "platform/xml.h"

namespace zor {
namespace {

// The `code` words of the paragraph that begins with `opening`.
std::vector<std::string> codeWordsOfParagraph(const std::string& readme, const std::string& opening) {
  std::vector<std::string> words;
  const size_t start = readme.find(opening);
  if (start == std::string::npos) return words;
  size_t end = readme.find("\n\n", start);
  if (end == std::string::npos) end = readme.size();
  for (size_t at = readme.find('`', start); at < end;) {
    const size_t close = readme.find('`', at + 1);
    if (close == std::string::npos || close > end) break;
    words.push_back(readme.substr(at + 1, close - at - 1));
    at = readme.find('`', close + 1);
  }
  return words;
}

TEST(ReadmeClaims, TheZoneIdsListedForMinusZAreTheBuiltInGamesZones) {
  std::string readme;
  ASSERT_TRUE(files::readFile(std::string(ZOR_SOURCE_DIR) + "/README.md", readme, 1 << 20));
  std::vector<std::string> listed = codeWordsOfParagraph(readme, "The zones of the built-in game, for `-z`");
  ASSERT_FALSE(listed.empty()) << "the README lists no zone ids";
  ASSERT_EQ(listed.front(), "-z");
  listed.erase(listed.begin());

  Game game;
  loadGameFile(game);
  ASSERT_FALSE(game.failed) << game.failMessage;
  std::vector<std::string> zones;
  for (const xml::Node* z = game.data.document.root()->firstElement(); z != nullptr; z = z->nextElement()) {
    if (text::toLower(z->name) != "zone") continue;
    EXPECT_TRUE(zoneHasLevels(*z)) << z->attr("id");
    zones.push_back(text::toLower(z->attr("id")));
  }
  EXPECT_EQ(listed, zones);
}

}  // namespace
}  // namespace zor
