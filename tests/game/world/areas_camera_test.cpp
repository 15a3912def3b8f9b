#include "game/world/areas_camera.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "format/values.h"
#include "game/world/objects.h"
#include "tests/game/world/play_test_support.h"

namespace zor {
namespace {

using testing::PlayHarness;
using testing::playZone;
using Strings = std::vector<std::string>;

constexpr uint32_t kInside = 0x1;

// The areas' half of the world step on its own, with the player placed by hand:
// per frame the controls are read, the queue service runs what the last frame
// queued, the player is put at x (y 0) and the areas, camera and fade step.
struct AreaDriver {
  PlayHarness h;
  explicit AreaDriver(const std::string& zone) : h(zone) {}

  // One frame per character: 'o' outside (x 0), 'i' inside (x 150), 'A' inside
  // with ACTION down. A final frame runs what the last one queued.
  void walk(const std::string& path) {
    for (char ch : path) {
      if (ch == 'A') {
        h.input({control::Action});
      } else {
        h.input({});
      }
      serviceScriptQueue(h.g());
      place(ch == 'o' ? 0.0f : 150.0f);
      stepAreasAndCamera(h.g());
    }
    h.input({});
    serviceScriptQueue(h.g());
  }
  void place(float x, float y = 0.0f) {
    h.player().x = x;
    h.player().y = y;
  }
  AreaRecord& area(int i = 0) {
    auto it = h.world().areas.begin();
    std::advance(it, i);
    return *it;
  }
};

// An area over x 100..200, y 0..100, with `attrs`, and scripts that trace
// "enter", "exit" and "action" with the given `times` attributes ("" for none).
std::string tracedArea(const std::string& attrs, const std::string& enterTimes, const std::string& exitTimes,
                       const std::string& actionTimes) {
  auto script = [](const char* name, const std::string& times) {
    std::string t = times.empty() ? "" : " times=\"" + times + "\"";
    return std::string("<") + name + t + "><sound num=\"" + name + "\"/></" + name + ">";
  };
  return "<area xlim=\"100,200\" ylim=\"0,100\" " + attrs + ">" + script("enter", enterTimes) +
         script("exit", exitTimes) + script("action", actionTimes) + "</area>";
}

struct AreaCase {
  const char* name;
  const char* attrs;
  const char* enterTimes;
  const char* exitTimes;
  const char* actionTimes;
  const char* path;
  Strings expected;
};

TEST(Areas, EnterExitAndActionCounts) {
  const AreaCase cases[] = {
      {"unlimited", "", "", "", "", "oioio", {"enter", "exit", "enter", "exit"}},
      {"staying inside enters once", "", "", "", "", "oiiiii", {"enter"}},
      {"enter once", "", "1", "", "", "oioioi", {"enter", "exit", "exit"}},
      {"exit once", "", "", "1", "", "oioio", {"enter", "exit", "enter"}},
      {"times 0 never runs", "", "0", "0", "0", "oiAio", {}},
      {"times - is unlimited", "", "-", "-", "-", "oioio", {"enter", "exit", "enter", "exit"}},
      {"action on new presses only", "", "", "", "", "iAiAA", {"enter", "action", "action"}},
      {"action counted", "", "", "", "2", "iAiAiA", {"enter", "action", "action"}},
      {"no action in the entering frame", "", "", "", "", "oAAiA", {"enter", "action"}},
      {"other level", "level=\"1\"", "", "", "", "oiAo", {}},
      {"every level", "level=\"-1\"", "", "", "", "oio", {"enter", "exit"}},
      {"own level", "level=\"0\"", "", "", "", "oio", {"enter", "exit"}},
  };
  for (const AreaCase& c : cases) {
    AreaDriver d(playZone(tracedArea(c.attrs, c.enterTimes, c.exitTimes, c.actionTimes)));
    d.walk(c.path);
    EXPECT_EQ(d.h.trace(), c.expected) << c.name;
  }
}

TEST(Areas, CountsDropOnlyWhenPositive) {
  AreaDriver d(playZone(tracedArea("", "2", "-", "1")));
  d.walk("iAoi");
  EXPECT_EQ(d.area().enterTimes, 0);
  EXPECT_EQ(d.area().exitTimes, -1);
  EXPECT_EQ(d.area().actionTimes, 0);
  EXPECT_EQ(d.area().flags & kInside, kInside);
}

TEST(Areas, InsideNeedsMoreThanATouch) {
  struct Touch {
    float x, y;
    bool inside;
  };
  // Player 20 x 20; area x 100..200, y 0..100.
  const Touch cases[] = {
      {80.0f, 0.0f, false},   // right edge on x1
      {80.001f, 0.0f, true},
      {200.0f, 0.0f, false},  // left edge on x2
      {199.9f, 0.0f, true},
      {150.0f, -20.0f, false},  // top on y1
      {150.0f, 100.0f, false},  // bottom on y2
      {150.0f, 99.9f, true},
  };
  for (const Touch& c : cases) {
    AreaDriver d(playZone(tracedArea("", "", "", "")));
    d.place(c.x, c.y);
    stepAreasAndCamera(d.h.g());
    EXPECT_EQ((d.area().flags & kInside) != 0, c.inside) << c.x << "," << c.y;
  }
}

TEST(Areas, ActionIsLostWhileAScriptRuns) {
  // The start script waits 5 frames, so a script is running meanwhile.
  AreaDriver d(playZone("<start><wait frames=\"5\"/></start>" + tracedArea("", "", "", "")));
  ASSERT_NE(d.h.g().script.runningScript, nullptr);
  d.walk("iA");
  EXPECT_EQ(d.area().actionTimes, -1);
  EXPECT_EQ(d.h.trace(), Strings{});  // the enter script waits in the queue too
  d.walk("iiiiiA");
  EXPECT_EQ(d.h.g().script.runningScript, nullptr);
  EXPECT_EQ(d.h.trace(), (Strings{"enter", "action"}));
}

TEST(Areas, ScriptsGetTheNamedObject) {
  // The area takes the box's rectangle; its scripts run for the box.
  const std::string zone = playZone(
      "<block oname=\"box\" x=\"100\" y=\"0\" w=\"100\" h=\"100\"/>"
      "<area oname=\"box\"><enter><sound num=\"in\"/></enter><exit><sound num=\"out\"/></exit></area>");
  AreaDriver d(zone);
  EXPECT_EQ(d.area().x1, 100.0f);
  EXPECT_EQ(d.area().x2, 200.0f);
  d.walk("oio");
  EXPECT_EQ(d.h.trace(), (Strings{"in@box", "out@box"}));
}

TEST(Areas, ADeletedObjectIsNotHandedToTheScripts) {
  const std::string zone = playZone(
      "<block oname=\"box\" x=\"100\" y=\"0\" w=\"100\" h=\"100\"/>"
      "<area oname=\"box\"><enter><sound num=\"in\"/></enter><exit><sound num=\"out\"/></exit></area>");
  AreaDriver d(zone);
  d.walk("oi");
  EXPECT_EQ(d.h.trace(), Strings{"in@box"});
  // The box goes while the exit script is still to come.
  ASSERT_NE(findObject(d.h.world(), "box"), nullptr);
  deleteObjectsWhere(d.h.g().world, d.h.g().script, [](const ObjectRecord& o) { return o.name == "box"; });
  ASSERT_EQ(findObject(d.h.world(), "box"), nullptr);
  d.walk("oi");
  EXPECT_EQ(d.h.trace(), (Strings{"in@box", "out", "in"}));
}

TEST(Areas, DeadlyAreaKillsEveryFrameAndRunsNoScripts) {
  // With a death script: it runs at once, once per frame inside.
  {
    AreaDriver d(playZone("<death><sound num=\"died\"/></death>" + tracedArea("flg=\"deadly\"", "", "", "")));
    d.walk("oiiAo");
    EXPECT_EQ(d.h.trace(), (Strings{"died", "died", "died"}));
    EXPECT_EQ(d.area().flags & kInside, 0u);
    EXPECT_FALSE(d.h.world().playerDead);
  }
  // Without: the death waits for the player-control step; the player blinks.
  {
    AreaDriver d(playZone(tracedArea("flg=\"deadly\"", "", "", "")));
    d.walk("o");
    EXPECT_FALSE(d.h.world().playerDead);
    d.h.g().app.playerBlinkPending = 0;
    d.walk("i");
    EXPECT_TRUE(d.h.world().playerDead);
    EXPECT_EQ(d.h.g().app.playerBlinkPending, 1);
    EXPECT_EQ(d.area().flags & kInside, 0u);
    EXPECT_EQ(d.h.trace(), Strings{});
  }
}

// ----- Area colours ---------------------------------------------------------

TEST(Areas, ColourStartsFadesOnEnteringAndLeaving) {
  AreaDriver d(playZone(tracedArea("color=\"AABBCC\"", "", "", "")));
  World& w = d.h.world();
  const int32_t levelColour = format::readColour("102030");
  const int32_t areaColour = format::readColour("AABBCC");
  // A settled background of the level's colour.
  w.backgroundColour = w.fadeFromColour = w.fadeTargetColour = levelColour;
  w.fadeAmount = 0.0f;

  struct Step {
    char where;
    int32_t from, target, background;
    float amount;  // after the frame's fade step
  };
  const Step steps[] = {
      {'o', levelColour, levelColour, levelColour, 0.0f},
      {'i', levelColour, areaColour, levelColour, 0.9f},  // starts from what is shown
      {'i', levelColour, areaColour, -1, 0.9f * 0.9f},   // no restart while inside
      {'o', -1, levelColour, -1, 0.9f},                  // back to the level's colour
  };
  int32_t shownBefore = w.backgroundColour;
  for (const Step& s : steps) {
    d.walk(std::string(1, s.where));
    EXPECT_EQ(w.fadeTargetColour, s.target) << s.where;
    EXPECT_EQ(w.fadeFromColour, s.from == -1 ? shownBefore : s.from) << s.where;
    if (s.background != -1) {
      EXPECT_EQ(w.backgroundColour, s.background) << s.where;
    }
    EXPECT_EQ(w.fadeAmount, s.amount) << s.where;
    shownBefore = w.backgroundColour;
  }
}

TEST(Areas, ColourOfTheCurrentTargetStartsNoFade) {
  AreaDriver d(playZone(tracedArea("color=\"102030\"", "", "", "")));
  World& w = d.h.world();
  w.backgroundColour = w.fadeFromColour = w.fadeTargetColour = format::readColour("102030");
  w.fadeAmount = 0.0f;
  d.walk("oi");
  EXPECT_EQ(w.fadeAmount, 0.0f);
}

TEST(Areas, DeadlyAreaColourStillFades) {
  AreaDriver d(playZone("<death/>" + tracedArea("flg=\"deadly\" color=\"AABBCC\"", "", "", "")));
  World& w = d.h.world();
  w.fadeAmount = 0.0f;
  d.walk("i");
  EXPECT_EQ(w.fadeTargetColour, format::readColour("AABBCC"));
}

TEST(Areas, LeavingWithTheLevelOutsideTheTableKeepsTheTarget) {
  AreaDriver d(playZone(tracedArea("color=\"AABBCC\"", "", "", "")));
  World& w = d.h.world();
  d.walk("i");
  d.h.player().level = 9;  // no such level
  w.fadeAmount = 0.0f;
  d.walk("o");
  EXPECT_EQ(w.fadeTargetColour, format::readColour("AABBCC"));
  EXPECT_EQ(w.fadeAmount, 0.0f);
  EXPECT_EQ(d.area().flags & kInside, 0u);
}

// ----- Area camera distance -------------------------------------------------

TEST(Areas, CameraDistanceByZoomCount) {
  struct ZoomCase {
    const char* zoom;
    const char* xlim;
    float playerX;
    float expected;
  };
  // Player 20 wide; the area is 0..100 unless said otherwise.
  const ZoomCase cases[] = {
      {"", "0,100", 50.0f, 0.0f},
      {"50", "0,100", 50.0f, 50.0f},
      {"-50", "0,100", 50.0f, 50.0f},  // absolute values
      {"50,150", "0,100", 25.0f, 75.0f},
      {"50,150", "0,100", 75.0f, 125.0f},
      {"50,150", "0,100", -10.0f, 50.0f},  // t below 0 counts as 0
      {"50,150,250", "0,100", 25.0f, 100.0f},
      {"50,150,250", "0,100", 50.0f, 150.0f},  // t 0.5 is still the first half
      {"50,150,250", "0,100", 75.0f, 200.0f},
      {"50,150,250", "0,100", -10.0f, 50.0f},
      {"50,150", "100,100", 90.0f, 50.0f},  // zero width: t counts as 0
      {"50,150,250", "100,100", 90.0f, 50.0f},
  };
  for (const ZoomCase& c : cases) {
    std::string attrs = std::string("xlim=\"") + c.xlim + "\" ylim=\"0,100\"";
    if (*c.zoom) attrs += std::string(" zoom=\"") + c.zoom + "\"";
    PlayHarness h(playZone("<area " + attrs + "/>"));
    h.player().x = c.playerX;
    h.player().y = 0.0f;
    stepAreasAndCamera(h.g());
    ASSERT_EQ(h.world().areas.front()->flags & kInside, kInside) << c.zoom << " at " << c.playerX;
    EXPECT_EQ(h.world().areaCameraDistance, c.expected) << c.zoom << " at " << c.playerX;
  }
}

TEST(Areas, LaterAreaSetsTheDistanceAndLeavingClearsIt) {
  PlayHarness h(playZone("<area xlim=\"0,100\" ylim=\"0,100\" zoom=\"60\"/>"
                         "<area xlim=\"0,100\" ylim=\"0,100\" zoom=\"70\"/>"
                         "<area xlim=\"0,100\" ylim=\"0,100\"/>"));
  h.player().x = 50.0f;
  h.player().y = 0.0f;
  stepAreasAndCamera(h.g());
  EXPECT_EQ(h.world().areaCameraDistance, 70.0f);
  h.player().x = 500.0f;
  stepAreasAndCamera(h.g());
  EXPECT_EQ(h.world().areaCameraDistance, 0.0f);
}

// ----- Camera ---------------------------------------------------------------

TEST(Camera, DistanceChoice) {
  struct DistanceCase {
    const char* name;
    float scriptDistance;
    bool area;  // the player stands in an area with zoom 60
    bool zoomHeld;
    bool scriptRunning;
    float expected;
  };
  const DistanceCase cases[] = {
      {"zone", 0.0f, false, false, false, 120.0f},
      {"zoom key", 0.0f, false, true, false, 40.0f},
      {"zoom key while a script runs", 0.0f, false, true, true, 120.0f},
      {"area over zoom key", 0.0f, true, true, false, 60.0f},
      {"script over area", 30.0f, true, true, false, 30.0f},
      {"script alone", 30.0f, false, false, true, 30.0f},
  };
  for (const DistanceCase& c : cases) {
    PlayHarness h(playZone("<area xlim=\"1000,1100\" ylim=\"0,100\" zoom=\"60\"/>", "zoom=\"120\""));
    Game& g = h.g();
    h.player().x = c.area ? 1050.0f : 0.0f;
    h.player().y = 0.0f;
    h.player().z = 5.0f;
    g.script.camera.scriptDistance = c.scriptDistance;
    g.script.runningScript = c.scriptRunning ? g.world.currentZoneNode : nullptr;
    if (c.scriptRunning) {
      ASSERT_NE(g.script.runningScript, nullptr);
    }
    h.input(c.zoomHeld ? std::vector<int>{control::Zoom} : std::vector<int>{});
    stepAreasAndCamera(g);
    EXPECT_EQ(g.world.cameraTarget.z, 5.0f - c.expected) << c.name;
  }
}

TEST(Camera, EasesTowardTheFocus) {
  struct EaseCase {
    const char* name;
    float speed;
    bool snap;
    Vec3 expected;  // from (0, 0, 0) toward (80, 40, -100)
  };
  const EaseCase cases[] = {
      {"default", 0.0f, false, {80.0f * 0.125f, 40.0f * 0.2f, -100.0f * 0.1f}},
      {"speed 1 reaches the target", 1.0f, false, {80.0f, 40.0f, -100.0f}},
      {"speed 4", 4.0f, false, {20.0f, 10.0f, -25.0f}},
      {"snap", 0.0f, true, {80.0f, 40.0f, -100.0f}},
      {"snap over speed", 4.0f, true, {80.0f, 40.0f, -100.0f}},
  };
  for (const EaseCase& c : cases) {
    PlayHarness h(playZone(""));
    Game& g = h.g();
    h.player().x = 70.0f;
    h.player().y = 30.0f;
    h.player().z = 0.0f;
    g.world.cameraPosition = Vec3{};
    g.script.camera.slowDivisor = c.speed;
    g.script.camera.snap = c.snap;
    stepAreasAndCamera(g);
    EXPECT_EQ(g.world.cameraTarget.x, 80.0f) << c.name;
    EXPECT_EQ(g.world.cameraTarget.y, 40.0f) << c.name;
    EXPECT_EQ(g.world.cameraTarget.z, -100.0f) << c.name;
    EXPECT_EQ(g.world.cameraPosition.x, c.expected.x) << c.name;
    EXPECT_EQ(g.world.cameraPosition.y, c.expected.y) << c.name;
    EXPECT_EQ(g.world.cameraPosition.z, c.expected.z) << c.name;
  }
}

TEST(Camera, EasingIsGeometricOverFrames) {
  PlayHarness h(playZone(""));
  Game& g = h.g();
  h.player().x = -10.0f;  // centre x 0
  h.player().y = 54.0f;   // centre y 64
  h.player().z = 0.0f;
  g.world.cameraPosition = Vec3{0.0f, 0.0f, -100.0f};
  // y moves by a fifth of what is left: 64 * 0.2 = 12.8 first.
  float y = 0.0f;
  for (int i = 0; i < 10; ++i) {
    stepAreasAndCamera(g);
    y = y + (64.0f - y) * 0.2f;
    EXPECT_EQ(g.world.cameraPosition.y, y) << "frame " << i;
    EXPECT_EQ(g.world.cameraPosition.x, 0.0f);
    EXPECT_EQ(g.world.cameraPosition.z, -100.0f);
  }
}

TEST(Camera, FollowsTheLookAtObjectUntilItIsDeleted) {
  PlayHarness h(playZone("<block oname=\"eye\" x=\"300\" y=\"100\" w=\"40\" h=\"10\"/>"));
  Game& g = h.g();
  g.script.camera.lookAt = findObject(g.world, "eye");
  ASSERT_NE(g.script.camera.lookAt, nullptr);
  g.script.camera.snap = true;
  h.player().x = 0.0f;
  h.player().y = 0.0f;
  stepAreasAndCamera(g);
  EXPECT_EQ(g.world.cameraPosition.x, 320.0f);
  EXPECT_EQ(g.world.cameraPosition.y, 105.0f);
  // The object goes; the camera goes back to the player.
  ASSERT_NE(findObject(g.world, "eye"), nullptr);
  deleteObjectsWhere(g.world, g.script, [](const ObjectRecord& o) { return o.name == "eye"; });
  stepAreasAndCamera(g);
  EXPECT_EQ(g.world.cameraPosition.x, 10.0f);
  EXPECT_EQ(g.world.cameraPosition.y, 10.0f);
}

TEST(Camera, NoPlayerLeavesTheCameraAlone) {
  PlayHarness h(playZone("<area xlim=\"-100,100\" ylim=\"-100,100\"><enter><sound num=\"x\"/></enter></area>"));
  Game& g = h.g();
  g.world.cameraPosition = Vec3{1.0f, 2.0f, 3.0f};
  g.world.player = nullptr;
  stepAreasAndCamera(g);
  EXPECT_EQ(g.world.cameraPosition.x, 1.0f);
  EXPECT_EQ(g.world.cameraPosition.z, 3.0f);
  EXPECT_TRUE(g.script.queue.empty());
}

// ----- Background fade ------------------------------------------------------

TEST(BackgroundFade, WhiteToBlackSequence) {
  PlayHarness h(playZone(""));
  World& w = h.world();
  w.fadeFromColour = 0xFFFFFF;
  w.fadeTargetColour = 0x000000;
  w.fadeAmount = 1.0f;
  const int expected[] = {255, 229, 206, 185, 167, 150, 135, 121, 109, 98, 88, 80, 72, 64, 58, 52,
                          47,  42,  38,  34,  31,  27,  25,  22,  20,  18, 16, 14, 13, 12, 10, 9,
                          8,   7,   7,   6,   5,   5,   4,   4,   3,   3,  3,  2,  0,  0};
  for (int i = 0; i < static_cast<int>(std::size(expected)); ++i) {
    stepAreasAndCamera(h.g());
    const int v = expected[i];
    EXPECT_EQ(w.backgroundColour, v | (v << 8) | (v << 16)) << "frame " << i + 1;
  }
}

TEST(BackgroundFade, ChannelsBlendApartAndTruncateTowardTheTarget) {
  struct FadeCase {
    int32_t from, target;
    float amount;
    int32_t expected;
  };
  const FadeCase cases[] = {
      {0x000000, 0xFFFFFF, 0.9f, 0x1A1A1A},  // 255 + trunc(-229.5) = 26
      {0x0000FF, 0xFF0000, 0.5f, 0x80007F},  // red 0 + 127, blue 255 - 127
      {0x102030, 0x102030, 1.0f, 0x102030},
      {0x123456, 0xABCDEF, 0.011f, 0xAACCEE},  // still fading just above 0.01
      {0x123456, 0xABCDEF, 0.01f, 0xABCDEF},   // done: the target as it is
  };
  for (const FadeCase& c : cases) {
    PlayHarness h(playZone(""));
    World& w = h.world();
    w.fadeFromColour = c.from;
    w.fadeTargetColour = c.target;
    w.fadeAmount = c.amount;
    stepAreasAndCamera(h.g());
    EXPECT_EQ(w.backgroundColour, c.expected) << std::hex << c.from << "->" << c.target;
  }
}

}  // namespace
}  // namespace zor
