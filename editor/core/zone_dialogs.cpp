#include "editor/core/zone_dialogs.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "editor/core/edit_commands.h"
#include "editor/core/editor.h"
#include "editor/core/number_text.h"
#include "editor/core/script_edit.h"
#include "editor/core/zone_delete.h"
#include "editor/core/zone_duplicate.h"
#include "format/values.h"
#include "platform/files.h"
#include "platform/text.h"

namespace zor::editor {
namespace {

constexpr const char* kWarningTitle = "ZorlED";

const char* const kZoneAttributes[zonefield::Count] = {"id",   "name", "persist", "notes", "xlim",
                                                        "ylim", "track", "volume", "zoom",  "gravity"};

void sortZoneList(GameFileState& game) {
  std::stable_sort(game.zones.begin(), game.zones.end(),
                   [](const ZoneEntry& a, const ZoneEntry& b) { return a.id < b.id; });
}

// The two numbers of a limits text, or the defaults for an empty text; in order.
void readLimits(const std::string& limits, float lo, float hi, float& outMin, float& outMax) {
  if (!limits.empty()) {
    lo = format::readFloat(text::field(limits, ',', 0));
    hi = format::readFloat(text::field(limits, ',', 1));
  }
  if (lo > hi) std::swap(lo, hi);
  outMin = lo;
  outMax = hi;
}

// The game reads a present but empty `zoom` or `gravity` as 0 (a still camera
// or no fall), and the save keeps them: an empty field means the game's own
// value, so the attribute goes, unless the zone already had it empty.
void writePlayAttribute(xml::Node* zone, const char* name, const std::string& value) {
  if (!value.empty()) {
    zone->setAttr(name, value);
  } else if (const xml::Attribute* a = zone->findAttr(name); a && !a->value.empty()) {
    zone->removeAttr(name);
  }
}

xml::Node* addChild(xml::Document& doc, xml::Node* parent, const char* name,
                    std::initializer_list<std::pair<const char*, const char*>> attributes) {
  xml::Node* node = doc.createElement(name);
  for (const auto& a : attributes) node->setAttr(a.first, a.second);
  xml::Document::appendChild(parent, node);
  return node;
}

void createZone(Editor& editor, const std::vector<std::string>& values) {
  GameFileState& game = editor.game;
  if (editor.zone.openZoneNode) closeZone(editor);
  xml::Document& doc = *game.document;
  xml::Node* zone = doc.createElement("zone");
  xml::Document::appendChild(game.root, zone);
  const std::string id = text::toLower(values[zonefield::Id]);
  for (int f = 0; f < zonefield::Count; ++f) {
    if (f == zonefield::Zoom || f == zonefield::Gravity) {
      writePlayAttribute(zone, kZoneAttributes[f], values[f]);
    } else {
      zone->setAttr(kZoneAttributes[f], f == zonefield::Id ? id : values[f]);
    }
  }
  xml::Node* levels = addChild(doc, zone, "levels", {});
  addChild(doc, levels, "level", {{"z", "0"}, {"color", "FFFFFF"}, {"unlocked", "1"}});
  addChild(doc, zone, "entrance", {{"x", "0"}, {"y", "50"}, {"z", "0"}});
  addChild(doc, zone, "block",
           {{"x", "-20"}, {"y", "-30"}, {"z", "0"}, {"w", "60"}, {"h", "30"}, {"color", "C0C0C0"}, {"flg", "solid"}});
  game.zones.push_back({id, zone});
  sortZoneList(game);
  openZone(editor, zone);
}

void changeZone(Editor& editor, const std::vector<std::string>& values) {
  ZoneView& view = editor.zone.view;
  xml::Node* zone = editor.zone.openZoneNode;
  const std::string oldId = view.zoneId;
  const std::string newId = text::toLower(values[zonefield::Id]);
  view.zoneId = newId;
  zone->setAttr("id", newId);
  for (ZoneEntry& entry : editor.game.zones) {
    if (entry.node == zone) entry.id = newId;
  }
  if (text::toLower(oldId) != newId) {
    // The zone's flag names and the zone reopened at the next start follow the id.
    if (xml::Node* data = editor.game.root->childByPath("zorled")) {
      for (xml::Node* c = data->firstElement(); c; c = c->nextElement()) {
        if (c->name == "zone_" + text::toLower(oldId)) {
          c->setName("zone_" + newId);
          break;
        }
      }
    }
    if (text::equalsIgnoreCase(editor.prefs.lastZone, oldId)) editor.prefs.lastZone = newId;
  }
  view.name = values[zonefield::Name];
  view.persist = values[zonefield::Persist];
  view.notes = values[zonefield::Notes];
  view.xlimText = values[zonefield::XLim];
  view.ylimText = values[zonefield::YLim];
  for (int f = zonefield::Name; f <= zonefield::YLim; ++f) zone->setAttr(kZoneAttributes[f], values[f]);
  readLimits(view.xlimText, -1100.0f, 1100.0f, view.xmin, view.xmax);
  readLimits(view.ylimText, -100.0f, 1100.0f, view.ymin, view.ymax);
  // An absent track and an empty one differ to the game (the second stops the
  // music): a zone whose music was not touched keeps what it had.
  if (!values[zonefield::Track].empty() || zone->hasAttr("track")) zone->setAttr("track", values[zonefield::Track]);
  zone->setAttr("volume", values[zonefield::Volume]);
  writePlayAttribute(zone, "zoom", values[zonefield::Zoom]);
  writePlayAttribute(zone, "gravity", values[zonefield::Gravity]);
  sortZoneList(editor.game);
}

std::string gameFolder(const Editor& editor) { return files::folderPart(editor.game.path); }

}  // namespace

bool isValidZoneId(std::string_view id) {
  if (id.empty()) return false;
  for (char c : id) {
    const bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
                    c == '-' || c == '.';
    if (!ok) return false;
  }
  return true;
}

FormRequest zoneForm(const Editor& editor, bool isNew) {
  FormRequest form;
  form.window = 4;
  form.title = isNew ? "New Zone" : "Zone Properties";
  form.heading = "All attributes are optional, except Zone ID.";
  form.width = 320;
  form.height = 315;
  form.labelX = 10;
  form.labelWidth = 150;
  form.fieldX = 160;
  form.fieldWidth = 150;
  form.buttonsY = 275;
  const struct {
    const char* label;
    int y;
    int flags;
  } rows[zonefield::Count] = {{"Zone ID:", 30, formfield::LowerCase},
                              {"Full Zone Name:", 50, 0},
                              {"Persist Tag:", 70, 0},
                              {"Notes:", 90, 0},
                              {"X Limits (min,max):", 120, 0},
                              {"Y Limits (min,max):", 140, 0},
                              {"Zone Music:", 170, 0},
                              {"Volume:", 190, formfield::Digits},
                              {"Default Zoom:", 220, formfield::Digits},
                              {"Default Gravity:", 240, 0}};
  for (const auto& row : rows) form.fields.push_back({row.label, "", row.y, row.flags, false});
  form.fields[zonefield::Track].browse = true;
  if (isNew) {
    if (editor.game.zones.empty()) form.fields[zonefield::Id].value = "first";
  } else if (const xml::Node* zone = editor.zone.openZoneNode) {
    const ZoneView& view = editor.zone.view;
    form.fields[zonefield::Id].value = view.zoneId;
    form.fields[zonefield::Name].value = view.name;
    form.fields[zonefield::Persist].value = view.persist;
    form.fields[zonefield::Notes].value = view.notes;
    for (int f = zonefield::XLim; f < zonefield::Count; ++f) {
      form.fields[static_cast<std::size_t>(f)].value = zone->attr(kZoneAttributes[f]);
    }
  }
  return form;
}

FormCheck checkZoneFields(const Editor& editor, const std::vector<std::string>& values, bool isNew) {
  const std::string id = text::toLower(values[zonefield::Id]);
  if (id.empty()) return {"You must enter a Zone ID.", zonefield::Id};
  if (!isValidZoneId(id)) {
    return {"A Zone ID may hold only letters, digits, '_', '-' and '.'.", zonefield::Id};
  }
  if (editor.game.document) {
    const xml::Node* same = editor.game.document->findById(id);
    if (same && (isNew || same != editor.zone.openZoneNode)) {
      return {"A zone with ID '" + id + "' already exists.", zonefield::Id};
    }
  }
  // The game reads these as numbers: "nan" or "inf" would leave it nothing to show.
  const auto notFinite = [](const std::string& t) { return !std::isfinite(format::readFloat(t)); };
  const auto badLimits = [&](const std::string& t) {
    return !t.empty() &&
           (text::countChar(t, ',') != 1 || notFinite(text::field(t, ',', 0)) || notFinite(text::field(t, ',', 1)));
  };
  if (badLimits(values[zonefield::XLim])) return {"X Limits format should be 'min,max'.", zonefield::XLim};
  if (badLimits(values[zonefield::YLim])) return {"Y Limits format should be 'min,max'.", zonefield::YLim};
  if (!values[zonefield::Volume].empty()) {
    const int32_t volume = format::readInt(values[zonefield::Volume]);
    if (volume < 0 || volume > 100) return {"Volume should be between 0 and 100.", zonefield::Volume};
  }
  if (notFinite(values[zonefield::Zoom])) return {"Default Zoom should be a number.", zonefield::Zoom};
  if (notFinite(values[zonefield::Gravity])) return {"Default Gravity should be a number.", zonefield::Gravity};
  return {};
}

void applyZoneFields(Editor& editor, const std::vector<std::string>& values, bool isNew) {
  if (!gameOpen(editor)) return;
  if (isNew) {
    createZone(editor, values);
  } else if (editor.zone.openZoneNode) {
    changeZone(editor, values);
  } else {
    return;
  }
  markModified(editor);
  updateWindowTitle(editor, true);
}

int editZoneProperties(Editor& editor, bool isNew) {
  if (!gameOpen(editor) || (!isNew && !editor.zone.openZoneNode)) return 0;
  FormRequest form = zoneForm(editor, isNew);
  form.check = [&editor, isNew](const std::vector<std::string>& values) {
    const FormCheck result = checkZoneFields(editor, values, isNew);
    if (result.message.empty()) return -1;
    editor.port.messageBox(kWarningTitle, result.message, MessageIcon::Warning);
    return result.focus;
  };
  form.browse = [&editor](int, const std::string& current, std::string* out) {
    const FileChoice choice =
        editor.port.openFileRequester({"Zone Music", gameFolder(editor) + current, "Ogg Vorbis Audio (*.ogg)|*.ogg", 0});
    if (!choice.chosen) return false;
    *out = makeRelativePath(editor.game.path, choice.path, "music/");
    return true;
  };
  const bool confirmed = editor.port.runForm(form);
  int result = 0;
  if (confirmed) {
    std::vector<std::string> values;
    for (const FormField& f : form.fields) values.push_back(f.value);
    if (checkZoneFields(editor, values, isNew).message.empty()) {
      applyZoneFields(editor, values, isNew);
      result = 1;
    }
  }
  editor.port.focusCanvas();
  editor.port.redrawCanvas();
  return result;
}

FormRequest gameForm(const Editor& editor, bool isNew) {
  FormRequest form;
  form.window = 5;
  form.title = isNew ? "New Game" : "Game Properties";
  form.heading = "All game attributes are optional.";
  form.width = 320;
  form.height = 185;
  form.labelX = 10;
  form.labelWidth = 120;
  form.fieldX = 130;
  form.fieldWidth = 180;
  form.buttonsY = 145;
  const GameFileState& g = editor.game;
  const struct {
    const char* label;
    int y;
    const std::string* value;
  } rows[gamefield::Count] = {{"Game Title:", 30, &g.gtitle},
                              {"Author(s):", 50, &g.gauthor},
                              {"URL:", 70, &g.gurl},
                              {"Version:", 90, &g.gversion},
                              {"Description:", 110, &g.gdesc}};
  for (const auto& row : rows) form.fields.push_back({row.label, isNew ? "" : *row.value, row.y, 0, false});
  return form;
}

int applyGameFields(Editor& editor, const std::vector<std::string>& values, bool isNew) {
  GameFileState& game = editor.game;
  if (isNew) {
    if (!confirmCloseGame(editor)) return 0;
    auto doc = std::make_unique<xml::Document>();
    xml::Node* root = doc->createElement("zorlan");
    xml::Document::appendChild(doc->documentNode(), root);
    adoptGameDocument(editor, std::move(doc), root, "");
    editor.port.setStatus(0, "New game created.");
    editor.session.lastBackupTime = editor.port.now();
  } else {
    if (!gameOpen(editor)) return 0;
    markModified(editor);
  }
  game.gtitle = values[gamefield::Title];
  game.gauthor = values[gamefield::Author];
  game.gurl = values[gamefield::Url];
  game.gversion = values[gamefield::Version];
  game.gdesc = values[gamefield::Description];
  game.root->setAttr("gtitle", game.gtitle);
  game.root->setAttr("gauthor", game.gauthor);
  game.root->setAttr("gversion", game.gversion);
  game.root->setAttr("gurl", game.gurl);
  game.root->setAttr("gdesc", game.gdesc);
  updateWindowTitle(editor, true);
  if (!editor.zone.openZoneNode) editor.port.redrawCanvas();
  return 1;
}

int editGameProperties(Editor& editor, bool isNew) {
  if (!isNew && !gameOpen(editor)) return 0;
  FormRequest form = gameForm(editor, isNew);
  form.check = [](const std::vector<std::string>&) { return -1; };
  int result = 0;
  if (editor.port.runForm(form)) {
    std::vector<std::string> values;
    for (const FormField& f : form.fields) values.push_back(f.value);
    result = applyGameFields(editor, values, isNew);
  }
  editor.port.focusCanvas();
  return result;
}

int chooseZone(Editor& editor, const std::string& title, const std::string& prompt, bool preselectOpen) {
  if (!gameOpen(editor)) return 0;
  if (editor.game.zones.empty()) return -1;
  DialogResults& d = editor.dialogs;
  d.chooserList.clear();
  int preselect = 0;
  for (const ZoneEntry& entry : editor.game.zones) {
    if (preselectOpen && editor.zone.openZoneNode && entry.id == editor.zone.view.zoneId) {
      preselect = static_cast<int>(d.chooserList.size());
    }
    d.chooserList.push_back({entry.id, entry.node});
  }
  return runChooser(editor, title, prompt, preselect, false) ? 1 : 0;
}

void openZoneCommand(Editor& editor) {
  const int chosen = chooseZone(editor, "Open Zone", "Select zone to open:", true);
  editor.port.focusCanvas();
  if (chosen == 1) {
    const std::string id = editor.dialogs.chosenText;
    if (editor.zone.openZoneNode && id == editor.zone.view.zoneId) {
      editor.port.setStatus(0, "Zone already open: " + id);
      return;
    }
    if (openZone(editor, editor.dialogs.chosenDatum)) {
      updateWindowTitle(editor, true);
      editor.port.redrawCanvas();
      const std::string& notes = editor.zone.view.notes;
      editor.port.setStatus(0, notes.empty() ? "" : "Zone notes: " + notes);
    } else {
      editor.port.setStatus(0, "Failed to open zone: " + id);
    }
  } else if (chosen == -1) {
    if (editor.port.ask(kWarningTitle, "No zones exist. Would you like to create one now?", QuestionButtons::YesNo) ==
        Answer::Yes) {
      editZoneProperties(editor, true);
    }
  }
}

bool chooseAndOpenZone(Editor& editor) {
  xml::Node* before = editor.zone.openZoneNode;
  openZoneCommand(editor);
  return editor.zone.openZoneNode && editor.zone.openZoneNode != before;
}

bool openGameThenChooseZone(Editor& editor, const std::string& path) {
  if (!openGameCommand(editor, path, kOpenPattern)) return false;
  if (!editor.game.zones.empty()) {
    editor.port.pause(kZoneChooserPauseMs);
    chooseAndOpenZone(editor);
  }
  return true;
}

std::string showZoneInfo(Editor& editor, bool show) {
  if (!editor.zone.openZoneNode) return "";
  const ZoneView& view = editor.zone.view;
  int blocks = 0, areas = 0, entrances = 0;
  for (const auto& record : editor.zone.objects) {
    if (record->kind == kind::Block) ++blocks;
    if (record->kind == kind::Area) ++areas;
    if (record->kind == kind::Entrance) ++entrances;
  }
  const std::string info = "Size: " + trimmedDecimal(static_cast<double>(view.xmax - view.xmin)) + " wide, " +
                           trimmedDecimal(static_cast<double>(view.ymax - view.ymin)) + " tall" +
                           "\nLevels: " + text::formatInt(editor.zone.levelCount()) +
                           "\nBlocks: " + text::formatInt(blocks) + "\nAreas: " + text::formatInt(areas) +
                           "\nEntrances: " + text::formatInt(entrances);
  if (show) editor.port.messageBox(kWarningTitle, "Zone ID: " + view.zoneId + "\n\n" + info, MessageIcon::Information);
  return info;
}

bool dispatchZoneDialogCommand(Editor& editor, Command command) {
  switch (command) {
    case Command::New: editGameProperties(editor, true); return true;
    case Command::GameProperties: editGameProperties(editor, false); return true;
    case Command::NewZone: editZoneProperties(editor, true); return true;
    case Command::ZoneProperties: editZoneProperties(editor, false); return true;
    case Command::ChangeZone: openZoneCommand(editor); return true;
    case Command::DuplicateZone: duplicateZoneCommand(editor); return true;
    case Command::DeleteZone: deleteZoneCommand(editor); return true;
    case Command::Statistics: showZoneInfo(editor, true); return true;
    default: return false;
  }
}

}  // namespace zor::editor
