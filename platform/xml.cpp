#include "platform/xml.h"

#include <expat.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <utility>

#include <sys/stat.h>

namespace zor::xml {

namespace {

const std::string kEmpty;

bool isXmlSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

// Line ends as expat delivers them in content: "\r\n" and a lone "\r" become "\n".
void appendNormalised(std::string& out, std::string_view s) {
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '\r') {
      out += '\n';
      if (i + 1 < s.size() && s[i + 1] == '\n') ++i;
    } else {
      out += s[i];
    }
  }
}

void escapeText(std::string& out, std::string_view s) {
  for (char c : s) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '\r': out += "&#13;"; break;  // a raw CR would be read back as a line feed
      default: out += c;
    }
  }
}

void escapeAttr(std::string& out, std::string_view s) {
  for (char c : s) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      // Raw white space in a value is read back as a blank.
      case '\n': out += "&#10;"; break;
      case '\t': out += "&#9;"; break;
      case '\r': out += "&#13;"; break;
      default: out += c;
    }
  }
}

// A comment may not hold "--" nor end in "-"; parsed comments never do, made ones might.
void writeComment(std::string& out, std::string_view s) {
  out += "<!--";
  for (std::size_t i = 0; i < s.size(); ++i) {
    out += s[i];
    if (s[i] == '-' && (i + 1 == s.size() || s[i + 1] == '-')) out += ' ';
  }
  out += "-->";
}

void writeOpen(std::string& out, const Node* n) {
  switch (n->type) {
    case NodeType::Document: break;
    case NodeType::Text: escapeText(out, n->text); break;
    case NodeType::Comment: writeComment(out, n->text); break;
    case NodeType::Element:
      out += '<';
      out += n->name;
      for (const Attribute& a : n->attributes) {
        out += ' ';
        out += a.name;
        out += "=\"";
        escapeAttr(out, a.value);
        out += '"';
      }
      out += n->firstChild ? ">" : "/>";
      break;
  }
}

void writeClose(std::string& out, const Node* n) {
  if (n->type == NodeType::Element && n->firstChild) {
    out += "</";
    out += n->name;
    out += '>';
  }
}

// The next node after n in document order within the subtree of top, skipping n's children.
const Node* nextSkippingChildren(const Node* n, const Node* top) {
  while (n && n != top) {
    if (n->next) return n->next;
    n = n->parent;
  }
  return nullptr;
}

// The next node after n in document order within the subtree of top.
const Node* nextInOrder(const Node* n, const Node* top) {
  if (n->firstChild) return n->firstChild;
  return nextSkippingChildren(n, top);
}

}  // namespace

// ---------------------------------------------------------------------------
// Node

const Attribute* Node::findAttr(std::string_view attrName) const {
  for (const Attribute& a : attributes)
    if (a.name == attrName) return &a;
  return nullptr;
}

const std::string& Node::attr(std::string_view attrName) const {
  const Attribute* a = findAttr(attrName);
  return a ? a->value : kEmpty;
}

void Node::setAttr(std::string_view attrName, std::string_view value) {
  for (Attribute& a : attributes) {
    if (a.name == attrName) {
      a.value.assign(value);
      return;
    }
  }
  attributes.push_back(Attribute{std::string(attrName), std::string(value)});
}

bool Node::removeAttr(std::string_view attrName) {
  auto it = std::find_if(attributes.begin(), attributes.end(),
                         [&](const Attribute& a) { return a.name == attrName; });
  if (it == attributes.end()) return false;
  attributes.erase(it);
  return true;
}

Node* Node::firstElement() const {
  for (Node* c = firstChild; c; c = c->next)
    if (c->isElement()) return c;
  return nullptr;
}

Node* Node::nextElement() const {
  for (Node* c = next; c; c = c->next)
    if (c->isElement()) return c;
  return nullptr;
}

int Node::childCount() const {
  int n = 0;
  for (const Node* c = firstChild; c; c = c->next) ++n;
  return n;
}

Node* Node::childByPath(std::string_view path) const {
  if (path.empty()) return nullptr;
  const Node* at = this;
  for (;;) {
    std::size_t slash = path.find('/');
    std::string_view step = path.substr(0, slash);
    Node* found = nullptr;
    for (Node* c = at->firstChild; c; c = c->next) {
      if (c->isElement() && c->name == step) {
        found = c;
        break;
      }
    }
    if (!found) return nullptr;
    if (slash == std::string_view::npos) return found;
    at = found;
    path.remove_prefix(slash + 1);
  }
}

std::string Node::innerText() const {
  std::string out;
  for (const Node* n = this; n; n = nextInOrder(n, this))
    if (n->type == NodeType::Text) out += n->text;
  return out;
}

