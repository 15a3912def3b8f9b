#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "game/world/areas_camera.h"
#include "tests/game/script/script_test_support.h"

namespace zor {
namespace {

using testing::ScriptHarness;

// A block "eye" and a sub "s" holding the statements under test; "w" waits.
std::string cameraZone(const std::string& sub) {
  return "<zorlan version=\"1\"><zone id=\"first\" zoom=\"100\"><levels><level z=\"0\"/></levels>"
         "<entrance x=\"0\" y=\"0\" level=\"0\"/>"
         "<block oname=\"eye\" x=\"100\" y=\"50\" w=\"20\" h=\"20\" level=\"0\"/>"
         "<start></start><sub id=\"s\">" + sub + "</sub>"
         "<sub id=\"end\"><sound num=\"1\"/></sub></zone></zorlan>";
}

struct CameraHarness : ScriptHarness {
  explicit CameraHarness(const std::string& sub) : ScriptHarness(cameraZone(sub)) {}
  CameraOverride& cam() { return s().camera; }
};

TEST(CameraStatement, SetsTheOverridesInOrder) {
  const struct {
    const char* attrs;
    float distance, slow;
    bool snap, locked;
    const char* lookAt;  // "" none
  } cases[] = {
      {"zoom=\"60\"", 60.0f, 0.0f, false, false, ""},
      {"zoom=\"-30\"", -30.0f, 0.0f, false, false, ""},  // as written, no absolute value
      {"zoom=\"wide\"", 0.0f, 0.0f, false, false, ""},
      {"zoom=\"nan\"", 0.0f, 0.0f, false, false, ""},
      {"zoom=\"inf\"", 1000000.0f, 0.0f, false, false, ""},
      {"slow=\"20\"", 0.0f, 20.0f, false, false, ""},
      {"slow=\"-\"", 0.0f, 0.0f, false, false, ""},
      {"slow=\"0.2\"", 0.0f, 1.0f, false, false, ""},   // would overshoot ever further
      {"slow=\"-3\"", 0.0f, 1.0f, false, false, ""},
      {"slow=\"nan\"", 0.0f, 0.0f, false, false, ""},
      {"fast=\"YES\"", 0.0f, 0.0f, true, false, ""},
      {"fast=\"2\"", 0.0f, 0.0f, false, false, ""},
      {"lookat=\"eye\"", 0.0f, 0.0f, false, false, "eye"},
      {"lookat=\"EYE\"", 0.0f, 0.0f, false, false, ""},  // names compared exactly
      {"lookat=\"you\"", 0.0f, 0.0f, false, false, "you"},
      {"lookat=\"eye\" lock=\"1\"", 0.0f, 0.0f, false, true, "eye"},
      {"lock=\"$10\"", 0.0f, 0.0f, false, true, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.attrs);
    CameraHarness h(std::string("<camera ") + c.attrs + "/><wait frames=\"5\"/>");
    h.run("s");  // waits, so the script has not ended
    EXPECT_EQ(h.cam().scriptDistance, c.distance);
    EXPECT_EQ(h.cam().slowDivisor, c.slow);
    EXPECT_EQ(h.cam().snap, c.snap);
    EXPECT_EQ(h.cam().locked, c.locked);
    ObjectRecord* expected = *c.lookAt ? h.object(c.lookAt) : nullptr;
    EXPECT_EQ(h.cam().lookAt, expected);
  }
}

TEST(CameraStatement, EmptyAttributesLeaveTheFields) {
  CameraHarness h("<camera zoom=\"\" slow=\"\" fast=\"\" lookat=\"\" lock=\"\"/><wait frames=\"5\"/>");
  h.cam() = CameraOverride{60.0f, h.object("eye"), 4.0f, true, true};
  h.run("s");
  EXPECT_EQ(h.cam().scriptDistance, 60.0f);
  EXPECT_EQ(h.cam().lookAt, h.object("eye"));
  EXPECT_EQ(h.cam().slowDivisor, 4.0f);
  EXPECT_TRUE(h.cam().snap);
  EXPECT_TRUE(h.cam().locked);
}

TEST(CameraStatement, ALaterLookAtUnlocks) {
  CameraHarness h("<camera lookat=\"eye\" zoom=\"60\" lock=\"1\"/>");
  h.run("s");
  EXPECT_EQ(h.cam().scriptDistance, 60.0f);  // locked: kept past the end
  EXPECT_EQ(h.cam().lookAt, h.object("eye"));
  CameraHarness h2("<camera lookat=\"-\"/>");
  h2.cam() = CameraOverride{60.0f, h2.object("eye"), 0.0f, false, true};
  h2.run("s");
  EXPECT_FALSE(h2.cam().locked);
  EXPECT_EQ(h2.cam().lookAt, nullptr);   // unlocked, and the end of the script cleared it
  EXPECT_EQ(h2.cam().scriptDistance, 0.0f);
}

TEST(CameraStatement, OverridesLastUntilTheScriptEnds) {
  CameraHarness h("<camera zoom=\"60\" slow=\"20\" lookat=\"eye\" fast=\"1\"/><wait frames=\"2\"/>");
  h.run("s");
  EXPECT_EQ(h.cam().scriptDistance, 60.0f);
  h.frame(2);  // resumes and ends
  EXPECT_EQ(h.s().runningScript, nullptr);
  EXPECT_EQ(h.cam().scriptDistance, 0.0f);
  EXPECT_EQ(h.cam().lookAt, nullptr);
  EXPECT_EQ(h.cam().slowDivisor, 0.0f);
  EXPECT_TRUE(h.cam().snap);  // the end of a script leaves the snap flag
}

TEST(CameraStatement, TheWorldCameraFollowsTheOverrides) {
  CameraHarness h("<camera zoom=\"60\" lookat=\"eye\" fast=\"1\" lock=\"1\"/>");
  h.run("s");
  stepAreasAndCamera(h.g());
  const Vec3& cam = h.g().world.cameraPosition;
  EXPECT_EQ(cam.x, 110.0f);
  EXPECT_EQ(cam.y, 60.0f);
  EXPECT_EQ(cam.z, h.object("eye")->z - 60.0f);
}

TEST(CameraStatement, ADeletedLookAtObjectIsDroppedAndThePlayerFollowed) {
  CameraHarness h("<camera lookat=\"eye\" fast=\"1\" lock=\"1\"/>");
  h.run("s");
  ASSERT_NE(h.cam().lookAt, nullptr);
  ASSERT_NE(findObject(h.g().world, "eye"), nullptr);
  deleteObjectsWhere(h.g().world, h.g().script, [](const ObjectRecord& o) { return o.name == "eye"; });
  EXPECT_EQ(h.cam().lookAt, nullptr);
  stepAreasAndCamera(h.g());  // follows the player; nothing dangling is read
  const ObjectRecord* p = h.g().world.player;
  EXPECT_EQ(h.g().world.cameraPosition.x, p->x + p->w * 0.5f);
}

TEST(CameraStatement, ExtremeValuesKeepTheCameraFinite) {
  for (const char* attrs : {"zoom=\"1e38\"", "zoom=\"-inf\"", "slow=\"1e-30\"", "slow=\"-1e30\"", "slow=\"inf\""}) {
    SCOPED_TRACE(attrs);
    CameraHarness h(std::string("<camera lock=\"1\" ") + attrs + "/>");
    h.run("s");
    for (int i = 0; i < 200; ++i) stepAreasAndCamera(h.g());
    const Vec3& cam = h.g().world.cameraPosition;
    EXPECT_TRUE(std::isfinite(cam.x) && std::isfinite(cam.y) && std::isfinite(cam.z));
  }
}

}  // namespace
}  // namespace zor
