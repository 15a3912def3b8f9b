// The GFlag, ZFlag and Sound Editor commands: OK writes the edited rows into
// the game, Cancel changes nothing.
#include "editor/core/flag_editor_commands.h"

#include <gtest/gtest.h>

#include "tests/editor/core/editor_fixture.h"

namespace zor::editor::test {
namespace {

class FlagEditorCommandsTest : public EditorTest {
 protected:
  void load() {
    const std::string path = writeFile(
        "g.zorlan", "<zorlan version=\"1\"><zone id=\"Cave\"><levels><level z=\"0\"/></levels></zone>"
                    "<zorled gnames=\"3|door\"/></zorlan>");
    ASSERT_TRUE(loadGameFileForEditing(editor, path));
    ASSERT_TRUE(openZone(editor, editor.game.zones[0].node));
    editor.game.modified = false;
  }
  std::string dataXml() {
    const xml::Node* n = editor.game.root->childByPath("zorled");
    return n ? xml::Document::serializeNode(n) : "";
  }
  struct Host : CommandHost {
    void toggleMaximised() override {}
    std::string ownExecutable() override { return ""; }
  } host;
};

struct EditorCase {
  const char* name;
  Command command;
  bool ok;
  const char* dataAfter;  // the editor element afterwards
  const char* soundsAfter;  // the loadsounds element afterwards ("" when none)
};

TEST_F(FlagEditorCommandsTest, OkWritesTheRowsAndCancelChangesNothing) {
  const EditorCase cases[] = {
      {"gflag ok", Command::GFlagEditor, true, "<zorled gnames=\"3|door|5|key\" setflags=\"5\"/>", ""},
      {"gflag cancel", Command::GFlagEditor, false, "<zorled gnames=\"3|door\"/>", ""},
      {"zflag ok", Command::ZFlagEditor, true,
       "<zorled gnames=\"3|door\"><zone_cave zflags=\"2|lever\"/></zorled>", ""},
      {"zflag cancel", Command::ZFlagEditor, false, "<zorled gnames=\"3|door\"/>", ""},
      {"sound ok", Command::SoundEditor, true, "<zorled gnames=\"3|door\" soundnames=\"|bang\"/>",
       "<loadsounds nums=\"1\" files=\"s/b.wav\" vols=\"70\"/>"},
      {"sound cancel", Command::SoundEditor, false, "<zorled gnames=\"3|door\"/>", ""},
  };
  for (const EditorCase& c : cases) {
    SCOPED_TRACE(c.name);
    load();
    port.gflagEditor = [&](GFlagList& list) {
      EXPECT_EQ(list.rows[3].name, "door");
      renameGFlag(list, 5, "key");
      list.rows[5].checked = true;
      return c.ok;
    };
    port.zflagEditor = [&](ZFlagNames& names) {
      names.names[2] = "lever";
      return c.ok;
    };
    port.soundEditor = [&](SoundRows& rows) {
      rows.slots[1] = {"bang", "s/b.wav", "70"};
      return c.ok;
    };
    dispatchCommand(editor, host, c.command);
    EXPECT_EQ(dataXml(), c.dataAfter);
    const xml::Node* sounds = editor.game.root->childByPath("loadsounds");
    EXPECT_EQ(sounds ? xml::Document::serializeNode(sounds) : "", c.soundsAfter);
    EXPECT_EQ(editor.game.modified, c.ok);
  }
}

TEST(FlagEditorRowsTest, GFlagRowsRenameAddAndClear) {
  const struct {
    const char* name;
    int row;
    const char* typed;  // nullptr: cancelled
    const char* title;
    const char* defaultText;
    std::size_t rowsAfter;
    const char* nameOfRow1;
  } cases[] = {
      {"rename", 1, "a|door", "GFlag 1 Name", "old", 32, "adoor"},
      {"rename cancelled", 1, nullptr, "GFlag 1 Name", "old", 32, "old"},
      {"add rows", 32, "40", "Max GFlags", "31", 41, "old"},
      {"fewer rows kept", 32, "10", "Max GFlags", "31", 32, "old"},
      {"past the last row", 33, "40", nullptr, nullptr, 32, "old"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    FakePort port;
    if (c.typed) port.typedTexts.push_back(c.typed);
    GFlagList list;
    list.rows.resize(32);
    list.rows[1] = {"old", true};
    activateGFlagRow(port, list, c.row);
    ASSERT_EQ(port.prompts.size(), c.title ? 1u : 0u);
    if (c.title) {
      EXPECT_EQ(port.prompts[0].title, c.title);
      EXPECT_EQ(port.prompts[0].defaultText, c.defaultText);
    }
    EXPECT_EQ(list.rows.size(), c.rowsAfter);
    EXPECT_EQ(list.rows[1].name, c.nameOfRow1);
  }
  GFlagList list;
  list.rows.resize(32);
  list.rows[1] = {"old", true};
  clearGFlagRow(list, 1);
  clearGFlagRow(list, 32);  // the adding row: nothing to clear
  EXPECT_EQ(list.rows[1].name, "");
  EXPECT_FALSE(list.rows[1].checked);
}

TEST(FlagEditorRowsTest, ZFlagRowsRenameAndClear) {
  FakePort port;
  ZFlagNames names;
  names.names[4] = "gate";
  port.typedTexts = {"big|gate"};
  activateZFlagRow(port, names, 4);
  activateZFlagRow(port, names, 32);  // no such row: nothing asked
  ASSERT_EQ(port.prompts.size(), 1u);
  EXPECT_EQ(port.prompts[0].title, "ZFlag 4 Name");
  EXPECT_EQ(port.prompts[0].prompt, "Enter a description for ZFlag 4:");
  EXPECT_EQ(port.prompts[0].defaultText, "gate");
  EXPECT_EQ(names.names[4], "biggate");
  clearZFlagRow(names, 4);
  EXPECT_EQ(names.names[4], "");
}

TEST(FlagEditorRowsTest, SoundButtonsChangeEverySelectedRow) {
  enum Action { Rename, Volume, Wav, ClearWav };
  const struct {
    const char* name;
    Action action;
    const char* typed;  // the Input dialog's answer, or the chosen file
    const char* name2;
    const char* file2;
    const char* volume2;
    std::size_t warnings;
  } cases[] = {
      {"rename", Rename, "b|oom", "boom", "old.wav", "20", 0},
      {"rename cancelled", Rename, nullptr, "old", "old.wav", "20", 0},
      {"volume", Volume, "070", "old", "old.wav", "70", 0},
      {"volume emptied", Volume, "", "old", "old.wav", "", 0},
      {"volume out of range", Volume, "101", "old", "old.wav", "20", 1},
      {"wav below the game", Wav, "/games/snd/x.wav", "old", "snd/x.wav", "20", 0},
      {"wav elsewhere", Wav, "/other/x.wav", "old", "x.wav", "20", 0},
      {"wav with a bar", Wav, "/games/a|b.wav", "old", "old.wav", "20", 1},
      {"wav cancelled", Wav, nullptr, "old", "old.wav", "20", 0},
      {"clear wav", ClearWav, nullptr, "old", "", "20", 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    FakePort port;
    SoundRows rows;
    rows.gamePath = "/games/g.zorlan";
    rows.slots[2] = {"old", "old.wav", "20"};
    rows.slots[3] = {"old", "old.wav", "20"};
    const std::vector<int> selected = {2, 3};
    switch (c.action) {
      case Rename:
        if (c.typed) port.typedTexts.push_back(c.typed);
        renameSelectedSounds(port, rows, selected, 2);
        break;
      case Volume:
        if (c.typed) port.typedTexts.push_back(c.typed);
        setSelectedVolumes(port, rows, selected, 2);
        break;
      case Wav:
        if (c.typed) port.fileChoices.push_back({true, c.typed, 0});
        selectSoundWav(port, rows, selected, 2);
        ASSERT_EQ(port.openRequests.size(), 1u);
        EXPECT_EQ(port.openRequests[0].startPath, "/games/old.wav");
        break;
      case ClearWav: clearSelectedWavs(rows, selected); break;
    }
    for (int slot : selected) {
      EXPECT_EQ(rows.slots[static_cast<std::size_t>(slot)].customName, c.name2);
      EXPECT_EQ(rows.slots[static_cast<std::size_t>(slot)].file, c.file2);
      EXPECT_EQ(rows.slots[static_cast<std::size_t>(slot)].volume, c.volume2);
    }
    EXPECT_EQ(rows.slots[4].customName, "");  // not selected
    EXPECT_EQ(port.messages.size(), c.warnings);
  }
  SoundRows rows;
  rows.slots[5] = {"n", "f.wav", "9"};
  clearSoundRow(rows, 5);
  clearSoundRow(rows, 24);
  EXPECT_EQ(rows.slots[5].customName + rows.slots[5].file + rows.slots[5].volume, "");
  EXPECT_EQ(builtInSoundName(0), "Jump");
  EXPECT_EQ(builtInSoundName(24), "");
}

}  // namespace
}  // namespace zor::editor::test
