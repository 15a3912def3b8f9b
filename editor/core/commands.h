// The command table: every command the menus and shortcuts raise, the menu
// bar, the main window's shortcuts and the dispatch.
#pragma once

#include <string>
#include <vector>

#include "editor/core/editor.h"

namespace zor::editor {

enum class Command {
  None,
  New, NewWindow, Open, Save, SaveAs, Close, CloseGame, CloseZone, Quit,
  InsertBlock, InsertArea, InsertEntrance, InsertLevel,
  Cut, Copy, Paste, Duplicate, Delete, SelectAll, FindBlock,
  Test, GFlagEditor, SoundEditor, NewClass, EditClass, DeleteClass,
  NewSpeedrun, EditSpeedrun, ReorderSpeedruns, DeleteSpeedrun, GameProperties,
  ZFlagEditor, ZoneStartScript, ZoneDeathScript, ChangeZone, NewZone, DuplicateZone, DeleteZone,
  Statistics, ZoneProperties,
  Cleanup, ReformatXml, RestoreDeletedScript, GameExecutable, VisitWebpage,
  Documentation, KeyboardShortcuts, About,
  RangeSelect, ReopenLastScript, CleanMotionAttributes, EditObjectXml, FocusPanel,
  FocusSelectionForward, FocusSelectionBackward, NextOfKind, PreviousOfKind,
  ToggleMaximised, SecMarker, Apply, Cancel,
  RecentFile,  // with the slot number
};

// The menu bar, flattened: a menu title starts a menu, a sub-menu caption
// opens a sub-menu closed by an end item; an empty caption is a rule.
struct MenuEntry {
  enum class Type { Menu, SubMenu, EndSubMenu, Item, Rule, RecentFiles } type;
  std::string caption;      // with "&" before the access letter
  std::string accelerator;  // display only
  Command command = Command::None;
};
const std::vector<MenuEntry>& menuBar();

// The "+ Insert" menu: Block, Area, Entrance and Level, the selection's own kind first
// (Level with nothing selected) and then a rule; a mixed selection lists them in order.
std::vector<MenuEntry> insertMenu(const Editor& editor);

namespace modifier {
inline constexpr int Ctrl = 1;  // the Command key's role
inline constexpr int Shift = 2;
inline constexpr int Alt = 4;
}  // namespace modifier

struct Shortcut {
  int modifiers = 0;
  std::string key;  // "A".."Z", "5", "F1".."F12", "Delete", "Insert", "Enter", "Escape", "Keypad5"
  Command command = Command::None;
};
// The main window's shortcuts in the order they are added.
const std::vector<Shortcut>& mainShortcuts();

// What the desktop does for commands of its own (the widgets' part).
class CommandHost {
 public:
  virtual ~CommandHost() = default;
  virtual void toggleMaximised() = 0;
  virtual std::string ownExecutable() = 0;
  // The Game File Cleanup window, run modally.
  virtual void runCleanUpDialog() {}
};

// Runs a command. `slot` is the recent-file slot for Command::RecentFile.
void dispatchCommand(Editor& editor, CommandHost& host, Command command, int slot = 0);

}  // namespace zor::editor
