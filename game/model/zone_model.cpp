#include "game/model/zone_model.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <utility>

#include "format/vocabulary.h"
#include "platform/text.h"

namespace zor {
namespace {

// The first child element with exactly this name.
const xml::Node* childNamed(const xml::Node& parent, std::string_view name) {
  for (const xml::Node* c = parent.firstElement(); c; c = c->nextElement()) {
    if (c->name == name) return c;
  }
  return nullptr;
}

std::string zoneName(const xml::Node& zone) { return "Zone '" + zone.attr("id") + "'"; }

// The zone's `level` elements in document order, at most kMaxLevels of them.
std::vector<const xml::Node*> levelElements(const xml::Node& zone, std::vector<ModelError>* errors) {
  std::vector<const xml::Node*> out;
  const xml::Node* levels = childNamed(zone, "levels");
  if (!levels) return out;
  for (const xml::Node* c = levels->firstElement(); c; c = c->nextElement()) {
    if (xml::toLowerAscii(c->name) != "level") continue;
    if (static_cast<int>(out.size()) == kMaxLevels) {
      if (errors) {
        errors->push_back(ModelError{c->line, zoneName(zone) + " has more than " +
                                                  text::formatInt(kMaxLevels) +
                                                  " levels; the others are left out."});
      }
      break;
    }
    out.push_back(c);
  }
  return out;
}

std::vector<ZoneLevel> readLevels(const std::vector<const xml::Node*>& elements) {
  const std::size_t n = elements.size();
  std::vector<ZoneLevel> levels(n);
  for (std::size_t i = 0; i < n; ++i) {
    ZoneLevel& l = levels[n - 1 - i];  // filled from the last entry backwards
    for (const xml::Attribute& at : elements[i]->attributes) {
      const std::string name = xml::toLowerAscii(at.name);
      if (name == "z") {
        l.z = format::readFloat(at.value);
      } else if (name == "color") {
        l.colour = format::readColour(at.value);
      } else if (name == "unlocked") {
        if (format::readBool(at.value)) l.unlocked = true;
      }
    }
    if (std::isnan(l.z)) l.z = 0.0f;
  }
  std::stable_sort(levels.begin(), levels.end(),
                   [](const ZoneLevel& a, const ZoneLevel& b) { return a.z < b.z; });
  return levels;
}

ZoneEntrance readEntrance(const xml::Node& zone, std::string_view entranceName) {
  ZoneEntrance e;
  if (entranceName.empty()) {
    e.node = childNamed(zone, "entrance");
  } else if (entranceName == "-") {
    e.nameDropped = true;
    e.node = childNamed(zone, "entrance");
  } else {
    e.node = childNamed(zone, "entrance_" + std::string(entranceName));
    if (!e.node) {
      e.nameDropped = true;
      e.node = childNamed(zone, "entrance");
    }
  }
  if (!e.node) return e;
  e.x = format::readFloat(e.node->attr("x"));
  e.y = format::readFloat(e.node->attr("y"));
  const std::string_view level = e.node->attr("level");
  const std::string_view z = e.node->attr("z");
  if (!level.empty()) {
    e.levelFrom = ZoneEntrance::LevelFrom::Index;
    e.level = format::readInt(level);
    e.z = format::readFloat(z);
  } else if (!z.empty()) {
    e.levelFrom = ZoneEntrance::LevelFrom::NearestToZ;
    e.z = format::readFloat(z);
  }
  return e;
}

// The element an id names, reporting an id that names nothing.
const xml::Node* namedScript(const xml::Node& from, std::string_view attribute, const std::string& id,
                             const ElementLookup& findById, std::vector<ModelError>& errors) {
  const xml::Node* named = findById(id);
  if (!named) {
    errors.push_back(ModelError{from.line, "The '" + std::string(attribute) + "' of '" + from.name +
                                               "' names the script '" + id + "', which does not exist."});
  }
  return named;
}

// The script an area's `enter`, `exit` or `action` child names, with its count.
void readAreaScript(const xml::Node& child, const ElementLookup& findById, std::vector<ModelError>& errors,
                    const xml::Node*& script, int32_t& times) {
  script = &child;
  const std::string_view t = child.attr("times");
  if (!t.empty()) times = format::readIndex(t);
  const std::string sub = child.attr("sub");
  if (!sub.empty()) {
    if (const xml::Node* named = namedScript(child, "sub", sub, findById, errors)) script = named;
  }
}

ZoneArea readArea(const xml::Node& el, const ElementLookup& findById, std::vector<ModelError>& errors) {
  ZoneArea a;
  a.node = &el;
  for (const xml::Attribute& at : el.attributes) {
    const std::string_view v = at.value;
    if (v.empty()) continue;
    const std::string name = xml::toLowerAscii(at.name);
    if (name == format::attr::ObjectName) {
      a.oname = v;
    } else if (name == "xlim") {
      a.xlim = format::readZoneLimits(v);
    } else if (name == "ylim") {
      a.ylim = format::readZoneLimits(v);
    } else if (name == "z") {
      a.levelFrom = ZoneArea::LevelFrom::NearestToZ;
      a.z = format::readFloat(v);
    } else if (name == "level") {
      a.levelFrom = ZoneArea::LevelFrom::Index;
      a.level = format::readInt(v);
    } else if (name == "flg") {
      for (const std::string& item : format::readCommaList(xml::toLowerAscii(v))) {
        if (item == "deadly") a.flags |= format::flag::Deadly;
      }
    } else if (name == "zoom") {
      const std::vector<std::string> items = text::split(v, ',');
      a.zoomCount = static_cast<int32_t>(std::min<std::size_t>(items.size(), 3));
      for (int32_t i = 0; i < a.zoomCount; ++i) {
        a.zoom[i] = std::fabs(format::readFloat(items[static_cast<std::size_t>(i)]));
      }
    } else if (name == "color") {
      a.colour = format::readColour(v);
    }
  }
  for (const xml::Node* c = el.firstElement(); c; c = c->nextElement()) {
    const std::string name = xml::toLowerAscii(c->name);
    if (name == "enter") {
      readAreaScript(*c, findById, errors, a.enterScript, a.enterTimes);
    } else if (name == "exit") {
      readAreaScript(*c, findById, errors, a.exitScript, a.exitTimes);
    } else if (name == "action") {
      readAreaScript(*c, findById, errors, a.actionScript, a.actionTimes);
    }
  }
  return a;
}

// A `block` child of a zone (the name in any letter case).
bool isBlockElement(const xml::Node& child) { return xml::equalsIgnoreCase(child.name, "block"); }

}  // namespace

bool zoneHasLevels(const xml::Node& zone) { return !levelElements(zone, nullptr).empty(); }

ZoneModel readZone(const xml::Node& zone, std::string_view entranceName, const ClassMap& classes,
                   const ElementLookup& findById, ZoneBlocks blocks) {
  ZoneModel m;
  m.node = &zone;
  m.persist = xml::toLowerAscii(zone.attr("persist"));

  for (const xml::Attribute& at : zone.attributes) {
    const std::string name = xml::toLowerAscii(at.name);
    const std::string_view v = at.value;
    if (name == "gravity") {
      m.gravity = format::readFloat(v) * 0.7f;
    } else if (name == "zoom") {
      m.zoom = std::fabs(format::readFloat(v));
    } else if (name == "xlim") {
      m.xlim = format::readZoneLimits(v);
    } else if (name == "ylim") {
      m.ylim = format::readZoneLimits(v);
    } else if (name == "track") {
      m.tracks.emplace_back(v);
    }
  }
  m.musicVolume = format::readInt(zone.attr("volume"));
  if (m.musicVolume == 0) m.musicVolume = 100;

  m.levels = readLevels(levelElements(zone, &m.errors));
  if (m.levels.empty()) m.errors.push_back(ModelError{zone.line, zoneName(zone) + " contains no levels!"});

  m.entrance = readEntrance(zone, entranceName);

  ClassParamsCache classCache;
  // Room for every child as a block: the records are large, and growing the
  // list would copy them and touch twice the memory.
  if (blocks == ZoneBlocks::Read) m.blocks.reserve(zone.childCount());
  for (const xml::Node* c = zone.firstElement(); c; c = c->nextElement()) {
    const std::string_view name = c->name;
    if (isBlockElement(*c)) {
      if (blocks == ZoneBlocks::Read) {
        m.blocks.push_back(readBlockRecord(*c, classes, findById, m.errors, &classCache));
      } else {
        m.blockElements.push_back(c);
      }
    } else if (xml::equalsIgnoreCase(name, "start")) {
      m.startScript = c;
    } else if (xml::equalsIgnoreCase(name, "death")) {
      const std::string sub = c->attr("sub");
      if (!sub.empty()) m.deathScript = namedScript(*c, "sub", xml::toLowerAscii(sub), findById, m.errors);
      if (!m.deathScript && c->childCount() > 0) m.deathScript = c;
      const std::string after = c->attr("after");
      if (!after.empty()) {
        m.afterDeathScript = namedScript(*c, "after", xml::toLowerAscii(after), findById, m.errors);
      }
    } else if (xml::equalsIgnoreCase(name, "area")) {
      m.areas.push_back(readArea(*c, findById, m.errors));
    }
  }
  return m;
}

}  // namespace zor
