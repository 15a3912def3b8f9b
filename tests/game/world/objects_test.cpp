#include "game/world/objects.h"

#include <gtest/gtest.h>

#include <cstdint>

#include <algorithm>
#include <bit>
#include <cmath>
#include <iterator>
#include <limits>
#include <string>
#include <vector>

#include "format/vocabulary.h"
#include "game/game.h"

namespace zor {
namespace {

namespace flag = format::flag;

// A world with a player at the head and the named blocks after it, in order.
struct TestWorld {
  Game game;
  World& world = game.world;

  explicit TestWorld(std::vector<std::string> names = {}) {
    ObjectRecord p;
    p.name = "you";
    world.player = &world.objects.addFirst(p);
    for (const std::string& n : names) {
      world.objects.setCurrent(world.objects.back());
      addObject(world, n);
      world.objectCount += 1;
    }
  }
  ObjectRecord* at(std::size_t i) {
    auto it = world.objects.begin();
    std::advance(it, static_cast<std::ptrdiff_t>(i));
    return &*it;
  }
  std::vector<std::string> names() const {
    std::vector<std::string> out;
    for (const ObjectRecord& o : world.objects) out.push_back(o.name);
    return out;
  }
};

TEST(AddObject, TakesTheDefaultsOfANewBlock) {
  TestWorld t;
  t.world.respawnPoint = {30.0f, 70.0f, 1};
  t.world.zoneGravity = 1.4f;
  ObjectRecord& o = addObject(t.world, "crate");
  EXPECT_EQ(o.name, "crate");
  EXPECT_EQ(o.x, 30.0f);
  EXPECT_EQ(o.y, 30.0f);
  EXPECT_EQ(o.z, 0.0f);
  EXPECT_EQ(o.level, -1);
  EXPECT_EQ(o.w, 20.0f);
  EXPECT_EQ(o.h, 20.0f);
  EXPECT_EQ(o.gravity, 1.4f);
  EXPECT_EQ(std::bit_cast<uint32_t>(o.freq), 0x3C888889u);
  EXPECT_EQ(o.duty, 0.5f);
  EXPECT_EQ(o.count, -1);
  EXPECT_EQ(o.colour1, 0xFFFFFF);
  EXPECT_EQ(o.colour2, 0xFFFFFF);
  EXPECT_EQ(o.litColour, -1);
  EXPECT_EQ(o.standOnTimes, -1);
  EXPECT_EQ(o.facedObject, t.world.player);
  EXPECT_EQ(o.flags, 0u);
  EXPECT_EQ(t.world.objects.current(), &o);
  EXPECT_EQ(t.world.objectCount, 0);  // callers count
}

TEST(AddObject, InsertsAfterTheCursorOrAtTheHead) {
  TestWorld t({"a", "b"});
  t.world.objects.setCurrent(t.at(1));  // a
  addObject(t.world, "c");
  EXPECT_EQ(t.names(), (std::vector<std::string>{"you", "a", "c", "b"}));
  t.world.objects.clearCurrent();
  addObject(t.world, "d");
  EXPECT_EQ(t.names(), (std::vector<std::string>{"d", "you", "a", "c", "b"}));
}

TEST(FindObject, NamesAndCursor) {
  struct Case {
    const char* name;
    int expectIndex;        // index in the list, -1 for none
    int cursorAfter;        // index of the current object afterwards
  };
  // The list: you, twin, other, twin. The cursor starts on "other" (index 2).
  const Case cases[] = {
      {"you", 0, 2},     // the player, cursor untouched
      {"-", -1, 2},      // none, cursor untouched
      {"", -1, 2},       // none, cursor untouched
      {"twin", 1, 1},    // the one nearer the head; cursor on it
      {"Twin", -1, 3},   // compared exactly: none, cursor on the last object
      {"missing", -1, 3},
      {"other", 2, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TestWorld t({"twin", "other", "twin"});
    t.world.objects.setCurrent(t.at(2));
    ObjectRecord* found = findObject(t.world, c.name);
    EXPECT_EQ(found, c.expectIndex < 0 ? nullptr : t.at(static_cast<std::size_t>(c.expectIndex)));
    EXPECT_EQ(t.world.objects.current(), t.at(static_cast<std::size_t>(c.cursorAfter)));
  }
}

TEST(FindObject, YouIsThePlayerPointerEvenWhenAnotherObjectHasTheName) {
  TestWorld t;
  t.world.objects.clear();
  ObjectRecord impostor;
  impostor.name = "you";
  t.world.objects.addLast(impostor);
  t.world.player = nullptr;
  EXPECT_EQ(findObject(t.world, "you"), nullptr);
}

TEST(FindNearestLevel, TakesTheNearestAndTheSmallerZOnATie) {
  World w;
  w.levels = {LevelRecord{0.0f}, LevelRecord{100.0f}, LevelRecord{200.0f}};
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float inf = std::numeric_limits<float>::infinity();
  struct Case {
    float z;
    int32_t level;
  };
  for (Case c : {Case{50.0f, 0}, Case{51.0f, 1}, Case{-500.0f, 0}, Case{900.0f, 2},
                 Case{150.0f, 1}, Case{nan, 0}, Case{-inf, 0},
                 // Every level is infinitely far: none is strictly nearer than the first.
                 Case{inf, 0}}) {
    SCOPED_TRACE(c.z);
    EXPECT_EQ(findNearestLevel(w, c.z), c.level);
  }
  World one;
  one.levels = {LevelRecord{40.0f}};
  EXPECT_EQ(findNearestLevel(one, 1e9f), 0);
  World none;
  EXPECT_EQ(findNearestLevel(none, 5.0f), 0);
}

TEST(ResolveLevelIndex, KeepsEveryIndexInsideTheTable) {
  World w;
  w.levels = {LevelRecord{0.0f}, LevelRecord{100.0f}, LevelRecord{200.0f}};
  struct Case {
    int32_t level;
    float z;
    int32_t expect;
  };
  for (Case c : {Case{0, 150.0f, 0}, Case{2, 0.0f, 2}, Case{3, 0.0f, 0}, Case{7, 0.0f, 1},
                 Case{127, 0.0f, 1}, Case{-1, 190.0f, 2}, Case{-100, 60.0f, 1}}) {
    SCOPED_TRACE(c.level);
    EXPECT_EQ(resolveLevelIndex(w, c.level, c.z), c.expect);
  }
  World none;
  EXPECT_EQ(resolveLevelIndex(none, 0, 0.0f), -1);
  EXPECT_EQ(levelAt(w, 3), nullptr);
  EXPECT_EQ(levelAt(w, -1), nullptr);
  EXPECT_EQ(levelAt(w, 2), &w.levels[2]);
}

TEST(ReleaseStackedObjects, AStackOnAPlatformFallsFree) {
  TestWorld t({"platform", "a", "b", "c", "bystander"});
  ObjectRecord* platform = t.at(1);
  ObjectRecord *a = t.at(2), *b = t.at(3), *c = t.at(4), *bystander = t.at(5);
  platform->vy = 2.0f;
  // c is listed before b although it stands on b: the walk follows the stack.
  a->support = platform;
  b->support = a;
  c->support = b;
  bystander->support = t.world.player;
  releaseStackedObjects(t.world, platform);
  for (ObjectRecord* o : {a, b, c}) {
    EXPECT_EQ(o->support, nullptr);
    EXPECT_TRUE(o->has(flag::Airborne));
  }
  EXPECT_EQ(a->vy, 2.0f - 0.0005f);
  EXPECT_EQ(b->vy, a->vy - 0.0005f);
  EXPECT_EQ(c->vy, b->vy - 0.0005f);
  EXPECT_EQ(bystander->support, t.world.player);
  EXPECT_FALSE(platform->has(flag::Airborne));

  releaseStackedObjects(t.world, nullptr);  // nothing happens
}

TEST(ReleaseStackedObjects, ASupportCycleEnds) {
  TestWorld t({"a", "b"});
  ObjectRecord *a = t.at(1), *b = t.at(2);
  a->support = b;
  b->support = a;
  a->vy = 1.0f;
  releaseStackedObjects(t.world, a);
  EXPECT_EQ(b->support, nullptr);
  EXPECT_EQ(a->support, nullptr);
  EXPECT_EQ(b->vy, 1.0f - 0.0005f);
  EXPECT_EQ(a->vy, b->vy - 0.0005f);
}

TEST(ReleaseStackedObjects, ALongStackFallsFreeToItsTop) {
  std::vector<std::string> names(2000, "s");
  TestWorld t(names);
  ObjectRecord* below = t.at(1);
  for (auto it = std::next(t.world.objects.begin(), 2); it != t.world.objects.end(); ++it) {
    it->support = below;
    below = &*it;
  }
  t.at(1)->vy = 1.0f;
  releaseStackedObjects(t.world, t.at(1));
  EXPECT_EQ(t.world.objects.back()->support, nullptr);
  EXPECT_LT(t.world.objects.back()->vy, 1.0f - 1998 * 0.0004f);
}

// The release as a plain walk: for every object released, the whole list
// from its head again.
void releaseByWholeWalks(World& world, ObjectRecord* base) {
  for (ObjectRecord& o : world.objects) {
    if (o.support != base) continue;
    o.vy = base->vy - 0.0005f;
    o.support = nullptr;
    o.flags |= flag::Airborne;
    releaseByWholeWalks(world, &o);
  }
}

// An object's index in the list, or -1 for null.
int indexOf(TestWorld& t, const ObjectRecord* o) {
  int i = 0;
  for (const ObjectRecord& r : t.world.objects) {
    if (&r == o) return i;
    ++i;
  }
  return -1;
}

// Random stacks: several objects on one support, stacks listed in any order,
// supports that come back round, and bases of every kind.
TEST(ReleaseStackedObjects, MatchesTheWalkOverTheWholeListOnRandomStacks) {
  uint32_t state = 12345u;
  auto next = [&state](uint32_t n) {
    state = state * 1664525u + 1013904223u;
    return (state >> 8) % n;
  };
  int released = 0;
  for (int round = 0; round < 300; ++round) {
    const std::size_t count = 2 + next(40);
    TestWorld fast(std::vector<std::string>(count, "s")), plain(std::vector<std::string>(count, "s"));
    for (std::size_t i = 0; i <= count; ++i) {
      const float vy = static_cast<float>(next(1000)) * 0.01f - 5.0f;
      const uint32_t on = next(3) == 0 ? 0u : 1u + next(static_cast<uint32_t>(count + 1));
      fast.at(i)->vy = plain.at(i)->vy = vy;
      fast.at(i)->support = on == 0 ? nullptr : fast.at(on - 1);
      plain.at(i)->support = on == 0 ? nullptr : plain.at(on - 1);
    }
    const std::size_t base = next(static_cast<uint32_t>(count + 1));
    releaseStackedObjects(fast.world, fast.at(base));
    releaseByWholeWalks(plain.world, plain.at(base));
    for (std::size_t i = 0; i <= count; ++i) {
      const ObjectRecord &f = *fast.at(i), &p = *plain.at(i);
      ASSERT_EQ(std::bit_cast<uint32_t>(f.vy), std::bit_cast<uint32_t>(p.vy)) << "round " << round << " object " << i;
      ASSERT_EQ(f.flags, p.flags) << "round " << round << " object " << i;
      ASSERT_EQ(indexOf(fast, f.support), indexOf(plain, p.support)) << "round " << round << " object " << i;
      released += p.has(flag::Airborne) ? 1 : 0;
    }
  }
  EXPECT_GT(released, 300);
}

TEST(DeleteObjectsWhere, ClearsEveryReferenceToTheVictim) {
  TestWorld t({"victim", "rider", "watcher"});
  Game& g = t.game;
  ObjectRecord *victim = t.at(1), *rider = t.at(2), *watcher = t.at(3);
  ObjectRecord* player = t.world.player;
  player->support = victim;
  rider->support = victim;
  watcher->facedObject = victim;
  watcher->support = player;
  g.script.wordBoxes.addLast(WordBox{"SIGN", 0, 0, 0, 0, 0, 0, 0, -1, 0, victim});
  g.script.wordBoxes.addLast(WordBox{"OTHER", 0, 0, 0, 0, 0, 0, 0, -1, 0, watcher});
  g.script.queue.addLast(ScriptQueueEntry{nullptr, victim, 5});
  g.script.queue.addLast(ScriptQueueEntry{nullptr, watcher, 6});
  g.script.camera.lookAt = victim;
  g.script.scriptResumeObject = victim;
  t.world.currentCheckpoint = victim;
  t.world.lastBounceObject = victim;

  deleteObjectsWhere(g.world, g.script, [victim](const ObjectRecord& o) { return &o == victim; });

  EXPECT_EQ(t.names(), (std::vector<std::string>{"you", "rider", "watcher"}));
  EXPECT_EQ(player->support, nullptr);
  EXPECT_TRUE(player->has(flag::Airborne));  // at once
  EXPECT_EQ(rider->support, nullptr);
  EXPECT_TRUE(rider->has(flag::Airborne));
  EXPECT_EQ(watcher->facedObject, nullptr);
  EXPECT_EQ(watcher->support, player);
  EXPECT_FALSE(watcher->has(flag::Airborne));
  const WordBox& sign = *g.script.wordBoxes.front();
  EXPECT_EQ(sign.object, nullptr);
  EXPECT_EQ(sign.flags, wordbox::Remove);
  EXPECT_EQ(g.script.wordBoxes.back()->object, watcher);
  EXPECT_EQ(g.script.wordBoxes.back()->flags, 0);
  EXPECT_EQ(g.script.queue.front()->object, nullptr);
  EXPECT_EQ(g.script.queue.back()->object, watcher);
  EXPECT_EQ(g.script.camera.lookAt, nullptr);
  EXPECT_EQ(g.script.scriptResumeObject, nullptr);
  EXPECT_EQ(t.world.currentCheckpoint, nullptr);
  EXPECT_EQ(t.world.lastBounceObject, nullptr);
}

TEST(DeleteObjectsWhere, ThePlayerPointerIsCleared) {
  TestWorld t({"a"});
  deleteObjectsWhere(t.game.world, t.game.script, [&t](const ObjectRecord& o) { return &o == t.world.player; });
  EXPECT_EQ(t.world.player, nullptr);
  EXPECT_EQ(t.names(), (std::vector<std::string>{"a"}));
  EXPECT_EQ(t.world.objects.front()->facedObject, nullptr);
}

TEST(DeleteObjectsWhere, RemovesAllMatchesAndTheirReferences) {
  TestWorld t({"keep", "drop", "keep2", "drop2"});
  ObjectRecord *keep = t.at(1), *drop = t.at(2), *keep2 = t.at(3), *drop2 = t.at(4);
  keep->support = drop;
  keep2->facedObject = drop2;
  t.game.script.queue.addLast(ScriptQueueEntry{nullptr, drop, 0});
  t.game.script.camera.lookAt = drop2;
  deleteObjectsWhere(t.game.world, t.game.script, [](const ObjectRecord& o) { return o.name.rfind("drop", 0) == 0; });
  EXPECT_EQ(t.names(), (std::vector<std::string>{"you", "keep", "keep2"}));
  EXPECT_EQ(keep->support, nullptr);
  EXPECT_TRUE(keep->has(flag::Airborne));
  EXPECT_EQ(keep2->facedObject, nullptr);
  EXPECT_EQ(t.game.script.queue.front()->object, nullptr);
  EXPECT_EQ(t.game.script.camera.lookAt, nullptr);
  EXPECT_EQ(t.world.objects.current(), nullptr);
}

TEST(SortObjects, OrdersByZThenPriorityThenYAndStaysStable) {
  struct Made {
    const char* name;
    float z;
    int8_t priority;
    float y;
  };
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const Made made[] = {
      {"near", 0.0f, 0, 0.0f},  {"farLow", 100.0f, 0, 10.0f}, {"farHigh", 100.0f, 0, 50.0f},
      {"farPri", 100.0f, 2, -5.0f}, {"negPri", 100.0f, -3, 99.0f}, {"tieA", 50.0f, 1, 1.0f},
      {"nanZ", nan, 0, 0.0f},   {"tieB", 50.0f, 1, 1.0f},      {"nanY", 50.0f, 1, nan},
  };
  std::vector<std::string> names;
  for (const Made& s : made) names.push_back(s.name);
  TestWorld t(names);
  std::size_t i = 1;
  for (const Made& s : made) {
    ObjectRecord* o = t.at(i++);
    o->z = s.z;
    o->priority = s.priority;
    o->y = s.y;
  }
  sortObjects(t.world);
  EXPECT_EQ(t.names(), (std::vector<std::string>{"you", "farPri", "farHigh", "farLow", "negPri",
                                                 "tieA", "tieB", "nanY", "near", "nanZ"}));
}

TEST(SortObjects, LeavesThePlayerAndObjectsPastTheCountAlone) {
  TestWorld t({"a", "b", "c"});
  t.world.player->z = -1000.0f;
  t.at(1)->z = 1.0f;
  t.at(2)->z = 2.0f;
  t.at(3)->z = 3.0f;
  t.world.objectCount = 2;
  sortObjects(t.world);
  EXPECT_EQ(t.names(), (std::vector<std::string>{"you", "b", "a", "c"}));
}

// The sorts against a plain stable sort with the comparison written out, on
// objects with few distinct keys (ties everywhere, both zeros, NaNs and
// infinities); the sort with the lay-out of the zone load against the two
// done one after the other.
TEST(SortObjects, AgreesWithAPlainStableSortAndTheLoadsSortAndLayOut) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float inf = std::numeric_limits<float>::infinity();
  const float depths[] = {0.0f, -0.0f, 100.0f, -50.0f, nan, inf, -inf, 100.0f};
  const int8_t priorities[] = {0, 0, 3, -3, 127, -128};
  const float heights[] = {0.0f, -0.0f, 10.0f, 10.0f, -10.0f, nan, 1e-30f, 2.5f};
  uint32_t seed = 5;
  const auto next = [&seed](uint32_t range) {
    seed = seed * 1103515245u + 12345u;
    return (seed >> 8) % range;
  };
  // Every third round long enough to be sorted and laid out by digits.
  for (int round = 0; round < 12; ++round) {
    SCOPED_TRACE(round);
    const std::size_t count = (round % 3 == 2 ? 1500 : 2) + next(250);
    struct Made {
      std::string name;
      float z, y;
      int8_t priority;
      bool persists;
    };
    std::vector<Made> made;
    std::vector<std::string> names;
    for (std::size_t i = 0; i < count; ++i) {
      made.push_back(Made{"o" + std::to_string(i), depths[next(std::size(depths))], heights[next(std::size(heights))],
                           priorities[next(std::size(priorities))], next(9) == 0});
      names.push_back(made.back().name);
    }
    std::vector<Made> expected = made;
    const auto key = [inf](float v) { return std::isnan(v) ? -inf : v; };
    std::stable_sort(expected.begin(), expected.end(), [&key](const Made& a, const Made& b) {
      if (key(a.z) != key(b.z)) return key(a.z) > key(b.z);
      if (a.priority != b.priority) return a.priority > b.priority;
      return key(a.y) > key(b.y);
    });
    std::vector<std::string> expectedNames{"you"};
    for (const Made& s : expected) expectedNames.push_back(s.name);

    TestWorld apart(names), together(names), sorted(names);
    for (TestWorld* t : {&apart, &together, &sorted}) {
      for (std::size_t i = 0; i < count; ++i) {
        ObjectRecord* o = t->at(i + 1);
        o->z = made[i].z;
        o->y = made[i].y;
        o->priority = made[i].priority;
        if (made[i].persists) o->persistGroup = "kept";
        o->support = t->at(1 + (i * 7) % count);  // references to follow through the moves
      }
    }
    sortObjects(sorted.world);
    EXPECT_EQ(sorted.names(), expectedNames);
    sortObjects(apart.world);
    layOutObjects(apart.world, apart.game.script);
    sortAndLayOutObjects(together.world, together.game.script);
    EXPECT_EQ(apart.names(), expectedNames);
    EXPECT_EQ(together.names(), expectedNames);
    const ObjectRecord* last = nullptr;
    for (std::size_t i = 1; i <= count; ++i) {
      const ObjectRecord* a = apart.at(i);
      const ObjectRecord* b = together.at(i);
      ASSERT_NE(b->support, nullptr);
      EXPECT_EQ(b->support->name, a->support->name) << i;
      if (b->persistGroup.empty()) {
        if (last) {
          EXPECT_LT(last, b) << i;
        }
        last = b;
      }
    }
  }
}

TEST(LayOutObjects, KeepsTheOrderAndMovesEveryReference) {
  TestWorld t({"a", "b", "c", "d", "e", "kept"});
  Game& g = t.game;
  for (std::size_t i = 1; i <= 6; ++i) t.at(i)->z = static_cast<float>(i);
  t.at(6)->persistGroup = "gang";
  ObjectRecord* const kept = t.at(6);
  sortObjects(t.world);  // kept e d c b a: the reverse of memory order
  ObjectRecord* player = t.world.player;
  auto byName = [&t](const std::string& n) {
    for (ObjectRecord& o : t.world.objects) {
      if (o.name == n) return &o;
    }
    return static_cast<ObjectRecord*>(nullptr);
  };
  byName("a")->support = byName("e");
  byName("b")->facedObject = byName("d");
  player->support = byName("c");
  g.script.wordBoxes.addLast(WordBox{"SIGN", 0, 0, 0, 0, 0, 0, 0, -1, 0, byName("e")});
  g.script.queue.addLast(ScriptQueueEntry{nullptr, byName("d"), 5});
  g.script.camera.lookAt = byName("a");
  g.script.scriptResumeObject = byName("b");
  t.world.currentCheckpoint = byName("e");
  t.world.lastBounceObject = byName("a");

  layOutObjects(t.world, g.script);

  EXPECT_EQ(t.names(), (std::vector<std::string>{"you", "kept", "e", "d", "c", "b", "a"}));
  EXPECT_EQ(t.world.player, player);
  EXPECT_EQ(t.at(1), kept);  // a persist group's record stays the same record
  for (std::size_t i = 3; i <= 6; ++i) EXPECT_LT(t.at(i - 1), t.at(i));
  // What a walk reads of an object at rest lies in one cache line of its node,
  // and what the step reads of a moving one and the drawing of a block in the next.
  for (const ObjectRecord& o : t.world.objects) {
    const auto line = [](const void* p) { return reinterpret_cast<std::uintptr_t>(p) / 64; };
    EXPECT_EQ(line(&o.flags), line(reinterpret_cast<const char*>(&o.z) + sizeof o.z - 1));
    EXPECT_EQ(line(&o.flags) + 1, line(&o.support));
    EXPECT_EQ(line(&o.support), line(reinterpret_cast<const char*>(&o.colour2) + sizeof o.colour2 - 1));
  }
  EXPECT_EQ(byName("a")->support->name, "e");
  EXPECT_EQ(byName("b")->facedObject->name, "d");
  EXPECT_EQ(player->support->name, "c");
  EXPECT_EQ(g.script.wordBoxes.front()->object, byName("e"));
  EXPECT_EQ(g.script.queue.front()->object, byName("d"));
  EXPECT_EQ(g.script.camera.lookAt, byName("a"));
  EXPECT_EQ(g.script.scriptResumeObject, byName("b"));
  EXPECT_EQ(t.world.currentCheckpoint, byName("e"));
  EXPECT_EQ(t.world.lastBounceObject, byName("a"));
  // Every object but the player faces the player, as new blocks do.
  for (std::size_t i = 1; i <= 6; ++i) {
    if (t.at(i)->name != "b") {
      EXPECT_EQ(t.at(i)->facedObject, player);
    }
  }
}

}  // namespace
}  // namespace zor
