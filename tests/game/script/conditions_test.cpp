#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "tests/game/script/script_test_support.h"

namespace zor {
namespace {

using testing::ScriptHarness;
using testing::zoneText;
using Strings = std::vector<std::string>;

using Setup = std::function<void(Game&)>;

void none(Game&) {}
void flags(Game& g, std::initializer_list<int> on) {
  for (int n : on) g.gameFlags.set(n, true);
}

struct BranchCase {
  const char* statement;  // inside a sub that the test runs
  Setup setup;
  const char* queued;  // element name pushed to the front, "" for nothing
};

// Runs the statement in a script of its own and returns the name of the
// element it queued ("" for none), checking that it went to the front with the
// script's object.
std::string queuedBy(const BranchCase& c) {
  ScriptHarness h(zoneText("", "<block oname=\"crate\"/><sub id=\"other\"/><sub id=\"t\">" +
                                   std::string(c.statement) + "</sub>"));
  c.setup(h.g());
  appendScript(h.s(), h.byId("other"), nullptr, 0);  // something already queued
  h.run("t", h.object("crate"));
  if (h.s().queue.size() == 1) return "";
  EXPECT_EQ(h.s().queue.size(), 2u) << c.statement;
  const ScriptQueueEntry* front = h.s().queue.front();
  EXPECT_EQ(front->object, h.object("crate")) << c.statement;
  EXPECT_EQ(front->delay, 0) << c.statement;
  return front->script->name;
}

void expectBranches(const std::vector<BranchCase>& cases) {
  for (const BranchCase& c : cases) EXPECT_EQ(queuedBy(c), c.queued) << c.statement;
}

TEST(IfStatement, PlainAndStructuralCases) {
  expectBranches({
      {"<if><sound/></if>", none, "if"},
      {"<if gsum=\"1\"/>", none, ""},  // no children: not even tested
      {"<if gsum=\"1\"> </if>", none, ""},  // fails, and there is no else
      {"<if gsum=\"1\"><else/></if>", none, "else"},
      {"<if gsum=\"1\"><elsewhere/><else/><else/></if>", [](Game& g) { flags(g, {1}); }, "if"},
  });
}

TEST(IfStatement, EntranceSpeedrunAndStanding) {
  auto entrance = [](const char* e) { return [e](Game& g) { g.world.entranceName = e; }; };
  auto run = [](int n) { return [n](Game& g) { g.app.runNumber = n; }; };
  auto standing = [](Game& g) {
    for (ObjectRecord& o : g.world.objects) {
      if (o.name == "crate") g.world.player->support = &o;
    }
  };
  expectBranches({
      {"<if entrance=\"-\"><else/></if>", entrance(""), "if"},
      {"<if entrance=\"-\"><else/></if>", entrance("north"), "else"},
      {"<if entrance=\"North\"><else/></if>", entrance("north"), "if"},
      {"<if entrance=\"south\"><else/></if>", entrance("north"), "else"},
      {"<if speedrun=\"+1\"><else/></if>", run(0), "else"},
      {"<if speedrun=\"+1\"><else/></if>", run(2), "if"},
      {"<if speedrun=\"!0\"><else/></if>", run(0), "else"},
      {"<if speedrun=\"!0\"><else/></if>", run(3), "if"},
      {"<if speedrun=\"-1\"><else/></if>", run(0), "if"},
      {"<if speedrun=\"-1\"><else/></if>", run(1), "else"},
      {"<if speedrun=\"0\"><else/></if>", run(0), "if"},
      {"<if speedrun=\"2\"><else/></if>", run(2), "if"},
      {"<if speedrun=\"2\"><else/></if>", run(1), "else"},
      {"<if standing=\"0\"><else/></if>", none, "if"},
      {"<if standing=\"1\"><else/></if>", none, "else"},
      {"<if standing=\"1\"><else/></if>", standing, "if"},
      {"<if standing=\"0\"><else/></if>", standing, "else"},
      // Every present test must hold.
      {"<if entrance=\"-\" standing=\"1\"><else/></if>", entrance(""), "else"},
      {"<if entrance=\"-\" speedrun=\"0\" standing=\"0\" gsum=\"\"><else/></if>", entrance(""), "if"},
  });
}

TEST(IfStatement, CountingTests) {
  auto zint = [](int v) { return [v](Game& g) { g.world.zoneInt = v; }; };
  auto zflags = [](uint32_t v) { return [v](Game& g) { g.world.zoneFlags = v; }; };
  auto gflags = [](std::initializer_list<int> on) {
    std::vector<int> v(on);
    return [v](Game& g) {
      for (int n : v) g.gameFlags.set(n, true);
    };
  };
  expectBranches({
      {"<if gsum=\"3,4=2\"><else/></if>", gflags({3, 4}), "if"},
      {"<if gsum=\"3,4=2\"><else/></if>", gflags({3}), "else"},
      {"<if gsum=\"3,4\"><else/></if>", gflags({4}), "if"},
      {"<if gsum=\"3,4\"><else/></if>", none, "else"},
      {"<if gsum=\"3,4-1\"><else/></if>", none, "if"},
      {"<if gsum=\"3,4-1\"><else/></if>", gflags({3}), "else"},
      {"<if gsum=\"3,4+1\"><else/></if>", gflags({3, 4}), "if"},
      {"<if gsum=\"3,4+1\"><else/></if>", gflags({3}), "else"},
      {"<if gsum=\"=1\"><else/></if>", gflags({0}), "if"},  // an empty item is flag 0
      {"<if gsum=\",=2\"><else/></if>", gflags({0}), "if"},  // ... and each one counts
      {"<if gsum=\"1==1\"><else/></if>", gflags({1}), "if"},  // two "=": a bare list, more than 0
      {"<if gsum=\"1==1\"><else/></if>", none, "else"},
      {"<if zint=\"5\"><else/></if>", zint(5), "if"},
      {"<if zint=\"5\"><else/></if>", zint(6), "else"},
      {"<if zint=\"-3\"><else/></if>", zint(2), "if"},
      {"<if zint=\"-3\"><else/></if>", zint(5), "else"},
      {"<if zint=\"=-3\"><else/></if>", zint(-3), "if"},
      {"<if zint=\"+4\"><else/></if>", zint(5), "if"},
      {"<if zint=\"+4\"><else/></if>", zint(4), "else"},
      {"<if zsum=\"31,0=2\"><else/></if>", zflags(0x80000001u), "if"},
      {"<if zsum=\"31,0=2\"><else/></if>", zflags(0x80000000u), "else"},
      {"<if zsum=\"33\"><else/></if>", zflags(0x2u), "if"},  // the low five bits pick the flag
      {"<if zsum=\"-1=1\"><else/></if>", zflags(0x80000000u), "if"},  // "=" goes before "-"
      // Only the first present counting test is used.
      {"<if gsum=\"1\" zint=\"99\"><else/></if>", gflags({1}), "if"},
      {"<if zsum=\"2\" zint=\"99\"><else/></if>", zflags(0x4u), "if"},
      {"<if gsum=\"\" zint=\"99\"><else/></if>", zint(99), "if"},
  });
}

TEST(FlagTestStatements, IfsetAndIfnotset) {
  auto gflags = [](std::initializer_list<int> on) {
    std::vector<int> v(on);
    return [v](Game& g) {
      for (int n : v) g.gameFlags.set(n, true);
    };
  };
  auto zflag3 = [](Game& g) { g.world.zoneFlags = 0x8u; };
  expectBranches({
      {"<ifset and=\"1,2\"><else/></ifset>", gflags({1, 2}), "ifset"},
      {"<ifset and=\"1,2\"><else/></ifset>", gflags({1}), "else"},
      {"<ifset and=\" 1, 2 \"><else/></ifset>", gflags({1, 2}), "ifset"},  // blanks removed
      {"<ifset and=\",1\"><else/></ifset>", none, "ifset"},  // first item empty: true at once
      {"<ifset and=\"1,,2\"><else/></ifset>", gflags({1}), "ifset"},  // stops at the empty item
      {"<ifset or=\"1,2\"><else/></ifset>", gflags({2}), "ifset"},
      {"<ifset or=\"1,2\"><else/></ifset>", none, "else"},
      {"<ifset or=\"1,,2\"><else/></ifset>", gflags({2}), "else"},
      {"<ifnotset and=\"1,2\"><else/></ifnotset>", none, "ifnotset"},
      {"<ifnotset and=\"1,2\"><else/></ifnotset>", gflags({2}), "else"},
      {"<ifnotset or=\"1,2\"><else/></ifnotset>", gflags({2}), "ifnotset"},
      {"<ifset zflag=\"3\"><else/></ifset>", zflag3, "ifset"},
      {"<ifnotset zflag=\"3\"><else/></ifnotset>", zflag3, "else"},
      {"<ifset zflag=\"40\"><else/></ifset>", none, "else"},
      {"<ifnotset zflag=\"40\"><else/></ifnotset>", none, "else"},
      {"<ifnotset zflag=\"-1\"><else/></ifnotset>", none, "else"},
      {"<ifset gflag=\"5\"><else/></ifset>", gflags({5}), "ifset"},
      {"<ifnotset gflag=\"999\"><else/></ifnotset>", none, "ifnotset"},  // outside the array: clear
      {"<ifset gflag=\"-1\"><else/></ifset>", none, "else"},
      {"<ifnotset gflag=\"-1\"><else/></ifnotset>", none, "ifnotset"},
      // Only the first present attribute counts; blanks alone are absent.
      {"<ifset and=\" \" or=\"1\" gflag=\"7\"><else/></ifset>", gflags({1}), "ifset"},
      {"<ifset zflag=\"3\" gflag=\"7\"><else/></ifset>", gflags({7}), "else"},
      {"<ifset><else/></ifset>", none, "else"},
      {"<ifnotset><else/></ifnotset>", none, "else"},
      {"<ifset gflag=\"5\"/>", gflags({5}), ""},  // no children: nothing
  });
}

TEST(ToggleStatement, FlipsAndQueuesOnOrOff) {
  auto zflag3 = [](Game& g) { g.world.zoneFlags = 0x8u; };
  auto gflag9 = [](Game& g) { g.gameFlags.set(9, true); };
  expectBranches({
      {"<toggle zflag=\"3\"><off/><on/></toggle>", none, "on"},
      {"<toggle zflag=\"3\"><on/><off/></toggle>", zflag3, "off"},
      {"<toggle zflag=\"3\"><on/></toggle>", zflag3, ""},
      {"<toggle zflag=\"40\"><on/><off/></toggle>", none, ""},
      {"<toggle gflag=\"9\"><on/><off/></toggle>", gflag9, "off"},
      {"<toggle gflag=\"9\"><on/><off/></toggle>", none, "on"},
      {"<toggle gflag=\"-2\"><on/><off/></toggle>", none, ""},
      {"<toggle gflag=\"1048576\"><on/><off/></toggle>", none, ""},  // beyond the flag bound
      {"<toggle><on/><off/></toggle>", none, ""},
  });
}

TEST(ToggleStatement, ChangesTheFlagsEvenWithoutBranches) {
  ScriptHarness h(zoneText("<toggle zflag=\"31\"/><toggle gflag=\"500\"/><toggle zflag=\"2\" gflag=\"7\"/>"));
  EXPECT_EQ(h.g().world.zoneFlags, 0x80000004u);
  EXPECT_TRUE(h.g().gameFlags.isSet(500));
  EXPECT_GE(h.g().gameFlags.capacity, 501);
  EXPECT_FALSE(h.g().gameFlags.isSet(7));  // zflag wins over gflag
}

TEST(CallStatement, QueuesTheElementWithThatIdInAnyLetterCase) {
  expectBranches({
      {"<call sub=\"OTHER\"/>", none, "sub"},
      {"<call sub=\"first\"/>", none, "zone"},
      {"<call sub=\"nothing\"/>", none, ""},
      {"<call/>", none, ""},
  });
}

TEST(YouStatement, ColoursThePlayer) {
  ScriptHarness h(zoneText("", "<sub id=\"one\"><you color=\"FF8000\"/></sub>"
                               "<sub id=\"two\"><you color=\"FF0000,00FF00\"/></sub>"
                               "<sub id=\"none\"><you color=\"-1\"/></sub><sub id=\"empty\"><you/></sub>"));
  Game& g = h.g();
  h.run("one");
  EXPECT_EQ(g.world.player->colour1, 0x0080FF);
  EXPECT_EQ(g.world.player->colour2, 0x0080FF);
  EXPECT_EQ(g.world.playerColour, 0x0080FF);
  h.run("empty");
  EXPECT_EQ(g.world.playerColour, 0x0080FF);
  h.run("two");
  EXPECT_EQ(g.world.player->colour1, 0x0000FF);
  EXPECT_EQ(g.world.player->colour2, 0x00FF00);
  EXPECT_EQ(g.world.playerColour, 0x0000FF);
  // A zone change gives the player the first colour only.
  ASSERT_TRUE(loadZone(g, "first", false));
  EXPECT_EQ(g.world.player->colour1, 0x0000FF);
  EXPECT_EQ(g.world.player->colour2, 0x0000FF);
  h.run("none");
  EXPECT_EQ(g.world.player->colour1, -1);
  EXPECT_EQ(g.world.playerColour, -1);
}

}  // namespace
}  // namespace zor
