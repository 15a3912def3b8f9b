#include "editor/core/zone_records.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <numbers>
#include <optional>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <utility>

#include "editor/core/address_table.h"
#include "editor/core/canvas_controller.h"
#include "editor/core/drawing_order.h"
#include "editor/core/editor.h"
#include "editor/core/number_text.h"
#include "editor/core/selection.h"
#include "format/values.h"
#include "platform/text.h"

namespace zor::editor {

namespace {

// Nearest integer, halves to even; out-of-range and undefined values are cut to the int32 range.
int32_t roundedInt(double v) {
  if (std::isnan(v)) return 0;
  if (v >= 2147483647.0) return INT32_MAX;
  if (v <= -2147483648.0) return INT32_MIN;
  return static_cast<int32_t>(std::nearbyint(v));
}

float lerp(float a, float b, float t) { return (1.0f - t) * a + t * b; }

bool startsWithEntrance(const std::string& lowerName) { return lowerName.compare(0, 8, "entrance") == 0; }

void readLimitsPair(const std::string& textValue, float defMin, float defMax, float& outMin, float& outMax) {
  if (textValue.empty()) {
    outMin = defMin;
    outMax = defMax;
  } else {
    outMin = format::readFloat(text::field(textValue, ',', 0));
    outMax = format::readFloat(text::field(textValue, ',', 1));
  }
  if (outMin > outMax) std::swap(outMin, outMax);
}

std::vector<std::unique_ptr<EditorObject>>::iterator findRecord(ZoneState& zone, const xml::Node* node) {
  return std::find_if(zone.objects.begin(), zone.objects.end(),
                      [node](const std::unique_ptr<EditorObject>& o) { return o->node == node; });
}

}  // namespace

std::string shiftLimits(const std::string& limits, float d) {
  std::string out;
  const std::vector<std::string> fields = text::split(limits, ',');
  for (std::size_t i = 0; i < fields.size(); ++i) {
    if (i) out += ',';
    out += trimmedDecimal(static_cast<double>(format::readFloat(fields[i]) + d));
  }
  return out;
}

namespace {

EditorObject makePreview(const EditorObject& block, int32_t kindValue, int32_t flags) {
  EditorObject p;
  p.kind = kindValue;
  p.node = block.node;
  p.z = block.z + 0.1f;
  p.colour = 0x808080;
  p.priority = block.priority;
  p.flags = flags;
  return p;
}

}  // namespace

std::string getPluralSuffix(int n) { return n == 1 ? "" : "s"; }

bool isBetween(float a, float v, float b) { return (a <= v && v <= b) || (b <= v && v <= a); }

void clearUndoList(ZoneState& zone) {
  zone.undoEntries.clear();
  zone.undoTexts.clear();
  zone.undoKind = 0;
}

std::string_view UndoTexts::add(std::string_view text, uint32_t entry) {
  owners_.push_back(entry);
  if (text.empty()) return {};
  if (text.size() > left_) {
    const std::size_t size = std::max(kPiece, text.size());
    pieces_.push_back(std::unique_ptr<char[]>(new char[size]));
    cursor_ = pieces_.back().get();
    left_ = size;
  }
  char* at = cursor_;
  std::memcpy(at, text.data(), text.size());
  cursor_ += text.size();
  left_ -= text.size();
  return {at, text.size()};
}

void UndoTexts::clear() {
  pieces_.clear();
  cursor_ = nullptr;
  left_ = 0;
  owners_.clear();
}

float getLevelDepth(const ZoneState& zone, int n) {
  if (zone.levels.empty()) return 0.0f;
  if (n < 0) {
    const int current = std::clamp(zone.currentLevel, 0, zone.levelCount() - 1);
    return zone.levels[static_cast<std::size_t>(current)].z;
  }
  return zone.levels[static_cast<std::size_t>(n % zone.levelCount())].z;
}

namespace {

// An area's priority follows its size.
void setAreaPriority(EditorObject& o) {
  if (o.kind == kind::Area) {
    o.priority = roundedInt(std::sqrt(static_cast<double>(o.w)) + std::sqrt(static_cast<double>(o.h)));
  }
}

DrawingKey drawingKey(const EditorObject& o) { return {o.z, o.priority, o.y}; }

}  // namespace

void sortObjects(ZoneState& zone) {
  auto& list = zone.objects;
  std::vector<DrawingKey> keys;
  keys.reserve(list.size());
  for (auto& o : list) {
    setAreaPriority(*o);
    keys.push_back(drawingKey(*o));
  }
  const std::vector<uint32_t> order = drawingOrder(keys);
  uint32_t firstMoved = 0;
  while (firstMoved < order.size() && order[firstMoved] == firstMoved) ++firstMoved;
  if (firstMoved == order.size()) return;  // already in drawing order
  std::vector<std::unique_ptr<EditorObject>> sorted;
  sorted.reserve(list.size());
  for (uint32_t i : order) sorted.push_back(std::move(list[i]));
  list.swap(sorted);
}

namespace {

bool isPathPreview(const EditorObject& o) { return o.kind == kind::PathLine || o.kind == kind::PathEllipse; }

// The attributes a block's record is read from (each the first of its name, empty
// when absent), found in one pass over the element's attributes.
struct BlockAttributes {
  std::string_view x, y, level, z, priority, flg, className, w, h, trans, color, phase, xlim, ylim, duty, wave;
};

BlockAttributes blockAttributes(const xml::Node* node) {
  using A = BlockAttributes;
  static constexpr std::pair<std::string_view, std::string_view A::*> kNames[] = {
      {"x", &A::x},         {"y", &A::y},         {"level", &A::level}, {"z", &A::z},
      {"priority", &A::priority}, {"flg", &A::flg}, {"class", &A::className}, {"w", &A::w},
      {"h", &A::h},         {"trans", &A::trans}, {"color", &A::color}, {"phase", &A::phase},
      {"xlim", &A::xlim},   {"ylim", &A::ylim},   {"duty", &A::duty},   {"wave", &A::wave}};
  A out;
  uint32_t seen = 0;
  for (const xml::Attribute& a : node->attributes) {
    for (std::size_t i = 0; i < std::size(kNames); ++i) {
      if (a.name != kNames[i].first) continue;
      if (!(seen & (1u << i))) out.*(kNames[i].second) = a.value;
      seen |= 1u << i;
      break;
    }
  }
  return out;
}

// Field `index` of a comma list (empty when there are fewer fields).
std::string_view listField(std::string_view s, std::size_t index) {
  std::size_t start = 0;
  for (std::size_t k = 0; k < index; ++k) {
    const std::size_t p = s.find(',', start);
    if (p == std::string_view::npos) return {};
    start = p + 1;
  }
  std::size_t end = s.find(',', start);
  if (end == std::string_view::npos) end = s.size();
  return s.substr(start, end - start);
}

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// A flag word, trimmed of blanks, equal to `lower` in any letter case.
bool isFlagWord(std::string_view word, std::string_view lower) {
  while (!word.empty() && isBlank(word.front())) word.remove_prefix(1);
  while (!word.empty() && isBlank(word.back())) word.remove_suffix(1);
  if (word.size() != lower.size()) return false;
  for (std::size_t i = 0; i < word.size(); ++i) {
    const char c = word[i] >= 'A' && word[i] <= 'Z' ? static_cast<char>(word[i] - 'A' + 'a') : word[i];
    if (c != lower[i]) return false;
  }
  return true;
}

// Reads a block element into its record and gives the path previews its motion
// needs (none without one) in `previews`.
void readBlock(Editor& editor, xml::Node* element, EditorObject& rec, int32_t extraFlags,
               std::vector<EditorObject>& previews) {
  ZoneState& zone = editor.zone;
  previews.clear();
  const BlockAttributes own = blockAttributes(element);
  rec.x = format::readFloat(own.x);
  rec.y = format::readFloat(own.y);
  if (!own.level.empty()) {
    const int32_t n = format::readInt(own.level);
    rec.z = n >= 0 && n < zone.levelCount() ? zone.levels[static_cast<std::size_t>(n)].z : 0.0f;
  } else {
    rec.z = format::readFloat(own.z);
  }
  rec.priority = format::readInt(own.priority);
  if (own.flg.find("invisible") != std::string_view::npos) extraFlags |= objflag::Invisible;

  // A block without a size in its element or class shows the game's default size.
  rec.w = 20.0f;
  rec.h = 20.0f;
  int32_t rawColour = -1;
  bool circular = false;
  float phase = 0.0f, duty = 0.5f, xmin = 0.0f, xmax = 0.0f, ymin = 0.0f, ymax = 0.0f;
  const xml::Node* classNode = own.className.empty() ? nullptr : findClassNode(editor, std::string(own.className));
  const BlockAttributes fromClass = classNode ? blockAttributes(classNode) : BlockAttributes{};
  const BlockAttributes* sources[2] = {classNode ? &fromClass : nullptr, &own};
  for (const BlockAttributes* src : sources) {
    if (!src) continue;
    if (!src->w.empty()) rec.w = format::readFloat(src->w);
    if (!src->h.empty()) rec.h = format::readFloat(src->h);
    rec.trans = src->trans.empty() ? 0.0f : format::readFloat(src->trans);
    rec.flags &= objflag::Selected | objflag::BeingPlaced;
    circular = false;
    for (std::size_t start = 0;;) {
      const std::size_t comma = src->flg.find(',', start);
      const std::string_view word =
          src->flg.substr(start, comma == std::string_view::npos ? std::string_view::npos : comma - start);
      if (isFlagWord(word, "invisible")) rec.flags |= objflag::Invisible;
      else if (isFlagWord(word, "checkpoint")) rec.flags |= objflag::Checkpoint;
      else if (isFlagWord(word, "motion")) rec.flags |= objflag::Motion;
      else if (isFlagWord(word, "hasface")) rec.flags |= objflag::HasFace;
      else if (isFlagWord(word, "horizon")) rec.flags |= objflag::Horizon;
      else if (isFlagWord(word, "circular")) circular = true;
      if (comma == std::string_view::npos) break;
      start = comma + 1;
    }
    rec.flags |= extraFlags;
    if (rec.flags & objflag::Checkpoint) rec.h = rec.w;
    if (!src->color.empty()) rawColour = format::readColour(listField(src->color, 0));
    rec.colour = rawColour;
    if (rawColour == -1) {
      rec.colour = 0x282828;
      rec.flags |= objflag::Invisible;
    }
    if (rec.flags & objflag::Motion) {
      phase = format::readFloat(src->phase) / 360.0f;
      // Raised by whole cycles while negative; a phase so large that adding 1 changes
      // nothing (or one that is not a number) is reduced at once.
      if (!std::isfinite(phase)) phase = 0.0f;
      if (phase < -1.0e6f) phase -= std::floor(phase);
      while (phase < 0.0f) phase += 1.0f;
      const std::string_view xl = src->xlim;
      xmin = format::readFloat(listField(xl, 0));
      xmax = xl.find(',') != std::string_view::npos ? format::readFloat(listField(xl, 1)) : xmin;
      const std::string_view yl = src->ylim;
      ymin = format::readFloat(listField(yl, 0));
      ymax = yl.find(',') != std::string_view::npos ? format::readFloat(listField(yl, 1)) : ymin;
      duty = src->duty.empty() ? 0.5f : format::readFloat(src->duty);
    }
  }

  if (!(rec.flags & objflag::Motion)) return;
  enum class Path { Line, TwoLines, Ellipse } path = Path::Line;
  const std::string wave = text::toLower(own.wave);
  const float p = phase;
  if (wave == "square" || wave == "sq") {
    rec.x = p < duty ? xmax : xmin;
    rec.y = p < duty ? ymax : ymin;
  } else if (wave == "saw" || wave == "sawtooth") {
    rec.x = lerp(xmin, xmax, p);
    rec.y = lerp(ymin, ymax, p);
  } else if (wave == "tri" || wave == "triangle") {
    // A duty of 1 leaves no falling half: the block stays at the top from then on.
    const float t = p < duty ? p / duty : duty == 1.0f ? 1.0f : 1.0f - (p - duty) / (1.0f - duty);
    rec.x = lerp(xmin, xmax, t);
    rec.y = lerp(ymin, ymax, t);
  } else if (wave == "rand" || wave == "random") {
    rec.x = (xmin + xmax) / 2.0f;
    rec.y = (ymin + ymax) / 2.0f;
  } else if (wave == "prox" || wave == "proximity") {
    rec.x = xmin;
    rec.y = ymin;
  } else if (wave == "parabola" || wave == "parabolic") {
    rec.x = (xmin + xmax) / 2.0f;
    rec.y = ymax;
    path = Path::TwoLines;
  } else {
    const double angle = 2.0 * std::numbers::pi * static_cast<double>(p);
    const float t = static_cast<float>(0.5 - 0.5 * std::cos(angle));
    rec.x = lerp(xmin, xmax, t);
    if (circular) {
      rec.y = lerp(ymin, ymax, static_cast<float>(0.5 + 0.5 * std::sin(angle)));
      path = Path::Ellipse;
    } else {
      rec.y = lerp(ymin, ymax, t);
    }
  }

  if (!(rec.flags & objflag::Horizon)) {
    const float hw = rec.w / 2.0f;
    const float hh = rec.h / 2.0f;
    const int32_t previewFlags = extraFlags | (rec.flags & objflag::BeingPlaced);
    if (path == Path::Ellipse) {
      EditorObject e = makePreview(rec, kind::PathEllipse, previewFlags);
      e.x = (xmin + xmax) / 2.0f + hw;
      e.y = (ymin + ymax) / 2.0f + hh;
      e.w = std::fabs(xmax - xmin) / 2.0f;
      e.h = std::fabs(ymax - ymin) / 2.0f;
      previews.push_back(e);
    } else if (path == Path::TwoLines) {
      const float mx = (xmin + xmax) / 2.0f + hw;
      EditorObject a = makePreview(rec, kind::PathLine, previewFlags);
      a.x = xmin + hw;
      a.y = ymin + hh;
      a.w = mx;
      a.h = ymax + hh;
      EditorObject b = makePreview(rec, kind::PathLine, previewFlags);
      b.x = mx;
      b.y = ymax + hh;
      b.w = xmax + hw;
      b.h = ymin + hh;
      previews.push_back(a);
      previews.push_back(b);
    } else {
      EditorObject l = makePreview(rec, kind::PathLine, previewFlags);
      l.x = xmin + hw;
      l.y = ymin + hh;
      l.w = xmax + hw;
      l.h = ymax + hh;
      previews.push_back(l);
    }
  }
}

// A new record of `kindValue` for an element, at the end of the list.
EditorObject& appendRecord(ZoneState& zone, xml::Node* element, int32_t kindValue) {
  auto record = std::make_unique<EditorObject>();
  record->kind = kindValue;
  record->node = element;
  zone.objects.push_back(std::move(record));
  return *zone.objects.back();
}

void appendPreviews(ZoneState& zone, const std::vector<EditorObject>& previews) {
  for (const EditorObject& preview : previews) zone.objects.push_back(std::make_unique<EditorObject>(preview));
}

// The named blocks of the zone by name, each name to its first block in list order.
using NamedBlocks = std::unordered_map<std::string_view, const EditorObject*>;
NamedBlocks namedBlocks(const ZoneState& zone) {
  NamedBlocks named;
  for (const auto& o : zone.objects) {
    if (o->kind != kind::Block) continue;
    const std::string_view oname = o->node->attr("oname");
    if (!oname.empty()) named.emplace(oname, o.get());
  }
  return named;
}

// The first block in list order named `oname`: from `named` when given, else by a walk.
const EditorObject* blockNamed(const ZoneState& zone, const std::string& oname, const NamedBlocks* named) {
  if (named) {
    auto it = named->find(oname);
    return it == named->end() ? nullptr : it->second;
  }
  for (const auto& o : zone.objects)
    if (o->kind == kind::Block && o->node->attr("oname") == oname) return o.get();
  return nullptr;
}

void readArea(Editor& editor, xml::Node* element, EditorObject& rec, int32_t extraFlags, const NamedBlocks* named) {
  ZoneState& zone = editor.zone;
  rec.flags |= extraFlags;
  if (!element->attr("z").empty()) rec.z = format::readFloat(element->attr("z"));
  else if (!element->attr("level").empty()) rec.z = getLevelDepth(zone, format::readInt(element->attr("level")));
  else rec.z = getLevelDepth(zone, zone.currentLevel);

  const std::string& oname = element->attr("oname");
  if (!oname.empty()) {
    if (const EditorObject* o = blockNamed(zone, oname, named)) {
      rec.x = o->x;
      rec.y = o->y;
      rec.w = o->w;
      rec.h = o->h;
    }
  } else {
    const std::string& xl = element->attr("xlim");
    if (xl.empty()) {
      rec.x = zone.view.xmin;
      rec.w = zone.view.xmax - zone.view.xmin;
    } else {
      rec.x = format::readFloat(text::field(xl, ',', 0));
      rec.w = format::readFloat(text::field(xl, ',', 1)) - rec.x;
    }
    const std::string& yl = element->attr("ylim");
    if (yl.empty()) {
      rec.y = zone.view.ymin;
      rec.h = zone.view.ymax - zone.view.ymin;
    } else {
      rec.y = format::readFloat(text::field(yl, ',', 0));
      rec.h = format::readFloat(text::field(yl, ',', 1)) - rec.y;
    }
    if (rec.w < 0.0f) {
      rec.x += rec.w;
      rec.w = -rec.w;
    }
    if (rec.h < 0.0f) {
      rec.y += rec.h;
      rec.h = -rec.h;
    }
  }
}

void readEntrance(Editor& editor, xml::Node* element, EditorObject& rec, int32_t extraFlags) {
  ZoneState& zone = editor.zone;
  rec.flags |= extraFlags;
  rec.x = format::readFloat(element->attr("x"));
  rec.y = format::readFloat(element->attr("y"));
  rec.w = 20.0f;
  rec.h = 20.0f;
  rec.z = !element->attr("level").empty() ? getLevelDepth(zone, format::readInt(element->attr("level")))
                                          : format::readFloat(element->attr("z"));
}

}  // namespace

EditorObject* parseBlock(Editor& editor, xml::Node* element, bool resort, int32_t extraFlags) {
  ZoneState& zone = editor.zone;
  auto& list = zone.objects;
  constexpr std::size_t kNone = static_cast<std::size_t>(-1);
  std::size_t at = kNone;
  for (std::size_t i = 0; i < list.size();) {
    if (list[i]->node == element && isPathPreview(*list[i])) {
      list.erase(list.begin() + static_cast<std::ptrdiff_t>(i));
      continue;
    }
    if (list[i]->node == element && list[i]->kind == kind::Block && at == kNone) at = i;
    ++i;
  }
  if (at == kNone) {
    at = list.size();
    appendRecord(zone, element, kind::Block);
  }
  std::vector<EditorObject> previews;
  readBlock(editor, element, *list[at], extraFlags, previews);
  std::size_t insertAt = at + 1;
  for (const EditorObject& preview : previews) {
    list.insert(list.begin() + static_cast<std::ptrdiff_t>(insertAt++), std::make_unique<EditorObject>(preview));
  }
  EditorObject* result = list[at].get();
  if (resort) sortObjects(zone);
  return result;
}

EditorObject* parseArea(Editor& editor, xml::Node* element, bool resort, int32_t extraFlags) {
  ZoneState& zone = editor.zone;
  auto it = findRecord(zone, element);
  EditorObject& rec = it == zone.objects.end() ? appendRecord(zone, element, kind::Area) : **it;
  readArea(editor, element, rec, extraFlags, nullptr);
  if (resort) sortObjects(zone);
  return &rec;
}

EditorObject* parseEntrance(Editor& editor, xml::Node* element, bool /*resort*/, int32_t extraFlags) {
  ZoneState& zone = editor.zone;
  auto it = findRecord(zone, element);
  EditorObject& rec = it == zone.objects.end() ? appendRecord(zone, element, kind::Entrance) : **it;
  readEntrance(editor, element, rec, extraFlags);
  return &rec;
}

EditorObject* parseObjectByKind(Editor& editor, xml::Node* element, bool resort, int32_t extraFlags) {
  if (!element) return nullptr;
  const std::string name = text::toLower(element->name);
  if (name == "block") return parseBlock(editor, element, resort, extraFlags);
  if (name == "area") return parseArea(editor, element, resort, extraFlags);
  if (startsWithEntrance(name)) return parseEntrance(editor, element, resort, extraFlags);
  return nullptr;
}

EditorObject* parseNewObject(Editor& editor, xml::Node* element, int32_t extraFlags) {
  if (!element) return nullptr;
  ZoneState& zone = editor.zone;
  const std::string name = text::toLower(element->name);
  if (name == "block") {
    EditorObject& rec = appendRecord(zone, element, kind::Block);
    std::vector<EditorObject> previews;
    readBlock(editor, element, rec, extraFlags, previews);
    appendPreviews(zone, previews);
    return &rec;
  }
  if (name == "area") {
    EditorObject& rec = appendRecord(zone, element, kind::Area);
    readArea(editor, element, rec, extraFlags, nullptr);
    return &rec;
  }
  if (startsWithEntrance(name)) {
    EditorObject& rec = appendRecord(zone, element, kind::Entrance);
    readEntrance(editor, element, rec, extraFlags);
    return &rec;
  }
  return nullptr;
}

bool readNewBlock(Editor& editor, xml::Node* element, EditorObject& record, std::vector<EditorObject>& previews) {
  if (element == nullptr || element->name.size() != 5 || text::toLower(element->name) != "block") return false;
  record.kind = kind::Block;
  record.node = element;
  readBlock(editor, element, record, 0, previews);
  return true;
}

namespace {

// A mark for each element of a set fixed at the start, found by address (open
// addressing: one array, no allocation per element).
class ElementMarks {
 public:
  explicit ElementMarks(std::size_t count) {
    std::size_t capacity = 16;
    while (capacity < 2 * count) capacity *= 2;
    slots_.assign(capacity, Slot{});
    mask_ = capacity - 1;
  }
  void add(const xml::Node* node) {
    Slot& s = slotOf(node);
    s.node = node;
  }
  // The mark of a node of the set, null for a node outside it.
  uint8_t* mark(const xml::Node* node) {
    Slot& s = slotOf(node);
    return s.node == node ? &s.mark : nullptr;
  }
  // Asks for the memory where the node's slot search starts.
  void prefetch(const xml::Node* node) const { __builtin_prefetch(&slots_[home(node)]); }

