// Clean Motion Attributes: which attributes go for each combination of the
// block's Cyclic and Motion boxes, and an area following a named block.
#include "editor/core/motion_cleanup.h"

#include <gtest/gtest.h>

#include "editor/core/selection.h"
#include "tests/editor/core/canvas_fixture.h"

namespace zor::editor::test {
namespace {

class MotionCleanupTest : public CanvasTest {
 protected:
  static constexpr const char* kAll =
      " x=\"1\" y=\"2\" w=\"3\" h=\"4\" xlim=\"0,5\" ylim=\"0,6\" wave=\"saw\" freq=\"1\" fall=\"1\" smp=\"1\""
      " duty=\"1\" count=\"1\" phase=\"1\" grav=\"1\"";
  std::string attributes(const std::string& name) {
    std::string out;
    for (const auto& a : byName(name)->node->attributes) out += std::string(a.name) + " ";
    return out;
  }
};

TEST_F(MotionCleanupTest, BlockLosesWhatItsFlagsLeaveUnused) {
  const struct {
    const char* flg;
    const char* kept;
    const char* status;
  } cases[] = {
      {"solid", "oname flg x y w h ", "Cleared cyclic and motion attributes."},
      {"cyclic", "oname flg x y w h wave freq fall smp duty count phase grav ", "Cleared motion attributes."},
      {"motion", "oname flg w h xlim ylim ", "Cleared cyclic and x/y attributes."},
      {"cyclic,motion", "oname flg w h xlim ylim wave freq fall smp duty count phase grav ",
       "Cleared x/y attributes."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.flg);
    openZoneWith(std::string("<levels><level z=\"0\"/></levels><block oname=\"b\" flg=\"") + c.flg + "\"" + kAll +
                 "/>");
    selectObject(editor, byName("b"));
    editor.game.modified = false;
    ASSERT_TRUE(cleanMotionAttributes(editor));
    EXPECT_EQ(attributes("b"), c.kept);
    EXPECT_EQ(port.status[0], c.status);
    EXPECT_TRUE(editor.game.modified);
  }
}

TEST_F(MotionCleanupTest, AreaFollowingANamedBlockLosesItsLimits) {
  openZoneWith(
      "<levels><level z=\"0\"/></levels><block oname=\"b\" x=\"10\" y=\"20\" w=\"30\" h=\"40\"/>"
      "<area oname=\"b\" xlim=\"0,1\" ylim=\"0,1\"/><area oname=\"none\" xlim=\"0,1\" ylim=\"0,1\"/>"
      "<area xlim=\"0,1\" ylim=\"0,1\"/>");
  std::vector<EditorObject*> areas;
  for (const auto& o : editor.zone.objects)
    if (o->kind == kind::Area) areas.push_back(o.get());
  ASSERT_EQ(areas.size(), 3u);
  for (EditorObject* area : areas) {
    const std::string name = area->node->attr("oname");
    SCOPED_TRACE(name);
    deselectAll(editor);
    selectObject(editor, area);
    editor.game.modified = false;
    const bool follows = name == "b";
    EXPECT_EQ(cleanMotionAttributes(editor), follows);
    EXPECT_EQ(area->node->hasAttr("xlim"), !follows);
    EXPECT_EQ(area->node->hasAttr("ylim"), !follows);
    EXPECT_EQ(editor.game.modified, follows);
    if (follows) {
      EXPECT_EQ(area->x, 10.0f);
      EXPECT_EQ(area->w, 30.0f);
    }
  }
}

}  // namespace
}  // namespace zor::editor::test
