// The zone and game dialogs over a scripted desktop: what they check, what
// they write and what they leave alone.
#include "editor/core/zone_dialogs.h"

#include <gtest/gtest.h>

#include "editor/core/game_document.h"
#include "tests/editor/core/editor_fixture.h"

namespace zor::editor::test {
namespace {

using Typed = std::vector<std::pair<int, std::string>>;

class ZoneDialogsTest : public EditorTest {
 protected:
  void loadGame() {
    const std::string path = writeFile("game.zorlan",
                                       "<zorlan version=\"1\">"
                                       "<zone id=\"first\" name=\"Start\" xlim=\"-50,50\"><levels><level z=\"0\"/></levels>"
                                       "<block x=\"0\" y=\"0\" w=\"5\" h=\"5\"/><block x=\"9\" y=\"0\" w=\"5\" h=\"5\"/>"
                                       "<area x=\"0\" y=\"0\" w=\"5\" h=\"5\"/><entrance x=\"0\" y=\"0\"/>"
                                       "<start><script id=\"door\"/></start></zone>"
                                       "<zone id=\"cave\"><levels><level z=\"0\"/></levels></zone>"
                                       "<zorled><zone_first zflags=\"0|lever|\"/></zorled>"
                                       "</zorlan>");
    ASSERT_TRUE(loadGameFileForEditing(editor, path));
    ASSERT_TRUE(openZone(editor, editor.game.zones[1].node));  // "first"
  }
  std::vector<std::string> formValues(bool isNew, const Typed& typed) {
    std::vector<std::string> values;
    for (const FormField& f : zoneForm(editor, isNew).fields) values.push_back(f.value);
    for (const auto& [field, text] : typed) values[static_cast<std::size_t>(field)] = text;
    return values;
  }
  std::string zoneXml(const std::string& id) {
    for (const ZoneEntry& z : editor.game.zones) {
      if (z.id == id) return xml::Document::serializeNode(z.node);
    }
    return "";
  }
};

TEST_F(ZoneDialogsTest, ZoneChecksInOrder) {
  loadGame();
  using namespace zonefield;
  struct Case {
    bool isNew;
    Typed typed;
    std::string message;
    int focus;
  };
  const Case cases[] = {
      {true, {{Id, ""}}, "You must enter a Zone ID.", Id},
      {true, {{Id, "cave"}}, "A zone with ID 'cave' already exists.", Id},
      {true, {{Id, "CAVE"}}, "A zone with ID 'cave' already exists.", Id},
      {true, {{Id, "first"}}, "A zone with ID 'first' already exists.", Id},
      {false, {}, "", -1},  // keeping its own id
      {false, {{Id, "cave"}}, "A zone with ID 'cave' already exists.", Id},
      {false, {{Id, "door"}}, "A zone with ID 'door' already exists.", Id},
      {true, {{Id, "a:b"}}, "A Zone ID may hold only letters, digits, '_', '-' and '.'.", Id},
      {true, {{Id, "a b"}}, "A Zone ID may hold only letters, digits, '_', '-' and '.'.", Id},
      {true, {{Id, "a<b"}}, "A Zone ID may hold only letters, digits, '_', '-' and '.'.", Id},
      {true, {{Id, "new"}, {XLim, "10,-10"}, {YLim, "0,5"}}, "", -1},
      {true, {{Id, "new"}, {XLim, "10"}}, "X Limits format should be 'min,max'.", XLim},
      {true, {{Id, "new"}, {XLim, "1,2,3"}}, "X Limits format should be 'min,max'.", XLim},
      {true, {{Id, "new"}, {XLim, "1,2,3"}, {YLim, "4"}}, "X Limits format should be 'min,max'.", XLim},
      {true, {{Id, "new"}, {YLim, "4"}}, "Y Limits format should be 'min,max'.", YLim},
      {true, {{Id, "new"}, {Volume, ""}}, "", -1},
      {true, {{Id, "new"}, {Volume, "100"}}, "", -1},
      {true, {{Id, "new"}, {Volume, "101"}}, "Volume should be between 0 and 100.", Volume},
      {true, {{Id, ""}, {Volume, "101"}}, "You must enter a Zone ID.", Id},
      // Numbers the game reads: nothing that is not finite.
      {true, {{Id, "new"}, {Gravity, "NaN"}}, "Default Gravity should be a number.", Gravity},
      {true, {{Id, "new"}, {Gravity, "-inf"}}, "Default Gravity should be a number.", Gravity},
      {true, {{Id, "new"}, {Gravity, "1.5"}}, "", -1},
      {true, {{Id, "new"}, {Zoom, "inf"}}, "Default Zoom should be a number.", Zoom},
      {true, {{Id, "new"}, {XLim, "nan,10"}}, "X Limits format should be 'min,max'.", XLim},
      {true, {{Id, "new"}, {YLim, "0,INF"}}, "Y Limits format should be 'min,max'.", YLim},
  };
  for (const Case& c : cases) {
    const FormCheck check = checkZoneFields(editor, formValues(c.isNew, c.typed), c.isNew);
    EXPECT_EQ(check.message, c.message) << (c.typed.empty() ? "" : c.typed[0].second);
    EXPECT_EQ(check.focus, c.focus) << (c.typed.empty() ? "" : c.typed[0].second);
  }
}

TEST_F(ZoneDialogsTest, FailedCheckWarnsAndWritesNothing) {
  loadGame();
  const std::string before = editor.game.document->serialize();
  port.formAnswers.push_back({true, {{zonefield::Id, "cave"}}});
  EXPECT_EQ(editZoneProperties(editor, true), 0);
  ASSERT_EQ(port.messages.size(), 1u);
  EXPECT_EQ(port.messages[0].title, "ZorlED");
  EXPECT_EQ(port.messages[0].text, "A zone with ID 'cave' already exists.");
  EXPECT_EQ(port.formFocus, std::vector<int>{zonefield::Id});
  EXPECT_EQ(editor.game.document->serialize(), before);
  EXPECT_FALSE(editor.game.modified);
}

TEST_F(ZoneDialogsTest, FormsAreFilledWithoutWriting) {
  loadGame();
  const std::string before = editor.game.document->serialize();
  const FormRequest edit = zoneForm(editor, false);
  EXPECT_EQ(edit.title, "Zone Properties");
  EXPECT_EQ(edit.fields[zonefield::Id].value, "first");
  EXPECT_EQ(edit.fields[zonefield::Name].value, "Start");
  EXPECT_EQ(edit.fields[zonefield::XLim].value, "-50,50");
  const FormRequest fresh = zoneForm(editor, true);
  EXPECT_EQ(fresh.title, "New Zone");
  EXPECT_EQ(fresh.fields[zonefield::Id].value, "");  // the game has zones
  EXPECT_EQ(gameForm(editor, true).title, "New Game");
  EXPECT_EQ(editor.game.document->serialize(), before);
  EXPECT_FALSE(editor.game.modified);
}

TEST_F(ZoneDialogsTest, NewZoneIsPlayableAndOpened) {
  loadGame();
  port.formAnswers.push_back({true, {{zonefield::Id, "Bridge"}, {zonefield::Name, "The Bridge"}, {zonefield::Volume, "40"}}});
  EXPECT_EQ(editZoneProperties(editor, true), 1);
  EXPECT_EQ(zoneXml("bridge"),
            "<zone id=\"bridge\" name=\"The Bridge\" persist=\"\" notes=\"\" xlim=\"\" ylim=\"\" track=\"\" "
            "volume=\"40\"><levels><level z=\"0\" color=\"FFFFFF\" unlocked=\"1\"/></levels>"
            "<entrance x=\"0\" y=\"50\" z=\"0\"/>"
            "<block x=\"-20\" y=\"-30\" z=\"0\" w=\"60\" h=\"30\" color=\"C0C0C0\" flg=\"solid\"/></zone>");
  ASSERT_EQ(editor.game.zones.size(), 3u);
  EXPECT_EQ(editor.game.zones[0].id, "bridge");
  EXPECT_EQ(editor.game.zones[1].id, "cave");
  EXPECT_EQ(editor.zone.view.zoneId, "bridge");
  EXPECT_TRUE(editor.game.modified);
}

TEST_F(ZoneDialogsTest, EditedZoneKeepsAbsentMusicAndRenamesItsFlagNames) {
  loadGame();
  editor.prefs.lastZone = "first";
  port.formAnswers.push_back({true, {{zonefield::Id, "start"}, {zonefield::XLim, "30,-30"}, {zonefield::YLim, ""}}});
  EXPECT_EQ(editZoneProperties(editor, false), 1);
  const std::string zone = zoneXml("start");
  EXPECT_EQ(zone.find("track"), std::string::npos) << zone;
  EXPECT_NE(zone.find("xlim=\"30,-30\""), std::string::npos) << zone;
  EXPECT_EQ(editor.zone.view.xmin, -30.0f);
  EXPECT_EQ(editor.zone.view.xmax, 30.0f);
  EXPECT_EQ(editor.zone.view.ymin, -100.0f);
  EXPECT_EQ(editor.zone.view.ymax, 1100.0f);
  EXPECT_EQ(editor.prefs.lastZone, "start");
  EXPECT_NE(editor.game.root->childByPath("zorled/zone_start"), nullptr);
  EXPECT_EQ(editor.game.root->childByPath("zorled/zone_first"), nullptr);
  EXPECT_EQ(editor.game.zones[1].id, "start");  // re-sorted
  // Zoom and gravity: typed ones are written, emptied ones go back to the game's own.
  port.formAnswers.push_back({true, {{zonefield::Zoom, "300"}, {zonefield::Gravity, "2"}}});
  EXPECT_EQ(editZoneProperties(editor, false), 1);
  EXPECT_EQ(std::string(editor.zone.openZoneNode->attr("gravity")), "2");
  port.formAnswers.push_back({true, {{zonefield::Zoom, ""}, {zonefield::Gravity, ""}}});
  EXPECT_EQ(editZoneProperties(editor, false), 1);
  EXPECT_FALSE(editor.zone.openZoneNode->hasAttr("gravity"));
  EXPECT_FALSE(editor.zone.openZoneNode->hasAttr("zoom"));
}

TEST_F(ZoneDialogsTest, ChosenMusicIsWrittenRelative) {
  loadGame();
  port.fileChoices.push_back({true, temp.path() + "music/theme.ogg", 0});
  std::string chosen;
  // The desktop calls the browse hook of the form built by the command.
  port.formAnswers.push_back({false, {}});
  editZoneProperties(editor, false);
  ASSERT_TRUE(port.forms.back().browse);
  EXPECT_TRUE(port.forms.back().browse(zonefield::Track, "", &chosen));
  EXPECT_EQ(chosen, "music/theme.ogg");
  EXPECT_EQ(port.openRequests.back().title, "Zone Music");
}

TEST_F(ZoneDialogsTest, NewGameThenFirstZoneSavesAPlayableFile) {
  port.formAnswers.push_back({true, {{gamefield::Title, "Tiny"}, {gamefield::Author, "Me"}}});
  EXPECT_EQ(editGameProperties(editor, true), 1);
  EXPECT_EQ(port.status[0], "New game created.");
  EXPECT_FALSE(editor.game.modified);
  EXPECT_EQ(zoneForm(editor, true).fields[zonefield::Id].value, "first");
  port.formAnswers.push_back({true, {}});
  EXPECT_EQ(editZoneProperties(editor, true), 1);
  const std::string path = temp / "tiny.zorlan";
  ASSERT_TRUE(writeGameFile(editor, path, true));
  EXPECT_EQ(readBack(path),
            "<zorlan gtitle=\"Tiny\" gauthor=\"Me\" version=\"1\"><zone id=\"first\" track=\"\">"
            "<levels><level z=\"0\" color=\"FFFFFF\" unlocked=\"1\"/></levels>"
            "<entrance x=\"0\" y=\"50\" z=\"0\"/>"
            "<block x=\"-20\" y=\"-30\" z=\"0\" w=\"60\" h=\"30\" color=\"C0C0C0\" flg=\"solid\"/></zone></zorlan>");
}

TEST_F(ZoneDialogsTest, NewGameOverAnOpenZoneClosesIt) {
  loadGame();
  ASSERT_NE(editor.zone.openZoneNode, nullptr);
  port.formAnswers.push_back({true, {{gamefield::Title, "Fresh"}}});
  EXPECT_EQ(editGameProperties(editor, true), 1);
  EXPECT_EQ(editor.zone.openZoneNode, nullptr);  // it pointed into the game that went
  EXPECT_TRUE(editor.zone.objects.empty());
  EXPECT_TRUE(editor.game.zones.empty());
  EXPECT_EQ(editor.game.fileName, "");
}

TEST_F(ZoneDialogsTest, GamePropertiesWriteTheRoot) {
  loadGame();
  port.formAnswers.push_back({true, {{gamefield::Url, "http://x"}, {gamefield::Version, "2"}, {gamefield::Description, "d"}}});
  EXPECT_EQ(editGameProperties(editor, false), 1);
  EXPECT_EQ(editor.game.gurl, "http://x");
  EXPECT_EQ(std::string(editor.game.root->attr("gversion")), "2");
  EXPECT_EQ(std::string(editor.game.root->attr("gdesc")), "d");
  EXPECT_TRUE(editor.game.modified);
  EXPECT_EQ(gameForm(editor, false).fields[gamefield::Url].value, "http://x");
}

TEST_F(ZoneDialogsTest, NewGameCancelledAtTheSaveQuestionKeepsTheGame) {
  loadGame();
  markModified(editor);
  xml::Node* root = editor.game.root;
  port.answers.push_back(Answer::Cancel);
  port.formAnswers.push_back({true, {{gamefield::Title, "Other"}}});
  EXPECT_EQ(editGameProperties(editor, true), 0);
  EXPECT_EQ(editor.game.root, root);
  EXPECT_TRUE(editor.game.modified);
  EXPECT_EQ(editor.game.gtitle, "");
}

TEST_F(ZoneDialogsTest, ChangeZoneAndStatistics) {
  loadGame();
  port.chooserAnswers.push_back(1);  // "first", the open zone
  openZoneCommand(editor);
  EXPECT_EQ(port.choosers.back().title, "Open Zone");
  EXPECT_EQ(port.choosers.back().preselect, 1);
  EXPECT_EQ(port.status[0], "Zone already open: first");
  EXPECT_EQ(showZoneInfo(editor, false), "Size: 100 wide, 1200 tall\nLevels: 1\nBlocks: 2\nAreas: 1\nEntrances: 1");
  port.chooserAnswers.push_back(0);
  openZoneCommand(editor);
  EXPECT_EQ(editor.zone.view.zoneId, "cave");
}

TEST_F(ZoneDialogsTest, ChangeZoneWithoutZonesOffersANewOne) {
  port.formAnswers.push_back({true, {}});
  ASSERT_EQ(editGameProperties(editor, true), 1);
  port.answers.push_back(Answer::Yes);
  port.formAnswers.push_back({true, {}});
  openZoneCommand(editor);
  ASSERT_EQ(port.questions.size(), 1u);
  EXPECT_EQ(port.questions[0], "No zones exist. Would you like to create one now?");
  EXPECT_EQ(editor.zone.view.zoneId, "first");
}

}  // namespace
}  // namespace zor::editor::test
