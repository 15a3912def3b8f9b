#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/editor/core/canvas_fixture.h"

namespace zor::editor::test {
namespace {

// Level 0 at z 0 in red (0x0000FF in memory); the plane's outline is its inverse.
constexpr const char* kLevel = "<levels><level z=\"0\" color=\"FF0000\"/></levels>";
constexpr uint32_t kBackground = 0x0000FF;
constexpr uint32_t kOutline = 0xFFFF00;

class CanvasDrawingTest : public CanvasTest {};

TEST_F(CanvasDrawingTest, MessagesWithoutAGameOrAZone) {
  // "No game file open.": 18 cells of 10 by 20, centred, in red.
  EXPECT_EQ(pixelAfterDraw(111, 141), 0x0000FFu);
  EXPECT_EQ(image.at(110, 140), 0xFFFFFFu);
  EXPECT_EQ(image.at(5, 5), 0xFFFFFFu);
  const std::string path = temp / "g.zorlan";
  ASSERT_TRUE(files::writeFileAtomic(path, "<zorlan version=\"1\"><zone id=\"a\"/></zorlan>"));
  ASSERT_TRUE(loadGameFileForEditing(editor, path));
  // The shown name (the file name, 8 cells) above "No zone open." (13 cells), both black.
  EXPECT_EQ(pixelAfterDraw(161, 121), 0x000000u);  // y = (300 - 60) / 2
  EXPECT_EQ(image.at(136, 141), 0x000000u);         // x = (400 - 130) / 2
  EXPECT_EQ(image.at(5, 5), 0xFFFFFFu);
}

// Records what is drawn; a text wider than the canvas cannot be drawn at all (the
// desktop fails to make a picture that wide), and nothing of it shows.
class RecordingText : public FixedWidthText {
 public:
  std::vector<std::string> drawn;
  void draw(CanvasImage& image, int32_t x, int32_t y, const std::string& s, uint32_t colour) override {
    if (measure(s).width > image.width()) return;
    drawn.push_back(s);
    FixedWidthText::draw(image, x, y, s, colour);
  }
};

TEST_F(CanvasDrawingTest, LongTitlesAreCutToTheCanvasWidth) {
  auto repeat = [](const std::string& s, int n) {
    std::string out;
    for (int i = 0; i < n; ++i) out += s;
    return out;
  };
  const struct {
    const char* name;
    std::string title;
    std::string shown;  // 40 cells of 10 pixels fit the 400-pixel canvas
  } cases[] = {
      {"plain", repeat("W", 100000), repeat("W", 40)},
      {"exact", repeat("W", 40), repeat("W", 40)},
      // Two-byte characters take two cells here: whole ones only, never half of one.
      {"accents", "a" + repeat("\xC3\xA9", 50000), "a" + repeat("\xC3\xA9", 19)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string path = temp / "g.zorlan";
    xml::Document doc;
    xml::Node* root = doc.createElement("zorlan");
    root->setAttr("version", "1");
    root->setAttr("gtitle", c.title);
    ASSERT_TRUE(files::writeFileAtomic(path, xml::Document::serializeNode(root)));
    closeGame(editor);
    ASSERT_TRUE(loadGameFileForEditing(editor, path));
    RecordingText recording;
    drawZone(editor, image, recording, false);
    EXPECT_EQ(recording.drawn, (std::vector<std::string>{c.shown, "No zone open."}));
  }
}

TEST_F(CanvasDrawingTest, LevelPlaneOutlineLiesOverObjectsBehindItAndUnderLaterOnesInFront) {
  // The zone's rectangle -30..30 projects to x 150..249, y 100..199 at zrel 100.
  openZoneWith(std::string(kLevel) +
                   "<block oname=\"back\" color=\"00FF00\" x=\"-60\" y=\"-10\" w=\"40\" h=\"20\" z=\"50\"/>"
                   "<block oname=\"front1\" color=\"0000FF\" x=\"20\" y=\"-5\" w=\"20\" h=\"10\" z=\"-10\"/>"
                   "<block oname=\"front2\" color=\"FFFFFF\" x=\"-5\" y=\"-30\" w=\"10\" h=\"15\" z=\"-20\"/>",
               "xlim=\"-30,30\" ylim=\"-30,30\"");
  struct Sample {
    int32_t x, y;
    uint32_t colour;
    const char* what;
  };
  const Sample samples[] = {
      {20, 20, kBackground, "background"},
      {140, 150, 0x00FF00, "back block"},
      {150, 150, kOutline, "outline over the back block"},
      {260, 150, 0xFF0000, "first front block"},
      {249, 150, kOutline, "outline over the first front block"},
      {200, 199, 0xFFFFFF, "second front block over the outline"},
      {200, 100, kOutline, "top edge"},
      {200, 150, kBackground, "inside the plane"},
  };
  drawZone(editor, image, text, false);
  for (const Sample& s : samples) EXPECT_EQ(image.at(s.x, s.y), s.colour) << s.what;
}

TEST_F(CanvasDrawingTest, OutlineIsDrawnAfterAllObjectsWhenNoneLiesInFront) {
  openZoneWith(std::string(kLevel) + "<block color=\"00FF00\" x=\"-60\" y=\"-10\" w=\"40\" h=\"20\" z=\"50\"/>",
               "xlim=\"-30,30\" ylim=\"-30,30\"");
  EXPECT_EQ(pixelAfterDraw(150, 150), kOutline);
  // A plane at or behind the camera has no picture.
  editor.zone.view.camz = 0.0f;
  EXPECT_EQ(pixelAfterDraw(200, 150), kBackground);
  editor.zone.view.camz = 10.0f;
  drawZone(editor, image, text, false);
  for (int x = 0; x < kW; ++x) EXPECT_NE(image.at(x, 150), kOutline);
}

TEST_F(CanvasDrawingTest, SelectionMarksAndFocusFrame) {
  openZoneWith(std::string(kLevel) + "<block oname=\"b\" color=\"0000FF\" x=\"20\" y=\"-5\" w=\"20\" h=\"10\"/>",
               "xlim=\"-1000,1000\" ylim=\"-1000,1000\"");
  // The block: left 233, top 142, 34 by 17 pixels, blue (0xFF0000).
  EXPECT_EQ(pixelAfterDraw(245, 144), 0xFF0000u);
  editor.zone.objects.front()->flags |= objflag::Selected;
  const uint32_t mark = (0xFFFFFFu - 0xFF0000u) & 0xC0C0C0u;
  drawZone(editor, image, text, false);
  EXPECT_EQ(image.at(245, 144), mark);        // inset by 2
  EXPECT_EQ(image.at(245, 145), 0xFF0000u);
  EXPECT_EQ(image.at(245, 146), mark);        // inset by 4
  EXPECT_EQ(image.at(245, 147), 0xFF0000u);
  EXPECT_EQ(image.at(235, 150), mark);        // left side of the first inset
  // The focus frame: exclusive-or of white, two pixels wide, two inside the edge; where
  // two of its boxes cross (the corners) the second one flips the pixels back.
  drawZone(editor, image, text, true);
  EXPECT_EQ(image.at(10, 2), kBackground ^ 0xFFFFFFu);
  EXPECT_EQ(image.at(2, 2), kBackground);
  EXPECT_EQ(image.at(3, 100), kBackground ^ 0xFFFFFFu);
  EXPECT_EQ(image.at(4, 100), kBackground);
  EXPECT_EQ(image.at(1, 1), kBackground);
  EXPECT_EQ(image.at(kW - 3, kH - 10), kBackground ^ 0xFFFFFFu);
  EXPECT_EQ(image.at(kW - 3, kH - 3), kBackground);
}

TEST_F(CanvasDrawingTest, BlockShapesColoursAndTogglesOfEachKind) {
  openZoneWith(std::string(kLevel) +
                   "<block oname=\"cp\" flg=\"checkpoint\" color=\"00FF00\" x=\"0\" y=\"0\" w=\"20\" z=\"0\"/>"
                   "<block oname=\"half\" trans=\"0.5\" color=\"0000FF\" x=\"-60\" y=\"-10\" w=\"10\" h=\"10\"/>"
                   "<block oname=\"ghost\" flg=\"invisible\" color=\"00FF00\" x=\"40\" y=\"-30\" w=\"30\" h=\"30\"/>"
                   "<area xlim=\"-80,-70\" ylim=\"30,40\" z=\"0\"/>"
                   "<entrance x=\"60\" y=\"30\" z=\"0\"/>",
               "xlim=\"-1000,1000\" ylim=\"-1000,1000\"");
  drawZone(editor, image, text, false);
  // Checkpoint: centre (200, 134); a black circle of radius 16 under a white one of 14.
  EXPECT_EQ(image.at(200, 134), 0xFFFFFFu);
  EXPECT_EQ(image.at(215, 134), 0x000000u);
  EXPECT_EQ(image.at(217, 134), kBackground);
  // Half transparent blue over the red level: each channel rounds to 128 or 0.
  EXPECT_EQ(image.at(105, 155), 0x800080u);
  // An invisible block is only outlined.
  EXPECT_EQ(image.at(266, 150), 0x00FF00u);
  EXPECT_EQ(image.at(270, 170), kBackground);
  // Area: dark red outline, white inset; entrance: dark blue box with grey diagonals.
  EXPECT_EQ(image.at(67, 91), 0x0000C0u);
  EXPECT_EQ(image.at(69, 93), 0xFFFFFFu);
  EXPECT_EQ(image.at(300, 84), 0xA00000u);
  EXPECT_EQ(image.at(305, 72), 0x606060u);
  editor.zone.showAreas = false;
  editor.zone.showEntrances = false;
  editor.zone.showBlocks = false;
  drawZone(editor, image, text, false);
  for (auto [x, y] : {std::pair{67, 91}, {300, 84}, {200, 134}, {105, 155}}) EXPECT_EQ(image.at(x, y), kBackground);
}

TEST_F(CanvasDrawingTest, HorizonBandsAndObjectsBeingPlaced) {
  openZoneWith(std::string(kLevel) + "<block oname=\"h\" flg=\"horizon\" color=\"00FF00\" x=\"0\" y=\"-30\" w=\"1\" h=\"1\"/>",
               "xlim=\"-1000,1000\" ylim=\"-1000,1000\"");
  // The band runs from sy(-30) = 200 to the bottom, the whole width.
  EXPECT_EQ(pixelAfterDraw(0, 200), 0x00FF00u);
  EXPECT_EQ(image.at(kW - 1, kH - 1), 0x00FF00u);
  EXPECT_EQ(image.at(0, 199), kBackground);
  // A top above the canvas draws nothing, not even the selection marks.
  EditorObject* h = byName("h");
  h->y = 100.0f;
  h->flags |= objflag::Selected;
  drawZone(editor, image, text, false);
  for (int y = 0; y < kH; y += 7) EXPECT_EQ(image.at(10, y), kBackground);
  // A record being placed is drawn at the world point under the pointer.
  h->flags &= ~(objflag::Horizon | objflag::Selected);
  h->flags |= objflag::BeingPlaced;
  h->x = -3.0f, h->y = -3.0f, h->w = 6.0f, h->h = 6.0f;
  editor.canvas.mouseX = 100;
  editor.canvas.mouseY = 50;
  EXPECT_EQ(pixelAfterDraw(100, 50), 0x00FF00u);
  EXPECT_EQ(image.at(200, 150), kBackground);
}

TEST_F(CanvasDrawingTest, DegenerateRecordsAreClippedNotOverflowed) {
  openZoneWith(std::string(kLevel) + "<block oname=\"huge\" color=\"00FF00\" x=\"-1e30\" y=\"-1e30\" w=\"3e30\" h=\"3e30\"/>"
                   "<block oname=\"near\" color=\"FFFFFF\" x=\"0\" y=\"0\" w=\"10\" h=\"10\" z=\"-95.1\"/>"
                   "<block oname=\"path\" flg=\"motion,circular\" phase=\"-1e30\" duty=\"1\" xlim=\"-1e38,1e38\" "
                   "ylim=\"0,1e38\" color=\"00FF00\" x=\"0\" y=\"0\" w=\"10\" h=\"10\"/>",
               "xlim=\"-1e38,1e38\" ylim=\"-1e38,1e38\"");
  drawZone(editor, image, text, false);
  EXPECT_EQ(image.at(200, 150), 0x00FF00u);  // the huge block covers the canvas; "near" (zrel 4.9) is skipped
  // A triangle wave with duty 1 past its top stays there; the phase of -1e30 ends.
  xml::Node* path = byName("path")->node;
  path->setAttr("wave", "tri");
  path->setAttr("phase", "360");
  path->setAttr("xlim", "0,100");
  parseBlock(editor, path, true, 0);
  EXPECT_EQ(byName("path")->x, 100.0f);
  editor.zone.view.camz = -0.0001f;  // the plane just in front of the camera
  drawZone(editor, image, text, true);
  SUCCEED();
}

// Hit testing: all comparisons strict, nearest first.
class HitTestTest : public CanvasTest {};

TEST_F(HitTestTest, DepthLimitEdgesAndHorizons) {
  openZoneWith(std::string(kLevel) + "<block oname=\"a\" x=\"0\" y=\"0\" w=\"20\" h=\"20\" z=\"0\"/>");
  EXPECT_EQ(hitTest(editor, 210, 140, 0), byName("a"));
  EXPECT_EQ(hitTest(editor, 200, 140, 0), nullptr);  // x exactly on the left edge
  EXPECT_EQ(hitTest(editor, 210, 150, 0), nullptr);  // y exactly on the bottom edge
  EXPECT_EQ(hitTest(editor, 300, 140, 0), nullptr);
  byName("a")->z = -95.1f;  // zrel 4.9
  EXPECT_EQ(hitTest(editor, 210, 140, 0), nullptr);
  byName("a")->z = -95.0f;  // zrel 5
  EXPECT_EQ(hitTest(editor, 210, 140, 0), byName("a"));
  byName("a")->flags |= objflag::Hidden;
  EXPECT_EQ(hitTest(editor, 210, 140, 0), nullptr);

  openZoneWith(std::string(kLevel) + "<block oname=\"h\" flg=\"horizon\" x=\"0\" y=\"100\" w=\"1\" h=\"1\"/>");
  // Its top (sy = -16) lies above the canvas: nothing is drawn, yet any click below hits.
  EXPECT_EQ(hitTest(editor, 3, 250, 0), byName("h"));
  EXPECT_EQ(hitTest(editor, 399, 0, 0), byName("h"));
  byName("h")->y = 50.0f;  // top at wy 50: a click at wy 54 misses
  EXPECT_EQ(hitTest(editor, 5, 60, 0), nullptr);
  EXPECT_EQ(hitTest(editor, 5, 80, 0), byName("h"));
}

TEST_F(HitTestTest, SkipPassesOverStackedObjectsAndPathsAndHiddenKindsAreNeverHit) {
  openZoneWith(std::string(kLevel) +
               "<block oname=\"far\" x=\"0\" y=\"0\" w=\"20\" h=\"20\" z=\"20\"/>"
               "<block oname=\"mid\" x=\"0\" y=\"0\" w=\"20\" h=\"20\" z=\"10\"/>"
               "<block oname=\"cp\" flg=\"checkpoint\" x=\"10\" y=\"0\" w=\"20\" z=\"0\"/>");
  EXPECT_EQ(hitTest(editor, 210, 140, 0), byName("cp"));
  EXPECT_EQ(hitTest(editor, 210, 140, 1), byName("mid"));
  EXPECT_EQ(hitTest(editor, 210, 140, 2), byName("far"));
  EXPECT_EQ(hitTest(editor, 210, 140, 3), nullptr);
  // The checkpoint is a circle: its box's corner misses it.
  EXPECT_EQ(hitTest(editor, 201, 148, 0), byName("mid"));
  editor.zone.showBlocks = false;
  EXPECT_EQ(hitTest(editor, 210, 140, 0), nullptr);

  openZoneWith(std::string(kLevel) + "<area xlim=\"0,20\" ylim=\"0,20\" z=\"0\"/><entrance x=\"0\" y=\"0\" z=\"0\"/>"
               "<block oname=\"m\" flg=\"motion\" xlim=\"-40,40\" x=\"0\" y=\"0\" w=\"2\" h=\"2\" z=\"-50\"/>");
  EXPECT_EQ(hitTest(editor, 210, 140, 0), byName("entrance"));  // the path line lies in front, never hit
  EXPECT_EQ(hitTest(editor, 210, 140, 1), byName("area"));
  editor.zone.showEntrances = false;
  EXPECT_EQ(hitTest(editor, 210, 140, 0), byName("area"));
}

}  // namespace
}  // namespace zor::editor::test
