#include <gtest/gtest.h>

#include "editor/core/zone_records.h"
#include "tests/editor/core/editor_fixture.h"

namespace zor::editor::test {
namespace {

class ZoneRecordsTest : public EditorTest {
 protected:
  // Opens a game holding one zone with the given content.
  xml::Node* zone(const std::string& attrs, const std::string& content, const std::string& extra = "") {
    const std::string path =
        writeFile("z.zorlan", "<zorlan version=\"1\">" + extra + "<zone id=\"Z\"" + (attrs.empty() ? "" : " " + attrs) + ">" + content +
                                  "</zone></zorlan>");
    EXPECT_TRUE(loadGameFileForEditing(editor, path));
    return editor.game.zones.at(0).node;
  }
  const EditorObject& record(std::size_t i) { return *editor.zone.objects.at(i); }
  std::string onameOf(std::size_t i) { return record(i).node->attr("oname"); }
};

constexpr const char* kLevels = "<levels><level z=\"100\" color=\"00FF00\"/><level z=\"0\" color=\"FF0000\" "
                                "unlocked=\"1\"/></levels>";

TEST_F(ZoneRecordsTest, ObjectsAreSortedByDepthPriorityAndHeight) {
  ASSERT_TRUE(openZone(editor, zone("", std::string(kLevels) +
                                            "<block oname=\"near\" z=\"10\" y=\"0\"/>"
                                            "<block oname=\"lowfar\" z=\"50\" y=\"0\"/>"
                                            "<block oname=\"highfar\" z=\"50\" y=\"30\"/>"
                                            "<block oname=\"prio\" z=\"50\" y=\"-9\" priority=\"2\"/>"
                                            "<block oname=\"tie1\" z=\"20\" y=\"5\"/>"
                                            "<block oname=\"tie2\" z=\"20\" y=\"5\"/>"
                                            "<block oname=\"lvl\" level=\"1\" z=\"0\"/>"
                                            "<block oname=\"badlvl\" level=\"7\" z=\"90\"/>")));
  std::vector<std::string> order;
  for (std::size_t i = 0; i < editor.zone.objects.size(); ++i) order.push_back(onameOf(i));
  EXPECT_EQ(order, (std::vector<std::string>{"lvl", "prio", "highfar", "lowfar", "tie1", "tie2", "near", "badlvl"}));
  EXPECT_EQ(record(0).z, 100.0f);  // level 1 after sorting by z
  EXPECT_EQ(record(7).z, 0.0f);    // a level out of range
  EXPECT_EQ(editor.zone.levels[0].colour, 0x0000FF);
  EXPECT_EQ(editor.zone.selectionKind, kSelectionNone);
  EXPECT_EQ(editor.zone.view.zoneId, "z");
  EXPECT_EQ(editor.prefs.lastZone, "z");
}

struct WaveCase {
  const char* attrs;
  float x;
  float y;
  int32_t pathKind;
  std::size_t paths;
};

TEST_F(ZoneRecordsTest, MovingBlocksShowTheirWavePositionAndPath) {
  const WaveCase cases[] = {
      {"wave=\"saw\" phase=\"-90\" xlim=\"0,100\" ylim=\"0\"", 75.0f, 0.0f, kind::PathLine, 1},
      {"wave=\"sq\" phase=\"180\" xlim=\"0,100\" ylim=\"0,50\"", 0.0f, 0.0f, kind::PathLine, 1},
      {"wave=\"square\" phase=\"90\" xlim=\"0,100\" ylim=\"0,50\"", 100.0f, 50.0f, kind::PathLine, 1},
      {"wave=\"tri\" phase=\"270\" duty=\"0.5\" xlim=\"0,100\"", 50.0f, 0.0f, kind::PathLine, 1},
      {"wave=\"Random\" xlim=\"0,100\" ylim=\"10,20\"", 50.0f, 15.0f, kind::PathLine, 1},
      {"wave=\"prox\" xlim=\"30,100\" ylim=\"10,20\"", 30.0f, 10.0f, kind::PathLine, 1},
      {"wave=\"parabola\" xlim=\"0,100\" ylim=\"0,40\"", 50.0f, 40.0f, kind::PathLine, 2},
      {"phase=\"180\" xlim=\"0,100\" ylim=\"0,40\"", 100.0f, 40.0f, kind::PathLine, 1},
      {"phase=\"90\" xlim=\"0,100\" ylim=\"0,40\" flg=\"motion,circular\"", 50.0f, 40.0f, kind::PathEllipse, 1},
      {"phase=\"360\" xlim=\"0,100\"", 0.0f, 0.0f, kind::PathLine, 1},
  };
  for (const WaveCase& c : cases) {
    SCOPED_TRACE(c.attrs);
    std::string a = c.attrs;
    if (a.find("flg=") == std::string::npos) a += " flg=\"motion\"";
    ASSERT_TRUE(openZone(editor, zone("", std::string(kLevels) + "<block x=\"5\" y=\"5\" w=\"10\" h=\"20\" z=\"0\" " +
                                              a + "/>")));
    ASSERT_EQ(editor.zone.objects.size(), 1 + c.paths);
    const EditorObject* block = nullptr;
    std::size_t paths = 0;
    for (const auto& o : editor.zone.objects) {
      if (o->kind == kind::Block) block = o.get();
      else {
        EXPECT_EQ(o->kind, c.pathKind);
        EXPECT_FLOAT_EQ(o->z, 0.1f);
        EXPECT_EQ(o->colour, 0x808080);
        ++paths;
      }
    }
    ASSERT_NE(block, nullptr);
    EXPECT_NEAR(block->x, c.x, 1e-3f);
    EXPECT_NEAR(block->y, c.y, 1e-3f);
    EXPECT_EQ(paths, c.paths);
    closeGame(editor);
  }
}

TEST_F(ZoneRecordsTest, PathPreviewsFollowTheBlockCentre) {
  ASSERT_TRUE(openZone(editor, zone("", std::string(kLevels) +
                                            "<block w=\"10\" h=\"20\" z=\"0\" flg=\"motion\" xlim=\"0,100\" "
                                            "ylim=\"0,40\" wave=\"parabola\" priority=\"3\"/>")));
  std::vector<const EditorObject*> lines;
  for (const auto& o : editor.zone.objects) {
    if (o->kind == kind::PathLine) lines.push_back(o.get());
  }
  ASSERT_EQ(lines.size(), 2u);
  if (lines[0]->x > lines[1]->x) std::swap(lines[0], lines[1]);
  EXPECT_EQ(lines[0]->x, 5.0f);
  EXPECT_EQ(lines[0]->y, 10.0f);
  EXPECT_EQ(lines[0]->w, 55.0f);
  EXPECT_EQ(lines[0]->h, 50.0f);
  EXPECT_EQ(lines[1]->w, 105.0f);
  EXPECT_EQ(lines[1]->h, 10.0f);
  EXPECT_EQ(lines[1]->priority, 3);
}

TEST_F(ZoneRecordsTest, BlockReadsItsClassThenItself) {
  ASSERT_TRUE(openZone(
      editor, zone("", std::string(kLevels) +
                           "<block class=\"big\" z=\"0\" h=\"7\" color=\"112233\"/>"
                           "<block z=\"1\" flg=\"checkpoint, HasFace\" w=\"30\"/>"
                           "<block z=\"2\" color=\"-1\" flg=\"horizon\"/>",
                   "<class name=\"big\" w=\"50\" h=\"60\" color=\"AABBCC\" trans=\"0.5\"/>")));
  const EditorObject& horizon = record(0);
  EXPECT_EQ(horizon.flags, objflag::Horizon | objflag::Invisible);
  EXPECT_EQ(horizon.colour, 0x282828);
  const EditorObject& check = record(1);
  EXPECT_EQ(check.flags, objflag::Checkpoint | objflag::HasFace | objflag::Invisible);
  EXPECT_EQ(check.h, 30.0f);
  const EditorObject& classed = record(2);
  EXPECT_EQ(classed.w, 50.0f);
  EXPECT_EQ(classed.h, 7.0f);
  EXPECT_EQ(classed.colour, 0x332211);
  EXPECT_EQ(classed.trans, 0.0f);  // the block's own (absent) trans decides
}

TEST_F(ZoneRecordsTest, AreasEntrancesLimitsAndCamera) {
  ASSERT_TRUE(openZone(editor, zone("xlim=\"500\" ylim=\"\"",
                                    std::string(kLevels) +
                                        "<area oname=\"lift\" level=\"1\"/>"
                                        "<area xlim=\"10,-20\" ylim=\"5\" z=\"3\"/>"
                                        "<area/>"
                                        "<entrance_top x=\"7\" y=\"8\" level=\"1\"/>"
                                        "<block oname=\"lift\" x=\"1\" y=\"2\" w=\"3\" h=\"4\" z=\"9\"/>")));
  const ZoneView& v = editor.zone.view;
  EXPECT_EQ(v.xmin, 0.0f);
  EXPECT_EQ(v.xmax, 500.0f);
  EXPECT_EQ(v.ymin, -100.0f);
  EXPECT_EQ(v.ymax, 1100.0f);
  std::vector<const EditorObject*> areas;
  const EditorObject* entrance = nullptr;
  for (const auto& o : editor.zone.objects) {
    if (o->kind == kind::Area) areas.push_back(o.get());
    if (o->kind == kind::Entrance) entrance = o.get();
  }
  ASSERT_EQ(areas.size(), 3u);
  // Sorted: z 100 (named), then z 3, then z 0 (the current level).
  EXPECT_EQ(areas[0]->x, 1.0f);
  EXPECT_EQ(areas[0]->h, 4.0f);
  EXPECT_EQ(areas[0]->z, 100.0f);
  EXPECT_EQ(areas[1]->x, -20.0f);
  EXPECT_EQ(areas[1]->w, 30.0f);
  EXPECT_EQ(areas[1]->y, 0.0f);
  EXPECT_EQ(areas[1]->h, 5.0f);
  EXPECT_EQ(areas[1]->priority, 8);  // sqrt(30) + sqrt(5) = 7.71
  EXPECT_EQ(areas[2]->w, 500.0f);
  ASSERT_NE(entrance, nullptr);
  EXPECT_EQ(entrance->z, 100.0f);
  EXPECT_EQ(entrance->w, 20.0f);
  // No default entrance: the first entrance record places the camera.
  EXPECT_EQ(v.camx, 17.0f);
  EXPECT_EQ(v.camz, -100.0f);
}

TEST_F(ZoneRecordsTest, DefaultEntrancePlacesCameraAndLevel) {
  ASSERT_TRUE(openZone(editor, zone("", std::string(kLevels) + "<entrance x=\"40\" y=\"50\" level=\"3\"/>")));
  EXPECT_EQ(editor.zone.currentLevel, 1);
  EXPECT_EQ(editor.zone.view.camx, 50.0f);
  EXPECT_EQ(editor.zone.view.camy, 60.0f);
  EXPECT_EQ(editor.zone.view.camz, 0.0f);
}

TEST_F(ZoneRecordsTest, ZoneWithoutLevelsGetsOneAndAWarning) {
  xml::Node* z = zone("", "<block/>");
  ASSERT_TRUE(openZone(editor, z));
  ASSERT_EQ(editor.zone.levelCount(), 1);
  EXPECT_EQ(z->firstChild->name, "levels");
  EXPECT_EQ(xml::Document::serializeNode(z->firstChild), "<levels><level z=\"0\" color=\"FFFFFF\" unlocked=\"1\"/></levels>");
  ASSERT_EQ(port.messages.size(), 1u);
  EXPECT_EQ(port.messages[0].text, "This zone contains no levels!\r\nA default level has been added at z = 0.");
  EXPECT_FALSE(editor.game.modified);
  EXPECT_FALSE(openZone(editor, z->firstChild));
}

TEST_F(ZoneRecordsTest, ZoneFlagNamesComeFromTheEditorElement) {
  ASSERT_TRUE(openZone(editor, zone("", kLevels, "<zorled><zone_z zflags=\"0|door|40|far|5|lamp|6||7|late\"/></zorled>")));
  EXPECT_EQ(editor.zone.view.zflagNames[0], "door");
  EXPECT_EQ(editor.zone.view.zflagNames[5], "lamp");
  EXPECT_EQ(editor.zone.view.zflagNames[7], "");
}

TEST_F(ZoneRecordsTest, MovingObjectsRewritesTheirAttributes) {
  ASSERT_TRUE(openZone(editor, zone("", "<block oname=\"a\" x=\"1\" xlim=\"10\" z=\"0\"/>"
                                        "<block oname=\"b\" xlim=\"-10,10\" y=\"2\" z=\"1\"/>"
                                        "<block oname=\"m\" x=\"0\" y=\"0\" flg=\"motion\" wave=\"saw\" xlim=\"0,100\" "
                                        "phase=\"90\" z=\"2\"/>"
                                        "<area xlim=\"0\" ylim=\"0,10\"/>"
                                        "<area oname=\"a\" xlim=\"0,1\"/>"
                                        "<entrance_e x=\"3\" y=\"4\"/>")));
  for (const auto& o : std::vector<EditorObject*>{[&] {
         std::vector<EditorObject*> v;
         for (const auto& r : editor.zone.objects) {
           if (r->kind != kind::PathLine) v.push_back(r.get());
         }
         return v;
       }()}) {
    moveObject(editor, o, 2.5f, 1.0f);
  }
  EXPECT_EQ(xml::Document::serializeNode(editor.zone.openZoneNode),
            "<zone id=\"Z\"><levels><level z=\"0\" color=\"FFFFFF\" unlocked=\"1\"/></levels>"
            "<block oname=\"a\" x=\"3.5\" xlim=\"12.5\" z=\"0\"/>"
            "<block oname=\"b\" xlim=\"-7.5,12.5\" y=\"3\" z=\"1\"/>"
            "<block oname=\"m\" x=\"27.5\" y=\"1\" flg=\"motion\" wave=\"saw\" xlim=\"2.5,102.5\" phase=\"90\" z=\"2\"/>"
            "<area xlim=\"0\" ylim=\"1,11\"/>"
            "<area oname=\"a\" xlim=\"0,1\"/>"
            "<entrance_e x=\"5.5\" y=\"5\"/></zone>");
  // The moving block shows its new position on its moved path.
  for (const auto& o : editor.zone.objects) {
    if (o->kind == kind::Block && o->node->attr("oname") == "m") {
      EXPECT_FLOAT_EQ(o->x, 27.5f);
    }
  }
  EXPECT_TRUE(editor.game.modified);
}

TEST_F(ZoneRecordsTest, LevelReferencesAreRenumbered) {
  xml::Document doc;
  ASSERT_TRUE(doc.parse("<zone><block level=\"3\"/><area levels=\"0,2,3\" level=\"\"/><x level=\"-1\"/>"
                        "<start><set levels=\"1,-2,2\"/></start></zone>",
                        nullptr));
  xml::Node* z = doc.root();
  renumberLevelRefs(z, 1, 2, 0);
  EXPECT_EQ(xml::Document::serializeNode(z),
            "<zone><block level=\"2\"/><area levels=\"0,1,2\" level=\"\"/><x level=\"-1\"/>"
            "<start><set levels=\"1,-2,1\"/></start></zone>");
  renumberLevelRefs(z, 0, 1, 0);
  EXPECT_EQ(z->childByPath("area")->attr("levels"), "0,2,3");
  ASSERT_TRUE(doc.parse("<zone levels=\"0,1,2\"/>", nullptr));
  renumberLevelRefs(doc.root(), 2, 2, 0);
  EXPECT_EQ(doc.root()->attr("levels"), "2,0,1");
  renumberLevelRefs(doc.root(), 2, 0, 2);
  EXPECT_EQ(doc.root()->attr("levels"), "0,1,2");
  // A level number at the top of the range is left alone by an insertion.
  ASSERT_TRUE(doc.parse("<zone><block level=\"2147483647\"/></zone>", nullptr));
  renumberLevelRefs(doc.root(), 0, 0, 0);
  EXPECT_EQ(doc.root()->childByPath("block")->attr("level"), "2147483647");
}

TEST(EditorUtilities, SmallHelpers) {
  EXPECT_EQ(getPluralSuffix(1), "");
  EXPECT_EQ(getPluralSuffix(0), "s");
  EXPECT_TRUE(isBetween(5.0f, 3.0f, 1.0f));
  EXPECT_TRUE(isBetween(1.0f, 1.0f, 5.0f));
  EXPECT_FALSE(isBetween(1.0f, 6.0f, 5.0f));
}

}  // namespace
}  // namespace zor::editor::test
