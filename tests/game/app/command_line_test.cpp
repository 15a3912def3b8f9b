#include "game/app/command_line.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "game/game.h"

namespace zor {
namespace {

const std::string kStart = "/home/player/games";

StartParameters parse(const std::vector<std::string>& args) {
  StartParameters p;
  readCommandLine(p, args, kStart);
  return p;
}

TEST(CommandLine, OptionsAndTheirValues) {
  struct Case {
    std::vector<std::string> args;
    std::string game, run, zone, entrance, flags;
    bool keyboard;
  };
  const Case cases[] = {
      {{}, "", "", "", "", "", false},
      {{"-g", "/abs/My.Zorlan"}, "/abs/My.Zorlan", "", "", "", "", false},
      {{"-G", "rel/game.xml"}, kStart + "/rel/game.xml", "", "", "", "", false},
      {{"-g", "a.xml", "-g", "/b.xml"}, "/b.xml", "", "", "", "", false},
      {{"-g", "/a.xml", "other.ZORLAN"}, kStart + "/other.ZORLAN", "", "", "", "", false},
      {{"-z", "Cave"}, "", "", "Cave", "", "", false},
      {{"-Z", "cave:Top Door"}, "", "", "cave", "Top Door", "", false},
      {{"-z", "cave:door:extra"}, "", "", "cave", "door", "", false},
      {{"-z", ":door"}, "", "", "", "door", "", false},
      {{"-f", "x"}, "", "", "", "", "x", false},
      {{"-f", "2,200", "-k"}, "", "", "", "", "2,200", true},
      {{"-r", "run1.zorrun"}, "", kStart + "/run1.zorrun", "", "", "", false},
      {{"best.ZorRun"}, "", kStart + "/best.ZorRun", "", "", "", false},
      {{"notes.txt", "-w", "noext", "dir.xml/file"}, "", "", "", "", "", false},
      {{"-g"}, "", "", "", "", "", false},  // a value given last is empty: the built-in game
      {{"-g", "-x", "-k"}, kStart + "/-x", "", "", "", "", true},  // "-x" taken as a value
  };
  for (const Case& c : cases) {
    const StartParameters p = parse(c.args);
    std::string label;
    for (const std::string& a : c.args) label += a + " ";
    EXPECT_EQ(p.gameFilePath, c.game) << label;
    EXPECT_EQ(p.runFilePath, c.run) << label;
    EXPECT_EQ(p.startZone, c.zone) << label;
    EXPECT_EQ(p.startEntrance, c.entrance) << label;
    EXPECT_EQ(p.gameFlagOverride, c.flags) << label;
    EXPECT_EQ(p.keyboardSetup, c.keyboard) << label;
  }
}

TEST(CommandLine, MinusXClearsGameAndZoneAndEndsTheOptions) {
  const StartParameters p =
      parse({"-r", "r.zorrun", "-g", "g.xml", "-z", "cave:door", "-f", "1", "-k", "-X", "-g", "later.xml", "-z", "z"});
  EXPECT_EQ(p.gameFilePath, "");
  EXPECT_EQ(p.startZone, "");
  EXPECT_EQ(p.startEntrance, "");
  EXPECT_EQ(p.runFilePath, kStart + "/r.zorrun");
  EXPECT_EQ(p.runFileAsGiven, "r.zorrun");
  EXPECT_EQ(p.gameFlagOverride, "1");
  EXPECT_TRUE(p.keyboardSetup);
}

TEST(CommandLine, AnEmptyParameterEndsReadingAndProcessTagsAreSkipped) {
  StartParameters p = parse({"-k", "", "-g", "g.xml"});
  EXPECT_TRUE(p.keyboardSetup);
  EXPECT_EQ(p.gameFilePath, "");
  // An empty value is taken by its option and reading goes on.
  p = parse({"-g", "", "-k"});
  EXPECT_EQ(p.gameFilePath, "");
  EXPECT_TRUE(p.keyboardSetup);
  p = parse({"-psn_0_12345", "-g", "-psn_0_1", "/g.xml"});
  EXPECT_EQ(p.gameFilePath, "/g.xml");
}

TEST(CommandLine, SilentOptionIsRecorded) {
  EXPECT_TRUE(parse({"-S"}).disableAudio);
  EXPECT_FALSE(parse({"-x", "-s"}).disableAudio);
}

TEST(CommandLine, DocumentsFromTheDesktop) {
  // The desktop names its documents as parameters; the last of a kind wins and
  // other documents are ignored.
  const StartParameters p = parse({"/g/one.zorlan", "/r/run.zorrun", "/x/readme.txt", "/g/two.xml", "/g/three.XML"});
  EXPECT_EQ(p.gameFilePath, "/g/three.XML");
  EXPECT_EQ(p.runFilePath, "/r/run.zorrun");
}

TEST(CommandLine, FileKinds) {
  EXPECT_EQ(fileKindOf("a.XmL"), FileKind::Game);
  EXPECT_EQ(fileKindOf("a.zorlan"), FileKind::Game);
  EXPECT_EQ(fileKindOf("a.zorrun"), FileKind::Run);
  EXPECT_EQ(fileKindOf("a.zorrun.bak"), FileKind::None);
  EXPECT_EQ(fileKindOf("zorlan"), FileKind::None);
  EXPECT_EQ(fileKindOf("a.zorlan/"), FileKind::None);
}

TEST(CommandLine, StartParametersReachTheGame) {
  Game game;
  applyStartParameters(game, parse({"-g", "/g.xml", "-f", "x", "-z", "cave"}));
  EXPECT_EQ(game.data.gameFilePath, "/g.xml");
  EXPECT_EQ(game.session.gameFlagOverride, "x");
  EXPECT_EQ(game.start.startZone, "cave");
}

}  // namespace
}  // namespace zor
