#include "editor/core/object_names.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "editor/core/zone_records.h"
#include "platform/text.h"

namespace zor::editor {

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

char lowerChar(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// Adds one to a run of decimal digits, however long.
std::string incremented(std::string digits) {
  for (std::size_t i = digits.size(); i-- > 0;) {
    if (digits[i] != '9') {
      ++digits[i];
      return digits;
    }
    digits[i] = '0';
  }
  return "1" + digits;
}

// Numbers up to this many digits are counted as integers.
constexpr std::size_t kCountedDigits = 18;

uint64_t digitsValue(const std::string& digits) {
  uint64_t v = 0;
  for (char c : digits) v = v * 10 + static_cast<uint64_t>(c - '0');
  return v;
}

constexpr uint64_t kGolden = 0x9E3779B97F4A7C15ull;

// FNV-1a over the letters and the kind, mixed so that every bit counts in the high bits.
uint64_t nameHash(std::string_view lower, int nameKind) {
  uint64_t h = 0xcbf29ce484222325ull ^ static_cast<uint64_t>(static_cast<uint32_t>(nameKind));
  for (char c : lower) h = (h ^ static_cast<unsigned char>(c)) * 0x100000001b3ull;
  return (h ^ (h >> 29)) * kGolden;
}

// Room for `count` items at most half full, as a power of two and its shift.
std::size_t capacityFor(std::size_t count, int& shift) {
  std::size_t capacity = 64;
  while (capacity < 2 * count) capacity *= 2;
  shift = 64;
  for (std::size_t c = capacity; c > 1; c >>= 1) --shift;
  return capacity;
}

}  // namespace

void ObjectNameList::NameSet::clear() {
  std::fill(slots_.begin(), slots_.end(), Slot{});
  text_.clear();
  count_ = 0;
}

ObjectNameList::NameSet::Entry ObjectNameList::NameSet::entryAt(const Slot& s) const {
  const char* entry = text_.data() + (s.at - 1);
  int32_t kind = 0;
  uint32_t size = 0;
  std::memcpy(&kind, entry, 4);
  std::memcpy(&size, entry + 4, 4);
  return {kind, std::string_view(entry + 8, size)};
}

std::size_t ObjectNameList::NameSet::slotOf(std::string_view lower, int nameKind, uint64_t hash) const {
  const std::size_t mask = slots_.size() - 1;
  const uint32_t tag = static_cast<uint32_t>(hash);
  for (std::size_t i = static_cast<std::size_t>(hash >> shift_);; i = (i + 1) & mask) {
    const Slot& s = slots_[i];
    if (s.at == 0) return i;
    if (s.tag != tag) continue;
    const Entry e = entryAt(s);
    if (e.kind == nameKind && e.lower == lower) return i;
  }
}

bool ObjectNameList::NameSet::contains(std::string_view lower, int nameKind) const {
  if (slots_.empty()) return false;
  return slots_[slotOf(lower, nameKind, nameHash(lower, nameKind))].at != 0;
}

void ObjectNameList::NameSet::insert(std::string_view lower, int nameKind) {
  if (2 * (count_ + 1) > slots_.size()) grow();
  const uint64_t hash = nameHash(lower, nameKind);
  Slot& s = slots_[slotOf(lower, nameKind, hash)];
  if (s.at != 0) return;
  s.tag = static_cast<uint32_t>(hash);
  s.at = static_cast<uint32_t>(text_.size() + 1);
  const int32_t kind = nameKind;
  const uint32_t size = static_cast<uint32_t>(lower.size());
  text_.append(reinterpret_cast<const char*>(&kind), 4);
  text_.append(reinterpret_cast<const char*>(&size), 4);
  text_.append(lower);
  ++count_;
}

void ObjectNameList::NameSet::grow() {
  std::vector<Slot> old = std::move(slots_);
  slots_.assign(capacityFor(count_ + 1, shift_), Slot{});
  const std::size_t mask = slots_.size() - 1;
  for (const Slot& s : old) {
    if (s.at == 0) continue;
    const Entry e = entryAt(s);
    std::size_t i = static_cast<std::size_t>(nameHash(e.lower, e.kind) >> shift_);
    while (slots_[i].at != 0) i = (i + 1) & mask;
    slots_[i] = s;
  }
}

void ObjectNameList::RunTable::clear() {
  std::fill(slots_.begin(), slots_.end(), Slot{});
  count_ = 0;
}

std::size_t ObjectNameList::RunTable::slotOf(uint32_t stem, uint64_t from) const {
  const std::size_t mask = slots_.size() - 1;
  const uint64_t hash = ((from * kGolden) ^ stem) * kGolden;
  for (std::size_t i = static_cast<std::size_t>(hash >> shift_);; i = (i + 1) & mask) {
    const Slot& s = slots_[i];
    if (s.to == 0 || (s.from == from && s.stem == stem)) return i;
  }
}

uint64_t ObjectNameList::RunTable::runFrom(uint32_t stem, uint64_t from) const {
  return slots_.empty() ? 0 : slots_[slotOf(stem, from)].to;
}

void ObjectNameList::RunTable::setRun(uint32_t stem, uint64_t from, uint64_t to) {
  if (2 * (count_ + 1) > slots_.size()) grow();
  Slot& s = slots_[slotOf(stem, from)];
  if (s.to == 0) ++count_;
  s = {from, to, stem};
}

void ObjectNameList::RunTable::grow() {
  std::vector<Slot> old = std::move(slots_);
  slots_.assign(capacityFor(count_ + 1, shift_), Slot{});
  for (const Slot& s : old)
    if (s.to != 0) slots_[slotOf(s.stem, s.from)] = s;
}

void ObjectNameList::clear() {
  names_.clear();
  runs_.clear();
  stems_.clear();
}

const std::string& ObjectNameList::lowered(std::string_view name) {
  lower_.assign(name);
  for (char& c : lower_) c = lowerChar(c);
  return lower_;
}

void ObjectNameList::add(std::string_view name, int nameKind) {
  names_.insert(lowered(name), nameKind);
}

bool ObjectNameList::taken(std::string_view name, int nameKind) const {
  return names_.contains(text::toLower(name), nameKind);
}

std::string ObjectNameList::makeUnique(const std::string& name, int nameKind) {
  lowered(name);
  std::string result = name;
  if (names_.contains(lower_, nameKind)) {
    // The stem never ends in a digit, so stem + number names are told apart by their number.
    std::string stem;
    std::string number;
    std::size_t digitsAt = name.size();
    while (digitsAt > 0 && isDigit(name[digitsAt - 1])) --digitsAt;
    if (nameKind == kind::Entrance && lower_ == "entrance") {
      stem = "entrance_e";
      number.assign(1, '2');
    } else if (digitsAt < name.size()) {
      stem = name.substr(0, digitsAt);
      number = name.substr(digitsAt);
      number.erase(0, std::min(number.find_first_not_of('0'), number.size() - 1));
      number = incremented(number);
    } else {
      stem = name;
      number.assign(1, '2');
    }
    std::string candidate = text::toLower(stem);
    const std::size_t stemSize = candidate.size();
    if (number.size() <= kCountedDigits) {
      // Follow the known runs of taken numbers, then remember where each step led.
      const auto known = stems_.try_emplace(std::to_string(nameKind) + ':' + candidate,
                                            static_cast<uint32_t>(stems_.size()));
      const uint32_t stemId = known.first->second;
      uint64_t n = digitsValue(number);
      std::vector<uint64_t> passed;
      for (;;) {
        const uint64_t runEnd = runs_.runFrom(stemId, n);
        if (runEnd != 0) {
          passed.push_back(n);
          n = runEnd;
          continue;
        }
        candidate.resize(stemSize);
        candidate += std::to_string(n);
        if (!names_.contains(candidate, nameKind)) break;
        passed.push_back(n);
        ++n;
      }
      for (uint64_t p : passed) runs_.setRun(stemId, p, n);
      number = std::to_string(n);
    } else {
      for (;;) {
        candidate.resize(stemSize);
        candidate += number;
        if (!names_.contains(candidate, nameKind)) break;
        number = incremented(number);
      }
    }
    result = stem + number;
    candidate.resize(stemSize);
    candidate += number;
    names_.insert(candidate, nameKind);
    return result;
  }
  names_.insert(lower_, nameKind);
  return result;
}

}  // namespace zor::editor
