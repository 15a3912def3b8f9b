#include "editor/core/flag_editor_commands.h"

#include "editor/core/editor.h"
#include "editor/core/port.h"
#include "editor/core/script_edit.h"
#include "format/vocabulary.h"
#include "platform/files.h"
#include "platform/text.h"

namespace zor::editor {
namespace {

constexpr const char* kWarningTitle = "ZorlED";
constexpr int kDigitsOnly = 1;

bool validSlot(int slot) { return slot >= 0 && slot < format::kSoundSlotCount; }

SoundSlot* slotAt(SoundRows& rows, int slot) {
  return validSlot(slot) ? &rows.slots[static_cast<std::size_t>(slot)] : nullptr;
}

}  // namespace

int editGFlags(Editor& editor) {
  if (!gameOpen(editor)) return 0;
  GFlagList list = fillGFlagList(editor);
  if (!editor.port.runGFlagEditor(list)) return 0;
  applyGFlagList(editor, list);
  return 1;
}

int editZFlags(Editor& editor) {
  if (!gameOpen(editor) || !editor.zone.openZoneNode) return 0;
  ZFlagNames names{fillZFlagList(editor)};
  if (!editor.port.runZFlagEditor(names)) return 0;
  applyZFlagList(editor, names.names);
  return 1;
}

int editSounds(Editor& editor) {
  if (!gameOpen(editor)) return 0;
  SoundRows rows{editor.game.sounds, editor.game.path};
  if (!editor.port.runSoundEditor(rows)) return 0;
  applySoundList(editor, rows.slots);
  return 1;
}

bool dispatchFlagEditorCommand(Editor& editor, Command command) {
  switch (command) {
    case Command::GFlagEditor: editGFlags(editor); return true;
    case Command::ZFlagEditor: editZFlags(editor); return true;
    case Command::SoundEditor: editSounds(editor); return true;
    default: return false;
  }
}

void activateGFlagRow(EditorPort& port, GFlagList& list, int row) {
  const int n = static_cast<int>(list.rows.size());
  std::string typed;
  if (row >= 0 && row < n) {
    const std::string i = text::formatInt(row);
    if (port.promptForText("GFlag " + i + " Name", "Enter a description for GFlag " + i + ":",
                           list.rows[static_cast<std::size_t>(row)].name, 0, &typed)) {
      renameGFlag(list, row, typed);
    }
  } else if (row == n) {
    if (port.promptForText("Max GFlags", "Enter new maximum:", text::formatInt(n - 1), kDigitsOnly, &typed)) {
      raiseGFlagCount(list, typed);
    }
  }
}

void clearGFlagRow(GFlagList& list, int row) {
  if (row < 0 || static_cast<std::size_t>(row) >= list.rows.size()) return;
  list.rows[static_cast<std::size_t>(row)] = GFlagRow{};
}

void activateZFlagRow(EditorPort& port, ZFlagNames& names, int row) {
  if (row < 0 || row >= kZoneFlagCount) return;
  const std::string i = text::formatInt(row);
  std::string& name = names.names[static_cast<std::size_t>(row)];
  std::string typed;
  if (port.promptForText("ZFlag " + i + " Name", "Enter a description for ZFlag " + i + ":", name, 0, &typed)) {
    name = text::removeAll(typed, "|");
  }
}

void clearZFlagRow(ZFlagNames& names, int row) {
  if (row >= 0 && row < kZoneFlagCount) names.names[static_cast<std::size_t>(row)].clear();
}

void renameSelectedSounds(EditorPort& port, SoundRows& rows, const std::vector<int>& selected, int current) {
  if (selected.empty()) return;
  const SoundSlot* at = slotAt(rows, current);
  std::string typed;
  if (!port.promptForText("Sound Name", "Enter custom sound name:", at ? at->customName : "", 0, &typed)) return;
  const std::string name = text::removeAll(typed, "|");
  for (int slot : selected) {
    if (SoundSlot* s = slotAt(rows, slot)) s->customName = name;
  }
}

void selectSoundWav(EditorPort& port, SoundRows& rows, const std::vector<int>& selected, int current) {
  if (selected.empty()) return;
  const SoundSlot* at = slotAt(rows, current);
  FileRequest request;
  request.title = "Select WAV";
  request.startPath = files::folderPart(rows.gamePath) + (at ? at->file : "");
  request.pattern = "WAV Audio (*.wav)|*.wav";
  const FileChoice choice = port.openFileRequester(request);
  if (!choice.chosen) return;
  const std::string wav = makeRelativePath(rows.gamePath, choice.path, "");
  if (wav.find('|') != std::string::npos) {
    port.messageBox(kWarningTitle, "File name cannot have the character: |", MessageIcon::Warning);
    return;
  }
  for (int slot : selected) {
    if (SoundSlot* s = slotAt(rows, slot)) s->file = wav;
  }
}

void clearSelectedWavs(SoundRows& rows, const std::vector<int>& selected) {
  for (int slot : selected) {
    if (SoundSlot* s = slotAt(rows, slot)) s->file.clear();
  }
}

void setSelectedVolumes(EditorPort& port, SoundRows& rows, const std::vector<int>& selected, int current) {
  if (selected.empty()) return;
  const SoundSlot* at = slotAt(rows, current);
  std::string typed, volume;
  if (!port.promptForText("Sound Volume", "Enter custom sound volume (default 50):", at ? at->volume : "",
                          kDigitsOnly, &typed)) {
    return;
  }
  if (!readSoundVolume(typed, &volume)) {
    port.messageBox(kWarningTitle, "Volume must be between 0 and 100.", MessageIcon::Warning);
    return;
  }
  for (int slot : selected) {
    if (SoundSlot* s = slotAt(rows, slot)) s->volume = volume;
  }
}

void clearSoundRow(SoundRows& rows, int row) {
  if (SoundSlot* s = slotAt(rows, row)) *s = SoundSlot{};
}

std::string builtInSoundName(int slot) { return soundDisplayName(slot); }

}  // namespace zor::editor