// ---------------------------------------------------------------------------
// Document: storage

Document::Document() { reset(); }
Document::~Document() = default;

Document::Document(Document&& other) noexcept
    : blocks_(std::move(other.blocks_)),
      blockUsed_(std::exchange(other.blockUsed_, 0)),
      blockSize_(std::exchange(other.blockSize_, 0)),
      nodeCount_(std::exchange(other.nodeCount_, 0)),
      document_(std::exchange(other.document_, nullptr)),
      declaration_(std::move(other.declaration_)) {
  other.blocks_.clear();
  other.declaration_.clear();
}

Document& Document::operator=(Document&& other) noexcept {
  if (this != &other) {
    blocks_.swap(other.blocks_);
    std::swap(blockUsed_, other.blockUsed_);
    std::swap(blockSize_, other.blockSize_);
    std::swap(nodeCount_, other.nodeCount_);
    std::swap(document_, other.document_);
    declaration_.swap(other.declaration_);
  }
  return *this;
}

Node* Document::newNode(NodeType type) {
  if (blocks_.empty() || blockUsed_ == blockSize_) {
    // Small documents (clipboard fragments) stay small; big ones grow in big steps.
    std::size_t size = blocks_.empty() ? 16 : std::min<std::size_t>(blockSize_ * 2, 4096);
    blocks_.push_back(std::make_unique<Node[]>(size));
    blockSize_ = size;
    blockUsed_ = 0;
  }
  Node* n = &blocks_.back()[blockUsed_++];
  ++nodeCount_;
  n->type = type;
  return n;
}

void Document::reset() {
  blocks_.clear();
  blockUsed_ = 0;
  blockSize_ = 0;
  nodeCount_ = 0;
  declaration_.clear();
  document_ = newNode(NodeType::Document);
}

Node* Document::root() const { return document_ ? document_->firstElement() : nullptr; }

Node* Document::findById(std::string_view id) const {
  if (!document_) return nullptr;
  for (const Node* n = document_; n; n = nextInOrder(n, document_)) {
    if (!n->isElement()) continue;
    for (const Attribute& a : n->attributes) {
      if (a.name.size() == 2 && equalsIgnoreCase(a.name, "id")) {
        if (equalsIgnoreCase(a.value, id)) return const_cast<Node*>(n);
        break;  // the first such attribute is the element's ID
      }
    }
  }
  return nullptr;
}

// ---------------------------------------------------------------------------
// Document: building

Node* Document::createElement(std::string_view name) {
  Node* n = newNode(NodeType::Element);
  n->name.assign(name);
  return n;
}

Node* Document::createText(std::string_view text) {
  Node* n = newNode(NodeType::Text);
  n->text.assign(text);
  return n;
}

Node* Document::createComment(std::string_view text) {
  Node* n = newNode(NodeType::Comment);
  n->text.assign(text);
  return n;
}

void Document::unlink(Node* node) {
  if (!node || !node->parent) return;
  Node* p = node->parent;
  if (node->prev) node->prev->next = node->next;
  else p->firstChild = node->next;
  if (node->next) node->next->prev = node->prev;
  else p->lastChild = node->prev;
  node->parent = node->prev = node->next = nullptr;
}

void Document::insertBefore(Node* parent, Node* child, Node* before) {
  if (!parent || !child || child == before || child->type == NodeType::Document) return;
  if (parent->type != NodeType::Element && parent->type != NodeType::Document) return;
  if (before && before->parent != parent) return;
  for (const Node* a = parent; a; a = a->parent)
    if (a == child) return;  // would put the node below itself
  unlink(child);
  child->parent = parent;
  child->next = before;
  if (before) {
    child->prev = before->prev;
    if (before->prev) before->prev->next = child;
    else parent->firstChild = child;
    before->prev = child;
  } else {
    child->prev = parent->lastChild;
    if (parent->lastChild) parent->lastChild->next = child;
    else parent->firstChild = child;
    parent->lastChild = child;
  }
}

void Document::appendChild(Node* parent, Node* child) { insertBefore(parent, child, nullptr); }

// ---------------------------------------------------------------------------
// Document: writing

std::string Document::serializeNode(const Node* node) {
  std::string out;
  if (!node) return out;
  const Node* n = node;
  while (n) {
    writeOpen(out, n);
    if (n->firstChild) {
      n = n->firstChild;
      continue;
    }
    // Close n, then every ancestor whose last child has been written.
    for (;;) {
      writeClose(out, n);
      if (n == node) return out;
      if (n->next) {
        n = n->next;
        break;
      }
      n = n->parent;
    }
  }
  return out;
}

