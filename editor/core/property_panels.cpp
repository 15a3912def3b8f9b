#include "editor/core/property_panels.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <string_view>

#include "editor/core/address_table.h"
#include "editor/core/canvas_drawing.h"
#include "editor/core/definition_dialogs.h"
#include "editor/core/edit_commands.h"
#include "editor/core/editor.h"
#include "editor/core/number_text.h"
#include "editor/core/zone_dialogs.h"
#include "format/values.h"
#include "platform/text.h"

namespace zor::editor {

const std::array<const char*, kBlockFlagCount> kFlagNames = {
    "Solid",    "Cyclic",   "Dynamic",          "Motion",    "Scenic", "Circular", "No Border",
    "Spatial",  "Has Face", "Semi-solid",       "Sad Eyes",  "Semi-transparent", "Evil Eyes",
    "Light-up", "Deadly",   "Bouncy",           "Checkpoint", "Horizon", "Invisible", "Class"};
const std::array<const char*, kBlockFlagCount> kFlagKeywords = {
    "solid",   "cyclic", "dynamic", "motion",  "scenic",    "circular",   "noborder", "spatial",  "hasface",   "semisol",
    "sad",     "semitrans", "evil", "lightup", "deadly",    "bouncy",     "checkpoint", "horizon", "invisible", "class"};
const std::array<const char*, kWaveCount> kWaveKeywords = {"", "square", "saw", "tri", "parabola", "prox", "rand"};
const std::array<const char*, kWaveCount> kWaveNames = {"Sine",      "Square",    "Sawtooth", "Triangle",
                                                        "Parabolic", "Proximity", "Random"};
const std::array<const char*, 3> kRateAttributes = {"freq", "fall", "smp"};
const std::array<const char*, 3> kRateCaptions = {"Frequency:", "Fall Speed:", "Spatial Frequency:"};

namespace {

constexpr int kMotion = 3, kCircular = 5, kSpatial = 7, kHasFace = 8, kSad = 10, kEvil = 12, kCheckpoint = 16,
              kHorizon = 17, kInvisible = 18, kClassFlag = 19;

std::string trimCommas(std::string s) {
  while (!s.empty() && s.front() == ',') s.erase(s.begin());
  while (!s.empty() && s.back() == ',') s.pop_back();
  return s;
}

void setOrRemove(xml::Node* node, const char* attribute, const std::string& value) {
  if (value.empty()) {
    node->removeAttr(attribute);
  } else {
    node->setAttr(attribute, value);
  }
}

// The records' elements in the order they lie in memory: a big selection is written
// in that order rather than the drawing order, which jumps all over the document.
std::vector<xml::Node*> elementsInMemoryOrder(const std::vector<EditorObject*>& records) {
  std::vector<xml::Node*> nodes;
  nodes.reserve(records.size());
  for (const EditorObject* r : records) nodes.push_back(r->node);
  sortByAddress(nodes, [](const xml::Node* node) { return node; });
  return nodes;
}

// Readies in one piece the memory that setting the attribute on every element takes.
void readyForAttribute(Editor& editor, const std::vector<xml::Node*>& nodes, std::string_view name,
                       std::size_t valueBytes) {
  if (nodes.size() < 2 || editor.game.document == nullptr) return;
  std::size_t bytes = 0;
  for (const xml::Node* node : nodes) bytes += node->setAttrBytes(name, valueBytes);
  editor.game.document->reserveForCopies(bytes);
}

// `value` into the attribute of every record's element, or the attribute removed when
// the value is empty.
void setOrRemoveAll(Editor& editor, const std::vector<EditorObject*>& records, const char* attribute,
                    const std::string& value) {
  const std::vector<xml::Node*> nodes = elementsInMemoryOrder(records);
  if (!value.empty()) readyForAttribute(editor, nodes, attribute, value.size());
  for (xml::Node* node : nodes) setOrRemove(node, attribute, value);
}

// The records' elements read again, all in one pass over the list.
void rereadRecords(Editor& editor, const std::vector<EditorObject*>& records) {
  std::vector<xml::Node*> nodes;
  nodes.reserve(records.size());
  for (const EditorObject* r : records) nodes.push_back(r->node);
  rereadObjects(editor, nodes);
}

void rereadAll(Editor& editor) {
  std::vector<xml::Node*> nodes;
  for (const auto& o : editor.zone.objects) {
    if (o->kind == kind::Block || o->kind == kind::Area || o->kind == kind::Entrance) nodes.push_back(o->node);
  }
  rereadObjects(editor, nodes);
  sortObjects(editor.zone);
}

void fillLevel(const Editor& editor, PanelState& p) {
  p.kind = PanelKind::Level;
  p.title = "Level Properties";
  p.fields.assign(levelfield::FieldCount, "");
  const ZoneState& zone = editor.zone;
  if (zone.levels.empty()) return;
  const int current = std::clamp(zone.currentLevel, 0, zone.levelCount() - 1);
  const EditorLevel& level = zone.levels[static_cast<std::size_t>(current)];
  p.subtitle = "Level " + text::formatInt(current);
  p.fields[levelfield::Z] = level.zText;
  p.fields[levelfield::Color] = level.colourText;
  p.unlocked = level.unlocked != 0;
}

void fillBlock(const xml::Node* node, PanelState& p) {
  p.fields.assign(blockfield::FieldCount, "");
  if (!node) return;
  auto f = [&](int field, const char* attribute) { p.fields[static_cast<std::size_t>(field)] = node->attr(attribute); };
  f(blockfield::Oname, "oname");
  f(blockfield::X, "x");
  f(blockfield::Y, "y");
  f(blockfield::W, "w");
  f(blockfield::H, "h");
  f(blockfield::Z, "z");
  f(blockfield::Level, "level");
  const std::string colour = node->attr("color");
  const std::size_t comma = colour.find(',');
  p.fields[blockfield::Color1] = colour.substr(0, comma);
  p.fields[blockfield::Color2] = comma == std::string::npos ? "" : colour.substr(comma + 1);
  f(blockfield::Trans, "trans");
  f(blockfield::Pri, "priority");
  f(blockfield::Persist, "persist");
  f(blockfield::Class, "class");
  f(blockfield::XLim, "xlim");
  f(blockfield::YLim, "ylim");
  f(blockfield::Duty, "duty");
  f(blockfield::Count, "count");
  f(blockfield::Phase, "phase");
  f(blockfield::Grav, "grav");
  const std::string flg = node->attr("flg");
  for (int i = 0; i < kBlockFlagCount; ++i) p.flags[static_cast<std::size_t>(i)] = flg.find(kFlagKeywords[static_cast<std::size_t>(i)]) != std::string::npos;
  p.flags[kClassFlag] = !p.fields[blockfield::Class].empty();
  const std::string wave = node->attr("wave");
  for (int i = 0; i < kWaveCount; ++i) {
    if (wave == kWaveKeywords[static_cast<std::size_t>(i)]) {
      p.waveIndex = i;
      break;
    }
  }
  for (int i = 0; i < 3; ++i) {
    const std::string v = node->attr(kRateAttributes[static_cast<std::size_t>(i)]);
    if (!v.empty()) {
      p.rateIndex = i;
      p.fields[blockfield::Rate] = v;
      break;
    }
  }
  p.scriptPresent[0] = node->childByPath("standon") != nullptr;
  p.scriptPresent[1] = node->childByPath("die") != nullptr;
}

void fillArea(const xml::Node* node, PanelState& p) {
  p.fields.assign(areafield::FieldCount, "");
  if (!node) return;
  const char* attributes[areafield::FieldCount] = {"xlim", "ylim", "oname", "z", "level", "color", "zoom"};
  for (int i = 0; i < areafield::FieldCount; ++i) p.fields[static_cast<std::size_t>(i)] = node->attr(attributes[i]);
  p.deadly = std::string(node->attr("flg")).find("deadly") != std::string::npos;
  p.scriptPresent[0] = node->childByPath("enter") != nullptr;
  p.scriptPresent[1] = node->childByPath("exit") != nullptr;
  p.scriptPresent[2] = node->childByPath("action") != nullptr;
}

void fillEntrance(const xml::Node* node, PanelState& p) {
  p.fields.assign(entrancefield::FieldCount, "");
  if (!node) return;
  const std::string name = node->name;
  const std::size_t underscore = name.find('_');
  p.fields[entrancefield::Name] = underscore == std::string::npos ? "" : name.substr(underscore + 1);
  p.fields[entrancefield::X] = node->attr("x");
  p.fields[entrancefield::Y] = node->attr("y");
  p.fields[entrancefield::Z] = node->attr("z");
  p.fields[entrancefield::Level] = node->attr("level");
}

// While the one selected object still follows the mouse, its position fields show
// what a click at the mouse would write (the placing click moves it by the world
// point under the mouse at its depth).
void fillPlacingPosition(const Editor& editor, const EditorObject& r, PanelState& p) {
  const Projection view = canvasProjection(editor);
  const float zrel = view.relativeDepth(r.z);
  const float px = view.worldX(static_cast<float>(editor.canvas.mouseX), zrel);
  const float py = view.worldY(static_cast<float>(editor.canvas.mouseY), zrel);
  const xml::Node* e = r.node;
  auto moved = [](const std::string& number, float d) {
    return trimmedDecimal(static_cast<double>(format::readFloat(number) + d));
  };
  if (r.kind == kind::Block) {
    if (!std::string(e->attr("x")).empty()) p.fields[blockfield::X] = moved(e->attr("x"), px);
    if (!std::string(e->attr("y")).empty()) p.fields[blockfield::Y] = moved(e->attr("y"), py);
    if (!std::string(e->attr("xlim")).empty()) p.fields[blockfield::XLim] = shiftLimits(e->attr("xlim"), px);
    if (!std::string(e->attr("ylim")).empty()) p.fields[blockfield::YLim] = shiftLimits(e->attr("ylim"), py);
  } else if (r.kind == kind::Area) {
    // An area that follows a named block, or whose limits are not a pair, stays where it is.
    if (!std::string(e->attr("oname")).empty()) return;
    if (std::string(e->attr("xlim")).find(',') != std::string::npos)
      p.fields[areafield::XLim] = shiftLimits(e->attr("xlim"), px);
    if (std::string(e->attr("ylim")).find(',') != std::string::npos)
      p.fields[areafield::YLim] = shiftLimits(e->attr("ylim"), py);
  } else if (r.kind == kind::Entrance) {
    p.fields[entrancefield::X] = moved(e->attr("x"), px);
    p.fields[entrancefield::Y] = moved(e->attr("y"), py);
  }
}

void finishEdit(Editor& editor, bool reread, bool resort) {
  markModified(editor);
  updateWindowTitle(editor, false);
  if (resort) sortObjects(editor.zone);
  if (reread) editor.port.redrawCanvas();
}

void applyBlock(Editor& editor, PanelState& panel, int field, const std::vector<EditorObject*>& records) {
  using namespace blockfield;
  struct Target {
    const char* attribute;
    bool reread;
    bool resort;
  };
  Target t{"", false, false};
  std::string value = field < static_cast<int>(panel.fields.size()) ? panel.fields[static_cast<std::size_t>(field)] : "";
  switch (field) {
    case Oname: t = {"oname", false, false}; break;
    case X: t = {"x", true, false}; break;
    case Y: t = {"y", true, false}; break;
    case W: t = {"w", true, false}; break;
    case H: t = {"h", true, false}; break;
    case Z: t = {"z", true, true}; break;
    case Level: t = {"level", true, true}; break;
    case Color1:
    case Color2:
      t = {"color", true, false};
      value = panel.fields[Color2].empty() ? panel.fields[Color1] : panel.fields[Color1] + "," + panel.fields[Color2];
      break;
    case Trans: t = {"trans", true, false}; break;
    case Pri: t = {"priority", true, false}; break;
    case Persist: t = {"persist", false, false}; break;
    case Class:
      t = {"class", true, false};
      panel.flags[kClassFlag] = !value.empty();
      break;
    case XLim: t = {"xlim", true, false}; break;
    case YLim: t = {"ylim", true, false}; break;
    case Wave:
      t = {"wave", true, false};
      value = kWaveKeywords[static_cast<std::size_t>(std::clamp(panel.waveIndex, 0, kWaveCount - 1))];
      break;
    case Rate:
    case RateChoice: t = {kRateAttributes[static_cast<std::size_t>(std::clamp(panel.rateIndex, 0, 2))], false, false}; break;
    case Duty: t = {"duty", false, false}; break;
    case Count: t = {"count", false, false}; break;
    case Phase: t = {"phase", true, false}; break;
    case Grav: t = {"grav", false, false}; break;
    default: return;
  }
  const bool rate = field == Rate || field == RateChoice;
  if (rate) value = panel.fields[Rate];
  if (rate) {
    for (xml::Node* node : elementsInMemoryOrder(records)) {
      for (const char* a : kRateAttributes) node->removeAttr(a);
      if (!value.empty()) node->setAttr(t.attribute, value);
    }
  } else {
    setOrRemoveAll(editor, records, t.attribute, value);
  }
  if (t.reread) rereadRecords(editor, records);
  if (records.size() > 1) editor.port.setStatus(0, "Applied attribute: '" + std::string(t.attribute) + "'");
  finishEdit(editor, t.reread, t.resort);
}

void applyArea(Editor& editor, PanelState& panel, int field, const std::vector<EditorObject*>& records) {
  const char* attributes[areafield::FieldCount] = {"xlim", "ylim", "oname", "z", "level", "color", "zoom"};
  if (field < 0 || field >= areafield::FieldCount) return;
  const bool reread = field <= areafield::Level;
  const bool resort = field == areafield::Z || field == areafield::Level;
  setOrRemoveAll(editor, records, attributes[field], panel.fields[static_cast<std::size_t>(field)]);
  if (reread) rereadRecords(editor, records);
  finishEdit(editor, reread, resort);
}

void applyEntrance(Editor& editor, PanelState& panel, int field, const std::vector<EditorObject*>& records) {
  const std::string& value = panel.fields[static_cast<std::size_t>(field)];
  if (field == entrancefield::Name) {
    // The element name carries the entrance's name, and the game's command
    // line splits zone and entrance at ":": only names that stay one name.
    if (!value.empty() && !isValidZoneId(value)) {
      editor.port.messageBox("ZorlED", "An entrance name may hold only letters, digits, '_', '-' and '.'.",
                             MessageIcon::Warning);
      // The field shows again the name the element keeps.
      if (!records.empty()) {
        PanelState kept;
        fillEntrance(records.front()->node, kept);
        panel.fields[entrancefield::Name] = kept.fields[entrancefield::Name];
      }
      return;
    }
    for (EditorObject* r : records) r->node->setName(value.empty() ? "entrance" : "entrance_" + value);
    finishEdit(editor, false, false);
    return;
  }
  const char* attributes[entrancefield::FieldCount] = {"", "x", "y", "z", "level"};
  const bool resort = field == entrancefield::Z || field == entrancefield::Level;
  setOrRemoveAll(editor, records, attributes[field], value);
  rereadRecords(editor, records);
  finishEdit(editor, true, resort);
}

void applyLevel(Editor& editor, PanelState& panel, int field) {
  ZoneState& zone = editor.zone;
  if (zone.levels.empty() || !zone.openZoneNode) return;
  const int old = std::clamp(zone.currentLevel, 0, zone.levelCount() - 1);
  EditorLevel& level = zone.levels[static_cast<std::size_t>(old)];
  const std::string& value = panel.fields[static_cast<std::size_t>(field)];
  if (field == levelfield::Z) {
    xml::Node* node = level.node;
    level.zText = value;
    node->setAttr("z", value);
    level.z = format::readFloat(value);
    std::stable_sort(zone.levels.begin(), zone.levels.end(),
                     [](const EditorLevel& a, const EditorLevel& b) { return a.z < b.z; });
    int now = old;
    for (int i = 0; i < zone.levelCount(); ++i) {
      if (zone.levels[static_cast<std::size_t>(i)].node == node) now = i;
    }
    zone.currentLevel = now;
    panel.subtitle = "Level " + text::formatInt(now);
    if (now != old) renumberLevelRefs(zone.openZoneNode, 2, now, old);
    rereadAll(editor);
  } else if (field == levelfield::Color) {
    level.colourText = value;
    level.colour = readColourText(value);
    level.node->setAttr("color", value);
  } else {
    return;
  }
  finishEdit(editor, true, false);
}

// The panel fields the game reads as numbers (comma-separated where it reads a list),
// with the message a non-finite value gets: "nan" or "inf" would leave the game a
// zone it cannot show.
std::string numberFieldRefusal(const PanelState& panel, int field) {
  const auto number = [](const char* name) { return std::string(name) + " should be a number."; };
  const auto limits = [](const char* axis) { return std::string(axis) + " Limits format should be 'min,max'."; };
  switch (panel.kind) {
    case PanelKind::Block:
      switch (field) {
        case blockfield::X: return number("X");
        case blockfield::Y: return number("Y");
        case blockfield::W: return number("Width");
        case blockfield::H: return number("Height");
        case blockfield::Z: return number("Z");
        case blockfield::Trans: return number("Transparency");
        case blockfield::XLim: return limits("X");
        case blockfield::YLim: return limits("Y");
        case blockfield::Rate:
        case blockfield::RateChoice: {
          std::string caption = kRateCaptions[static_cast<std::size_t>(std::clamp(panel.rateIndex, 0, 2))];
          if (!caption.empty() && caption.back() == ':') caption.pop_back();
          return number(caption.c_str());
        }
        case blockfield::Duty: return number("Duty cycle");
        case blockfield::Phase: return number("Phase");
        case blockfield::Grav: return number("Gravity");
        default: return "";
      }
    case PanelKind::Area:
      switch (field) {
        case areafield::XLim: return limits("X");
        case areafield::YLim: return limits("Y");
        case areafield::Z: return number("Z");
        case areafield::Zoom: return number("Zoom");
        default: return "";
      }
    case PanelKind::Entrance:
      switch (field) {
        case entrancefield::X: return number("X");
        case entrancefield::Y: return number("Y");
        case entrancefield::Z: return number("Z");
        default: return "";
      }
    case PanelKind::Level: return field == levelfield::Z ? number("Z") : "";
    default: return "";
  }
}

// A number field holding a non-finite value is refused with a warning, and the
// field shows again what the element keeps. True when refused.
bool refuseNonFiniteField(Editor& editor, PanelState& panel, int field) {
  const int shown = field == blockfield::RateChoice && panel.kind == PanelKind::Block ? blockfield::Rate : field;
  if (shown < 0 || static_cast<std::size_t>(shown) >= panel.fields.size()) return false;
  const std::string message = numberFieldRefusal(panel, field);
  if (message.empty()) return false;
  const std::string& value = panel.fields[static_cast<std::size_t>(shown)];
  bool finite = true;
  for (std::size_t i = 0, n = static_cast<std::size_t>(text::countChar(value, ',')) + 1; i < n && finite; ++i) {
    finite = std::isfinite(format::readFloat(text::field(value, ',', i)));
  }
  if (finite) return false;
  editor.port.messageBox("ZorlED", message, MessageIcon::Warning);
  const PanelState kept = fillPanel(editor);
  if (kept.kind == panel.kind && static_cast<std::size_t>(shown) < kept.fields.size()) {
    panel.fields[static_cast<std::size_t>(shown)] = kept.fields[static_cast<std::size_t>(shown)];
    if (shown == blockfield::Rate && panel.kind == PanelKind::Block) panel.rateIndex = kept.rateIndex;
  }
  return true;
}

}  // namespace

bool focusPanel(Editor& editor) {
  const PanelKind kind = fillPanel(editor).kind;
  int field = -1;
  switch (kind) {
    case PanelKind::Block: field = blockfield::Oname; break;
    case PanelKind::Area: field = areafield::XLim; break;
    case PanelKind::Entrance: field = entrancefield::Name; break;
    case PanelKind::Level: field = levelfield::Z; break;
    default: return false;
  }
  editor.port.focusPanelField(kind, field);
  return true;
}

std::vector<EditorObject*> selectedRecords(const Editor& editor) {
  std::vector<EditorObject*> out;
  for (const auto& o : editor.zone.objects) {
    if ((o->flags & objflag::Selected) &&
        (o->kind == kind::Block || o->kind == kind::Area || o->kind == kind::Entrance)) {
      out.push_back(o.get());
    }
  }
  return out;
}

PanelState fillPanel(const Editor& editor) {
  PanelState p;
  if (!editor.zone.openZoneNode) return p;
  const std::vector<EditorObject*> records = selectedRecords(editor);
  if (records.empty()) {
    fillLevel(editor, p);
    return p;
  }
  const int32_t first = records.front()->kind;
  for (const EditorObject* r : records) {
    if (r->kind != first) {
      p.kind = PanelKind::Mixed;
      p.title = "Properties";
      p.subtitle = "Multiple object types selected.";
      return p;
    }
  }
  const xml::Node* node = records.size() == 1 ? records.front()->node : nullptr;
  if (records.size() > 1) p.subtitle = "[Enter] applies property to all selected.";
  if (first == kind::Block) {
    p.kind = PanelKind::Block;
    p.title = "Block Properties";
    fillBlock(node, p);
  } else if (first == kind::Area) {
    p.kind = PanelKind::Area;
    p.title = "Area Properties";
    fillArea(node, p);
  } else {
    p.kind = PanelKind::Entrance;
    p.title = "Entrance Properties";
    fillEntrance(node, p);
  }
  if (node && (records.front()->flags & objflag::BeingPlaced)) fillPlacingPosition(editor, *records.front(), p);
  return p;
}

std::string flagListWith(const std::string& f, const std::string& k, bool add) {
  std::string list = text::replaceAll("," + f + ",", "," + k + ",", ",");
  list = trimCommas(list);
  if (add) list = trimCommas(list + "," + k);
  return list;
}

void applyPanelField(Editor& editor, PanelState& panel, int field) {
  if (refuseNonFiniteField(editor, panel, field)) return;
  const std::vector<EditorObject*> records = selectedRecords(editor);
  switch (panel.kind) {
    case PanelKind::Level: applyLevel(editor, panel, field); break;
    case PanelKind::Block: applyBlock(editor, panel, field, records); break;
    case PanelKind::Area: applyArea(editor, panel, field, records); break;
    case PanelKind::Entrance: applyEntrance(editor, panel, field, records); break;
    default: break;
  }
}

bool applyFieldToSelection(Editor& editor, PanelState& panel, int field) {
  const std::vector<EditorObject*> records = selectedRecords(editor);
  if (records.size() > 1) {
    if (panel.kind == PanelKind::Block && field == blockfield::Oname && !panel.fields[blockfield::Oname].empty()) {
      editor.port.messageBox("ZorlED", "You should not give multiple blocks the same name!", MessageIcon::Warning);
      return false;
    }
    if (panel.kind == PanelKind::Entrance && field == entrancefield::Name) {
      editor.port.messageBox("ZorlED", "You should not give multiple entrances the same name!", MessageIcon::Warning);
      return false;
    }
    if (refuseNonFiniteField(editor, panel, field)) return false;
    recordUndo(editor, undo::Attributes);
  }
  applyPanelField(editor, panel, field);
  return true;
}

bool applyFocusedField(Editor& editor) {
  const std::vector<EditorObject*> records = selectedRecords(editor);
  if (editor.zone.openZoneNode && records.size() > 1) {
    PanelState& panel = editor.panel;
    const int field = editor.port.focusedPanelField();
    const int32_t k = records.front()->kind;
    const PanelKind shows = k == kind::Block ? PanelKind::Block : k == kind::Area ? PanelKind::Area : PanelKind::Entrance;
    // Only a field of the panel that shows this selection (never a mixed one).
    if (field >= 0 && static_cast<std::size_t>(field) < panel.fields.size() && panel.kind == shows) {
      return applyFieldToSelection(editor, panel, field);
    }
  }
  editor.port.focusCanvas();
  editor.port.redrawCanvas();
  return false;
}

bool applyBlockFlag(Editor& editor, PanelState& panel, int index, bool checked) {
  if (index < 0 || index >= kBlockFlagCount || index == kClassFlag) return false;
  const std::vector<EditorObject*> records = selectedRecords(editor);
  if (records.empty()) return false;
  const std::string name = kFlagNames[static_cast<std::size_t>(index)];
  if (records.size() > 1) {
    const std::string question = checked ? "Apply '" + name + "' flag to all selected blocks?"
                                         : "Remove '" + name + "' flag from all selected blocks?";
    if (editor.port.ask("ZorlED", question, QuestionButtons::YesNo) != Answer::Yes) {
      panel.flags[static_cast<std::size_t>(index)] = !checked;
      return false;
    }
  }
  panel.flags[static_cast<std::size_t>(index)] = checked;
  recordUndo(editor, undo::Attributes);
  const std::string keyword = kFlagKeywords[static_cast<std::size_t>(index)];
  for (EditorObject* r : records) {
    xml::Node* node = r->node;
    node->setAttr("flg", flagListWith(node->attr("flg"), keyword, checked));
    if (records.size() == 1 && (checked || index == kMotion)) {
      if (index == kMotion && checked) {
        if (std::string(node->attr("xlim")).empty() && !std::string(node->attr("x")).empty()) {
          node->setAttr("xlim", node->attr("x"));
          panel.fields[blockfield::XLim] = node->attr("xlim");
        }
        if (std::string(node->attr("ylim")).empty() && !std::string(node->attr("y")).empty()) {
          node->setAttr("ylim", node->attr("y"));
          panel.fields[blockfield::YLim] = node->attr("ylim");
        }
      } else if (index == kMotion) {
        const std::string xs = text::field(node->attr("xlim"), ',', 0);
        if (std::string(node->attr("x")).empty() && !xs.empty()) {
          node->setAttr("x", xs);
          panel.fields[blockfield::X] = xs;
        }
        const std::string ys = text::field(node->attr("ylim"), ',', 0);
        if (std::string(node->attr("y")).empty() && !ys.empty()) {
          node->setAttr("y", ys);
          panel.fields[blockfield::Y] = ys;
        }
      } else if ((index == kSad || index == kEvil) && !panel.flags[kHasFace]) {
        node->setAttr("flg", flagListWith(node->attr("flg"), "hasface", true));
        panel.flags[kHasFace] = true;
      } else if (index == kSpatial && panel.fields[blockfield::Rate].empty()) {
        node->setAttr("smp", "0.01");
        panel.rateIndex = 2;
        panel.fields[blockfield::Rate] = "0.01";
      }
    }
  }
  rereadRecords(editor, records);
  markModified(editor);
  updateWindowTitle(editor, false);
  const bool redraw = index == kMotion || index == kCircular || index == kHasFace || index == kSad ||
                      index == kEvil || index == kCheckpoint || index == kHorizon || index == kInvisible;
  if (redraw) editor.port.redrawCanvas();
  editor.port.focusCanvas();
  return true;
}

void applyAreaDeadly(Editor& editor, PanelState& panel, bool checked) {
  panel.deadly = checked;
  for (EditorObject* r : selectedRecords(editor)) {
    if (r->kind != kind::Area) continue;
    setOrRemove(r->node, "flg", flagListWith(r->node->attr("flg"), "deadly", checked));
  }
  finishEdit(editor, false, false);
}

void applyLevelUnlocked(Editor& editor, PanelState& panel, bool checked) {
  ZoneState& zone = editor.zone;
  if (zone.levels.empty()) return;
  EditorLevel& level = zone.levels[static_cast<std::size_t>(std::clamp(zone.currentLevel, 0, zone.levelCount() - 1))];
  panel.unlocked = checked;
  level.unlocked = checked ? 1 : 0;
  if (checked) {
    level.node->setAttr("unlocked", "1");
  } else {
    level.node->removeAttr("unlocked");
  }
  finishEdit(editor, false, false);
}

void swapBlockColours(Editor& editor, PanelState& panel) {
  const std::vector<EditorObject*> records = selectedRecords(editor);
  if (records.size() != 1 || panel.kind != PanelKind::Block) return;
  // With no second colour there is nothing to exchange: the first colour
  // never becomes empty.
  if (panel.fields[blockfield::Color2].empty()) return;
  const std::string colour = trimCommas(panel.fields[blockfield::Color2] + "," + panel.fields[blockfield::Color1]);
  records.front()->node->setAttr("color", colour);
  parseBlock(editor, records.front()->node, false, 0);
  panel = fillPanel(editor);
  finishEdit(editor, true, false);
}

bool pickSwatchColour(Editor& editor, PanelState& panel, int field) {
  const bool block = panel.kind == PanelKind::Block && (field == blockfield::Color1 || field == blockfield::Color2);
  const bool area = panel.kind == PanelKind::Area && field == areafield::Color;
  const bool level = panel.kind == PanelKind::Level && field == levelfield::Color;
  if (!(block || area || level) || static_cast<std::size_t>(field) >= panel.fields.size()) return false;
  std::string& text = panel.fields[static_cast<std::size_t>(field)];
  int32_t chosen = 0;
  const bool picked = editor.port.chooseColour(readColourText(text), &chosen);
  editor.port.focusCanvas();
  if (!picked) return false;
  const std::string hex = colourText(chosen);
  if (level) {
    text = hex;
    applyLevel(editor, panel, levelfield::Color);
    return true;
  }
  const std::vector<EditorObject*> records = selectedRecords(editor);
  if (records.empty()) return false;
  if (block) recordUndo(editor, undo::Attributes);
  text = hex;
  for (EditorObject* r : records) {
    xml::Node* node = r->node;
    if (block) {
      const std::string colour = node->attr("color");
      const std::size_t comma = colour.find(',');
      const std::string first = colour.substr(0, comma);
      const std::string second = comma == std::string::npos ? "" : colour.substr(comma + 1);
      node->setAttr("color", field == blockfield::Color1 ? trimCommas(hex + "," + second) : first + "," + hex);
    } else {
      node->setAttr("color", hex);
    }
  }
  rereadRecords(editor, records);
  finishEdit(editor, true, false);
  return true;
}

void takeZonePersist(Editor& editor, PanelState& panel) {
  const std::vector<EditorObject*> records = selectedRecords(editor);
  if (records.empty()) return;
  const std::string& tag = editor.zone.view.persist;
  if (!tag.empty()) {
    panel.fields[blockfield::Persist] = tag;
    for (EditorObject* r : records) r->node->setAttr("persist", tag);
    finishEdit(editor, false, false);
  } else if (editor.port.ask("ZorlED",
                             "This zone does not have a Persist property.\r\nWould you like to edit zone properties now?",
                             QuestionButtons::YesNo) == Answer::Yes) {
    editZoneProperties(editor, false);
  }
  editor.port.focusCanvas();
}

void chooseBlockClass(Editor& editor, PanelState& panel) {
  const std::vector<EditorObject*> records = selectedRecords(editor);
  if (records.empty()) return;
  bool anyClass = false;
  for (const xml::Node* c = editor.game.root->firstElement(); c; c = c->nextElement()) {
    if (c->name == "class" && !std::string(c->attr("name")).empty()) anyClass = true;
  }
  if (!anyClass) {
    if (editor.port.ask("ZorlED", "This game does not have any block classes.\r\nWould you like to create one now?",
                        QuestionButtons::YesNo) == Answer::Yes) {
      createClass(editor);
    }
  } else if (chooseClass(editor, "Set Class", "Choose a block class:", panel.fields[blockfield::Class])) {
    const std::string name = editor.dialogs.chosenText;
    panel.fields[blockfield::Class] = name;
    panel.flags[kClassFlag] = true;
    for (EditorObject* r : records) r->node->setAttr("class", name);
    rereadRecords(editor, records);
    finishEdit(editor, true, false);
  }
  editor.port.focusCanvas();
}

int chooseNamedBlock(Editor& editor, const std::string& title, const std::string& prompt, bool preselect) {
  std::vector<ChooserItem> items;
  std::vector<const EditorObject*> records;
  for (const auto& o : editor.zone.objects) {
    if (o->kind == kind::Block && !std::string(o->node->attr("oname")).empty()) {
      items.push_back({o->node->attr("oname"), o->node});
    }
  }
  if (items.empty()) return -1;
  std::stable_sort(items.begin(), items.end(), [](const ChooserItem& a, const ChooserItem& b) { return a.text < b.text; });
  int at = 0;
  if (preselect) {
    const std::vector<EditorObject*> selected = selectedRecords(editor);
    if (selected.size() == 1) {
      for (std::size_t i = 0; i < items.size(); ++i) {
        if (items[i].datum == selected.front()->node) at = static_cast<int>(i);
      }
    }
  }
  editor.dialogs.chooserList = std::move(items);
  return runChooser(editor, title, prompt, at, false) ? 1 : 0;
}

void attachAreasToBlock(Editor& editor, PanelState& panel) {
  const int chosen = chooseNamedBlock(editor, "Select Block", "Select block to attach area to:", false);
  if (chosen == -1) {
    editor.port.messageBox("ZorlED",
                           "This zone contains no named blocks.\r\nYou can name blocks by editing their Oname property.",
                           MessageIcon::Information);
  } else if (chosen == 1) {
    const std::string name = editor.dialogs.chosenText;
    panel.fields[areafield::Oname] = name;
    std::vector<EditorObject*> areas;
    for (EditorObject* r : selectedRecords(editor)) {
      if (r->kind != kind::Area) continue;
      r->node->setAttr("oname", name);
      areas.push_back(r);
    }
    rereadRecords(editor, areas);
    finishEdit(editor, true, false);
  }
  editor.port.focusCanvas();
}

bool deleteCurrentLevel(Editor& editor) {
  ZoneState& zone = editor.zone;
  if (!zone.openZoneNode || zone.levels.empty()) return false;
  if (zone.levelCount() == 1) {
    editor.port.messageBox("ZorlED", "You cannot delete this level.\r\nThere must always be at least one.",
                           MessageIcon::Warning);
    return false;
  }
  const std::string question = editor.game.path.empty()
                                   ? "Are you sure you want to delete this z-level?\r\nThis cannot be undone."
                                   : "Are you sure you want to delete this z-level?\r\nThis cannot be undone without "
                                     "reloading the file.";
  if (editor.port.ask("ZorlED", question, QuestionButtons::YesNo) != Answer::Yes) return false;
  const int index = std::clamp(zone.currentLevel, 0, zone.levelCount() - 1);
  renumberLevelRefs(zone.openZoneNode, 1, index, 0);
  editor.game.document->removeNode(zone.levels[static_cast<std::size_t>(index)].node);
  zone.levels.erase(zone.levels.begin() + index);
  zone.currentLevel = std::min(index, zone.levelCount() - 1);
  rereadAll(editor);
  markModified(editor);
  updateWindowTitle(editor, true);
  editor.port.redrawCanvas();
  return true;
}

}  // namespace zor::editor
