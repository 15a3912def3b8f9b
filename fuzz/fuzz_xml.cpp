// Parses arbitrary bytes. The one-pass reader for plain files and expat must
// agree: the same acceptance, the same tree, the same lines and the same error.
// Whatever parses must serialise to text that parses
// back into the same tree and serialises to the same text again. A copy of the
// tree in another document must outlive its source and write the same text;
// removing nodes must leave a tree that still writes.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "platform/xml.h"

namespace {

using zor::xml::Document;
using zor::xml::Node;

bool sameNode(const Node* a, const Node* b, bool lines = false) {
  if (lines && a->line != b->line) return false;
  return a->type == b->type && a->name == b->name && a->text == b->text &&
         a->attributes.size() == b->attributes.size() &&
         [&] {
           for (std::size_t i = 0; i < a->attributes.size(); ++i)
             if (a->attributes[i].name != b->attributes[i].name ||
                 a->attributes[i].value != b->attributes[i].value)
               return false;
           return true;
         }();
}

// Walks both trees in document order side by side, without recursion.
bool sameTree(const Node* topA, const Node* topB, bool lines = false) {
  const Node* a = topA;
  const Node* b = topB;
  for (;;) {
    if (!sameNode(a, b, lines)) return false;
    if (a->firstChild || b->firstChild) {
      if (!a->firstChild || !b->firstChild) return false;
      a = a->firstChild;
      b = b->firstChild;
      continue;
    }
    // Climb until a node has a next sibling; both trees must climb alike.
    for (;;) {
      if (a == topA || b == topB) return a == topA && b == topB;
      if (a->next || b->next) break;
      a = a->parent;
      b = b->parent;
    }
    if (!a->next || !b->next) return false;
    a = a->next;
    b = b->next;
  }
}

[[noreturn]] void fail(const char* what, const std::string& first, const std::string& second) {
  std::fprintf(stderr, "xml round trip: %s\n--- first ---\n%s\n--- second ---\n%s\n", what,
               first.c_str(), second.c_str());
  std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  Document first;
  zor::xml::ParseError error;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const bool parsed = first.parse(bytes, &error);
  Document byExpat;
  zor::xml::ParseError expatError;
  const bool expatParsed = byExpat.parseWithExpat(bytes, &expatError);
  if (parsed != expatParsed)
    fail(parsed ? "read plainly what expat refuses" : "refused what expat reads", std::string(bytes), "");
  if (!parsed) {
    if (error.message != expatError.message || error.line != expatError.line)
      fail("errors differ", error.message + " on line " + std::to_string(error.line),
           expatError.message + " on line " + std::to_string(expatError.line));
    return 0;
  }
  if (!sameTree(first.documentNode(), byExpat.documentNode(), true))
    fail("the plain reader's tree differs from expat's", std::string(bytes), "");

  // Read-only lookups must not crash whatever the tree looks like.
  if (const Node* root = first.root()) {
    (void)first.findById(root->attr("id"));
    (void)root->childByPath(root->firstElement() ? root->firstElement()->name : "x");
    (void)root->innerText();
  }

  // A tree the writer refuses is not written at all. Expat reads a few names in
  // Latin-1 documents (U+00AA, U+00BA) that it does not accept in UTF-8, so a
  // refusal is the right answer for them: a file that cannot be read back is
  // never written.
  std::string text;
  std::string refusal;
  if (!first.write(text, &refusal)) {
    if (!first.serialize().empty()) fail("serialize wrote what write refused", refusal, "");
    return 0;
  }
  Document second;
  if (!second.parse(text, &error))
    fail(("serialised text does not parse: " + error.message + " on line " +
          std::to_string(error.line)).c_str(),
         text, "");
  if (!sameTree(first.documentNode(), second.documentNode())) fail("trees differ", text, second.serialize());
  const std::string again = second.serialize();
  if (again != text) fail("serialisations differ", text, again);

  // Copy every top-level node into a fresh document, then drop the source.
  Document copy;
  for (const Node* n = second.documentNode()->firstChild; n; n = n->next)
    Document::appendChild(copy.documentNode(), copy.copyNode(n));
  second = Document();
  std::string copied;
  std::string error2;
  if (!Document::writeNode(copy.documentNode(), copied, &error2))
    fail(("copy does not write: " + error2).c_str(), text, "");
  std::string expected;
  if (!Document::writeNode(first.documentNode(), expected, &error2))
    fail(("tree does not write: " + error2).c_str(), text, "");
  if (copied != expected) fail("copy writes differently", expected, copied);

  // Remove every other element child of the root, and an element of the copy.
  if (Node* root = first.root()) {
    bool drop = false;
    for (Node* c = root->firstChild; c;) {
      Node* next = c->next;
      if (c->isElement() && (drop = !drop)) first.removeNode(c);
      c = next;
    }
    if (Node* r = copy.root()) copy.removeNode(r->firstElement());
    (void)first.serialize();
    (void)copy.serialize();
  }
  return 0;
}
