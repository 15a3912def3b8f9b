#include "editor/core/object_names.h"

#include <algorithm>
#include <vector>

#include "editor/core/zone_records.h"
#include "platform/text.h"

namespace zor::editor {

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

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

}  // namespace

void ObjectNameList::clear() { kinds_.clear(); }

void ObjectNameList::add(const std::string& name, int nameKind) { names(nameKind).lowerNames.insert(text::toLower(name)); }

bool ObjectNameList::taken(const std::string& name, int nameKind) const {
  const auto it = kinds_.find(nameKind);
  return it != kinds_.end() && it->second.lowerNames.count(text::toLower(name)) > 0;
}

std::string ObjectNameList::makeUnique(const std::string& name, int nameKind) {
  KindNames& list = names(nameKind);
  const std::string lower = text::toLower(name);
  std::string result = name;
  if (list.lowerNames.count(lower) > 0) {
    // The stem never ends in a digit, so stem + number names are told apart by their number.
    std::string stem;
    std::string number;
    std::size_t digitsAt = name.size();
    while (digitsAt > 0 && isDigit(name[digitsAt - 1])) --digitsAt;
    if (nameKind == kind::Entrance && lower == "entrance") {
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
    const std::string lowerStem = text::toLower(stem);
    if (number.size() <= kCountedDigits) {
      // Follow the known runs of taken numbers, then remember where each step led.
      std::unordered_map<uint64_t, uint64_t>& runs = list.takenRuns[lowerStem];
      uint64_t n = digitsValue(number);
      std::vector<uint64_t> passed;
      for (;;) {
        const auto run = runs.find(n);
        if (run != runs.end()) {
          passed.push_back(n);
          n = run->second;
        } else if (list.lowerNames.count(lowerStem + std::to_string(n)) > 0) {
          passed.push_back(n);
          ++n;
        } else {
          break;
        }
      }
      for (uint64_t p : passed) runs[p] = n;
      number = std::to_string(n);
    } else {
      while (list.lowerNames.count(lowerStem + number) > 0) number = incremented(number);
    }
    result = stem + number;
  }
  list.lowerNames.insert(text::toLower(result));
  return result;
}

}  // namespace zor::editor