std::string Document::serialize() const {
  std::string out = declaration_;
  out += serializeNode(document_);
  return out;
}

// ---------------------------------------------------------------------------
// Document: parsing

struct ParseState {
  Document* doc = nullptr;
  XML_Parser parser = nullptr;
  std::string_view input;
  Node* current = nullptr;  // element (or the document node) receiving children
  int depth = 0;
  bool inDoctype = false;
  bool sawDeclaration = false;
  std::string failure;  // our own reason for stopping, when not expat's

  int line() const { return static_cast<int>(XML_GetCurrentLineNumber(parser)); }

  bool stopped() const { return !failure.empty(); }

  std::string& declaration() { return doc->declaration_; }

  void fail(const char* why) {
    if (!stopped()) {
      failure = why;
      XML_StopParser(parser, XML_FALSE);
    }
  }

  Node* make(NodeType type) {
    if (doc->nodeCount_ >= kMaxNodes) {
      fail("too many nodes in the document");
      return nullptr;
    }
    Node* n = doc->newNode(type);
    n->line = line();
    return n;
  }

  // Text chunks that follow each other (character data, CDATA sections, entity
  // text) become one text node.
  Node* textNode() {
    Node* last = current->lastChild;
    if (last && last->type == NodeType::Text) return last;
    Node* n = make(NodeType::Text);
    if (n) Document::appendChild(current, n);
    return n;
  }
};

namespace {

ParseState& stateOf(void* user) { return *static_cast<ParseState*>(user); }

void XMLCALL onStart(void* user, const XML_Char* name, const XML_Char** atts) {
  ParseState& s = stateOf(user);
  if (s.stopped()) return;
  if (s.depth >= kMaxDepth) {
    s.fail("elements nested too deeply");
    return;
  }
  Node* n = s.make(NodeType::Element);
  if (!n) return;
  n->name = name;
  for (const XML_Char** a = atts; a && a[0]; a += 2) n->attributes.push_back(Attribute{a[0], a[1]});
  Document::appendChild(s.current, n);
  s.current = n;
  ++s.depth;
}

void XMLCALL onEnd(void* user, const XML_Char*) {
  ParseState& s = stateOf(user);
  if (s.stopped()) return;
  if (s.current->parent) s.current = s.current->parent;
  --s.depth;
}

void XMLCALL onText(void* user, const XML_Char* data, int len) {
  ParseState& s = stateOf(user);
  if (s.stopped() || len <= 0) return;
  if (Node* t = s.textNode()) t->text.append(data, static_cast<std::size_t>(len));
}

void XMLCALL onComment(void* user, const XML_Char* data) {
  ParseState& s = stateOf(user);
  if (s.stopped() || s.inDoctype) return;
  Node* n = s.make(NodeType::Comment);
  if (!n) return;
  n->text = data;
  Document::appendChild(s.current, n);
}

// Processing instructions are not kept.
void XMLCALL onProcessingInstruction(void*, const XML_Char*, const XML_Char*) {}

void XMLCALL onDeclaration(void* user, const XML_Char* version, const XML_Char* encoding,
                           int standalone) {
  ParseState& s = stateOf(user);
  if (s.stopped() || s.sawDeclaration || s.depth > 0) return;
  s.sawDeclaration = true;
  // Keep the text as written when it can be written back unchanged: the
  // output is always UTF-8.
  bool utf8 = !encoding || equalsIgnoreCase(encoding, "UTF-8");
  long index = XML_GetCurrentByteIndex(s.parser);
  int count = XML_GetCurrentByteCount(s.parser);
  if (utf8 && index >= 0 && count > 0 && static_cast<std::size_t>(index) + count <= s.input.size()) {
    std::string_view raw = s.input.substr(static_cast<std::size_t>(index), static_cast<std::size_t>(count));
    if (raw.substr(0, 5) == "<?xml") {
      s.declaration().clear();
      appendNormalised(s.declaration(), raw);
      return;
    }
  }
  std::string& d = s.declaration();
  d = "<?xml version=\"";
  d += version ? version : "1.0";
  d += '"';
  if (encoding) d += " encoding=\"UTF-8\"";
  if (standalone == 1) d += " standalone=\"yes\"";
  if (standalone == 0) d += " standalone=\"no\"";
  d += "?>";
}

void XMLCALL onStartDoctype(void* user, const XML_Char*, const XML_Char*, const XML_Char*, int) {
  stateOf(user).inDoctype = true;
}

void XMLCALL onEndDoctype(void* user) { stateOf(user).inDoctype = false; }

// Entity declarations are refused: game files need none, and they are the way
// to blow a small file up into a huge document.
void XMLCALL onEntityDecl(void* user, const XML_Char*, int, const XML_Char*, int, const XML_Char*,
                          const XML_Char*, const XML_Char*, const XML_Char*) {
  stateOf(user).fail("entity declarations are not allowed");
}

// Everything without a handler of its own. Only white space around the root
// element is kept, as text of the document node.
void XMLCALL onDefault(void* user, const XML_Char* data, int len) {
  ParseState& s = stateOf(user);
  if (s.stopped() || s.depth > 0 || len <= 0) return;
  std::string_view v(data, static_cast<std::size_t>(len));
  if (v.substr(0, 9) == "<!DOCTYPE") s.inDoctype = true;
  if (s.inDoctype) return;
  if (!std::all_of(v.begin(), v.end(), isXmlSpace)) return;
  if (Node* t = s.textNode()) appendNormalised(t->text, v);
}

struct ParserHandle {
  XML_Parser p;
  ~ParserHandle() {
    if (p) XML_ParserFree(p);
  }
};

}  // namespace

