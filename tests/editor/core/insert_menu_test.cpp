// The "+ Insert" menu of the side panels.
#include <gtest/gtest.h>

#include <string>

#include "editor/core/commands.h"
#include "editor/core/selection.h"
#include "tests/editor/core/canvas_fixture.h"

namespace zor::editor::test {
namespace {

class InsertMenuTest : public CanvasTest {};

std::string captions(const std::vector<MenuEntry>& menu) {
  std::string out;
  for (const MenuEntry& e : menu) out += (out.empty() ? "" : " ") + (e.type == MenuEntry::Type::Rule ? "-" : e.caption);
  return out;
}

TEST_F(InsertMenuTest, TheSelectionsKindComesFirst) {
  openZoneWith("<levels><level z=\"0\"/></levels><block oname=\"b\" x=\"0\"/><area xlim=\"0,5\" ylim=\"0,5\"/>"
               "<entrance_e x=\"0\" y=\"0\"/>");
  struct Case {
    std::vector<std::string> selected;
    const char* menu;
  };
  const Case cases[] = {
      {{}, "Level - Block Area Entrance"},
      {{"b"}, "Block - Area Entrance Level"},
      {{"area"}, "Area - Block Entrance Level"},
      {{"entrance_e"}, "Entrance - Block Area Level"},
      {{"b", "area"}, "Block Area Entrance Level"},
  };
  for (const Case& c : cases) {
    deselectAll(editor);
    for (const std::string& name : c.selected) selectObject(editor, byName(name));
    EXPECT_EQ(captions(insertMenu(editor)), c.menu);
  }
  // Each item runs its insert command.
  deselectAll(editor);
  const std::vector<MenuEntry> menu = insertMenu(editor);
  EXPECT_EQ(menu.front().command, Command::InsertLevel);
  EXPECT_EQ(menu[2].command, Command::InsertBlock);
  EXPECT_EQ(menu[3].command, Command::InsertArea);
  EXPECT_EQ(menu[4].command, Command::InsertEntrance);
}

}  // namespace
}  // namespace zor::editor::test
