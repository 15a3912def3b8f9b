#include "game/script/queue_runner.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "tests/game/script/script_test_support.h"

namespace zor {
namespace {

using testing::ScriptHarness;
using testing::zoneText;
using Strings = std::vector<std::string>;

// ----- Queue operations -----------------------------------------------------

std::vector<int> delays(const ScriptState& s) {
  std::vector<int> out;
  for (const ScriptQueueEntry& e : s.queue) out.push_back(e.delay);
  return out;
}

TEST(ScriptQueue, AppendGoesAfterTheCursorAndPushGoesToTheFront) {
  ScriptState s;
  appendScript(s, nullptr, nullptr, 1);  // empty queue: in front
  appendScript(s, nullptr, nullptr, 2);  // after the cursor (1)
  s.queue.first();
  appendScript(s, nullptr, nullptr, 3);  // after 1, before 2
  EXPECT_EQ(delays(s), (std::vector<int>{1, 3, 2}));
  pushScriptToFront(s, nullptr, nullptr, 4);
  pushScriptToFront(s, nullptr, nullptr, 5);  // the later push stands first
  EXPECT_EQ(delays(s), (std::vector<int>{5, 4, 1, 3, 2}));
  appendScript(s, nullptr, nullptr, 6);  // after the pushed entry, which is the cursor
  EXPECT_EQ(delays(s), (std::vector<int>{5, 6, 4, 1, 3, 2}));
}

TEST(ScriptQueue, NegativeDelaysAreZero) {
  ScriptState s;
  appendScript(s, nullptr, nullptr, -7);
  pushScriptToFront(s, nullptr, nullptr, std::numeric_limits<int32_t>::min());
  EXPECT_EQ(delays(s), (std::vector<int>{0, 0}));
}

// ----- Durations ------------------------------------------------------------

struct DurationCase {
  const char* attributes;
  int32_t expected;
};

TEST(ReadDuration, FramesSecsAndRounding) {
  const DurationCase cases[] = {
      {"frames=\"10\"", 10},
      {"secs=\"0.5\"", 30},
      {"frames=\"2.5\"", 2},  // a half goes to the even neighbour
      {"frames=\"3.5\"", 4},
      {"frames=\"-2.5\"", -2},
      {"secs=\"0.025\"", 2},  // 1.5 frames
      {"frames=\"\" secs=\"1\"", 60},
      {"frames=\"7\" secs=\"1\"", 7},
      {"frames=\"abc\"", 0},
      {"frames=\" 12\"", 12},
      {"frames=\"-3\"", -3},
      {"frames=\"1e30\"", std::numeric_limits<int32_t>::max()},
      {"secs=\"-inf\"", std::numeric_limits<int32_t>::min()},
      {"frames=\"nan\"", 0},
      {"", -1},
      {"other=\"5\"", -1},
  };
  for (const DurationCase& c : cases) {
    xml::Document doc;
    ASSERT_TRUE(doc.parse(std::string("<wait ") + c.attributes + "/>", nullptr));
    RandomTable table;
    EXPECT_EQ(readDuration(table, doc.root(), -1), c.expected) << c.attributes;
    EXPECT_EQ(table.index, 0) << "no draw for " << c.attributes;
  }
  RandomTable table;
  EXPECT_EQ(readDuration(table, nullptr, 9), 9);
}

TEST(ReadDuration, RandomFormDrawsOneValueFromTheTable) {
  RandomGenerator gen;
  RandomTable table;
  table.fill(gen);
  const struct {
    const char* attributes;
    float a, b, factor;
  } cases[] = {
      {"frames=\"r2,6\"", 2.0f, 6.0f, 1.0f},
      {"frames=\"R6,2\"", 2.0f, 6.0f, 1.0f},
      {"secs=\"r1,2\"", 1.0f, 2.0f, 60.0f},
      {"frames=\"r5\"", 0.0f, 5.0f, 1.0f},  // no second number: 0, and the pair is swapped
  };
  for (const auto& c : cases) {
    xml::Document doc;
    ASSERT_TRUE(doc.parse(std::string("<after ") + c.attributes + "/>", nullptr));
    for (int i = 0; i < 50; ++i) {
      const int before = table.index;
      const float r = table.values[(before + 1) & 1023];
      const int32_t d = readDuration(table, doc.root(), -1);
      EXPECT_EQ(table.index, (before + 1) & 1023);
      EXPECT_EQ(d, static_cast<int32_t>(std::nearbyint((c.a + (c.b - c.a) * r) * c.factor)));
      EXPECT_GE(d, static_cast<int32_t>(c.a * c.factor));
      EXPECT_LE(d, static_cast<int32_t>(c.b * c.factor));
    }
  }
}

// ----- Suspension and resumption --------------------------------------------

TEST(QueueService, WaitResumesAfterItsFrames) {
  const struct {
    const char* wait;
    int framesUntilResume;  // 0: the next statement runs at once
  } cases[] = {
      {"frames=\"1\"", 1}, {"frames=\"3\"", 3}, {"secs=\"2\"", 120},
      {"frames=\"0\"", 0}, {"", 0},           {"frames=\"-4\"", 0},
  };
  for (const auto& c : cases) {
    ScriptHarness h(zoneText(std::string("<sound num=\"a\"/><wait ") + c.wait +
                             "/><sound num=\"b\"/>"));
    if (c.framesUntilResume == 0) {
      EXPECT_EQ(h.trace(), (Strings{"a", "b"})) << c.wait;
      EXPECT_EQ(h.s().scriptWaitFrames, 0);
      continue;
    }
    h.frame(c.framesUntilResume - 1);
    EXPECT_EQ(h.trace(), Strings{"a"}) << c.wait;
    EXPECT_FALSE(h.s().scriptFreeze);
    h.frame();
    EXPECT_EQ(h.trace(), (Strings{"a", "b"})) << c.wait;
  }
}

TEST(QueueService, FreezeBlocksControlsUntilItsResume) {
  ScriptHarness h(zoneText("<freeze secs=\"1\"/><sound num=\"b\"/>"));
  for (int i = 0; i < 59; ++i) {
    EXPECT_TRUE(h.s().scriptFreeze);
    h.frame();
  }
  EXPECT_TRUE(h.s().scriptFreeze);
  EXPECT_TRUE(h.trace().empty());
  h.frame();
  EXPECT_FALSE(h.s().scriptFreeze);
  EXPECT_EQ(h.trace(), Strings{"b"});

  ScriptHarness zero(zoneText("<freeze frames=\"0\"/><sound num=\"b\"/>"));
  EXPECT_FALSE(zero.s().scriptFreeze);
  EXPECT_EQ(zero.trace(), Strings{"b"});
}

TEST(QueueService, PromptEndsOnActionJumpOrPauseAndUsesThePressUp) {
  for (int c : {control::Action, control::Jump, control::Pause}) {
    ScriptHarness h(zoneText("<prompt/><sound num=\"b\"/>"));
    EXPECT_TRUE(h.s().scriptFreeze);
    for (int other : {control::Left, control::LeapOut, control::Reset}) {
      h.press(other);
      h.frame();
    }
    EXPECT_TRUE(h.trace().empty());
    h.press(c);
    // One frame by hand, to look at the controls before they are released.
    h.g().app.frameTime += 16;
    serviceScriptQueue(h.g());
    EXPECT_EQ(h.trace(), Strings{"b"}) << c;
    EXPECT_FALSE(h.s().scriptFreeze);
    EXPECT_FALSE(h.s().promptPending);
    EXPECT_TRUE(h.g().controls.held(c));
    EXPECT_FALSE(h.g().controls.pressed(control::Jump));
    EXPECT_FALSE(h.g().controls.pressed(control::Action));
    EXPECT_FALSE(h.g().controls.pressed(control::Pause));
  }
}

TEST(QueueService, AHeldKeyDoesNotAnswerAPrompt) {
  ScriptHarness h(zoneText("<prompt/><sound num=\"b\"/>"));
  Controls& c = h.g().controls;
  c.table[control::Jump][c.currentColumn] = 1;
  c.table[control::Jump][c.previousColumn] = 1;
  serviceScriptQueue(h.g());
  EXPECT_TRUE(h.trace().empty());
}

TEST(QueueService, TheCreditsRollResumesOnceItHasRunOut) {
  ScriptHarness h(zoneText("<set credits=\"1\"/><sound num=\"b\"/>"));
  h.s().scriptFreeze = true;  // a halt in force stays: the credits resume leaves it alone
  h.frame(3);
  EXPECT_TRUE(h.trace().empty());
  h.s().credits.remaining = -0.5f;
  h.frame();
  EXPECT_EQ(h.trace(), Strings{"b"});
  EXPECT_FALSE(h.s().credits.running);
  EXPECT_TRUE(h.s().scriptFreeze);
}

TEST(QueueService, WaitingScriptHoldsTheQueueAndItsEndRunsFirst) {
  ScriptHarness h(zoneText("<after><sound num=\"after\"/></after><wait frames=\"2\"/><sound num=\"end\"/>"));
  h.frame();
  EXPECT_TRUE(h.trace().empty());
  EXPECT_EQ(h.s().queue.size(), 1u);
  h.frame();
  EXPECT_EQ(h.trace(), (Strings{"end", "after"}));
}

// ----- Order of queued bodies -----------------------------------------------

TEST(QueueService, BodiesPushedToTheFrontRunInReverseAndAppendedOnesInOrder) {
  ScriptHarness h(zoneText(
      "<call sub=\"a\"/><call sub=\"b\"/><after><sound num=\"x\"/></after><after><sound num=\"y\"/></after>",
      "<sub id=\"a\"><sound num=\"a\"/></sub><sub id=\"b\"><sound num=\"b\"/></sub>"));
  EXPECT_EQ(h.queueNames(), (Strings{"sub#b", "after", "after", "sub#a"}));
  h.frame();
  EXPECT_EQ(h.trace(), (Strings{"b", "x", "y", "a"}));
}

TEST(QueueService, AnEntryQueuedByARunningScriptRunsRightBehindIt) {
  ScriptHarness h(zoneText("",
                           "<sub id=\"one\"><after><sound num=\"one-after\"/></after><sound num=\"one\"/></sub>"
                           "<sub id=\"two\"><sound num=\"two\"/></sub>"));
  appendScript(h.s(), h.byId("one"), nullptr, 0);
  appendScript(h.s(), h.byId("two"), nullptr, 0);
  h.frame();
  EXPECT_EQ(h.trace(), (Strings{"one", "one-after", "two"}));
}

TEST(QueueService, DelaysCountFramesAndKeepTheObject) {
  ScriptHarness h(zoneText("", "<block oname=\"x\"/><sub id=\"s\"><after frames=\"30\"><sound num=\"late\"/>"
                               "</after><sound num=\"now\"/></sub>"));
  h.run("s", h.object("x"));
  EXPECT_EQ(h.trace(), Strings{"now@x"});
  h.frame(29);
  EXPECT_EQ(h.trace().size(), 1u);
  h.frame();
  EXPECT_EQ(h.trace(), (Strings{"now@x", "late@x"}));
}

TEST(QueueService, NegativeAfterRunsLikeZero) {
  ScriptHarness h(zoneText("<after frames=\"-20\"><sound num=\"x\"/></after>"));
  EXPECT_EQ(h.s().queue.front()->delay, 0);
  h.frame();
  EXPECT_EQ(h.trace(), Strings{"x"});
}

TEST(QueueService, EntriesWithoutAScriptAreRemoved) {
  ScriptHarness h(zoneText(""));
  appendScript(h.s(), nullptr, nullptr, 0);
  appendScript(h.s(), nullptr, nullptr, 2);
  h.frame();
  EXPECT_EQ(h.s().queue.size(), 1u);
  h.frame(2);
  EXPECT_TRUE(h.s().queue.empty());
}

TEST(QueueService, AfterAFullPassTheCursorIsOnTheLastEntry) {
  ScriptHarness h(zoneText("", "<sub id=\"s\"><sound num=\"s\"/></sub>"));
  appendScript(h.s(), h.byId("s"), nullptr, 5);
  appendScript(h.s(), h.byId("s"), nullptr, 6);
  h.frame();
  appendScript(h.s(), nullptr, nullptr, 1);  // as the world step would
  EXPECT_EQ(delays(h.s()), (std::vector<int>{4, 5, 1}));
}

// ----- Loops and bounds -----------------------------------------------------

TEST(QueueService, LoopWithoutDelayRunsTheEnclosingScriptAgainInTheSameFrame) {
  ScriptHarness h(zoneText("<call sub=\"s\"/>",
                           "<sub id=\"s\"><sound num=\"s\"/>"
                           "<ifnotset gflag=\"1\"><setgflags gflags=\"1\"/><loop/></ifnotset></sub>"));
  h.frame();
  EXPECT_EQ(h.trace(), (Strings{"s", "s"}));
}

TEST(QueueService, LoopUpAndDelay) {
  ScriptHarness h(zoneText("",
                           "<sub id=\"s\"><sound num=\"s\"/><after><after><loop up=\"2\" frames=\"5\"/>"
                           "</after></after></sub>"));
  h.run("s");
  h.frame(2);  // the two `after` bodies run in the first frame; the loop waits 5
  EXPECT_EQ(h.trace(), Strings{"s"});
  h.frame(3);
  EXPECT_EQ(h.trace(), Strings{"s"});
  h.frame(1);
  EXPECT_EQ(h.trace(), (Strings{"s", "s"}));
}

TEST(QueueService, LoopAboveTheRootQueuesNothing) {
  ScriptHarness h(zoneText("", "<sub id=\"s\"><loop up=\"99\"/><loop up=\"2147483647\"/></sub>"));
  h.run("s");
  EXPECT_TRUE(h.s().queue.empty());
}

TEST(QueueService, EndlessSameFrameChainsAreBoundedPerFrame) {
  const char* chains[] = {
      "<sub id=\"s\"><sound num=\"s\"/><call sub=\"s\"/></sub>",  // a sub that calls itself
      "<sub id=\"s\"><sound num=\"s\"/><after><loop/></after></sub>",  // a loop without delay
  };
  for (const char* chain : chains) {
    ScriptHarness h(zoneText("<call sub=\"s\"/>", chain));
    h.frame();
    const std::size_t first = h.trace().size();
    EXPECT_GT(first, 100u) << chain;
    EXPECT_LE(first, static_cast<std::size_t>(kMaxScriptRunsPerFrame)) << chain;
    h.frame();
    EXPECT_GT(h.trace().size(), first) << "the chain goes on next frame: " << chain;
    EXPECT_LE(h.s().queue.size(), 4u) << chain;
  }
}

// ----- killqueue --------------------------------------------------------------

TEST(QueueService, KillQueueRunsDueEntriesThenLeavesOnlyItsSub) {
  ScriptHarness h(zoneText("",
                           "<sub id=\"k\"><killqueue sub=\"S\"/><sound num=\"k\"/></sub>"
                           "<sub id=\"due\"><sound num=\"due\"/></sub>"
                           "<sub id=\"later\"><sound num=\"later\"/></sub>"
                           "<sub id=\"s\"><sound num=\"sub\"/></sub>"));
  appendScript(h.s(), h.byId("k"), nullptr, 0);
  appendScript(h.s(), h.byId("due"), nullptr, 0);
  appendScript(h.s(), h.byId("later"), nullptr, 10);
  h.frame();
  EXPECT_EQ(h.trace(), (Strings{"k", "due"}));
  EXPECT_EQ(h.queueNames(), Strings{"sub#s"});
  EXPECT_FALSE(h.s().killQueueRequested);
  EXPECT_EQ(h.s().killQueueSub, nullptr);
  h.frame();
  EXPECT_EQ(h.trace(), (Strings{"k", "due", "sub"}));
  h.frame(12);
  EXPECT_EQ(h.trace().size(), 3u);
}

TEST(QueueService, KillQueueOutsideTheServiceEmptiesTheQueueNextFrame) {
  ScriptHarness h(zoneText("<killqueue/>", "<sub id=\"a\"><sound num=\"a\"/></sub>"));
  appendScript(h.s(), h.byId("a"), nullptr, 2);
  EXPECT_TRUE(h.s().killQueueRequested);
  h.frame();  // the entry is not due yet; the request empties the queue
  EXPECT_TRUE(h.s().queue.empty());
  h.frame(3);
  EXPECT_TRUE(h.trace().empty());
}

TEST(QueueService, KillQueueKeepsOrDropsItsSub) {
  ScriptHarness h(zoneText("", "<sub id=\"s\"/><sub id=\"a\"><killqueue sub=\"s\"/><killqueue/></sub>"
                               "<sub id=\"b\"><killqueue sub=\"nothing\"/></sub>"));
  h.run("a");
  EXPECT_EQ(h.s().killQueueSub, h.byId("s"));  // an absent sub keeps the earlier one
  h.run("b");
  EXPECT_EQ(h.s().killQueueSub, nullptr);  // a sub that finds nothing clears it
}

}  // namespace
}  // namespace zor
