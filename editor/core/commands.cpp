#include "editor/core/commands.h"

#include "editor/core/command_needs.h"
#include "editor/core/definition_commands.h"
#include "editor/core/definition_dialogs.h"
#include "editor/core/flag_editor_commands.h"
#include "editor/core/help_pages.h"
#include "editor/core/script_edit.h"
#include "editor/core/session.h"
#include "editor/core/test_run.h"
#include "editor/core/xml_reformat.h"
#include "editor/core/zone_dialogs.h"

namespace zor::editor {

namespace {

using T = MenuEntry::Type;

MenuEntry menu(const char* caption) { return {T::Menu, caption, "", Command::None}; }
MenuEntry sub(const char* caption, const char* accel = "") { return {T::SubMenu, caption, accel, Command::None}; }
MenuEntry end() { return {T::EndSubMenu, "", "", Command::None}; }
MenuEntry item(const char* caption, const char* accel, Command c) { return {T::Item, caption, accel, c}; }
MenuEntry rule() { return {T::Rule, "", "", Command::None}; }

}  // namespace

const std::vector<MenuEntry>& menuBar() {
  static const std::vector<MenuEntry> entries = {
      menu("&File"),
      item("&New", "Ctrl+Shift+N", Command::New),
      // The desktop may take Shift+Alt+N for itself; the menu keeps the command reachable.
      item("New &Window", "Shift+Alt+N", Command::NewWindow),
      item("&Open...", "Ctrl+O", Command::Open),
      item("&Save", "Ctrl+S", Command::Save),
      item("Save &As...", "Ctrl+Shift+S", Command::SaveAs),
      item("&Close", "Ctrl+W", Command::CloseGame),
      rule(),
      sub("&Recent Files"),
      {T::RecentFiles, "", "", Command::RecentFile},
      end(),
      rule(),
      item("&Quit", "", Command::Quit),
      menu("&Edit"),
      sub("&Insert Object", "Ins"),
      item("&Block", "Ctrl+B", Command::InsertBlock),
      item("A&rea", "Ctrl+R", Command::InsertArea),
      item("&Entrance", "Ctrl+E", Command::InsertEntrance),
      item("&Level", "Ctrl+L", Command::InsertLevel),
      end(),
      rule(),
      item("Cu&t", "Ctrl+X", Command::Cut),
      item("&Copy", "Ctrl+C", Command::Copy),
      item("&Paste", "Ctrl+V", Command::Paste),
      item("&Duplicate", "Ctrl+D", Command::Duplicate),
      item("De&lete", "Del", Command::Delete),
      item("Select &All", "Ctrl+A", Command::SelectAll),
      rule(),
      item("&Find Block...", "Ctrl+F", Command::FindBlock),
      menu("&Game"),
      item("&Test Game", "F5", Command::Test),
      rule(),
      item("&GFlag Editor...", "F7", Command::GFlagEditor),
      item("&Sound Editor...", "F9", Command::SoundEditor),
      rule(),
      sub("&Block Classes"),
      item("&New...", "", Command::NewClass),
      item("&Edit...", "Ctrl+Q", Command::EditClass),
      rule(),
      item("&Delete...", "", Command::DeleteClass),
      end(),
      sub("Speed&runs"),
      item("&New...", "", Command::NewSpeedrun),
      item("&Edit...", "", Command::EditSpeedrun),
      item("Re&order...", "", Command::ReorderSpeedruns),
      rule(),
      item("&Delete...", "", Command::DeleteSpeedrun),
      end(),
      rule(),
      item("&Close Game", "Ctrl+W", Command::CloseGame),
      rule(),
      item("&Properties", "Ctrl+G", Command::GameProperties),
      menu("&Zone"),
      item("&Test Zone", "F5", Command::Test),
      rule(),
      item("Z&Flag Editor...", "F8", Command::ZFlagEditor),
      rule(),
      sub("&Scripts"),
      item("Zone &Start", "S", Command::ZoneStartScript),
      item("Player &Death", "D", Command::ZoneDeathScript),
      end(),
      rule(),
      item("Change &Zone...", "Z", Command::ChangeZone),
      item("&New Zone...", "Ctrl+N", Command::NewZone),
      item("D&uplicate Zone...", "Ctrl+Shift+D", Command::DuplicateZone),
      item("&Delete Zone...", "Ctrl+Shift+Del", Command::DeleteZone),
      rule(),
      item("&Close Zone", "Ctrl+W", Command::CloseZone),
      rule(),
      item("St&atistics", "", Command::Statistics),
      item("&Properties", "Ctrl+P", Command::ZoneProperties),
      menu("&Tools"),
      item("Game File &Cleanup", "Ctrl+U", Command::Cleanup),
      item("Re&format XML", "", Command::ReformatXml),
      item("Restore &Deleted Script", "", Command::RestoreDeletedScript),
      rule(),
      item("Game E&xecutable...", "", Command::GameExecutable),
      rule(),
      item("Visit &Webpage...", "", Command::VisitWebpage),
      menu("&Help"),
      item("Documentation...", "F1", Command::Documentation),
      item("Keyboard Shortcuts...", "", Command::KeyboardShortcuts),
      rule(),
      item("&About", "", Command::About),
  };
  return entries;
}

std::vector<MenuEntry> insertMenu(const Editor& editor) {
  const MenuEntry items[] = {item("Block", "", Command::InsertBlock), item("Area", "", Command::InsertArea),
                             item("Entrance", "", Command::InsertEntrance), item("Level", "", Command::InsertLevel)};
  // The selection's kind: 0 nothing (the level panel), 1 to 3 one kind, -1 mixed.
  int own = 0;
  for (const auto& o : editor.zone.objects) {
    if (!(o->flags & objflag::Selected) || o->kind < kind::Block || o->kind > kind::Entrance) continue;
    if (own == 0) {
      own = o->kind;
    } else if (own != o->kind) {
      own = -1;
      break;
    }
  }
  const int first = own == 0 ? 3 : own - 1;  // index into items; -2 for a mixed selection
  std::vector<MenuEntry> out;
  if (first >= 0) {
    out.push_back(items[first]);
    out.push_back({T::Rule, "", "", Command::None});
  }
  for (int i = 0; i < 4; ++i)
    if (i != first) out.push_back(items[i]);
  return out;
}

const std::vector<Shortcut>& mainShortcuts() {
  using namespace modifier;
  static const std::vector<Shortcut> shortcuts = {
      {Ctrl | Shift, "A", Command::RangeSelect},
      {Ctrl, "B", Command::InsertBlock},
      {Ctrl, "D", Command::Duplicate},
      {Ctrl, "E", Command::InsertEntrance},
      {Ctrl, "F", Command::FindBlock},
      {Ctrl, "G", Command::GameProperties},
      {Ctrl, "J", Command::ReopenLastScript},
      {Ctrl, "K", Command::CleanMotionAttributes},
      {Ctrl, "L", Command::InsertLevel},
      {Ctrl, "M", Command::EditObjectXml},
      {Ctrl, "N", Command::NewZone},
      {Ctrl, "O", Command::Open},
      {Ctrl, "P", Command::ZoneProperties},
      {Ctrl, "Q", Command::EditClass},
      {Ctrl, "R", Command::InsertArea},
      {Ctrl, "S", Command::Save},
      {Ctrl | Shift, "S", Command::SaveAs},
      {Ctrl, "T", Command::FocusPanel},
      {Ctrl, "U", Command::Cleanup},
      {Ctrl, "W", Command::Close},
      {0, "F1", Command::Documentation},
      {0, "F2", Command::FocusSelectionForward},
      {Shift, "F2", Command::FocusSelectionBackward},
      {0, "F3", Command::NextOfKind},
      {Shift, "F3", Command::PreviousOfKind},
      {0, "F5", Command::Test},
      {0, "F7", Command::GFlagEditor},
      {0, "F8", Command::ZFlagEditor},
      {0, "F9", Command::SoundEditor},
      {0, "F11", Command::ToggleMaximised},
      {Shift | Alt, "N", Command::NewWindow},
      {Ctrl | Shift, "N", Command::New},
      {Ctrl | Shift, "D", Command::DuplicateZone},
      {Ctrl, "Delete", Command::DeleteZone},
      {Ctrl, "Insert", Command::NewZone},
      {Ctrl, "Keypad5", Command::SecMarker},
      {Ctrl, "5", Command::SecMarker},
      {0, "Enter", Command::Apply},
      {0, "Escape", Command::Cancel},
  };
  return shortcuts;
}

void dispatchCommand(Editor& editor, CommandHost& host, Command command, int slot) {
  EditorPort& port = editor.port;
  if (!commandAllowed(editor, command)) return;
  if (dispatchZoneDialogCommand(editor, command)) return;
  if (dispatchDefinitionCommand(editor, command)) return;
  if (dispatchDefinitionEditCommand(editor, command)) return;
  if (dispatchFlagEditorCommand(editor, command)) return;
  if (dispatchCanvasCommand(editor, command)) return;
  switch (command) {
    case Command::NewWindow: openNewEditorWindow(editor, host.ownExecutable()); break;
    case Command::Open: openGameThenChooseZone(editor, ""); break;
    case Command::Save:
      if (gameOpen(editor)) saveCurrentGame(editor);
      break;
    case Command::SaveAs: saveAsCommand(editor); break;
    case Command::Close:
      if (editor.zone.openZoneNode) {
        closeZone(editor);
        port.setStatus(0, "");
      } else if (gameOpen(editor) && confirmCloseGame(editor)) {
        editor.prefs.lastFile.clear();
        editor.prefs.lastZone.clear();
      }
      updateWindowTitle(editor, true);
      port.redrawCanvas();
      break;
    case Command::CloseGame:
      if (!gameOpen(editor)) break;
      if (confirmCloseGame(editor)) {
        editor.prefs.lastFile.clear();
        editor.prefs.lastZone.clear();
      }
      updateWindowTitle(editor, true);
      port.redrawCanvas();
      break;
    case Command::CloseZone:
      if (!editor.zone.openZoneNode) break;
      closeZone(editor);
      port.setStatus(0, "");
      updateWindowTitle(editor, true);
      port.redrawCanvas();
      break;
    case Command::Quit:
      if (confirmDiscardChanges(editor)) editor.session.quitRequested = true;
      break;
    case Command::ToggleMaximised: host.toggleMaximised(); break;
    case Command::Test: startTestRun(editor, host); break;
    case Command::GameExecutable: chooseGameExecutable(editor); break;
    case Command::Cleanup: host.runCleanUpDialog(); break;
    case Command::RecentFile:
      if (slot >= 0 && static_cast<std::size_t>(slot) < editor.prefs.recentFiles.size() &&
          !editor.prefs.recentFiles[static_cast<std::size_t>(slot)].empty()) {
        openGameThenChooseZone(editor, editor.prefs.recentFiles[static_cast<std::size_t>(slot)]);
      }
      break;
    case Command::ReformatXml: reformatXmlCommand(editor); break;
    case Command::ReopenLastScript: reopenLastScript(editor); break;
    case Command::Documentation: showHelp(editor, kMainHelpPage); break;
    case Command::KeyboardShortcuts: showHelp(editor, kShortcutsHelpPage); break;
    case Command::About: showAbout(editor); break;
    default: break;  // commands of the canvas, panels and dialogs
  }
}

}  // namespace zor::editor
