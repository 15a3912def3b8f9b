// What one frame of scripts may make: a script that loops or calls itself
// without delay meets a ceiling on each thing it makes, so that every frame
// ends and memory stays bounded.
#include <gtest/gtest.h>

#include <string>

#include "game/load/element_ids.h"
#include "game/script/object_statements.h"
#include "game/script/title_statements.h"
#include "tests/game/script/script_test_support.h"

namespace zor {
namespace {

using testing::ScriptHarness;
using testing::zoneText;

// A zone whose start calls the sub "go" with the given body.
std::string calling(const std::string& body) {
  return zoneText("<call sub=\"go\"/>", "<sub id=\"go\">" + body + "</sub>");
}
// The body again after it, without delay, for ever.
std::string looping(const std::string& body) { return calling(body + "<after><loop/></after>"); }

TEST(FrameCeilings, ExplosionsInALoopStopAtTheirCeilings) {
  ScriptHarness h(looping("<explode num=\"100000000\"/>"));
  const auto objectsBefore = static_cast<int32_t>(h.g().world.objects.size());
  h.frame();
  const auto made = static_cast<int32_t>(h.g().world.objects.size()) - objectsBefore;
  EXPECT_GT(made, 0);
  EXPECT_LE(made, kMaxParticlesPerFrame);
  for (int i = 0; i < 5; ++i) {
    h.frame();
    EXPECT_LE(static_cast<int32_t>(h.g().world.objects.size()), kMaxObjectsForParticles);
  }
  EXPECT_EQ(static_cast<int32_t>(h.g().world.objects.size()), kMaxObjectsForParticles);
}

TEST(FrameCeilings, ManySmallExplosionsInOneFrameAreCounted) {
  ScriptHarness h(looping("<explode num=\"1\"/>"));
  const std::size_t before = h.g().world.objects.size();
  h.frame();
  EXPECT_EQ(h.g().world.objects.size() - before, static_cast<std::size_t>(kMaxExplosionsPerFrame));
  h.frame();  // the next frame makes its own share
  EXPECT_EQ(h.g().world.objects.size() - before, 2u * kMaxExplosionsPerFrame);
}

TEST(FrameCeilings, ListsThatScriptsFillStopAtTheirCeilings) {
  struct Case {
    const char* name;
    std::string game;
    std::size_t (*count)(const Game&);
    std::size_t ceiling;
  };
  const Case cases[] = {
      {"a sub that calls itself twice", calling("<call sub=\"go\"/><call sub=\"go\"/>"),
       [](const Game& g) { return g.script.queue.size(); }, kMaxQueueEntries},
      {"titles in a loop", looping("<title text=\"HI\"/>"), [](const Game& g) { return g.script.titles.size(); },
       kMaxTitles},
      {"word boxes in a loop", looping("<wordbox text=\"HI\"/>"),
       [](const Game& g) { return g.script.wordBoxes.size(); }, kMaxWordBoxes},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ScriptHarness h(c.game);
    h.frame(4);
    EXPECT_LE(c.count(h.g()), c.ceiling);
    EXPECT_GE(c.count(h.g()) + 1, c.ceiling);  // the queue's running entry has gone
  }
}

TEST(FrameCeilings, ANamedTitleIsStillChangedWhenTheListIsFull) {
  ScriptHarness h(zoneText("<title tname=\"score\" text=\"1\"/><call sub=\"go\"/>",
                           "<sub id=\"go\"><title text=\"HI\"/><after><loop/></after></sub>"
                           "<sub id=\"two\"><title tname=\"score\" text=\"2\"/></sub>"));
  h.frame(2);
  ASSERT_EQ(h.s().titles.size(), kMaxTitles);
  h.s().queue.clear();
  h.run("two");
  EXPECT_EQ(h.s().titles.size(), kMaxTitles);
  EXPECT_EQ(h.s().titles.front()->text, "2");
}

// While the zone settles every script's end looks at every object: in a large
// zone a chain of scripts runs fewer times a frame, and goes on next frame.
TEST(FrameCeilings, ASettlingZoneOfManyBlocksRunsFewerScriptsAFrame) {
  std::string blocks;
  for (int i = 0; i < 20000; ++i) blocks += "<block x=\"" + std::to_string(i % 500) + "\" y=\"-40\" w=\"1\" h=\"1\"/>";
  ScriptHarness h(zoneText("<call sub=\"go\"/>", blocks + "<sub id=\"go\"><sound num=\"1\"/><call sub=\"go\"/></sub>"));
  ASSERT_TRUE(h.s().zoneEntryQuiet);
  const auto objects = static_cast<int64_t>(h.g().world.objects.size());
  h.frame();
  const auto runs = static_cast<int64_t>(h.trace().size());
  EXPECT_GT(runs, 0);
  EXPECT_LE(runs, kMaxSettlingVisitsPerFrame / objects + 1);
  h.frame();
  EXPECT_GT(static_cast<int64_t>(h.trace().size()), runs);  // the chain goes on
}

// Look-ups by ID find what the document search finds, and follow the document
// when it is parsed again or edited.
TEST(ElementIds, FindTheFirstElementOfAnIdInAnyCase) {
  ScriptHarness h(zoneText("", "<sub id=\"Go\"><sub ID=\"inner\"/></sub><sub id=\"go\"/><block Id=\"b\" id=\"c\"/>"));
  GameData& data = h.g().data;
  for (const char* id : {"first", "go", "GO", "inner", "b", "c", "none", ""}) {
    EXPECT_EQ(findElementById(data, id), data.document.findById(id)) << id;
  }
  EXPECT_EQ(findElementById(data, "Go")->firstElement()->attr("ID"), "inner");
  EXPECT_EQ(findElementById(data, "c"), nullptr);  // only an element's first ID counts

  // An edited document: the new ID is found, the old one no more.
  xml::Node* inner = const_cast<xml::Node*>(findElementById(data, "inner"));
  inner->setAttr("ID", "renamed");
  EXPECT_EQ(findElementById(data, "inner"), nullptr);
  EXPECT_EQ(findElementById(data, "RENAMED"), inner);

  // A new document.
  ASSERT_TRUE(data.document.parse("<zorlan><sub id=\"other\"/></zorlan>", nullptr));
  EXPECT_EQ(findElementById(data, "go"), nullptr);
  EXPECT_NE(findElementById(data, "other"), nullptr);
}

}  // namespace
}  // namespace zor
