#include "game/model/block_params.h"

#include <cmath>
#include <string>
#include <utility>

#include "format/vocabulary.h"
#include "platform/text.h"

namespace zor {
namespace {

void readAttribute(BlockParams& p, std::string_view name, std::string_view v) {
  // Sorted by first letter, so that a name is compared with few others.
  switch (name.empty() ? '\0' : name[0]) {
    case 'x':
      if (name == "x") {
        p.x = format::readFloat(v);
      } else if (name == "xlim") {
        p.xlim = format::readBlockLimits(v);
      }
      break;
    case 'y':
      if (name == "y") {
        p.y = format::readFloat(v);
      } else if (name == "ylim") {
        p.ylim = format::readBlockLimits(v);
      }
      break;
    case 'w':
      if (name == "w") {
        p.w = format::readFloat(v);
      } else if (name == "wave") {
        p.wave = format::readWave(v);
      }
      break;
    case 'h':
      if (name == "h") p.h = format::readFloat(v);
      break;
    case 'z':
      if (name == "z") p.z = format::readFloat(v);
      break;
    case 'l':
      if (name == "level") p.level = static_cast<int8_t>(format::readInt(v));
      break;
    case 'c':
      if (name == "color") {
        p.colour = format::readColourPair(v);
      } else if (name == "count") {
        p.count = format::readInt(v);
      }
      break;
    case 't':
      if (name == "trans") p.trans = format::readFloat(v);
      break;
    case 'f':
      if (name == "flg") {
        p.flags |= format::readBlockFlags(v);
      } else if (name == "freq") {
        p.freq = format::readFloat(v) / 60.0f;
      } else if (name == "fall") {
        p.freq = std::fabs(format::readFloat(v));
      }
      break;
    case 's':
      if (name == "smp") p.freq = std::fabs(format::readFloat(v));
      break;
    case 'g':
      if (name == "grav") p.gravity = std::fabs(format::readFloat(v)) * 0.7f;
      break;
    case 'd':
      if (name == "duty") p.duty = format::readFloat(v);
      break;
    case 'p':
      if (name == "phase") {
        p.phase = format::readFloat(v) / 360.0f;
      } else if (name == "priority") {
        p.priority = static_cast<int8_t>(format::readInt(v));
      } else if (name == "persist") {
        p.persistGroup = xml::toLowerAscii(v);
      }
      break;
    default:
      break;
  }
}

// The script a `standon` or `die` child names: the element whose id is its
// `sub`, else the child itself.
const xml::Node* scriptOf(const xml::Node& child, const ElementLookup& findById,
                          std::vector<ModelError>& errors) {
  const std::string sub = xml::toLowerAscii(child.attr("sub"));
  if (sub.empty()) return &child;
  if (const xml::Node* named = findById(sub)) return named;
  errors.push_back(ModelError{child.line, "'" + child.name + "' names the script '" + sub +
                                              "', which does not exist; its own statements run."});
  return &child;
}

}  // namespace

BlockParams readBlockParams(const xml::Node& element, const ElementLookup& findById,
                            std::vector<ModelError>& errors) {
  BlockParams p;
  for (const xml::Attribute& a : element.attributes) {
    if (a.value.empty()) continue;
    // Lower-cased into a small buffer: a longer name is none of the known ones.
    char lower[16];
    const std::string_view name = a.name;
    if (name.size() > sizeof lower) continue;
    for (std::size_t i = 0; i < name.size(); ++i) {
      const char c = name[i];
      lower[i] = c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    }
    readAttribute(p, std::string_view(lower, name.size()), a.value);
  }
  p.keepsFall = !element.attr("fall").empty();
  for (const xml::Node* child = element.firstElement(); child; child = child->nextElement()) {
    const std::string name = xml::toLowerAscii(child->name);
    if (name == "standon") {
      p.standOnScript = scriptOf(*child, findById, errors);
      const std::string_view times = child->attr("times");
      if (!times.empty()) p.standOnTimes = static_cast<int16_t>(format::readIndex(times));
    } else if (name == "die") {
      p.dieScript = scriptOf(*child, findById, errors);
    }
  }
  return p;
}

BlockRecord readBlockRecord(const xml::Node& element, const ClassMap& classes,
                            const ElementLookup& findById, std::vector<ModelError>& errors,
                            ClassParamsCache* classCache) {
  BlockRecord b;
  b.node = &element;
  if (const std::string_view oname = element.attr(format::attr::ObjectName); !oname.empty()) {
    b.oname = xml::toLowerAscii(text::trim(oname));
  }
  const std::string_view className = element.attr("class");
  if (!className.empty()) {
    auto it = classes.find(std::string(className));
    if (it == classes.end()) {
      errors.push_back(ModelError{element.line, "The block class '" + std::string(className) +
                                                    "' does not exist; the block has no class."});
    } else {
      b.objectClass = &it->second;
      if (it->second.node && classCache) {
        auto cached = classCache->find(b.objectClass);
        if (cached == classCache->end()) {
          cached = classCache->emplace(b.objectClass, readBlockParams(*it->second.node, findById, errors)).first;
        }
        b.classParams = cached->second;
      } else if (it->second.node) {
        // A fault of the class shows once, not again with every block of the class.
        std::vector<ModelError> classErrors;
        b.classParams = readBlockParams(*it->second.node, findById, classErrors);
        for (ModelError& e : classErrors) {
          bool known = false;
          for (const ModelError& k : errors) known = known || (k.line == e.line && k.message == e.message);
          if (!known) errors.push_back(std::move(e));
        }
      }
    }
  }
  b.params = readBlockParams(element, findById, errors);
  return b;
}

}  // namespace zor
