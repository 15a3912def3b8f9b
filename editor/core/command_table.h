// The main window's commands: one table that gives every command its number, what it
// needs to run, the menu bar that raises it (captions with their access letters and the
// shortcut text shown beside them) and the key combinations bound to it. The menus, the
// shortcuts and the dispatch are all built from this table.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "editor/core/key_codes.h"

namespace zor::editor {

enum class Command : int32_t {
  None = 0,
  New = 1,
  NewWindow,
  Open,
  Save,
  SaveAs,
  Close,
  CloseGame,
  GameProperties,
  Quit,
  NewClass,
  EditClass,
  DeleteClass,
  NewSpeedrun,
  EditSpeedrun,
  ReorderSpeedruns,
  DeleteSpeedrun,
  ReopenLastScript,
  CleanMotionAttributes,
  Cut,
  Copy,
  // The insert popup's items carry these fixed numbers.
  InsertLevel = 0x16,
  InsertBlock = 0x17,
  InsertArea = 0x18,
  InsertEntrance = 0x19,
  Paste = 0x20,
  Duplicate,
  RangeSelect,
  FocusSelectionForward,
  FocusSelectionBackward,
  NextOfKind,
  PreviousOfKind,
  Delete,
  SelectAll,
  FindBlock,
  FocusPanel,
  EditObjectXml,
  SecMarker,
  ChangeZone,
  ZoneStartScript,
  ZoneDeathScript,
  NewZone,
  DuplicateZone,
  DeleteZone,
  CloseZone,
  Statistics,
  ZoneProperties,
  Cleanup,
  ReformatXml,
  RestoreDeletedScript,
  GameExecutable,
  VisitWebpage,
  Documentation,
  KeyboardShortcuts,
  About,
  Test,
  GFlagEditor,
  SoundEditor,
  ZFlagEditor,
  ToggleMaximised,
  Apply,
  Cancel,
  // Recent-file items: RecentFileFirst + slot (0-based).
  RecentFileFirst = 1000,
  RecentFileLast = 1099,
};

inline bool isRecentFileCommand(Command c) {
  return c >= Command::RecentFileFirst && c <= Command::RecentFileLast;
}
inline int recentFileSlot(Command c) { return static_cast<int>(c) - static_cast<int>(Command::RecentFileFirst); }
inline Command recentFileCommand(int slot) {
  return static_cast<Command>(static_cast<int>(Command::RecentFileFirst) + slot);
}

// What a command needs before it does anything; without it the command does nothing,
// silently.
namespace need {
inline constexpr uint32_t Game = 1;          // an open game
inline constexpr uint32_t Zone = 2;          // an open zone
inline constexpr uint32_t IdleView = 4;      // the canvas is not panning, dragging or placing
inline constexpr uint32_t Selection = 8;     // at least one object selected
inline constexpr uint32_t OneSelected = 16;  // exactly one object selected
}  // namespace need

struct CommandSpec {
  Command command;
  const char* name;  // for messages and tests; not shown
  uint32_t needs;
};

// The editor state the needs are checked against.
struct CommandContext {
  bool gameOpen = false;
  bool zoneOpen = false;
  bool idleView = true;
  int selectionCount = 0;
};

// Every command of the table, recent-file items excepted (they need nothing).
const std::vector<CommandSpec>& commandSpecs();
// The spec of a command; null for numbers that are no command.
const CommandSpec* findCommand(Command command);
bool commandAllowed(Command command, const CommandContext& context);

// The menu bar: each entry is an item, a separator, the start of a sub-menu or its end.
enum class MenuEntryKind { Item, Separator, SubMenu, EndSubMenu, RecentFiles };

struct MenuEntry {
  MenuEntryKind kind = MenuEntryKind::Item;
  Command command = Command::None;
  const char* caption = "";  // "&" marks the access letter
  const char* shortcutText = "";  // shown beside the caption; it binds nothing by itself
};

struct MenuSpec {
  const char* title;
  std::vector<MenuEntry> entries;
};

const std::vector<MenuSpec>& menuBar();

// A key combination bound to a command of the main window.
struct Shortcut {
  int32_t key;  // virtual-key code (key_codes.h)
  Modifiers modifiers;
  Command command;
};

// The main window's shortcuts, in the order they are added.
const std::vector<Shortcut>& mainShortcuts();
// The command bound to a key combination (the modifiers must match exactly), or None.
Command shortcutCommand(int32_t key, const Modifiers& modifiers);

}  // namespace zor::editor
