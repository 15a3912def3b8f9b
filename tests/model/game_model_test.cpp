// The game file's model on its own: this program links the model, format/ and
// the platform core only (no game, window, sound or SDL).
#include "game/model/game_model.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "platform/xml.h"

namespace zor {
namespace {

const std::string kFixtures = std::string(ZOR_FIXTURES) + "/gamefiles/";

constexpr const char* kGame = R"(<zorlan version="1" gtitle="Hill" gauthor="Us" gversion="2" gurl="u" gdesc="d">
  <CLASS name=" Walker " acc="0.5, -0.25" speed="4" hops="250" cover="-3" eflags="chase"/>
  <class name="walker" speed="2"/>
  <class speed="9"/>
  <speedrun name="Cave Run" zone="CAVE" entrance="Door" gflags=" 1, 2 " color="FF0000" level="-3">
    <start><wait frames="1"/></start>
  </speedrun>
  <speedrun name="hill"/>
  <loadsounds nums="4" files="boom.wav" vols="80"/>
  <zone id="first"><levels><level z="0"/></levels></zone>
</zorlan>)";

TEST(GameModel, ReadsTheGameWideRecordsOfAGameFile) {
  xml::Document doc;
  xml::ParseError error;
  ASSERT_TRUE(doc.parse(kGame, &error)) << error.message;
  const GameModel m = readGameModel(*doc.root());
  EXPECT_EQ(m.title, "Hill");
  EXPECT_EQ(m.author, "Us");
  EXPECT_EQ(m.version, "2");
  EXPECT_EQ(m.url, "u");
  EXPECT_EQ(m.description, "d");

  // Classes by trimmed lower-case name; the later one of a name wins whole.
  ASSERT_EQ(m.classes.size(), 1u);
  const ClassRecord& walker = m.classes.at("walker");
  EXPECT_EQ(walker.speed, 2.0f);
  EXPECT_EQ(walker.acc1, 0.1f);
  EXPECT_EQ(walker.hops, 50);
  EXPECT_EQ(walker.brake, deriveBrake(0.0f, 0.1f));
  ASSERT_NE(walker.node, nullptr);
  EXPECT_EQ(walker.node->attr("speed"), "2");
  // A class without a name is left out and reported with its line.
  ASSERT_EQ(m.errors.size(), 1u);
  EXPECT_EQ(m.errors[0].line, 4);

  ASSERT_EQ(m.speedruns.size(), 2u);
  const SpeedrunRecord& cave = m.speedruns[0];
  EXPECT_EQ(cave.name, "CAVE RUN");
  EXPECT_EQ(cave.zone, "cave");
  EXPECT_EQ(cave.entrance, "door");
  EXPECT_EQ(cave.gflags, "1,2");
  EXPECT_EQ(cave.colour, 0x0000FF);
  EXPECT_EQ(cave.runNumber, 3);
  ASSERT_NE(cave.startScript, nullptr);
  EXPECT_EQ(cave.startScript->name, "start");
  EXPECT_EQ(m.speedruns[1].name, "HILL");
  EXPECT_EQ(m.speedruns[1].runNumber, 1);
  EXPECT_EQ(m.speedruns[1].startScript, nullptr);

  ASSERT_EQ(m.loadSounds.size(), 1u);
  EXPECT_EQ(m.loadSounds[0].slot, 4);
}

TEST(GameModel, ClassValuesAreReadAsTheGameTakesThem) {
  xml::Document doc;
  ASSERT_TRUE(doc.parse(R"(<zorlan><class name="a" acc="0.5, -0.25" speed="4" hops="250" cover="-3"/></zorlan>)",
                        nullptr));
  const GameModel m = readGameModel(*doc.root());
  const ClassRecord& a = m.classes.at("a");
  EXPECT_EQ(a.acc1, 0.5f);
  EXPECT_EQ(a.acc2, 0.25f);
  EXPECT_EQ(a.speed, 4.0f);
  EXPECT_EQ(a.hops, 100);
  EXPECT_EQ(a.cover, 3.0f);
  EXPECT_EQ(a.brake, deriveBrake(0.0f, 0.5f));
  EXPECT_TRUE(std::isfinite(a.brake));
}

TEST(GameModel, LoadsAGameFileFromDiskIntoRecords) {
  xml::Document doc;
  xml::ParseError error;
  ASSERT_TRUE(doc.load(kFixtures + "castle.zorlan", &error)) << error.message;
  const GameModel m = readGameModel(*doc.root());
  EXPECT_EQ(m.title, "Castle");
  EXPECT_EQ(m.author, "Test");
  EXPECT_TRUE(m.errors.empty());
}

}  // namespace
}  // namespace zor
