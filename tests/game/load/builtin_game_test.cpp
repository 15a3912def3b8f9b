// The built-in game as the program carries it: every name one part of it gives
// another (warp targets, entrances, subs, classes, blocks, speedruns, tracks)
// exists, every zone can be reached from "first", and the titles it shows keep
// clear of each other, of the run countdown and of the run clock.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "format/vocabulary.h"
#include "format/values.h"
#include "game/game.h"
#include "game/load/game_file.h"
#include "platform/text.h"
#include "platform/xml.h"

namespace zor {
namespace {

using xml::Node;

std::string lower(const std::string& s) { return text::toLower(s); }

template <typename F>
void forEachElement(const Node* node, F&& f) {
  for (const Node* c = node->firstElement(); c != nullptr; c = c->nextElement()) {
    f(c);
    forEachElement(c, f);
  }
}

const Node* zoneOf(const Node* n) {
  for (; n != nullptr; n = n->parent) {
    if (n->isElement() && lower(n->name) == "zone") return n;
  }
  return nullptr;
}

struct Zone {
  const Node* node = nullptr;
  std::set<std::string> entrances;  // "" is the default entrance
  std::set<std::string> blocks;
  std::set<std::string> warpsTo;
};

class BuiltinGame : public ::testing::Test {
 protected:
  void SetUp() override {
    loadGameFile(game);
    ASSERT_FALSE(game.failed) << game.failMessage;
    root = game.data.document.root();
    ASSERT_NE(root, nullptr);
    for (const Node* z = root->firstElement(); z != nullptr; z = z->nextElement()) {
      if (lower(z->name) != "zone") continue;
      Zone& zone = zones[lower(z->attr("id"))];
      zone.node = z;
      for (const Node* c = z->firstElement(); c != nullptr; c = c->nextElement()) {
        const std::string name = lower(c->name);
        if (name == "entrance") zone.entrances.insert("");
        if (name.rfind("entrance_", 0) == 0) zone.entrances.insert(name.substr(9));
        if (name == "block" && !c->attr("oname").empty()) zone.blocks.insert(lower(text::trim(c->attr("oname"))));
      }
    }
    for (const Node* c = root->firstElement(); c != nullptr; c = c->nextElement()) {
      if (lower(c->name) == "class") classes.insert(lower(text::trim(c->attr("name"))));
    }
  }

  bool hasEntrance(const std::string& zone, const std::string& entrance) const {
    auto it = zones.find(zone);
    if (it == zones.end()) return false;
    return entrance.empty() || entrance == "-" || it->second.entrances.count(lower(entrance)) != 0;
  }

