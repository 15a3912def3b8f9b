#include "editor/core/command_table.h"

#include <gtest/gtest.h>

#include <set>

namespace zor::editor {
namespace {

TEST(CommandTable, EveryMenuItemAndShortcutNamesACommandOfTheTable) {
  int items = 0;
  for (const MenuSpec& menu : menuBar()) {
    int depth = 0;
    for (const MenuEntry& e : menu.entries) {
      if (e.kind == MenuEntryKind::SubMenu) ++depth;
      if (e.kind == MenuEntryKind::EndSubMenu) --depth;
      EXPECT_GE(depth, 0) << menu.title;
      if (e.kind != MenuEntryKind::Item) continue;
      ++items;
      EXPECT_NE(findCommand(e.command), nullptr) << e.caption;
    }
    EXPECT_EQ(depth, 0) << menu.title;
  }
  EXPECT_GT(items, 40);
  std::set<std::pair<int32_t, int>> chords;
  for (const Shortcut& s : mainShortcuts()) {
    EXPECT_NE(findCommand(s.command), nullptr);
    int mods = (s.modifiers.shift ? 1 : 0) | (s.modifiers.ctrl ? 2 : 0) | (s.modifiers.alt ? 4 : 0);
    EXPECT_TRUE(chords.insert({s.key, mods}).second) << "bound twice: " << s.key;
  }
  // Numbers are unique.
  std::set<Command> seen;
  for (const CommandSpec& spec : commandSpecs()) EXPECT_TRUE(seen.insert(spec.command).second) << spec.name;
  EXPECT_EQ(static_cast<int>(Command::InsertLevel), 0x16);
  EXPECT_EQ(static_cast<int>(Command::InsertEntrance), 0x19);
}

TEST(CommandTable, ShortcutsMatchTheirModifiersExactly) {
  const Modifiers ctrl{false, true, false}, ctrlShift{true, true, false}, none{};
  struct Case {
    int32_t key;
    Modifiers mods;
    Command expected;
  };
  const Case cases[] = {
      {key::letter('W'), ctrl, Command::Close},
      {key::letter('S'), ctrl, Command::Save},
      {key::letter('S'), ctrlShift, Command::SaveAs},
      {key::letter('N'), ctrl, Command::NewZone},
      {key::letter('N'), ctrlShift, Command::New},
      {key::letter('N'), Modifiers{true, false, true}, Command::NewWindow},
      {key::Delete, ctrl, Command::DeleteZone},
      {key::Numpad5, ctrl, Command::SecMarker},
      {key::Clear, ctrl, Command::SecMarker},
      {key::Digit0 + 5, ctrl, Command::SecMarker},
      {key::Return, none, Command::Apply},
      {key::Escape, none, Command::Cancel},
      {key::F2, Modifiers{true, false, false}, Command::FocusSelectionBackward},
      // Canvas keys are not shortcuts: the panels' text fields keep them.
      {key::letter('X'), ctrl, Command::None},
      {key::letter('C'), ctrl, Command::None},
      {key::letter('V'), ctrl, Command::None},
      {key::letter('A'), ctrl, Command::None},
      {key::Delete, none, Command::None},
      {key::Insert, none, Command::None},
      {key::letter('S'), none, Command::None},
      {key::letter('Z'), none, Command::None},
      {key::Right, ctrl, Command::None},
      {key::letter('B'), ctrlShift, Command::None},
  };
  for (const Case& c : cases) EXPECT_EQ(shortcutCommand(c.key, c.mods), c.expected) << c.key;
}

TEST(CommandTable, NeedsOfTheCommands) {
  CommandContext nothing;
  CommandContext game{true, false, true, 0};
  CommandContext zone{true, true, true, 0};
  CommandContext one{true, true, true, 1};
  CommandContext two{true, true, true, 2};
  CommandContext placing{true, true, false, 1};
  struct Case {
    Command command;
    CommandContext context;
    bool allowed;
  };
  const Case cases[] = {
      {Command::Open, nothing, true},
      {Command::New, nothing, true},
      {Command::Save, nothing, false},
      {Command::Save, game, true},
      {Command::Test, game, true},
      {Command::ChangeZone, game, true},
      {Command::ZoneProperties, game, false},
      {Command::ZoneProperties, zone, true},
      {Command::InsertLevel, game, false},
      {Command::ZFlagEditor, zone, true},
      {Command::Delete, zone, false},
      {Command::Delete, one, true},
      {Command::Delete, placing, false},
      {Command::CleanMotionAttributes, one, true},
      {Command::CleanMotionAttributes, two, false},
      {Command::EditObjectXml, zone, false},
      {Command::EditObjectXml, two, true},  // it warns about the second one itself
      {Command::Close, nothing, true},
      {Command::Quit, nothing, true},
      {recentFileCommand(3), nothing, true},
      {static_cast<Command>(999), zone, false},
  };
  for (const Case& c : cases) {
    const CommandSpec* spec = findCommand(c.command);
    EXPECT_EQ(commandAllowed(c.command, c.context), c.allowed) << (spec ? spec->name : "?");
  }
}

}  // namespace
}  // namespace zor::editor
