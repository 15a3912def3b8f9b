#include "editor/core/flag_name_editors.h"

#include <algorithm>

#include "editor/core/editor.h"
#include "format/values.h"
#include "platform/text.h"

namespace zor::editor {
namespace {

constexpr int kGFlagRowLimit = kMaxGameFlagNumber + 1;

std::string trimmed(std::string s, char c) {
  while (!s.empty() && s.front() == c) s.erase(s.begin());
  while (!s.empty() && s.back() == c) s.pop_back();
  return s;
}

void setOrRemove(xml::Node* node, const char* name, const std::string& value) {
  if (value.empty()) {
    node->removeAttr(name);
  } else {
    node->setAttr(name, value);
  }
}

}  // namespace

GFlagList fillGFlagList(const Editor& editor) {
  const GameFileState& game = editor.game;
  GFlagList list;
  list.rows.resize(static_cast<std::size_t>(std::clamp(game.maxGFlags, 32, kGFlagRowLimit)));
  for (const GameFlagName& n : game.gflagNames) {
    if (n.number >= 0 && static_cast<std::size_t>(n.number) < list.rows.size()) {
      list.rows[static_cast<std::size_t>(n.number)].name = n.name;
    }
  }
  for (const std::string& item : text::split(game.setflags, ',')) {
    if (text::trim(item).empty()) continue;
    const int64_t number = format::readInt64(item);
    if (number >= 0 && static_cast<std::size_t>(number) < list.rows.size()) {
      list.rows[static_cast<std::size_t>(number)].checked = true;
    }
  }
  list.testMode = game.gflagTestMode;
  list.nearest = game.nearest != 0;
  return list;
}

void renameGFlag(GFlagList& list, int number, const std::string& typed) {
  if (number < 0 || static_cast<std::size_t>(number) >= list.rows.size()) return;
  list.rows[static_cast<std::size_t>(number)].name = text::removeAll(typed, "|");
}

void raiseGFlagCount(GFlagList& list, const std::string& typed) {
  const int64_t m = format::readInt64(typed);
  const int64_t highest = std::min<int64_t>(m, kMaxGameFlagNumber);
  if (highest + 1 > static_cast<int64_t>(list.rows.size())) list.rows.resize(static_cast<std::size_t>(highest + 1));
}

void applyGFlagList(Editor& editor, const GFlagList& list) {
  GameFileState& game = editor.game;
  if (!gameOpen(editor)) return;
  std::string checked, names;
  std::vector<GameFlagName> named;
  int highest = -1;
  for (std::size_t i = 0; i < list.rows.size(); ++i) {
    const GFlagRow& row = list.rows[i];
    const std::string number = text::formatInt(static_cast<int64_t>(i));
    if (row.checked) checked += (checked.empty() ? "" : ",") + number;
    if (!row.name.empty()) {
      names += number + "|" + row.name + "|";
      named.push_back({row.name, static_cast<int>(i)});
    }
    if (row.checked || !row.name.empty()) highest = static_cast<int>(i);
  }
  if (!names.empty()) names.pop_back();
  game.setflags = checked;
  game.gflagNames = named;
  if (highest >= 0) game.maxGFlags = highest + 1;
  game.gflagTestMode = list.testMode;
  game.nearest = list.nearest ? 1 : 0;
  xml::Node* data = getEditorNode(editor);
  setOrRemove(data, "setflags", checked);
  setOrRemove(data, "gnames", names);
  setOrRemove(data, "gflags", list.testMode == 1 ? "clear" : list.testMode == 2 ? "checked" : "");
  setOrRemove(data, "nearest", list.nearest ? "" : "0");
  markModified(editor);
}

std::array<std::string, kZoneFlagCount> fillZFlagList(const Editor& editor) {
  std::array<std::string, kZoneFlagCount> names;
  for (int i = 0; i < kZoneFlagCount; ++i) names[static_cast<std::size_t>(i)] = editor.zone.view.zflagNames[static_cast<std::size_t>(i)];
  return names;
}

void applyZFlagList(Editor& editor, const std::array<std::string, kZoneFlagCount>& names) {
  if (!gameOpen(editor) || !editor.zone.openZoneNode) return;
  std::string text;
  for (int i = 0; i < kZoneFlagCount; ++i) {
    const std::string name = text::removeAll(names[static_cast<std::size_t>(i)], "|");
    editor.zone.view.zflagNames[static_cast<std::size_t>(i)] = name;
    if (!name.empty()) text += text::formatInt(i) + "|" + name + "|";
  }
  text = trimmed(text, '|');
  xml::Node* data = getEditorNode(editor);
  const std::string childName = "zone_" + text::toLower(editor.zone.view.zoneId);
  xml::Node* child = nullptr;
  for (xml::Node* c = data->firstElement(); c; c = c->nextElement()) {
    if (c->name == childName) child = c;
  }
  if (text.empty()) {
    if (child) editor.game.document->removeNode(child);
  } else {
    if (!child) {
      child = editor.game.document->createElement(childName);
      xml::Document::appendChild(data, child);
    }
    child->setAttr("zflags", text);
  }
  markModified(editor);
}

bool readSoundVolume(const std::string& typed, std::string* volume) {
  if (typed.empty()) {
    *volume = "";
    return true;
  }
  const int64_t v = format::readInt64(typed);
  if (v < 0 || v > 100) return false;
  *volume = text::formatInt(v);
  return true;
}

void applySoundList(Editor& editor, const SoundList& sounds) {
  if (!gameOpen(editor)) return;
  std::string soundNames, nums, files, vols;
  for (std::size_t i = 0; i < sounds.size(); ++i) {
    SoundSlot& slot = editor.game.sounds[i];
    slot.customName = text::removeAll(sounds[i].customName, "|");
    slot.file = sounds[i].file;
    slot.volume = sounds[i].volume;
    soundNames += slot.customName + "|";
    if (!slot.file.empty() || !slot.volume.empty()) {
      nums += text::formatInt(static_cast<int64_t>(i)) + ",";
      files += slot.file + "|";
      vols += slot.volume + ",";
    }
  }
  while (!soundNames.empty() && soundNames.back() == '|') soundNames.pop_back();
  nums = trimmed(nums, ',');
  while (!files.empty() && files.back() == '|') files.pop_back();
  while (!vols.empty() && vols.back() == ',') vols.pop_back();
  setOrRemove(getEditorNode(editor), "soundnames", soundNames);
  xml::Node* root = editor.game.root;
  xml::Node* load = nullptr;
  for (xml::Node* c = root->firstElement(); c; c = c->nextElement()) {
    if (text::toLower(c->name) == "loadsounds") load = c;
  }
  if (nums.empty()) {
    if (load) editor.game.document->removeNode(load);
  } else {
    if (!load) {
      load = editor.game.document->createElement("loadsounds");
      xml::Document::appendChild(root, load);
    }
    load->setAttr("nums", nums);
    setOrRemove(load, "files", files);
    setOrRemove(load, "vols", vols);
  }
  markModified(editor);
}

}  // namespace zor::editor
