// A small mutable XML tree over expat.
//
// The game reads game files through it; the editor edits the same tree in place
// and writes it back. So the tree keeps everything a file holds: elements with
// their attributes in document order, text (whitespace included), comments,
// processing instructions and the line each node started on. A document in the
// forms the writer uses is written back byte for byte (see xml.cpp for what is
// normalised otherwise).
//
// Storage: a document keeps its strings, attribute arrays and nodes in one arena
// that is freed at once with the document. Element and attribute names are
// shared. Strings set by editing are added to the arena; removed nodes go back
// to the document for reuse at once.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace zor::xml {

// Limits on untrusted input. Larger or deeper documents are refused with an error.
inline constexpr std::size_t kMaxDocumentBytes = 64u * 1024u * 1024u;
inline constexpr int kMaxDepth = 10000;         // element nesting
inline constexpr std::size_t kMaxNodes = 4000000;  // nodes made by one parse

enum class NodeType { Document, Element, Text, Comment, ProcessingInstruction };

class Document;
class Node;
struct Store;

// Text held by a document. A view that stays valid while the document lives
// (and, for an attribute value or node text, until it is set again); converts
// to std::string where a copy is wanted.
class Str : public std::string_view {
 public:
  constexpr Str() : std::string_view("", 0) {}
  // From a string literal (which outlives any document).
  template <std::size_t N>
  constexpr Str(const char (&literal)[N]) : std::string_view(literal) {}
  operator std::string() const { return std::string(data(), size()); }

 private:
  friend class Node;
  friend class Document;
  friend struct Store;
  friend struct ParseState;
  friend struct PlainReader;
  constexpr explicit Str(std::string_view v) : std::string_view(v) {}
};

// Joining with std::string, as the text could be when it was one.
inline std::string operator+(std::string a, const Str& b) { return a.append(b); }
inline std::string operator+(const char* a, const Str& b) { return std::string(a).append(b); }
inline std::string operator+(const Str& a, std::string_view b) { return std::string(a).append(b); }
inline std::string operator+(const Str& a, const char* b) { return std::string(a).append(b); }
inline std::string operator+(const Str& a, char b) { return std::string(a) + b; }
inline std::string operator+(char a, const Str& b) { return std::string(1, a).append(b); }

struct Attribute {
  Str name;
  Str value;
};

// An element's attributes in document order (read-only; edit through Node).
class AttributeList {
 public:
  const Attribute* begin() const { return items_; }
  const Attribute* end() const { return items_ + size_; }
  std::size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }
  const Attribute& operator[](std::size_t i) const { return items_[i]; }

 private:
  friend class Node;
  friend class Document;
  friend struct ParseState;
  friend struct PlainReader;
  Attribute* items_ = nullptr;
  std::uint32_t size_ = 0;
  std::uint32_t capacity_ = 0;
};

class Node {
 public:
  NodeType type = NodeType::Element;
  int line = 0;  // line on which the node starts (1-based), 0 for nodes made in memory
  Str name;  // element name as written; target of a processing instruction
  Str text;  // content of a text or comment node; data of a processing instruction
  AttributeList attributes;  // document order

  Node* parent = nullptr;
  Node* firstChild = nullptr;
  Node* lastChild = nullptr;
  Node* next = nullptr;  // next sibling
  Node* prev = nullptr;  // previous sibling

  bool isElement() const { return type == NodeType::Element; }

  // Attribute by exact, case-sensitive name; the empty string when absent.
  Str attr(std::string_view attrName) const;
  // Null when absent (tells an absent attribute from an empty one).
  const Attribute* findAttr(std::string_view attrName) const;
  bool hasAttr(std::string_view attrName) const { return findAttr(attrName) != nullptr; }
  // Replaces the value of an existing attribute in place, else appends it.
  void setAttr(std::string_view attrName, std::string_view value);
  // At most the document memory setAttr(attrName, a value of `valueBytes` bytes)
  // takes (see Document::reserveForCopies).
  std::size_t setAttrBytes(std::string_view attrName, std::size_t valueBytes) const;
  // Returns true when an attribute was removed.
  bool removeAttr(std::string_view attrName);
  // Renames an element (or the target of a processing instruction).
  void setName(std::string_view newName);
  // Replaces the content of a text, comment or processing-instruction node.
  void setText(std::string_view newText);

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

