// A small mutable XML tree over expat.
//
// The game reads game files through it; the editor edits the same tree in place
// and writes it back. So the tree keeps everything a file holds: elements with
// their attributes in document order, text (whitespace included), comments and
// the line each node started on. Serialising an unchanged document gives back
// its elements, attributes, text and comments with the same content.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace zor::xml {

// Limits on untrusted input. Larger or deeper documents are refused with an error.
inline constexpr std::size_t kMaxDocumentBytes = 64u * 1024u * 1024u;
inline constexpr int kMaxDepth = 10000;         // element nesting
inline constexpr std::size_t kMaxNodes = 4000000;  // nodes made by one parse

enum class NodeType { Document, Element, Text, Comment };

struct Attribute {
  std::string name;
  std::string value;
};

class Document;

class Node {
 public:
  NodeType type = NodeType::Element;
  std::string name;  // element name, as written
  std::string text;  // content of a text or comment node
  std::vector<Attribute> attributes;  // document order
  int line = 0;  // line on which the node starts (1-based), 0 for nodes made in memory

  Node* parent = nullptr;
  Node* firstChild = nullptr;
  Node* lastChild = nullptr;
  Node* next = nullptr;  // next sibling
  Node* prev = nullptr;  // previous sibling

  bool isElement() const { return type == NodeType::Element; }

  // Attribute by exact, case-sensitive name; the empty string when absent.
  const std::string& attr(std::string_view attrName) const;
  // Null when absent (tells an absent attribute from an empty one).
  const Attribute* findAttr(std::string_view attrName) const;
  bool hasAttr(std::string_view attrName) const { return findAttr(attrName) != nullptr; }
  // Replaces the value of an existing attribute in place, else appends it.
  void setAttr(std::string_view attrName, std::string_view value);
  // Returns true when an attribute was removed.
  bool removeAttr(std::string_view attrName);

  // First child / next sibling that is an element (null when none).
  Node* firstElement() const;
  Node* nextElement() const;
  // Number of child nodes of any type.
  int childCount() const;
  // Element at a "/"-separated path of exact element names below this node
  // ("start", "levels/level"); null when any step is missing.
  Node* childByPath(std::string_view path) const;
  // All text below this node, concatenated in document order.
  std::string innerText() const;
};

struct ParseError {
  int line = 0;    // expat's line of the error
  int code = 0;    // expat's error code
  std::string message;  // expat's error text
};

class Document {
 public:
  Document();
  ~Document();
  Document(const Document&) = delete;
  Document& operator=(const Document&) = delete;
  Document(Document&&) noexcept;
  Document& operator=(Document&&) noexcept;

  // Parses bytes into a new document. On failure returns false, fills the error
  // and leaves the document empty.
  bool parse(std::string_view bytes, ParseError* error);
  // Reads and parses a file. A file that cannot be read gives line 0 and
  // code -1 in the error.
  bool load(const std::string& path, ParseError* error);

  // The document node (parent of the root element, comments and whitespace at
  // top level). Null only in a document that was moved from.
  Node* documentNode() const { return document_; }
  // The XML declaration as it will be written; empty when there is none.
  const std::string& declaration() const { return declaration_; }
  // The first element of the document, whatever its name; null for an empty document.
  Node* root() const;
  // First element, depth-first in document order, whose attribute named "id"
  // in any letter case equals the wanted value ignoring case; null when none.
  // (When an element has several such attributes, the first one is its ID.)
  Node* findById(std::string_view id) const;

  // Creating and linking nodes (for the editor and for tests). New nodes
  // belong to this document; unlinked nodes are freed with it. Nodes must not
  // be linked into another document. A child that is already linked is moved;
  // linking a node below itself, linking a document node, or inserting before
  // a node that is not a child of the parent does nothing.
  Node* createElement(std::string_view name);
  Node* createText(std::string_view text);
  Node* createComment(std::string_view text);
  static void appendChild(Node* parent, Node* child);
  static void insertBefore(Node* parent, Node* child, Node* before);  // before null: append
  static void unlink(Node* node);

  // Serialises the document, escaping what must be escaped in text and
  // attribute values. Writes no XML declaration unless one was parsed (the
  // output is UTF-8, so a declaration naming another encoding is rewritten).
  std::string serialize() const;
  // Serialises one node and everything below it.
  static std::string serializeNode(const Node* node);

 private:
  friend struct ParseState;
  Node* newNode(NodeType type);
  void reset();
  // Nodes live in blocks so that their addresses never change.
  std::vector<std::unique_ptr<Node[]>> blocks_;
  std::size_t blockUsed_ = 0;  // nodes used in the last block
  std::size_t blockSize_ = 0;  // capacity of the last block
  std::size_t nodeCount_ = 0;
  Node* document_ = nullptr;
  std::string declaration_;  // the XML declaration as parsed, kept for writing back
};

// Lower-cases ASCII letters.
std::string toLowerAscii(std::string_view s);
bool equalsIgnoreCase(std::string_view a, std::string_view b);

}  // namespace zor::xml
