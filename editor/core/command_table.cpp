#include "editor/core/command_table.h"

namespace zor::editor {

namespace {

using C = Command;
constexpr uint32_t G = need::Game;
constexpr uint32_t Z = need::Zone;

MenuEntry item(Command c, const char* caption, const char* shortcutText = "") {
  return MenuEntry{MenuEntryKind::Item, c, caption, shortcutText};
}
MenuEntry rule() { return MenuEntry{MenuEntryKind::Separator, C::None, "", ""}; }
MenuEntry sub(const char* caption, const char* shortcutText = "") {
  return MenuEntry{MenuEntryKind::SubMenu, C::None, caption, shortcutText};
}
MenuEntry endSub() { return MenuEntry{MenuEntryKind::EndSubMenu, C::None, "", ""}; }

constexpr Modifiers kNone{};
constexpr Modifiers kCtrl{false, true, false};
constexpr Modifiers kShift{true, false, false};
constexpr Modifiers kCtrlShift{true, true, false};
constexpr Modifiers kShiftAlt{true, false, true};

}  // namespace

const std::vector<CommandSpec>& commandSpecs() {
  static const std::vector<CommandSpec> specs = {
      {C::New, "New", 0},
      {C::NewWindow, "New Window", 0},
      {C::Open, "Open", 0},
      {C::Save, "Save", G},
      {C::SaveAs, "Save As", G},
      {C::Close, "Close", 0},
      {C::CloseGame, "Close Game", G},
      {C::GameProperties, "Game Properties", G},
      {C::Quit, "Quit", 0},
      {C::NewClass, "New Class", 0},
      {C::EditClass, "Edit Class", G},
      {C::DeleteClass, "Delete Class", G},
      {C::NewSpeedrun, "New Speedrun", 0},
      {C::EditSpeedrun, "Edit Speedrun", G},
      {C::ReorderSpeedruns, "Reorder Speedruns", G},
      {C::DeleteSpeedrun, "Delete Speedrun", G},
      {C::ReopenLastScript, "Reopen Last Script", Z},
      {C::CleanMotionAttributes, "Clean Motion Attributes", Z | need::OneSelected},
      {C::Cut, "Cut", 0},
      {C::Copy, "Copy", 0},
      {C::InsertLevel, "Insert Level", Z},
      {C::InsertBlock, "Insert Block", 0},
      {C::InsertArea, "Insert Area", 0},
      {C::InsertEntrance, "Insert Entrance", 0},
      {C::Paste, "Paste", 0},
      {C::Duplicate, "Duplicate", 0},
      {C::RangeSelect, "Range Select", Z},
      {C::FocusSelectionForward, "Focus Selection (forward)", 0},
      {C::FocusSelectionBackward, "Focus Selection (backward)", 0},
      {C::NextOfKind, "Next Of Kind", 0},
      {C::PreviousOfKind, "Previous Of Kind", 0},
      {C::Delete, "Delete", need::IdleView | need::Selection},
      {C::SelectAll, "Select All", Z},
      {C::FindBlock, "Find Block", 0},
      {C::FocusPanel, "Focus Panel", 0},
      {C::EditObjectXml, "Edit Object XML", need::Selection},
      {C::SecMarker, "Sec Marker", 0},
      {C::ChangeZone, "Change Zone", G},
      {C::ZoneStartScript, "Zone Start Script", Z},
      {C::ZoneDeathScript, "Zone Death Script", Z},
      {C::NewZone, "New Zone", 0},
      {C::DuplicateZone, "Duplicate Zone", 0},
      {C::DeleteZone, "Delete Zone", G},
      {C::CloseZone, "Close Zone", Z},
      {C::Statistics, "Statistics", 0},
      {C::ZoneProperties, "Zone Properties", Z},
      {C::Cleanup, "Cleanup", 0},
      {C::ReformatXml, "Reformat XML", G},
      {C::RestoreDeletedScript, "Restore Deleted Script", 0},
      {C::GameExecutable, "Game Executable", 0},
      {C::VisitWebpage, "Visit Webpage", 0},
      {C::Documentation, "Documentation", 0},
      {C::KeyboardShortcuts, "Keyboard Shortcuts", 0},
      {C::About, "About", 0},
      {C::Test, "Test", G},
      {C::GFlagEditor, "GFlag Editor", G},
      {C::SoundEditor, "Sound Editor", G},
      {C::ZFlagEditor, "ZFlag Editor", Z},
      {C::ToggleMaximised, "Toggle Maximised", 0},
      {C::Apply, "Apply", 0},
      {C::Cancel, "Cancel", 0},
  };
  return specs;
}

const CommandSpec* findCommand(Command command) {
  for (const CommandSpec& spec : commandSpecs())
    if (spec.command == command) return &spec;
  return nullptr;
}

bool commandAllowed(Command command, const CommandContext& context) {
  if (isRecentFileCommand(command)) return true;
  const CommandSpec* spec = findCommand(command);
  if (spec == nullptr) return false;
  uint32_t needs = spec->needs;
  if ((needs & need::Game) && !context.gameOpen) return false;
  if ((needs & need::Zone) && !context.zoneOpen) return false;
  if ((needs & need::IdleView) && !context.idleView) return false;
  if ((needs & need::Selection) && context.selectionCount < 1) return false;
  if ((needs & need::OneSelected) && context.selectionCount != 1) return false;
  return true;
}

const std::vector<MenuSpec>& menuBar() {
  static const std::vector<MenuSpec> menus = {
      {"&File",
       {item(C::New, "&New", "Ctrl+Shift+N"), item(C::Open, "&Open...", "Ctrl+O"), item(C::Save, "&Save", "Ctrl+S"),
        item(C::SaveAs, "Save &As...", "Ctrl+Shift+S"), item(C::CloseGame, "&Close", "Ctrl+W"), rule(),
        sub("&Recent Files"), MenuEntry{MenuEntryKind::RecentFiles, C::None, "", ""}, endSub(), rule(),
        item(C::Quit, "&Quit")}},
      {"&Edit",
       {sub("&Insert Object", "Ins"), item(C::InsertBlock, "&Block", "Ctrl+B"), item(C::InsertArea, "A&rea", "Ctrl+R"),
        item(C::InsertEntrance, "&Entrance", "Ctrl+E"), item(C::InsertLevel, "&Level", "Ctrl+L"), endSub(), rule(),
        item(C::Cut, "Cu&t", "Ctrl+X"), item(C::Copy, "&Copy", "Ctrl+C"), item(C::Paste, "&Paste", "Ctrl+V"),
        item(C::Duplicate, "&Duplicate", "Ctrl+D"), item(C::Delete, "De&lete", "Del"),
        item(C::SelectAll, "Select &All", "Ctrl+A"), rule(), item(C::FindBlock, "&Find Block...", "Ctrl+F")}},
      {"&Game",
       {item(C::Test, "&Test Game", "F5"), rule(), item(C::GFlagEditor, "&GFlag Editor...", "F7"),
        item(C::SoundEditor, "&Sound Editor...", "F9"), rule(), sub("&Block Classes"), item(C::NewClass, "&New..."),
        item(C::EditClass, "&Edit...", "Ctrl+Q"), rule(), item(C::DeleteClass, "&Delete..."), endSub(),
        sub("Speed&runs"), item(C::NewSpeedrun, "&New..."), item(C::EditSpeedrun, "&Edit..."),
        item(C::ReorderSpeedruns, "Re&order..."), rule(), item(C::DeleteSpeedrun, "&Delete..."), endSub(), rule(),
        item(C::CloseGame, "&Close Game", "Ctrl+W"), rule(), item(C::GameProperties, "&Properties", "Ctrl+G")}},
      {"&Zone",
       {item(C::Test, "&Test Zone", "F5"), rule(), item(C::ZFlagEditor, "Z&Flag Editor...", "F8"), rule(),
        sub("&Scripts"), item(C::ZoneStartScript, "Zone &Start", "S"), item(C::ZoneDeathScript, "Player &Death", "D"),
        endSub(), rule(), item(C::ChangeZone, "Change &Zone...", "Z"), item(C::NewZone, "&New Zone...", "Ctrl+N"),
        item(C::DuplicateZone, "D&uplicate Zone...", "Ctrl+Shift+D"),
        item(C::DeleteZone, "&Delete Zone...", "Ctrl+Shift+Del"), rule(), item(C::CloseZone, "&Close Zone", "Ctrl+W"),
        rule(), item(C::Statistics, "St&atistics"), item(C::ZoneProperties, "&Properties", "Ctrl+P")}},
      {"&Tools",
       {item(C::Cleanup, "Game File &Cleanup", "Ctrl+U"), item(C::ReformatXml, "Re&format XML"),
        item(C::RestoreDeletedScript, "Restore &Deleted Script"), rule(),
        item(C::GameExecutable, "Game E&xecutable..."), rule(), item(C::VisitWebpage, "Visit &Webpage...")}},
      {"&Help",
       {item(C::Documentation, "Documentation...", "F1"), item(C::KeyboardShortcuts, "Keyboard Shortcuts..."), rule(),
        item(C::About, "&About")}},
  };
  return menus;
}

const std::vector<Shortcut>& mainShortcuts() {
  static const std::vector<Shortcut> shortcuts = {
      {key::letter('A'), kCtrlShift, C::RangeSelect},
      {key::letter('B'), kCtrl, C::InsertBlock},
      {key::letter('D'), kCtrl, C::Duplicate},
      {key::letter('E'), kCtrl, C::InsertEntrance},
      {key::letter('F'), kCtrl, C::FindBlock},
      {key::letter('G'), kCtrl, C::GameProperties},
      {key::letter('J'), kCtrl, C::ReopenLastScript},
      {key::letter('K'), kCtrl, C::CleanMotionAttributes},
      {key::letter('L'), kCtrl, C::InsertLevel},
      {key::letter('M'), kCtrl, C::EditObjectXml},
      {key::letter('N'), kCtrl, C::NewZone},
      {key::letter('O'), kCtrl, C::Open},
      {key::letter('P'), kCtrl, C::ZoneProperties},
      {key::letter('Q'), kCtrl, C::EditClass},
      {key::letter('R'), kCtrl, C::InsertArea},
      {key::letter('S'), kCtrl, C::Save},
      {key::letter('S'), kCtrlShift, C::SaveAs},
      {key::letter('T'), kCtrl, C::FocusPanel},
      {key::letter('U'), kCtrl, C::Cleanup},
      {key::letter('W'), kCtrl, C::Close},
      {key::F1, kNone, C::Documentation},
      {key::F2, kNone, C::FocusSelectionForward},
      {key::F2, kShift, C::FocusSelectionBackward},
      {key::F3, kNone, C::NextOfKind},
      {key::F3, kShift, C::PreviousOfKind},
      {key::F5, kNone, C::Test},
      {key::F7, kNone, C::GFlagEditor},
      {key::F8, kNone, C::ZFlagEditor},
      {key::F9, kNone, C::SoundEditor},
      {key::F11, kNone, C::ToggleMaximised},
      {key::letter('N'), kShiftAlt, C::NewWindow},
      {key::letter('N'), kCtrlShift, C::New},
      {key::letter('D'), kCtrlShift, C::DuplicateZone},
      {key::Delete, kCtrl, C::DeleteZone},
      {key::Insert, kCtrl, C::NewZone},
      // Keypad 5 sends one code with Num Lock on and another with it off.
      {key::Numpad5, kCtrl, C::SecMarker},
      {key::Clear, kCtrl, C::SecMarker},
      {key::Digit0 + 5, kCtrl, C::SecMarker},
      {key::Return, kNone, C::Apply},
      {key::Escape, kNone, C::Cancel},
  };
  return shortcuts;
}

Command shortcutCommand(int32_t keyCode, const Modifiers& modifiers) {
  for (const Shortcut& s : mainShortcuts())
    if (s.key == keyCode && s.modifiers == modifiers) return s.command;
  return Command::None;
}

}  // namespace zor::editor
