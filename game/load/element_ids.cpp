#include "game/load/element_ids.h"

#include <string>
#include <vector>

#include "game/load/game_data.h"

namespace zor {

namespace {

void indexElements(ElementIndex& index, const xml::Node& parent) {
  // Depth first with an explicit stack: a deeply nested document must not
  // exhaust the call stack.
  std::vector<const xml::Node*> stack;
  for (const xml::Node* c = parent.lastChild; c; c = c->prev) stack.push_back(c);
  while (!stack.empty()) {
    const xml::Node* n = stack.back();
    stack.pop_back();
    if (!n->isElement()) continue;
    for (const xml::Attribute& a : n->attributes) {
      if (a.name.size() == 2 && xml::toLowerAscii(a.name) == "id") {
        index.byId.try_emplace(xml::toLowerAscii(a.value), n);
        break;  // the first such attribute is the element's ID
      }
    }
    for (const xml::Node* c = n->lastChild; c; c = c->prev) stack.push_back(c);
  }
}

}  // namespace

const xml::Node* findElementById(const GameData& data, std::string_view id) {
  ElementIndex& index = data.elementIds;
  const xml::Node* document = data.document.documentNode();
  if (document == nullptr) return nullptr;
  if (index.document != document) {
    index.byId.clear();
    index.document = document;
    indexElements(index, *document);
  }
  auto it = index.byId.find(xml::toLowerAscii(id));
  return it == index.byId.end() ? nullptr : it->second;
}

void forgetElementIds(GameData& data) {
  data.elementIds.byId.clear();
  data.elementIds.document = nullptr;
}

}  // namespace zor
