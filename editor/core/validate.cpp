#include "editor/core/validate.h"

#include <unordered_map>
#include <utility>
#include <vector>

#include "editor/core/editor.h"
#include "platform/text.h"

namespace zor::editor {

bool validateZone(const Editor& editor, std::string* warnings) {
  std::string out;
  const xml::Node* zone = editor.zone.openZoneNode;
  if (!zone) {
    if (warnings) warnings->clear();
    return false;
  }
  // Keys with their counts, in the order of first appearance (each key's place found by a look-up).
  std::vector<std::pair<std::string, int>> tally;
  std::unordered_map<std::string, std::size_t> place;
  auto count = [&tally, &place](const std::string& key) {
    const auto [it, added] = place.try_emplace(key, tally.size());
    if (added) tally.emplace_back(key, 1);
    else ++tally[it->second].second;
  };
  int defaults = 0;
  for (const xml::Node* child = zone->firstElement(); child; child = child->nextElement()) {
    const std::string name = text::toLower(child->name);
    if (name.rfind("entrance", 0) == 0) {
      // Element names are compared in lower case, as the game finds entrances.
      const std::size_t underscore = name.find('_');
      if (underscore == std::string::npos) {
        ++defaults;
        count("E");
      } else {
        count(std::string("E").append(name, underscore + 1));
      }
    } else if (name == "block" && !child->attr("oname").empty()) {
      count(std::string("B").append(text::toLower(child->attr("oname"))));
    }
  }
  if (defaults == 0) out += "\n - Missing default (unnamed) entrance";
  if (defaults > 1) out += "\n - Multiple default (unnamed) entrances";
  for (const auto& [key, n] : tally) {
    if (key[0] == 'E') {
      if (key != "E" && n > 1) out += "\n - Conflicting entrance names (" + key.substr(1) + ")";
    } else if (key == "Byou") {
      out += "\n - Block" + std::string(n > 1 ? "s" : "") + " with reserved Oname (you)";
    } else if (n > 1) {
      out += "\n - Conflicting block Onames (" + key.substr(1) + ")";
    }
  }
  const std::size_t first = out.find_first_not_of('\n');
  out = first == std::string::npos ? std::string() : out.substr(first, out.find_last_not_of('\n') - first + 1);
  const bool clean = out.empty();
  if (warnings) *warnings = std::move(out);
  return clean;
}

}  // namespace zor::editor