  Game game;
  const Node* root = nullptr;
  std::map<std::string, Zone> zones;
  std::set<std::string> classes;
};

TEST_F(BuiltinGame, EveryNameItGivesExists) {
  ASSERT_TRUE(zones.count("first"));
  EXPECT_GE(zones.size(), 6u);
  std::set<int32_t> runNumbers;
  for (const SpeedrunRecord& run : game.data.speedruns) runNumbers.insert(run.runNumber);

  forEachElement(root, [&](const Node* n) {
    const std::string where = n->name + " on line " + std::to_string(n->line);
    const Node* zone = zoneOf(n);
    const std::string zoneId = zone ? lower(zone->attr("id")) : std::string();

    // A `sub` attribute names an element that exists, and it is a sub (or a zone's own script).
    for (const char* attr : {"sub", "after"}) {
      const std::string& id = n->attr(attr);
      if (id.empty() || (std::string(attr) == "after" && n->name != "death")) continue;
      const Node* target = game.data.document.findById(id);
      ASSERT_NE(target, nullptr) << where << " names the missing sub " << id;
      EXPECT_EQ(target->name, "sub") << where << ": " << id << " is a " << target->name;
    }
    if (n->name == "warp") {
      const std::string target = n->attr("zone").empty() ? zoneId : lower(n->attr("zone"));
      EXPECT_TRUE(zones.count(target)) << where << " warps to the missing zone " << target;
      EXPECT_TRUE(hasEntrance(target, n->attr("entrance"))) << where << " names a missing entrance";
      if (zone) zones[zoneId].warpsTo.insert(target);
    }
    if (n->name == "reloadzone") {
      EXPECT_TRUE(hasEntrance(zoneId, n->attr("entrance"))) << where;
    }
    if (n->name == "block" && !n->attr("class").empty()) {
      EXPECT_TRUE(classes.count(n->attr("class"))) << where << " names the missing class " << n->attr("class");
    }
    if (n->name == "unlockspeedrun") {
      bool found = false;
      for (const SpeedrunRecord& run : game.data.speedruns) found = found || run.name == text::toUpper(n->attr("name"));
      EXPECT_TRUE(found) << where << " unlocks the missing speedrun " << n->attr("name");
    }
    if (n->name == "endspeedrun") {
      EXPECT_TRUE(runNumbers.count(format::readInt(n->attr("level")))) << where << " ends a run no speedrun has";
    }
    // Statements that name blocks name blocks of their own zone.
    if (zone && n->parent && lower(n->name) != "block" && lower(n->name) != "area") {
      for (const char* attr : {"oname", "lookat", "at", "to"}) {
        for (const std::string& name : text::split(n->attr(attr), ',')) {
          const std::string b = lower(text::trim(name));
          if (b.empty() || b == "you" || b == "-") continue;
          EXPECT_TRUE(zones[zoneId].blocks.count(b)) << where << " names the missing block " << b;
        }
      }
    }
    // Music that the game names is in the data folder.
    const std::string track = n->name == "music" || lower(n->name) == "zone" ? n->attr("track") : std::string();
    if (!track.empty() && track != "-") {
      EXPECT_TRUE(std::filesystem::exists(std::string(ZOR_SOURCE_DIR) + "/zordata/" + track)) << where << ": " << track;
    }
  });

  for (const SpeedrunRecord& run : game.data.speedruns) {
    EXPECT_TRUE(hasEntrance(run.zone, run.entrance)) << run.name << " starts nowhere";
    EXPECT_NE(run.startScript, nullptr) << run.name;
  }
  EXPECT_GE(game.data.speedruns.size(), 2u);
  for (int32_t number : runNumbers) {
    bool ended = false;
    forEachElement(root, [&](const Node* n) {
      ended = ended || (n->name == "endspeedrun" && format::readInt(n->attr("level")) == number);
    });
    EXPECT_TRUE(ended) << "no endspeedrun ends run " << number;
  }
}

TEST_F(BuiltinGame, EveryZoneIsReachedFromFirst) {
  forEachElement(root, [&](const Node* n) {
    const Node* zone = zoneOf(n);
    if (n->name != "warp" || zone == nullptr) return;
    const std::string target = n->attr("zone").empty() ? lower(zone->attr("id")) : lower(n->attr("zone"));
    zones[lower(zone->attr("id"))].warpsTo.insert(target);
  });
  std::set<std::string> reached = {"first"};
  std::vector<std::string> todo = {"first"};
  while (!todo.empty()) {
    const std::string z = todo.back();
    todo.pop_back();
    for (const std::string& next : zones[z].warpsTo) {
      if (reached.insert(next).second) todo.push_back(next);
    }
  }
  for (const auto& [id, zone] : zones) EXPECT_TRUE(reached.count(id)) << "zone " << id << " cannot be reached";
}

// The countdown's word stands at 0.15 of the view height, a ninth of it tall;
// the run clock rests near 0.8. Titles keep out of both bands.
constexpr float kCountdownTop = 0.15f;
constexpr float kCountdownBottom = 0.15f + 1.0f / 9.0f + 0.01f;
constexpr float kClockTop = 0.76f;

struct ShownTitle {
  std::string name;
  float top = 0.0f, bottom = 0.0f;
  const Node* script = nullptr;
  int segment = 0;  // counts the cleartitles before it in its script
  int line = 0;
  bool fromStart = false;  // shown by a zone's or a speedrun's start script
};

void collectTitles(const Node* script, std::vector<ShownTitle>& out, bool fromStart = false) {
  int segment = 0;
  forEachElement(script, [&](const Node* n) {
    if (n->name == "cleartitles") ++segment;
    if (n->name != "title") return;
    const float y = format::readFloat(n->attr("y"));
    const float h = format::readFloat(n->attr("h"));
    out.push_back(ShownTitle{n->attr("tname"), y, y + h, script, segment, n->line, fromStart});
  });
}

TEST_F(BuiltinGame, TitlesKeepClearOfEachOtherAndOfTheRunClock) {
  std::vector<ShownTitle> runTitles;
  for (const SpeedrunRecord& run : game.data.speedruns) {
    if (run.startScript) collectTitles(run.startScript, runTitles, true);
  }
  for (const auto& [id, zone] : zones) {
    std::vector<ShownTitle> titles = runTitles;
    for (const Node* c = zone.node->firstElement(); c != nullptr; c = c->nextElement()) {
      if (c->name == "start") collectTitles(c, titles, true);
    }
    forEachElement(zone.node, [&](const Node* n) {
      if (n->name == "enter" || n->name == "exit" || n->name == "action" || n->name == "standon") collectTitles(n, titles);
    });
    for (const ShownTitle& t : titles) {
      if (t.top >= 1.0f) continue;  // credits below the view, rolled up by the credits roll
      EXPECT_GE(t.top, 0.0f) << "line " << t.line;
      EXPECT_TRUE(t.bottom <= kCountdownTop || t.top >= kCountdownBottom) << "title on line " << t.line << " meets the countdown";
      EXPECT_LE(t.bottom, kClockTop) << "title on line " << t.line << " meets the run clock";
    }
    for (std::size_t i = 0; i < titles.size(); ++i) {
      for (std::size_t j = i + 1; j < titles.size(); ++j) {
        const ShownTitle& a = titles[i];
        const ShownTitle& b = titles[j];
        if (a.name == b.name || a.top >= 1.0f || b.top >= 1.0f) continue;
        if (a.script == b.script && a.segment != b.segment) continue;  // never on the screen together
        // The start scripts run first: a later script's title after its own
        // cleartitles never meets theirs.
        if ((a.fromStart && !b.fromStart && b.segment > 0) || (b.fromStart && !a.fromStart && a.segment > 0)) continue;
        EXPECT_TRUE(a.bottom <= b.top || b.bottom <= a.top)
            << "titles on lines " << a.line << " and " << b.line << " overlap in zone " << id;
      }
    }
  }
}

TEST_F(BuiltinGame, EveryZoneClearsTheTitlesItFinds) {
  for (const auto& [id, zone] : zones) {
    const Node* start = zone.node->childByPath("start");
    ASSERT_NE(start, nullptr) << id;
    const Node* first = start->firstElement();
    ASSERT_NE(first, nullptr) << id;
    EXPECT_EQ(first->name, "cleartitles") << "zone " << id << " keeps the titles of the zone before it";
  }
}

TEST_F(BuiltinGame, TitlesFitTheNarrowestView) {
  // At 4:3 the view is 4/3 of its height wide; a character takes 1.2 of the size.
  forEachElement(root, [&](const Node* n) {
    if (n->name != "title") return;
    const float h = format::readFloat(n->attr("h"));
    const float width = static_cast<float>(n->attr("text").size()) * 1.2f * h;
    EXPECT_LE(width, 4.0f / 3.0f) << "title on line " << n->line << " is wider than the view";
  });
}

}  // namespace
}  // namespace zor