 private:
  friend class Document;
  friend struct Store;
  Store* store_ = nullptr;  // the document that owns the node
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
  // The same parse through expat alone. parse() reads the plain documents
  // games are written as (ASCII, LF line ends, no declaration, DTD, CDATA or
  // processing instruction) itself, and hands anything else to expat; both
  // give the same tree or the same error. This is the reference for tests.
  bool parseWithExpat(std::string_view bytes, ParseError* error);
  // Whether the last successful parse() was done without expat (for tests).
  bool readPlainly() const { return readPlainly_; }
  // Reads the file with files::readFile (a regular file of at most
  // kMaxDocumentBytes) and parses it. A file that cannot be read gives line 0
  // and code -1 in the error.
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
  // belong to this document. A child that is already linked is moved; linking
  // a node below itself, linking a document node, linking nodes of two
  // different documents, or inserting before a node that is not a child of the
  // parent does nothing.
  Node* createElement(std::string_view name);
  Node* createText(std::string_view text);
  Node* createComment(std::string_view text);
  Node* createProcessingInstruction(std::string_view target, std::string_view data);
  // A deep copy of a node and everything below it, from this document or
  // another one; the copy belongs to this document and is not linked. Null for
  // a null or document node.
  Node* copyNode(const Node* source);
  // At most the memory copyNode takes for a copy of `source` (zero for a null
  // or document node); reserveForCopies readies that much in one piece before
  // many copies are made together (or many attributes set, Node::setAttrBytes).
  static std::size_t copyBytes(const Node* source);
  // The same for a copy made in this document: a copy of a node of this document
  // shares its attributes, so only the nodes and their text take new memory.
  std::size_t copyBytesHere(const Node* source) const;
  void reserveForCopies(std::size_t bytes);
  static void appendChild(Node* parent, Node* child);
  static void insertBefore(Node* parent, Node* child, Node* before);  // before null: append
  // Takes a node out of the tree; it stays valid (and can be linked again)
  // until the document goes.
  static void unlink(Node* node);
  // The blank text right before a node (the indentation that starts its line),
  // or null when the node has none; moved and removed with the node, it keeps
  // an indented document's lines whole.
  static Node* leadingBlanks(Node* node);
  // Takes a node of this document out of the tree and frees it and everything
  // below it; pointers to them are invalid afterwards. Does nothing for the
  // document node or a node of another document.
  void removeNode(Node* node);

  // Writing. Text and attribute values are escaped as needed. A name that is
  // not an XML name, a character XML cannot hold (or bytes that are not UTF-8),
  // a processing instruction whose data holds "?>" or whose target is "xml" are
  // refused: the write fails with the reason and produces nothing.
  //
  // The whole document, with the XML declaration when one was parsed and
  // `withDeclaration` is set (the output is UTF-8, so a declaration naming
  // another encoding is rewritten). Without the declaration, the line end
  // that followed it goes as well.
  bool write(std::string& out, std::string* error, bool withDeclaration = true) const;
  // One node and everything below it.
  static bool writeNode(const Node* node, std::string& out, std::string* error);
  // Writes the document to a file, replacing it atomically (the old file stays
  // as it was on any failure).
  bool save(const std::string& path, std::string* error, bool withDeclaration = true) const;
  // As write() and writeNode(); the empty string when the tree cannot be written.
  std::string serialize() const;
  static std::string serializeNode(const Node* node);

 private:
  friend struct ParseState;
  friend struct PlainReader;
  void reset();
  bool parseAs(std::string_view bytes, ParseError* error, bool plainFirst);
  std::unique_ptr<Store> store_;
  Node* document_ = nullptr;
  std::string declaration_;  // the XML declaration as parsed, kept for writing back
  bool readPlainly_ = false;
};

// Lower-cases ASCII letters.
std::string toLowerAscii(std::string_view s);
bool equalsIgnoreCase(std::string_view a, std::string_view b);

}  // namespace zor::xml