 private:
  struct Slot {
    const xml::Node* node = nullptr;
    uint8_t mark = 0;
  };
  std::size_t home(const xml::Node* node) const {
    return static_cast<std::size_t>((reinterpret_cast<std::uintptr_t>(node) >> 4) * 0x9E3779B97F4A7C15ull) & mask_;
  }
  Slot& slotOf(const xml::Node* node) {
    std::size_t i = home(node);
    while (slots_[i].node != nullptr && slots_[i].node != node) i = (i + 1) & mask_;
    return slots_[i];
  }
  std::vector<Slot> slots_;
  std::size_t mask_ = 0;
};

// How far ahead the walks below ask for the memory they will read: the records,
// elements and attributes of a big zone lie scattered, and each waits on memory.
constexpr std::size_t kAhead = 16;

// Asks for an element's node and the start of its attributes (and the values that
// follow them).
void prefetchElement(const xml::Node* node) {
  __builtin_prefetch(node);
  __builtin_prefetch(reinterpret_cast<const char*>(node) + 64);
}
void prefetchAttributes(const xml::Node* node) {
  const char* items = reinterpret_cast<const char*>(node->attributes.begin());
  if (items == nullptr) return;
  const std::size_t bytes = std::min<std::size_t>(node->attributes.size() * sizeof(xml::Attribute) + 64, 512);
  for (std::size_t offset = 0; offset < bytes; offset += 64) __builtin_prefetch(items + offset);
}
// Asks for the text of an element's attribute values: those a parse made lie side by
// side where the element was read, the others where they were set (the last one, most
// often). Its attributes must be at hand already.
void prefetchValues(const xml::Node* node) {
  const xml::AttributeList& list = node->attributes;
  if (list.empty()) return;
  const char* first = list[0].value.data();
  __builtin_prefetch(first);
  __builtin_prefetch(first + 64);
  __builtin_prefetch(list[list.size() - 1].value.data());
}

}  // namespace

void reparseAllBlocks(Editor& editor) {
  // The list again in one pass: each element's first block record read anew and
  // followed by its new path previews, the old previews of those elements dropped,
  // everything else in its place. The work is split into short walks (elements and
  // kinds gathered, blocks marked, each record's fate found, the blocks read) so
  // that the memory each step waits on is asked for ahead.
  ZoneState& zone = editor.zone;
  auto& objects = zone.objects;
  const std::size_t n = objects.size();
  enum : uint8_t { Keep, Drop, Read };
  struct Entry {
    const xml::Node* node;
    int32_t kind;
    uint8_t fate;
  };
  std::vector<Entry> entries(n);
  for (std::size_t i = 0; i < n; ++i) {
    if (i + kAhead < n) __builtin_prefetch(objects[i + kAhead].get());
    entries[i] = {objects[i]->node, objects[i]->kind, Keep};
  }
  ElementMarks blocks(n);
  for (std::size_t i = 0; i < n; ++i) {
    if (i + kAhead < n && entries[i + kAhead].node) blocks.prefetch(entries[i + kAhead].node);
    if (entries[i].kind == kind::Block && entries[i].node) blocks.add(entries[i].node);
  }
  for (std::size_t i = 0; i < n; ++i) {
    if (i + kAhead < n && entries[i + kAhead].node) blocks.prefetch(entries[i + kAhead].node);
    Entry& e = entries[i];
    uint8_t* mark = e.node ? blocks.mark(e.node) : nullptr;
    if (mark == nullptr) continue;
    if (e.kind == kind::PathLine || e.kind == kind::PathEllipse) {
      e.fate = Drop;
    } else if (e.kind == kind::Block && *mark == 0) {
      *mark = 1;
      e.fate = Read;
    }
  }
  std::vector<std::unique_ptr<EditorObject>> list;
  list.reserve(n);
  std::vector<EditorObject> previews;
  for (std::size_t i = 0; i < n; ++i) {
    if (i + kAhead < n && entries[i + kAhead].fate == Read) prefetchElement(entries[i + kAhead].node);
    if (i + kAhead / 2 < n && entries[i + kAhead / 2].fate == Read) prefetchAttributes(entries[i + kAhead / 2].node);
    const uint8_t fate = entries[i].fate;
    if (fate == Drop) continue;
    if (fate == Read) readBlock(editor, objects[i]->node, *objects[i], 0, previews);
    list.push_back(std::move(objects[i]));
    if (fate == Read)
      for (const EditorObject& preview : previews) list.push_back(std::make_unique<EditorObject>(preview));
  }
  objects = std::move(list);
}

std::vector<EditorObject*> rereadObjects(Editor& editor, const std::vector<xml::Node*>& elements) {
  ZoneState& zone = editor.zone;
  struct Wanted {
    xml::Node* element;
    int32_t kind;  // 0 for an element of no kind
    EditorObject* record;
  };
  std::vector<Wanted> wanted;
  wanted.reserve(elements.size());
  AddressTable<uint32_t> indexOf(elements.size());
  std::vector<uint32_t> itemOf;
  itemOf.reserve(elements.size());
  for (std::size_t e = 0; e < elements.size(); ++e) {
    if (e + kAhead < elements.size() && elements[e + kAhead] != nullptr) __builtin_prefetch(elements[e + kAhead]);
    xml::Node* element = elements[e];
    const uint32_t next = static_cast<uint32_t>(wanted.size());
    if (element != nullptr && indexOf.emplace(element, next)) {
      const std::string name = text::toLower(element->name);
      const int32_t k = name == "block" ? kind::Block : name == "area" ? kind::Area
                        : startsWithEntrance(name)      ? kind::Entrance
                                                        : 0;
      wanted.push_back({element, k, nullptr});
    }
    itemOf.push_back(element != nullptr ? *indexOf.find(element) : UINT32_MAX);
  }
  // A block's first record is read in its place and followed by its new path previews;
  // its old previews go. An area's or entrance's first record is read in its place.
  std::vector<std::unique_ptr<EditorObject>> list;
  list.reserve(zone.objects.size());
  std::vector<EditorObject> previews;
  std::vector<EditorObject*> namedAreas;
  auto& objects = zone.objects;
  const std::size_t n = objects.size();
  for (std::size_t i = 0; i < n; ++i) {
    // The records, the table and the elements of a big zone lie scattered: each is
    // asked for some steps before it is read.
    if (i + kAhead < n) __builtin_prefetch(objects[i + kAhead].get());
    if (i + kAhead / 2 < n) {
      if (const xml::Node* ahead = objects[i + kAhead / 2]->node) {
        indexOf.prefetch(ahead);
        prefetchElement(ahead);
      }
    }
    if (i + kAhead / 4 < n) {
      const EditorObject& ahead = *objects[i + kAhead / 4];
      if (ahead.node && ahead.kind == kind::Block && indexOf.contains(ahead.node)) prefetchAttributes(ahead.node);
    }
    if (i + kAhead / 8 < n) {
      const EditorObject& ahead = *objects[i + kAhead / 8];
      if (ahead.node && ahead.kind == kind::Block && indexOf.contains(ahead.node)) prefetchValues(ahead.node);
    }
    auto& o = objects[i];
    const uint32_t* at = o->node ? indexOf.find(o->node) : nullptr;
    Wanted* w = at ? &wanted[*at] : nullptr;
    if (w != nullptr && w->kind == kind::Block) {
      if (isPathPreview(*o)) continue;
      const bool first = o->kind == kind::Block && w->record == nullptr;
      if (first) {
        w->record = o.get();
        readBlock(editor, o->node, *o, 0, previews);
      }
      list.push_back(std::move(o));
      if (first)
        for (const EditorObject& preview : previews) list.push_back(std::make_unique<EditorObject>(preview));
      continue;
    }
    if (w != nullptr && w->kind != 0 && w->record == nullptr) {
      w->record = o.get();
      if (w->kind == kind::Entrance) readEntrance(editor, o->node, *o, 0);
      else if (!o->node->attr("oname").empty()) namedAreas.push_back(o.get());
      else readArea(editor, o->node, *o, 0, nullptr);
    }
    list.push_back(std::move(o));
  }
  zone.objects = std::move(list);
  for (Wanted& w : wanted) {
    if (w.kind == 0 || w.record != nullptr) continue;
    if (w.kind == kind::Area && !w.element->attr("oname").empty()) {
      w.record = &appendRecord(zone, w.element, kind::Area);
      namedAreas.push_back(w.record);
    } else {
      w.record = parseNewObject(editor, w.element, 0);
    }
  }
  if (!namedAreas.empty()) {
    const NamedBlocks named = namedBlocks(zone);
    for (EditorObject* area : namedAreas) readArea(editor, area->node, *area, 0, &named);
  }
  std::vector<EditorObject*> out;
  out.reserve(elements.size());
  for (uint32_t i : itemOf) out.push_back(i == UINT32_MAX ? nullptr : wanted[i].record);
  return out;
}

void closeZone(Editor& editor) {
  ZoneState& zone = editor.zone;
  // Objects still following the mouse were never placed: they leave the document.
  if (zone.openZoneNode) discardPlacedObjects(editor);
  resetCanvasInteraction(editor);
  zone.objects.clear();
  zone.hiddenObjects.clear();
  zone.names.clear();
  zone.levels.clear();
  zone.deletedScript.clear();
  zone.selectionCount = 0;
  zone.selectionKind = 0;
  zone.openZoneNode = nullptr;
  zone.view.zoneId.clear();
  zone.insertedBlockNode = nullptr;
  clearUndoList(zone);
}

bool openZone(Editor& editor, xml::Node* element) {
  if (!element || !element->isElement() || text::toLower(element->name) != "zone") return false;
  closeZone(editor);
  ZoneState& zone = editor.zone;
  ZoneView& view = zone.view;
  zone.currentLevel = 0;

  view.name = element->attr("name");
  view.xlimText = element->attr("xlim");
  view.ylimText = element->attr("ylim");
  view.persist = element->attr("persist");
  view.notes = element->attr("notes");
  readLimitsPair(view.xlimText, -1100.0f, 1100.0f, view.xmin, view.xmax);
  readLimitsPair(view.ylimText, -100.0f, 1100.0f, view.ymin, view.ymax);

  xml::Node* levels = element->childByPath("levels");
  if (levels) {
    for (xml::Node* l = levels->firstElement(); l; l = l->nextElement()) {
      if (l->name != "level") continue;
      EditorLevel level;
      level.zText = l->attr("z");
      level.z = format::readFloat(level.zText);
      level.colourText = l->attr("color");
      level.colour = format::swapRedBlue(text::parseHex(level.colourText));
      level.unlocked = format::readInt(l->attr("unlocked"));
      level.node = l;
      zone.levels.push_back(level);
    }
  }
  std::stable_sort(zone.levels.begin(), zone.levels.end(),
                   [](const EditorLevel& a, const EditorLevel& b) { return a.z < b.z; });
  if (zone.levels.empty()) {
    xml::Document& doc = *editor.game.document;
    if (!levels) {
      levels = doc.createElement("levels");
      xml::Document::insertBefore(element, levels, element->firstChild);
    }
    xml::Node* level = doc.createElement("level");
    level->setAttr("z", "0");
    level->setAttr("color", "FFFFFF");
    level->setAttr("unlocked", "1");
    xml::Document::appendChild(levels, level);
    zone.levels.push_back({"0", 0.0f, "FFFFFF", 0xFFFFFF, 1, level});
    editor.port.messageBox(kEditorName, "This zone contains no levels!\r\nA default level has been added at z = 0.",
                           MessageIcon::Warning);
  }

  // Every element is new to the list here: the records are read side by side in
  // document order, then made in drawing order (so that walking the list walks
  // memory in order). The areas that follow a named block take its box once all
  // blocks are in.
  std::vector<EditorObject> read;
  std::vector<EditorObject> previews;
  std::vector<std::size_t> namedAreas;
  const NamedBlocks noBlocks;
  for (xml::Node* child = element->firstElement(); child; child = child->nextElement()) {
    const std::string name = text::toLower(child->name);
    EditorObject rec;
    rec.node = child;
    if (name == "area") {
      rec.kind = kind::Area;
      readArea(editor, child, rec, 0, &noBlocks);
      if (!child->attr("oname").empty()) namedAreas.push_back(read.size());
      read.push_back(rec);
    } else if (name == "block") {
      rec.kind = kind::Block;
      readBlock(editor, child, rec, 0, previews);
      read.push_back(rec);
      read.insert(read.end(), previews.begin(), previews.end());
    } else if (startsWithEntrance(name)) {
      rec.kind = kind::Entrance;
      readEntrance(editor, child, rec, 0);
      read.push_back(rec);
    }
  }
  if (!namedAreas.empty()) {
    NamedBlocks named;
    for (const EditorObject& o : read) {
      if (o.kind != kind::Block) continue;
      const std::string_view oname = o.node->attr("oname");
      if (!oname.empty()) named.emplace(oname, &o);
    }
    for (std::size_t i : namedAreas) readArea(editor, read[i].node, read[i], 0, &named);
  }
  std::vector<DrawingKey> keys;
  keys.reserve(read.size());
  for (EditorObject& o : read) {
    setAreaPriority(o);
    keys.push_back(drawingKey(o));
  }
  const std::vector<uint32_t> order = drawingOrder(keys);
  zone.objects.reserve(read.size());
  for (std::size_t k = 0; k < order.size(); ++k) {
    if (k + kAhead < order.size()) __builtin_prefetch(&read[order[k + kAhead]]);
    zone.objects.push_back(std::make_unique<EditorObject>(read[order[k]]));
  }

  zone.showBlocks = zone.showAreas = zone.showPaths = zone.showEntrances = true;
  zone.invertBackground = false;
  zone.blockTemplate = kDefaultBlockTemplate;
  zone.insertedBlockNode = nullptr;
  zone.lastScriptTitle.clear();

  if (const xml::Node* entrance = element->childByPath("entrance")) {
    view.camx = format::readFloat(entrance->attr("x")) + 10.0f;
    view.camy = format::readFloat(entrance->attr("y")) + 10.0f;
    if (!entrance->attr("z").empty()) {
      const float z = format::readFloat(entrance->attr("z"));
      view.camz = z - 200.0f;
      zone.currentLevel = 0;
      for (std::size_t i = 0; i < zone.levels.size(); ++i) {
        if (zone.levels[i].z == z) {
          zone.currentLevel = static_cast<int>(i);
          break;
        }
      }
    } else {
      int level = format::readInt(entrance->attr("level")) % zone.levelCount();
      if (level < 0) level += zone.levelCount();
      zone.currentLevel = level;
      view.camz = getLevelDepth(zone, level) - 100.0f;
    }
  } else {
    view.camx = (view.xmin + view.xmax) / 2.0f;
    view.camy = (view.ymin + view.ymax) / 2.0f;
    view.camz = zone.levels.front().z - 200.0f;
    for (const auto& o : zone.objects) {
      if (o->kind == kind::Entrance) {
        view.camx = o->x + 10.0f;
        view.camy = o->y + 10.0f;
        view.camz = o->z - 200.0f;
        break;
      }
    }
  }

  zone.selectionKind = kSelectionNone;
  zone.selectionCount = 0;
  view.mode = 0;
  view.zoneId = text::toLower(element->attr("id"));
  editor.prefs.lastZone = view.zoneId;
  clearUndoList(zone);

  for (std::string& name : view.zflagNames) name.clear();
  if (const xml::Node* editorNode = editor.game.root ? editor.game.root->childByPath("zorled") : nullptr) {
    for (const xml::Node* c = editorNode->firstElement(); c; c = c->nextElement()) {
      if (c->name != "zone_" + view.zoneId) continue;
      const std::vector<std::string> items = text::split(c->attr("zflags"), '|');
      for (std::size_t i = 0; i + 1 < items.size(); i += 2) {
        if (items[i + 1].empty()) break;
        const int64_t n = format::readInt64(items[i]);
        if (n >= 0 && n < 32) view.zflagNames[static_cast<std::size_t>(n)] = items[i + 1];
      }
      break;
    }
  }
  zone.openZoneNode = element;
  return true;
}

void moveObject(Editor& editor, EditorObject* record, float dx, float dy) {
  if (!record || !record->node) return;
  xml::Node* e = record->node;
  if (record->kind == kind::Block) {
    if (!e->attr("xlim").empty()) e->setAttr("xlim", shiftLimits(e->attr("xlim"), dx));
    if (!e->attr("ylim").empty()) e->setAttr("ylim", shiftLimits(e->attr("ylim"), dy));
    if (!e->attr("x").empty()) {
      record->x += dx;
      e->setAttr("x", trimmedDecimal(static_cast<double>(record->x)));
    }
    if (!e->attr("y").empty()) {
      record->y += dy;
      e->setAttr("y", trimmedDecimal(static_cast<double>(record->y)));
    }
    if (record->flags & objflag::Motion) parseBlock(editor, e, false, 0);
  } else if (record->kind == kind::Area) {
    if (!e->attr("oname").empty()) return;
    if (e->attr("xlim").find(',') != std::string::npos) e->setAttr("xlim", shiftLimits(e->attr("xlim"), dx));
    if (e->attr("ylim").find(',') != std::string::npos) e->setAttr("ylim", shiftLimits(e->attr("ylim"), dy));
    parseArea(editor, e, false, 0);
  } else if (record->kind == kind::Entrance) {
    record->x = format::readFloat(e->attr("x")) + dx;
    record->y = format::readFloat(e->attr("y")) + dy;
    e->setAttr("x", trimmedDecimal(static_cast<double>(record->x)));
    e->setAttr("y", trimmedDecimal(static_cast<double>(record->y)));
  } else {
    return;
  }
  if (editor.zone.selectionCount == 1) editor.port.refreshPanel();
  markModified(editor);
}

void syncAreasToNamedBlocks(Editor& editor) {
  ZoneState& zone = editor.zone;
  std::optional<NamedBlocks> named;
  for (auto& area : zone.objects) {
    if (area->kind != kind::Area) continue;
    const std::string& oname = area->node->attr("oname");
    if (oname.empty()) continue;
    if (!named) named = namedBlocks(zone);
    if (const EditorObject* o = blockNamed(zone, oname, &*named)) {
      area->x = o->x;
      area->y = o->y;
      area->w = o->w;
      area->h = o->h;
    }
  }
}

void renumberLevelRefs(xml::Node* element, int mode, int a, int b) {
  if (!element) return;
  for (xml::Node* n = element; n;) {
    // A speedrun's `level` is its run number, not a level.
    const bool runNumber = n->isElement() && (text::toLower(n->name) == "speedrun" || text::toLower(n->name) == "endspeedrun");
    if (n->isElement() && !runNumber) {
      const char* attrName = !n->attr("level").empty() ? "level" : "levels";
      const std::string value = n->attr(attrName);
      if (!value.empty() && value != "-1") {
        std::string out;
        for (const std::string& f : text::split(value, ',')) {
          int32_t v = format::readInt(f);
          if (v >= 0) {
            if (mode == 0) {
              // A level number no zone can have stays as it is rather than overflowing.
              if (v >= a && v < INT32_MAX) ++v;
            } else if (mode == 1) {
              if (v >= a && v > 0) --v;
            } else if (mode == 2) {
              if (v == b) v = a;
              else if (a > b && v > b && v <= a) --v;
              else if (a < b && v >= a && v < b) ++v;
            }
          }
          out += text::formatInt(v);
          out += ',';
        }
        while (!out.empty() && out.back() == ',') out.pop_back();
        while (!out.empty() && out.front() == ',') out.erase(out.begin());
        n->setAttr(attrName, out);
      }
    }
    // Depth first through the subtree of `element`.
    if (n->firstChild) {
      n = n->firstChild;
      continue;
    }
    while (n != element && !n->next) n = n->parent;
    if (n == element) break;
    n = n->next;
  }
}

}  // namespace zor::editor