bool Document::parse(std::string_view bytes, ParseError* error) {
  reset();
  ParseError err;
  if (bytes.size() > kMaxDocumentBytes) {
    err.code = -1;
    err.message = "document is larger than 64 MiB";
    if (error) *error = err;
    return false;
  }

  ParserHandle handle{XML_ParserCreate(nullptr)};
  if (!handle.p) {
    err.code = -1;
    err.message = "out of memory";
    if (error) *error = err;
    return false;
  }
  XML_Parser p = handle.p;

  ParseState state;
  state.doc = this;
  state.parser = p;
  state.input = bytes;
  state.current = document_;

  XML_SetUserData(p, &state);
  XML_SetElementHandler(p, onStart, onEnd);
  XML_SetCharacterDataHandler(p, onText);
  XML_SetCommentHandler(p, onComment);
  XML_SetProcessingInstructionHandler(p, onProcessingInstruction);
  XML_SetXmlDeclHandler(p, onDeclaration);
  XML_SetDoctypeDeclHandler(p, onStartDoctype, onEndDoctype);
  XML_SetEntityDeclHandler(p, onEntityDecl);
  XML_SetDefaultHandlerExpand(p, onDefault);
  // No external entities or external DTD subsets are ever read.
  XML_SetParamEntityParsing(p, XML_PARAM_ENTITY_PARSING_NEVER);

  XML_Status status = XML_Parse(p, bytes.data(), static_cast<int>(bytes.size()), XML_TRUE);
  if (status == XML_STATUS_OK && !state.stopped()) return true;

  err.line = static_cast<int>(XML_GetCurrentLineNumber(p));
  err.code = static_cast<int>(XML_GetErrorCode(p));
  if (state.stopped()) {
    err.message = state.failure;
  } else {
    const XML_LChar* text = XML_ErrorString(XML_GetErrorCode(p));
    err.message = text ? text : "unknown error";
  }
  reset();
  if (error) *error = err;
  return false;
}

bool Document::load(const std::string& path, ParseError* error) {
  reset();
  auto fileError = [&](std::string message) {
    if (error) {
      error->line = 0;
      error->code = -1;
      error->message = std::move(message);
    }
    return false;
  };

  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) return fileError("cannot open " + path + ": " + std::strerror(errno));
  std::string bytes;
  // A regular file's size is known up front; other files are bounded while reading.
  struct stat info {};
  if (fstat(fileno(f), &info) == 0 && S_ISREG(info.st_mode)) {
    if (static_cast<unsigned long long>(info.st_size) > kMaxDocumentBytes) {
      std::fclose(f);
      return fileError("cannot read " + path + ": the file is larger than 64 MiB");
    }
    bytes.reserve(static_cast<std::size_t>(info.st_size));
  }
  char buffer[65536];
  bool tooBig = false;
  bool readError = false;
  for (;;) {
    std::size_t got = std::fread(buffer, 1, sizeof buffer, f);
    if (got > 0) {
      if (bytes.size() + got > kMaxDocumentBytes) {
        tooBig = true;
        break;
      }
      bytes.append(buffer, got);
    }
    if (got < sizeof buffer) {
      readError = std::ferror(f) != 0;
      break;
    }
  }
  int savedErrno = errno;
  std::fclose(f);
  if (tooBig) return fileError("cannot read " + path + ": the file is larger than 64 MiB");
  if (readError) return fileError("cannot read " + path + ": " + std::strerror(savedErrno));
  return parse(bytes, error);
}

// ---------------------------------------------------------------------------

std::string toLowerAscii(std::string_view s) {
  std::string out(s);
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return out;
}

bool equalsIgnoreCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
    if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
    if (x != y) return false;
  }
  return true;
}

}  // namespace zor::xml
