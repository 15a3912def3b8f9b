#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "tests/game/script/script_test_support.h"

namespace zor {
namespace {

using testing::ScriptHarness;
using testing::zoneText;
using Strings = std::vector<std::string>;

// ----- die, adddeath, unscript ------------------------------------------------

TEST(DieStatement, EndsTheScriptAndMakesThePlayerDie) {
  ScriptHarness h(zoneText("<sound num=\"1\"/><die/><sound num=\"2\"/>"));
  EXPECT_EQ(h.trace(), Strings{"1"});
  EXPECT_TRUE(h.g().world.playerDead);
  EXPECT_EQ(h.g().app.playerBlinkPending, 1);
  EXPECT_EQ(h.s().runningScript, nullptr);
}

TEST(AddDeathStatement, AddsItsNumberOrOne) {
  const struct {
    const char* attributes;
    int32_t before, after;
  } cases[] = {
      {"", 3, 4},
      {"num=\"\"", 3, 4},
      {"num=\"5\"", 3, 8},
      {"num=\"-1\"", 3, 2},
      {"num=\"abc\"", 3, 3},
      {"num=\"2147483647\"", 5, std::numeric_limits<int32_t>::max()},
      {"num=\"-2147483648\"", -5, std::numeric_limits<int32_t>::min()},
  };
  for (const auto& c : cases) {
    ScriptHarness h(zoneText(""));
    h.g().session.deaths = c.before;
    xml::Document doc;
    ASSERT_TRUE(doc.parse(std::string("<s><adddeath ") + c.attributes + "/></s>", nullptr));
    runScript(h.g(), doc.root(), nullptr);
    EXPECT_EQ(h.g().session.deaths, c.after) << c.attributes;
  }
}

TEST(UnscriptStatement, ClearsTheScriptsOfTheNamedObjectOrElseOfTheScriptsObject) {
  const char* blocks =
      "<block oname=\"crate\"><standon times=\"3\"><sound/></standon><die><sound/></die></block>"
      "<block oname=\"rock\"><standon><sound/></standon><die><sound/></die></block>";
  const struct {
    const char* oname;
    const char* scriptObject;  // "" for none
    const char* cleared;       // "" for nothing
  } cases[] = {
      {"crate", "", "crate"}, {"CRATE", "rock", "crate"}, {"nothing", "rock", "rock"},
      {"-", "rock", "rock"},  {"", "crate", "crate"},     {"nothing", "", ""},
      {"crate,rock", "rock", "rock"},
  };
  for (const auto& c : cases) {
    ScriptHarness h(zoneText("", std::string(blocks) + "<sub id=\"s\"><unscript oname=\"" + c.oname +
                                     "\"/></sub>"));
    ASSERT_NE(h.object("crate")->standOnScript, nullptr);
    ASSERT_NE(h.object("crate")->dieScript, nullptr);
    h.run("s", *c.scriptObject ? h.object(c.scriptObject) : nullptr);
    for (const char* name : {"crate", "rock"}) {
      ObjectRecord* o = h.object(name);
      const bool cleared = std::string(name) == c.cleared;
      EXPECT_EQ(o->standOnScript == nullptr, cleared) << c.oname << " " << name;
      EXPECT_EQ(o->dieScript == nullptr, cleared) << c.oname << " " << name;
      if (cleared) {
        EXPECT_EQ(o->standOnTimes, 0);
      }
    }
  }
}

// ----- Beats -------------------------------------------------------------------

// A zone whose subs place beats; the music's track started at `start`.
struct BeatHarness : ScriptHarness {
  explicit BeatHarness(const std::string& subs, uint32_t start = 5000, int32_t length = 60000)
      : ScriptHarness(zoneText("", subs)) {
    g().musicStartTime = start;
    g().trackLength = length;
  }
  // Runs the queue service at the given clock times and returns the times at
  // which the trace grew, with what it got.
  Strings serviceAt(const std::vector<uint32_t>& times) {
    Strings out;
    for (uint32_t t : times) {
      const std::size_t before = trace().size();
      g().app.frameTime = t;
      serviceScriptQueue(g());
      for (std::size_t i = before; i < trace().size(); ++i) out.push_back(std::to_string(t) + ":" + trace()[i]);
    }
    return out;
  }
  std::vector<int32_t> nexts() {
    std::vector<int32_t> out;
    for (const BeatTimer& t : s().beats) out.push_back(t.next);
    return out;
  }
};

std::vector<uint32_t> clock(uint32_t from, uint32_t to, uint32_t step) {
  std::vector<uint32_t> out;
  for (uint32_t t = from; t <= to; t += step) out.push_back(t);
  return out;
}

TEST(BeatStatement, FiresOnTheTracksBeatsFromItsDelay) {
  const struct {
    const char* attributes;
    const char* firstFires;  // the first three beats
  } cases[] = {
      {"bpm=\"120\"", "6000:b 6500:b 7000:b"},
      {"bpm=\"120\" delb=\"0.5\"", "6250:b 6750:b 7250:b"},
      {"bpm=\"120\" dels=\"0.1\"", "6100:b 6600:b 7100:b"},
      {"bpm=\"120\" dels=\"0.1\" delb=\"0.5\"", "6100:b 6600:b 7100:b"},  // dels wins
      {"bpm=\"90\"", "6333:b 7000:b 7667:b"},  // 666.67 ms, rounded to whole milliseconds
  };
  for (const auto& c : cases) {
    BeatHarness h(std::string("<sub id=\"s\"><beat ") + c.attributes + "><sound num=\"b\"/></beat></sub>");
    h.g().app.frameTime = 6000;  // the track started 1000 ms ago
    h.run("s");
    ASSERT_EQ(h.s().beats.size(), 1u) << c.attributes;
    Strings fired = h.serviceAt(clock(6000, 7700, 1));
    fired.resize(3);
    EXPECT_EQ(fired[0] + " " + fired[1] + " " + fired[2], c.firstFires) << c.attributes;
  }
}

TEST(BeatStatement, EachTimerCountsItsOwnBeatsAndDueTimersQueueInListOrder) {
  BeatHarness h("<sub id=\"s\"><beat bpm=\"120\"><sound num=\"a\"/></beat>"
                "<beat bpm=\"60\" delb=\"0.5\"><sound num=\"b\"/></beat>"
                "<beat bpm=\"240\"><sound num=\"c\"/></beat></sub>");
  h.g().app.frameTime = 6100;
  h.run("s");
  EXPECT_EQ(h.nexts(), (std::vector<int32_t>{6500, 6500, 6250}));
  EXPECT_EQ(h.serviceAt({6250, 6400, 6510}), (Strings{"6250:c", "6510:a", "6510:b", "6510:c"}));
}

TEST(BeatStatement, ALateTimerFiresOncePerFrame) {
  BeatHarness h("<sub id=\"s\"><beat bpm=\"6000\"><sound num=\"b\"/></beat></sub>");  // every 10 ms
  h.g().app.frameTime = 6000;
  h.run("s");
  EXPECT_EQ(h.serviceAt({6000, 9000, 9001, 9005, 9010}), (Strings{"6000:b", "9000:b", "9010:b"}));
}

TEST(BeatStatement, ScriptAndRefusals) {
  const struct {
    const char* beat;
    const char* script;  // element name queued, "" for no timer
  } cases[] = {
      {"<beat bpm=\"120\" sub=\"T\"><sound/></beat>", "sub"},
      {"<beat bpm=\"120\" sub=\"nothing\"><sound/></beat>", "beat"},
      {"<beat bpm=\"120\" sub=\"nothing\"/>", ""},
      {"<beat bpm=\"120\"/>", ""},
      {"<beat bpm=\"120\"> </beat>", "beat"},  // any child node counts
      {"<beat bpm=\"0\"><sound/></beat>", ""},
      {"<beat bpm=\"-60\"><sound/></beat>", ""},
      {"<beat bpm=\"abc\"><sound/></beat>", ""},
      {"<beat bpm=\"nan\"><sound/></beat>", ""},
      {"<beat><sound/></beat>", ""},
  };
  for (const auto& c : cases) {
    BeatHarness h(std::string("<sub id=\"t\"/><sub id=\"s\">") + c.beat + "</sub>");
    h.run("s");
    if (*c.script == 0) {
      EXPECT_TRUE(h.s().beats.empty()) << c.beat;
    } else {
      ASSERT_EQ(h.s().beats.size(), 1u) << c.beat;
      EXPECT_EQ(h.s().beats.front()->script->name, c.script) << c.beat;
    }
  }
}

TEST(BeatStatement, WithoutATrackLengthEveryTimerGoes) {
  BeatHarness h("<sub id=\"s\"><beat bpm=\"120\"><sound/></beat></sub>");
  h.run("s");
  ASSERT_EQ(h.s().beats.size(), 1u);
  h.g().trackLength = 0;
  h.run("s");  // the new timer's scheduling deletes them all
  EXPECT_TRUE(h.s().beats.empty());

  BeatHarness firing("<sub id=\"s\"><beat bpm=\"120\"><sound/></beat><beat bpm=\"60\"><sound/></beat></sub>");
  firing.g().app.frameTime = 6000;
  firing.run("s");
  firing.g().trackLength = 0;
  firing.serviceAt({7000});  // the first due timer reschedules: all go, and the walk stops
  EXPECT_TRUE(firing.s().beats.empty());
  EXPECT_EQ(firing.s().queue.size(), 0u);
}

TEST(BeatStatement, KillBeatsAndZoneLoadsDeleteEveryTimer) {
  BeatHarness h("<sub id=\"s\"><beat bpm=\"120\"><sound/></beat><beat bpm=\"60\"><sound/></beat></sub>"
                "<sub id=\"k\"><killbeats/></sub>");
  h.run("s");
  EXPECT_EQ(h.s().beats.size(), 2u);
  h.run("k");
  EXPECT_TRUE(h.s().beats.empty());
  h.run("s");
  ASSERT_TRUE(loadZone(h.g(), "first", false));
  EXPECT_TRUE(h.s().beats.empty());
}

TEST(BeatStatement, ExtremeValuesNeitherOverflowNorHang) {
  const char* beats[] = {
      "bpm=\"1e30\"",          "bpm=\"inf\"",          "bpm=\"3.4e38\"",       "bpm=\"1e-40\"",
      "bpm=\"1e-30\"",         "bpm=\"0.0001\"",       "bpm=\"120\" dels=\"1e30\"",
      "bpm=\"120\" dels=\"-1e30\"", "bpm=\"120\" delb=\"1e38\"", "bpm=\"120\" dels=\"nan\"",
      "bpm=\"1e-40\" delb=\"0.5\"", "bpm=\"120\" dels=\"-inf\"",
  };
  for (uint32_t start : {0u, 5000u, 4000000000u}) {
    for (const char* attributes : beats) {
      BeatHarness h(std::string("<sub id=\"s\"><beat ") + attributes + "><sound num=\"b\"/></beat></sub>", start);
      h.g().app.frameTime = 6000;
      h.run("s");
      Strings fired = h.serviceAt(clock(6000, 6000 + 16 * 200, 16));
      EXPECT_LE(fired.size(), 201u) << attributes;  // at most one beat a frame
      h.serviceAt({4294967000u, 4294967295u});
    }
  }
}

TEST(BeatStatement, ATinyIntervalFiresEveryFrame) {
  BeatHarness h("<sub id=\"s\"><beat bpm=\"1e30\"><sound num=\"b\"/></beat></sub>");
  h.g().app.frameTime = 6000;
  h.run("s");
  EXPECT_EQ(h.serviceAt({6000, 6016, 6032}), (Strings{"6000:b", "6016:b", "6032:b"}));
  EXPECT_EQ(h.nexts(), std::vector<int32_t>{6033});
}

}  // namespace
}  // namespace zor
