// The side panel while an inserted or pasted object follows the mouse.
#include <gtest/gtest.h>

#include <string>

#include "editor/core/edit_commands.h"
#include "editor/core/property_panels.h"
#include "tests/editor/core/canvas_fixture.h"

namespace zor::editor::test {
namespace {

class PlacingPanelTest : public CanvasTest {
 protected:
  void SetUp() override {
    openZoneWith("<levels><level z=\"0\" color=\"FF0000\"/></levels>"
                 "<block oname=\"a\" x=\"0\" y=\"0\" w=\"20\" h=\"20\" z=\"0\"/>");
  }
};

TEST_F(PlacingPanelTest, PositionFieldsShowWhereAClickWouldDropTheObject) {
  struct Case {
    int32_t kind;
    int fieldX;
    int fieldY;
    const char* atFirst[2];  // the mouse at world (30, 30)
    const char* afterMove[2];  // at world (60, 60)
  };
  const Case cases[] = {
      {kind::Block, blockfield::X, blockfield::Y, {"20", "20"}, {"50", "50"}},
      {kind::Area, areafield::XLim, areafield::YLim, {"10,50", "10,50"}, {"40,80", "40,80"}},
      {kind::Entrance, entrancefield::X, entrancefield::Y, {"20", "20"}, {"50", "50"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.kind);
    SetUp();
    // At zrel 100 one pixel is 0.6 world units around the centre (200, 150).
    mouse(CanvasMouseKind::Move, 250, 100);
    ASSERT_TRUE(insertObject(editor, c.kind));
    PanelState panel = fillPanel(editor);
    EXPECT_EQ(panel.fields[static_cast<std::size_t>(c.fieldX)], c.atFirst[0]);
    EXPECT_EQ(panel.fields[static_cast<std::size_t>(c.fieldY)], c.atFirst[1]);
    // Moving the mouse shows the panel again with the new place.
    const int refreshes = port.panelRefreshes;
    mouse(CanvasMouseKind::Move, 300, 50);
    EXPECT_GT(port.panelRefreshes, refreshes);
    panel = fillPanel(editor);
    EXPECT_EQ(panel.fields[static_cast<std::size_t>(c.fieldX)], c.afterMove[0]);
    EXPECT_EQ(panel.fields[static_cast<std::size_t>(c.fieldY)], c.afterMove[1]);
    // The click writes just that.
    mouse(CanvasMouseKind::LeftDown, 300, 50);
    ASSERT_EQ(editor.zone.view.mode, 0);
    const PanelState placed = fillPanel(editor);
    EXPECT_EQ(placed.fields[static_cast<std::size_t>(c.fieldX)], c.afterMove[0]);
    EXPECT_EQ(placed.fields[static_cast<std::size_t>(c.fieldY)], c.afterMove[1]);
  }
}

TEST_F(PlacingPanelTest, ABlocksLimitsMoveWithItAndAbsentCoordinatesStayEmpty) {
  editor.zone.blockTemplate = "<block color=\"F0F0F0\" w=\"20\" h=\"20\" xlim=\"0,100\" ylim=\"5\" flg=\"motion\"/>";
  mouse(CanvasMouseKind::Move, 250, 100);  // world (30, 30)
  ASSERT_TRUE(insertObject(editor, kind::Block));
  for (const auto& o : editor.zone.objects)
    if (o->flags & objflag::BeingPlaced) o->node->removeAttr("y");
  const PanelState panel = fillPanel(editor);
  EXPECT_EQ(panel.fields[blockfield::X], "20");
  EXPECT_EQ(panel.fields[blockfield::Y], "");
  EXPECT_EQ(panel.fields[blockfield::XLim], "30,130");
  EXPECT_EQ(panel.fields[blockfield::YLim], "35");
}

}  // namespace
}  // namespace zor::editor::test
