#include "platform/xml.h"

#include <expat.h>

#include <algorithm>
#include <array>
#include <climits>
#include <cstring>
#include <new>
#include <span>
#include <type_traits>
#include <unordered_map>
#include <utility>
#include <vector>

#include "platform/files.h"

#ifdef __linux__
#include <sys/mman.h>
#endif

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define ZOR_XML_ASAN 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__)
#define ZOR_XML_ASAN 1
#endif
#ifdef ZOR_XML_ASAN
#include <sanitizer/asan_interface.h>
#define ZOR_POISON(p, n) ASAN_POISON_MEMORY_REGION((p), (n))
#define ZOR_UNPOISON(p, n) ASAN_UNPOISON_MEMORY_REGION((p), (n))
#else
#define ZOR_POISON(p, n) ((void)(p), (void)(n))
#define ZOR_UNPOISON(p, n) ((void)(p), (void)(n))
#endif

namespace zor::xml {

// ---------------------------------------------------------------------------
// Store: the memory of one document.
//
// Strings, attribute arrays and nodes are carved from large chunks that are
// only freed with the document. Names are interned, so that the many elements
// and attributes of one name share it. A removed node goes to a free list (and
// is poisoned under AddressSanitizer, which then reports any later use).

// A chunk of the arena. A very large one starts on a large-page boundary and
// asks for large pages: a document of tens of megabytes then costs a few page
// faults rather than one for every 4 KiB it fills. (Smaller chunks come from
// malloc, which keeps freed memory of such sizes for the next document; memory
// this large it maps afresh every time.)
class Chunk {
 public:
  static constexpr std::size_t kLargePage = std::size_t{1} << 21;
  static constexpr std::size_t kVeryLarge = std::size_t{32} << 20;

  // `largeFrom`: the size from which the chunk asks for large pages.
  explicit Chunk(std::size_t size, std::size_t largeFrom = kVeryLarge) {
    if (size >= largeFrom) {
      size_ = (size + kLargePage - 1) / kLargePage * kLargePage;
      bytes_ = static_cast<char*>(::operator new(size_, std::align_val_t{kLargePage}));
      large_ = true;
#ifdef __linux__
      madvise(bytes_, size_, MADV_HUGEPAGE);  // a hint; refused is fine
#endif
    } else {
      size_ = size;
      bytes_ = static_cast<char*>(::operator new(size_));
    }
  }
  ~Chunk() {
    if (large_) ::operator delete(bytes_, std::align_val_t{kLargePage});
    else ::operator delete(bytes_);
  }
  Chunk(const Chunk&) = delete;
  Chunk& operator=(const Chunk&) = delete;

  char* bytes() const { return bytes_; }
  std::size_t size() const { return size_; }

 private:
  char* bytes_ = nullptr;
  std::size_t size_ = 0;
  bool large_ = false;
};

struct Store {
  std::vector<std::unique_ptr<Chunk>> chunks;
  char* cursor = nullptr;
  std::size_t left = 0;
  std::size_t nextChunk = 1024;

  std::vector<Node*> freeNodes;

  // Element IDs seen by the parse: the lower-cased ID of each element that has
  // one, to the first such element in document order. Valid until the tree or
  // an ID attribute is changed; lookups walk the tree after that.
  std::unordered_map<std::string, Node*> ids;
  bool idsValid = false;
  void idsChanged() {
    if (!idsValid) return;
    idsValid = false;
    ids.clear();
  }

  // Interned names: open addressing over the name text, power-of-two size.
  std::vector<Str> names;
  std::size_t nameCount = 0;

  explicit Store(std::size_t firstChunk = 1024) : nextChunk(firstChunk) {}

  void* allocate(std::size_t bytes, std::size_t align) {
    std::size_t pad = static_cast<std::size_t>(-reinterpret_cast<std::uintptr_t>(cursor)) & (align - 1);
    if (pad + bytes > left) {
      std::size_t size = std::max(nextChunk, bytes + align);
      chunks.push_back(std::make_unique<Chunk>(size));
      cursor = chunks.back()->bytes();
      left = chunks.back()->size();
      nextChunk = std::min<std::size_t>(size * 2, std::size_t{16} << 20);
      pad = static_cast<std::size_t>(-reinterpret_cast<std::uintptr_t>(cursor)) & (align - 1);
    }
    char* p = cursor + pad;
    cursor = p + bytes;
    left -= pad + bytes;
    return p;
  }

  // Makes sure the next `bytes` bytes come from one chunk: a bulk copy (or edit)
  // then fills memory that lies together instead of a run of doubling chunks. Such
  // memory is new to the process, and filling it costs a page fault for every page
  // of it: from a few megabytes on it sits on large pages.
  static constexpr std::size_t kLargeReserve = std::size_t{4} << 20;
  void reserve(std::size_t bytes) {
    if (bytes <= left) return;
    std::size_t size = std::max(nextChunk, bytes);
    chunks.push_back(std::make_unique<Chunk>(size, kLargeReserve));
    cursor = chunks.back()->bytes();
    left = chunks.back()->size();
    nextChunk = std::min<std::size_t>(size * 2, std::size_t{16} << 20);
  }

  Str copy(std::string_view s) {
    if (s.empty()) return Str();
    char* p = static_cast<char*>(allocate(s.size(), 1));
    std::memcpy(p, s.data(), s.size());
    return Str(std::string_view(p, s.size()));
  }

  // A copy of a NUL-terminated string, measured while it is copied.
  Str copy(const char* s) {
    char* start = cursor;
    std::size_t room = left;
    std::size_t n = 0;
    while (n < room && s[n] != '\0') {
      start[n] = s[n];
      ++n;
    }
    if (n < room) {  // it fitted
      cursor += n;
      left -= n;
      return n == 0 ? Str() : Str(std::string_view(start, n));
    }
    return copy(std::string_view(s));
  }

  // Appends to s, which this store made: in place when s is the last thing
  // made and there is room, else as a new copy.
  void extend(Str& s, std::string_view more) {
    if (more.empty()) return;
    if (!s.empty() && s.data() + s.size() == cursor && more.size() <= left) {
      std::memcpy(cursor, more.data(), more.size());
      cursor += more.size();
      left -= more.size();
      s = Str(std::string_view(s.data(), s.size() + more.size()));
      return;
    }
    char* p = static_cast<char*>(allocate(s.size() + more.size(), 1));
    if (!s.empty()) std::memcpy(p, s.data(), s.size());
    std::memcpy(p + s.size(), more.data(), more.size());
    s = Str(std::string_view(p, s.size() + more.size()));
  }

  static constexpr std::size_t kHashStart = 14695981039346656037ull;
  static std::size_t hashStep(std::size_t h, char c) {
    return (h ^ static_cast<unsigned char>(c)) * 1099511628211ull;
  }
  static std::size_t hashName(std::string_view s) {
    std::size_t h = kHashStart;
    for (char c : s) h = hashStep(h, c);
    return h;
  }
  // Names are short: a plain loop beats a call to memcmp.
  static bool sameText(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
      if (a[i] != b[i]) return false;
    return true;
  }

  Str intern(std::string_view s) { return intern(s, hashName(s)); }

  // A NUL-terminated name, measured and hashed in one pass.
  Str intern(const char* s) {
    std::size_t h = kHashStart;
    std::size_t n = 0;
    for (; s[n] != '\0'; ++n) h = hashStep(h, s[n]);
    return intern(std::string_view(s, n), h);
  }

  Str intern(std::string_view s, std::size_t hash) {
    if (s.empty()) return Str();
    if ((nameCount + 1) * 2 > names.size()) growNames();
    std::size_t mask = names.size() - 1;
    for (std::size_t i = hash & mask;; i = (i + 1) & mask) {
      Str& slot = names[i];
      if (slot.empty()) {
        slot = copy(s);
        ++nameCount;
        return slot;
      }
      if (sameText(slot, s)) return slot;
    }
  }

  void growNames() {
    std::vector<Str> old(std::max<std::size_t>(64, names.size() * 2));
    old.swap(names);
    std::size_t mask = names.size() - 1;
    for (const Str& s : old) {
      if (s.empty()) continue;
      std::size_t i = hashName(s) & mask;
      while (!names[i].empty()) i = (i + 1) & mask;
      names[i] = s;
    }
  }

  Attribute* newAttributes(std::size_t count) {
    return static_cast<Attribute*>(allocate(count * sizeof(Attribute), alignof(Attribute)));
  }

  Node* newNode(NodeType type) {
    void* p;
    if (!freeNodes.empty()) {
      p = freeNodes.back();
      freeNodes.pop_back();
      ZOR_UNPOISON(p, sizeof(Node));
    } else {
      p = allocate(sizeof(Node), alignof(Node));
    }
    Node* n = new (p) Node;
    n->type = type;
    n->store_ = this;
    return n;
  }

  // Frees a node that is no longer linked, with everything below it.
  void freeTree(Node* top) {
    Node* n = top;
    while (n) {
      if (n->firstChild) {
        n = n->firstChild;
        continue;
      }
      // n has no children left: free it and go on with its next sibling or parent.
      Node* up = n == top ? nullptr : n->parent;
      Node* after = n == top ? nullptr : n->next;
      if (up) up->firstChild = after;
      ZOR_POISON(n, sizeof(Node));
      freeNodes.push_back(n);
      n = after ? after : up;
    }
  }
};

// Nothing in the arena needs a destructor: freeing the chunks frees everything.
static_assert(std::is_trivially_destructible_v<Attribute>);
static_assert(std::is_trivially_destructible_v<Node>);

namespace {

// An attribute named "id" in any letter case names its element.
bool isIdName(std::string_view name) { return name.size() == 2 && equalsIgnoreCase(name, "id"); }

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

// Appends child as the last child of parent; both are known to be fit for it.
void linkLast(Node* parent, Node* child) {
  child->parent = parent;
  child->prev = parent->lastChild;
  child->next = nullptr;
  if (parent->lastChild) parent->lastChild->next = child;
  else parent->firstChild = child;
  parent->lastChild = child;
}

}  // namespace

// ---------------------------------------------------------------------------
// Node

const Attribute* Node::findAttr(std::string_view attrName) const {
  for (const Attribute& a : attributes)
    if (a.name == attrName) return &a;
  return nullptr;
}

Str Node::attr(std::string_view attrName) const {
  const Attribute* a = findAttr(attrName);
  return a ? a->value : Str();
}

// An attribute list copied within its document shares its array with the original
// (its capacity is then zero): the first change to either gives it its own array.
// Growing adds a quarter: the lists a parse makes are full, and a bulk edit that adds
// one attribute to many elements takes less fresh memory so.
static std::uint32_t grownCapacity(std::uint32_t size) { return std::max<std::uint32_t>(4, size + size / 4 + 1); }

void Node::setAttr(std::string_view attrName, std::string_view value) {
  if (isIdName(attrName)) store_->idsChanged();
  AttributeList& list = attributes;
  const bool shared = list.capacity_ < list.size_;
  for (std::uint32_t i = 0; i < list.size_; ++i) {
    if (list.items_[i].name == attrName) {
      if (shared) {
        Attribute* items = store_->newAttributes(list.size_);
        std::copy(list.items_, list.items_ + list.size_, items);
        list.items_ = items;
        list.capacity_ = list.size_;
      }
      list.items_[i].value = store_->copy(value);
      return;
    }
  }
  if (list.size_ >= list.capacity_) {
    const std::uint32_t capacity = grownCapacity(list.size_);
    Attribute* items = store_->newAttributes(capacity);
    std::copy(list.items_, list.items_ + list.size_, items);
    list.items_ = items;
    list.capacity_ = capacity;
  }
  list.items_[list.size_++] = Attribute{store_->intern(attrName), store_->copy(value)};
}

std::size_t Node::setAttrBytes(std::string_view attrName, std::size_t valueBytes) const {
  const bool shared = attributes.capacity_ < attributes.size_;
  if (findAttr(attrName) != nullptr)
    return valueBytes + (shared ? attributes.size_ * sizeof(Attribute) + alignof(Attribute) : 0);
  std::size_t bytes = valueBytes + attrName.size();  // the name as if new
  if (attributes.size_ >= attributes.capacity_)
    bytes += grownCapacity(attributes.size_) * sizeof(Attribute) + alignof(Attribute);
  return bytes;
}

bool Node::removeAttr(std::string_view attrName) {
  if (isIdName(attrName)) store_->idsChanged();
  AttributeList& list = attributes;
  for (std::uint32_t i = 0; i < list.size_; ++i) {
    if (list.items_[i].name != attrName) continue;
    if (list.capacity_ < list.size_) {  // shared: the others into an array of its own
      const std::uint32_t size = list.size_ - 1;
      Attribute* items = size ? store_->newAttributes(size) : nullptr;
      std::copy(list.items_, list.items_ + i, items);
      std::copy(list.items_ + i + 1, list.items_ + list.size_, items + i);
      list.items_ = items;
      list.size_ = list.capacity_ = size;
      return true;
    }
    std::copy(list.items_ + i + 1, list.items_ + list.size_, list.items_ + i);
    --list.size_;
    return true;
  }
  return false;
}

void Node::setName(std::string_view newName) { name = store_->intern(newName); }

void Node::setText(std::string_view newText) { text = store_->copy(newText); }

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
    : store_(std::move(other.store_)),
      document_(std::exchange(other.document_, nullptr)),
      declaration_(std::move(other.declaration_)) {
  other.declaration_.clear();
}

Document& Document::operator=(Document&& other) noexcept {
  if (this != &other) {
    store_.swap(other.store_);
    std::swap(document_, other.document_);
    declaration_.swap(other.declaration_);
  }
  return *this;
}

void Document::reset() {
  store_ = std::make_unique<Store>();
  declaration_.clear();
  document_ = store_->newNode(NodeType::Document);
}

Node* Document::root() const { return document_ ? document_->firstElement() : nullptr; }

Node* Document::findById(std::string_view id) const {
  if (!document_) return nullptr;
  if (store_->idsValid) {
    auto it = store_->ids.find(toLowerAscii(id));
    return it == store_->ids.end() ? nullptr : it->second;
  }
  for (const Node* n = document_; n; n = nextInOrder(n, document_)) {
    if (!n->isElement()) continue;
    for (const Attribute& a : n->attributes) {
      if (isIdName(a.name)) {
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
  Node* n = store_->newNode(NodeType::Element);
  n->name = store_->intern(name);
  return n;
}

Node* Document::createText(std::string_view text) {
  Node* n = store_->newNode(NodeType::Text);
  n->text = store_->copy(text);
  return n;
}

Node* Document::createComment(std::string_view text) {
  Node* n = store_->newNode(NodeType::Comment);
  n->text = store_->copy(text);
  return n;
}

Node* Document::createProcessingInstruction(std::string_view target, std::string_view data) {
  Node* n = store_->newNode(NodeType::ProcessingInstruction);
  n->name = store_->intern(target);
  n->text = store_->copy(data);
  return n;
}

// Nodes of one document are walked in document order without recursion.
template <typename Visit>
static void forEachInSubtree(const Node* top, Visit&& visit) {
  const Node* at = top;
  for (;;) {
    visit(at);
    if (at->firstChild) {
      at = at->firstChild;
      continue;
    }
    while (at != top && !at->next) at = at->parent;
    if (at == top) return;
    at = at->next;
  }
}

std::size_t Document::copyBytes(const Node* source) {
  if (!source || source->type == NodeType::Document) return 0;
  std::size_t bytes = 0;
  forEachInSubtree(source, [&bytes](const Node* n) {
    // Each piece with room for its alignment; names counted as if new.
    bytes += sizeof(Node) + alignof(Node) + n->name.size() + n->text.size();
    if (!n->attributes.empty()) {
      bytes += n->attributes.size() * sizeof(Attribute) + alignof(Attribute);
      for (const Attribute& a : n->attributes) bytes += a.name.size() + a.value.size();
    }
  });
  return bytes;
}

std::size_t Document::copyBytesHere(const Node* source) const {
  if (!source || source->type == NodeType::Document) return 0;
  const Store* here = store_.get();
  std::size_t bytes = 0;
  forEachInSubtree(source, [&bytes, here](const Node* n) {
    bytes += sizeof(Node) + alignof(Node) + n->name.size() + n->text.size();
    if (n->store_ != here && !n->attributes.empty()) {
      bytes += n->attributes.size() * sizeof(Attribute) + alignof(Attribute);
      for (const Attribute& a : n->attributes) bytes += a.name.size() + a.value.size();
    }
  });
  return bytes;
}

void Document::reserveForCopies(std::size_t bytes) { store_->reserve(bytes); }

Node* Document::copyNode(const Node* source) {
  if (!source || source->type == NodeType::Document) return nullptr;
  Store& s = *store_;
  auto copyOne = [&s](const Node* from) {
    Node* n = s.newNode(from->type);
    n->name = s.intern(from->name);
    n->text = s.copy(from->text);
    const AttributeList& fromList = from->attributes;
    if (!fromList.empty() && from->store_ == &s) {
      // Within one document the copy shares the attributes (and their text, which
      // is never changed in place) until either element changes them.
      AttributeList& original = const_cast<Node*>(from)->attributes;
      original.capacity_ = 0;
      n->attributes = original;
    } else if (!fromList.empty()) {
      AttributeList& list = n->attributes;
      list.items_ = s.newAttributes(fromList.size());
      list.capacity_ = list.size_ = static_cast<std::uint32_t>(fromList.size());
      for (std::uint32_t i = 0; i < list.size_; ++i)
        list.items_[i] = Attribute{s.intern(fromList[i].name), s.copy(fromList[i].value)};
    }
    return n;
  };
  // Walk the source in document order without recursion, building the copy alongside.
  Node* top = copyOne(source);
  Node* at = top;
  const Node* from = source;
  for (;;) {
    if (from->firstChild) {
      from = from->firstChild;
      Node* c = copyOne(from);
      linkLast(at, c);
      at = c;
      continue;
    }
    while (from != source && !from->next) {
      from = from->parent;
      at = at->parent;
    }
    if (from == source) return top;
    from = from->next;
    Node* c = copyOne(from);
    linkLast(at->parent, c);
    at = c;
  }
}

Node* Document::leadingBlanks(Node* node) {
  Node* before = node ? node->prev : nullptr;
  if (!before || before->type != NodeType::Text || before->text.empty()) return nullptr;
  for (char c : std::string_view(before->text))
    if (c != ' ' && c != '\t' && c != '\r' && c != '\n') return nullptr;
  return before;
}

void Document::unlink(Node* node) {
  if (!node || !node->parent) return;
  node->store_->idsChanged();
  Node* p = node->parent;
  if (node->prev) node->prev->next = node->next;
  else p->firstChild = node->next;
  if (node->next) node->next->prev = node->prev;
  else p->lastChild = node->prev;
  node->parent = node->prev = node->next = nullptr;
}

void Document::removeNode(Node* node) {
  if (!node || node->type == NodeType::Document || node->store_ != store_.get()) return;
  unlink(node);
  store_->freeTree(node);
}

void Document::insertBefore(Node* parent, Node* child, Node* before) {
  if (!parent || !child || child == before || child->type == NodeType::Document) return;
  if (parent->type != NodeType::Element && parent->type != NodeType::Document) return;
  if (child->store_ != parent->store_) return;
  if (before && before->parent != parent) return;
  for (const Node* a = parent; a; a = a->parent)
    if (a == child) return;  // would put the node below itself
  unlink(child);
  child->store_->idsChanged();
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
// Writing
//
// A document whose file uses the forms written here is written back byte for
// byte: attribute values in double quotes, one blank before each attribute and
// none before ">" or "/>", "/>" for every element without children, LF line
// ends, "&amp;", "&lt;" and "&gt;" in text, "&amp;", "&lt;", "&gt;", "&quot;",
// "&#10;", "&#9;" and "&#13;" in attribute values, the declaration as it
// stands. Anything else is normalised on reading:
//   - single-quoted values become double-quoted; extra white space between
//     attributes, before ">" or "/>" and in end tags goes;
//   - "<a></a>" becomes "<a/>";
//   - CR LF and lone CR become LF (a CR given as "&#13;" is written so);
//   - character and entity references become the characters themselves, and a
//     raw ">" in text becomes "&gt;"; white space characters written raw
//     inside attribute values become blanks (XML reads them so);
//   - CDATA sections become escaped text;
//   - the white space between a processing instruction's target and its data
//     becomes one blank;
//   - a byte-order mark and a document type declaration are dropped, and a
//     declaration naming another encoding is rewritten as UTF-8.

namespace {

// One UTF-8 sequence from s at i: its code point, or -1 when the bytes are not
// well-formed UTF-8 (overlong forms, surrogates and values past U+10FFFF included).
long nextCodePoint(std::string_view s, std::size_t& i) {
  const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(s[k]); };
  unsigned char b = byte(i);
  if (b < 0x80) {
    ++i;
    return b;
  }
  int extra;
  long cp;
  long min;
  if ((b & 0xE0) == 0xC0) {
    extra = 1, cp = b & 0x1F, min = 0x80;
  } else if ((b & 0xF0) == 0xE0) {
    extra = 2, cp = b & 0x0F, min = 0x800;
  } else if ((b & 0xF8) == 0xF0) {
    extra = 3, cp = b & 0x07, min = 0x10000;
  } else {
    return -1;
  }
  if (s.size() - i <= static_cast<std::size_t>(extra)) return -1;
  for (int k = 1; k <= extra; ++k) {
    unsigned char c = byte(i + static_cast<std::size_t>(k));
    if ((c & 0xC0) != 0x80) return -1;
    cp = (cp << 6) | (c & 0x3F);
  }
  if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return -1;
  i += static_cast<std::size_t>(extra) + 1;
  return cp;
}

bool isXmlChar(long c) {
  return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) || (c >= 0xE000 && c <= 0xFFFD) ||
         (c >= 0x10000 && c <= 0x10FFFF);
}

bool onlyXmlChars(std::string_view s) {
  for (std::size_t i = 0; i < s.size();) {
    unsigned char b = static_cast<unsigned char>(s[i]);
    if (b >= 0x20 && b < 0x80) {
      ++i;
      continue;
    }
    if (!isXmlChar(nextCodePoint(s, i))) return false;
  }
  return true;
}

bool isAsciiNameChar(char c, bool first) {
  if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' || c == ':') return true;
  return !first && ((c >= '0' && c <= '9') || c == '-' || c == '.');
}

void XMLCALL noteStart(void* user, const XML_Char* name, const XML_Char**) {
  *static_cast<std::string*>(user) = name;
}

// Whether s is an element or attribute name that expat reads back as it is.
// Plain ASCII names are checked here; for other letters expat itself is asked,
// since its idea of a name letter is what counts when the file is read again.
bool isXmlName(std::string_view s) {
  if (s.empty()) return false;
  bool ascii = true;
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (static_cast<unsigned char>(s[i]) >= 0x80) {
      ascii = false;
      continue;
    }
    if (!isAsciiNameChar(s[i], i == 0)) return false;
  }
  if (ascii) return true;
  if (!onlyXmlChars(s)) return false;
  XML_Parser p = XML_ParserCreate("UTF-8");
  if (!p) return false;
  std::string seen;
  XML_SetUserData(p, &seen);
  XML_SetStartElementHandler(p, noteStart);
  std::string probe(1, '<');
  probe.append(s);
  probe.append("/>");
  bool ok = XML_Parse(p, probe.data(), static_cast<int>(probe.size()), XML_TRUE) == XML_STATUS_OK;
  XML_ParserFree(p);
  return ok && seen == s;
}

class Writer {
 public:
  explicit Writer(std::string& out) : out_(out) {}

  bool failed() const { return !error_.empty(); }
  const std::string& error() const { return error_; }

  // Writes the opening part of n (all of it for nodes without children).
  void open(const Node* n) {
    switch (n->type) {
      case NodeType::Document: break;
      case NodeType::Text:
        if (chars(n->text, "text")) escapeText(n->text);
        break;
      case NodeType::Comment: comment(n->text); break;
      case NodeType::ProcessingInstruction: processingInstruction(n); break;
      case NodeType::Element:
        if (!name(n->name, "element name")) return;
        out_ += '<';
        out_ += n->name;
        for (const Attribute& a : n->attributes) {
          if (!name(a.name, "attribute name") || !chars(a.value, "attribute value")) return;
          out_ += ' ';
          out_ += a.name;
          out_ += "=\"";
          escapeAttr(a.value);
          out_ += '"';
        }
        out_ += n->firstChild ? ">" : "/>";
        break;
    }
  }

  void close(const Node* n) {
    if (n->type == NodeType::Element && n->firstChild) {
      out_ += "</";
      out_ += n->name;
      out_ += '>';
    }
  }

  // n and everything below it, without recursion.
  void subtree(const Node* node) {
    const Node* n = node;
    while (n && !failed()) {
      open(n);
      if (n->firstChild) {
        n = n->firstChild;
        continue;
      }
      // Close n, then every ancestor whose last child has been written.
      for (;;) {
        close(n);
        if (n == node) return;
        if (n->next) {
          n = n->next;
          break;
        }
        n = n->parent;
      }
    }
  }

 private:
  bool refuse(const char* what, std::string_view value) {
    if (!failed()) {
      error_ = std::string("cannot write ") + what + " \"";
      // Enough of the value to find it, without the bytes that made it fail.
      for (char c : value.substr(0, 40)) error_ += (c >= 0x20 && c < 0x7f) ? c : '?';
      error_ += "\": not valid in XML";
    }
    return false;
  }

  bool name(std::string_view s, const char* what) { return isXmlName(s) || refuse(what, s); }

  bool chars(std::string_view s, const char* what) { return onlyXmlChars(s) || refuse(what, s); }

  void escapeText(std::string_view s) {
    for (char c : s) {
      switch (c) {
        case '&': out_ += "&amp;"; break;
        case '<': out_ += "&lt;"; break;
        case '>': out_ += "&gt;"; break;
        case '\r': out_ += "&#13;"; break;  // a raw CR would be read back as a line feed
        default: out_ += c;
      }
    }
  }

  void escapeAttr(std::string_view s) {
    for (char c : s) {
      switch (c) {
        case '&': out_ += "&amp;"; break;
        case '<': out_ += "&lt;"; break;
        case '>': out_ += "&gt;"; break;
        case '"': out_ += "&quot;"; break;
        // Raw white space in a value is read back as a blank.
        case '\n': out_ += "&#10;"; break;
        case '\t': out_ += "&#9;"; break;
        case '\r': out_ += "&#13;"; break;
        default: out_ += c;
      }
    }
  }

  // A comment may not hold "--" nor end in "-"; parsed comments never do, made ones might.
  void comment(std::string_view s) {
    if (!chars(s, "comment")) return;
    out_ += "<!--";
    for (std::size_t i = 0; i < s.size(); ++i) {
      out_ += s[i];
      if (s[i] == '-' && (i + 1 == s.size() || s[i + 1] == '-')) out_ += ' ';
    }
    out_ += "-->";
  }

  void processingInstruction(const Node* n) {
    if (!name(n->name, "processing instruction target")) return;
    if (equalsIgnoreCase(n->name, "xml")) {
      refuse("processing instruction target", n->name);
      return;
    }
    if (!chars(n->text, "processing instruction") || n->text.find("?>") != std::string_view::npos) {
      refuse("processing instruction", n->text);
      return;
    }
    out_ += "<?";
    out_ += n->name;
    if (!n->text.empty()) {
      out_ += ' ';
      out_ += n->text;
    }
    out_ += "?>";
  }

  std::string& out_;
  std::string error_;
};

}  // namespace

namespace {

// Appends node and its subtree to out; on failure out is emptied.
bool writeInto(std::string& out, const Node* node, std::string* error) {
  Writer w(out);
  if (node) w.subtree(node);
  if (!w.failed()) return true;
  out.clear();
  if (error) *error = w.error();
  return false;
}

}  // namespace

bool Document::writeNode(const Node* node, std::string& out, std::string* error) {
  out.clear();
  return writeInto(out, node, error);
}

bool Document::write(std::string& out, std::string* error, bool withDeclaration) const {
  out.clear();
  if (!document_) return true;
  if (withDeclaration || declaration_.empty()) {
    out = declaration_;
    return writeInto(out, document_, error);
  }
  // Without its declaration the document starts at its first line of content.
  const Node* first = document_->firstChild;
  if (first && first->type == NodeType::Text) first = first->next;
  for (const Node* n = first; n; n = n->next)
    if (!writeInto(out, n, error)) return false;
  return true;
}

bool Document::save(const std::string& path, std::string* error, bool withDeclaration) const {
  std::string text;
  if (!write(text, error, withDeclaration)) return false;
  return files::writeFileAtomic(path, text, error);
}

std::string Document::serializeNode(const Node* node) {
  std::string out;
  writeNode(node, out, nullptr);
  return out;
}

std::string Document::serialize() const {
  std::string out;
  write(out, nullptr);
  return out;
}

// ---------------------------------------------------------------------------
// The plain reader
//
// Game files are plain: ASCII, LF line ends, elements, attributes, text,
// comments and the five entities or ASCII character references, with no
// declaration, DTD, CDATA section or processing instruction. Such a document
// is read here in one pass, into the tree expat's events would build (the same
// nodes, text, lines and IDs). Anything else - any other byte or construct, a
// well-formedness fault, a limit reached - makes the reader give up, and the
// document is parsed again by expat, which then gives its tree or its error.
// So the reader may refuse what expat accepts, but never accepts what expat
// refuses, nor reads a document otherwise.

namespace {

enum : unsigned char {
  kNameStart = 1,  // may start a name
  kNameChar = 2,   // may continue a name
  kBlank = 4,      // white space (CR is not plain)
  kTextPlain = 8,  // stands for itself in text
  kValuePlain = 16,  // stands for itself in an attribute value (either quote too)
  kCommentPlain = 32,  // stands in a comment (a "-" is looked at apart)
};

constexpr std::array<unsigned char, 256> makeCharClasses() {
  std::array<unsigned char, 256> t{};
  for (int c = 0x20; c < 0x7f; ++c) t[c] = kTextPlain | kValuePlain | kCommentPlain;
  for (int c = 'a'; c <= 'z'; ++c) t[c] |= kNameStart | kNameChar;
  for (int c = 'A'; c <= 'Z'; ++c) t[c] |= kNameStart | kNameChar;
  for (int c = '0'; c <= '9'; ++c) t[c] |= kNameChar;
  t['_'] |= kNameStart | kNameChar;
  t[':'] |= kNameStart | kNameChar;
  t['-'] |= kNameChar;
  t['.'] |= kNameChar;
  t[' '] |= kBlank;
  t['\t'] = kBlank | kTextPlain | kCommentPlain;
  t['\n'] = kBlank | kTextPlain | kCommentPlain;
  t['-'] &= static_cast<unsigned char>(~kCommentPlain);
  t['<'] &= static_cast<unsigned char>(~(kTextPlain | kValuePlain));
  t['&'] &= static_cast<unsigned char>(~(kTextPlain | kValuePlain));
  t[']'] &= static_cast<unsigned char>(~kTextPlain);  // "]]>" may not stand in text
  t['"'] &= static_cast<unsigned char>(~kValuePlain);
  t['\''] &= static_cast<unsigned char>(~kValuePlain);
  return t;
}
constexpr std::array<unsigned char, 256> kCharClasses = makeCharClasses();

inline unsigned charClass(char c) { return kCharClasses[static_cast<unsigned char>(c)]; }

}  // namespace

struct PlainReader {
  Store& store;
  Node* document;
  const char* p;
  const char* const end;
  std::size_t made = 0;
  int line = 1;
  const char* lineCountedTo;

  struct Pending {
    Str name;
    const char* value;
    std::size_t size;
    bool decode;  // holds references or white space other than blanks
  };
  std::vector<Pending> pending;

  PlainReader(Store& s, Node* doc, std::string_view bytes)
      : store(s), document(doc), p(bytes.data()), end(bytes.data() + bytes.size()), lineCountedTo(bytes.data()) {}

  int lineAt(const char* at) {
    line += static_cast<int>(std::count(lineCountedTo, at, '\n'));
    lineCountedTo = at;
    return line;
  }

  Node* make(NodeType type, const char* at) {
    if (made >= kMaxNodes) return nullptr;
    ++made;
    Node* n = store.newNode(type);
    n->line = lineAt(at);
    return n;
  }

  // A reference at p ("&...;") read into out; false when it is not one of the
  // plain ones. The character a character reference names must be ASCII that
  // XML allows.
  bool reference(char& out) {
    const char* q = p + 1;
    if (q < end && *q == '#') {
      ++q;
      bool hex = q < end && *q == 'x';
      if (hex) ++q;
      unsigned long code = 0;
      int digits = 0;
      for (; q < end && *q != ';'; ++q) {
        int d;
        const char c = *q;
        if (c >= '0' && c <= '9') {
          d = c - '0';
        } else if (hex && c >= 'a' && c <= 'f') {
          d = c - 'a' + 10;
        } else if (hex && c >= 'A' && c <= 'F') {
          d = c - 'A' + 10;
        } else {
          return false;
        }
        if (++digits > 8) return false;
        code = code * (hex ? 16 : 10) + static_cast<unsigned long>(d);
      }
      if (q >= end || digits == 0) return false;
      if (!(code == '\t' || code == '\n' || (code >= 0x20 && code < 0x7f))) return false;
      out = static_cast<char>(code);
      p = q + 1;
      return true;
    }
    static constexpr struct {
      std::string_view name;
      char c;
    } kEntities[] = {{"lt;", '<'}, {"gt;", '>'}, {"amp;", '&'}, {"quot;", '"'}, {"apos;", '\''}};
    const std::string_view rest(q, static_cast<std::size_t>(end - q));
    for (const auto& e : kEntities) {
      if (rest.substr(0, e.name.size()) == e.name) {
        out = e.c;
        p = q + e.name.size();
        return true;
      }
    }
    return false;
  }

  bool skipBlanks() {
    const char* from = p;
    while (p < end && (charClass(*p) & kBlank)) ++p;
    return p != from;
  }

  // A name at p; empty when there is none.
  std::string_view name() {
    if (p >= end || !(charClass(*p) & kNameStart)) return {};
    const char* from = p;
    ++p;
    while (p < end && (charClass(*p) & kNameChar)) ++p;
    return std::string_view(from, static_cast<std::size_t>(p - from));
  }

  // Text of an element: runs of plain characters and references, up to the next "<".
  bool text(Node*& textNode, Node* parent) {
    const char* start = p;
    for (;;) {
      const char* run = p;
      while (p < end && (charClass(*p) & kTextPlain)) ++p;
      if (p > run) {
        if (!addText(textNode, parent, std::string_view(run, static_cast<std::size_t>(p - run)), start)) return false;
      }
      if (p >= end) return false;  // the root element is not closed
      const char c = *p;
      if (c == '<') return true;
      if (c == ']') {
        if (end - p >= 3 && p[1] == ']' && p[2] == '>') return false;
        if (!addText(textNode, parent, std::string_view(p, 1), start)) return false;
        ++p;
      } else if (c == '&') {
        char ch;
        if (!reference(ch)) return false;
        if (!addText(textNode, parent, std::string_view(&ch, 1), start)) return false;
      } else {
        return false;  // a byte the reader leaves to expat
      }
    }
  }

  // As ParseState::addText: chunks that follow each other make one text node.
  bool addText(Node*& textNode, Node* parent, std::string_view chunk, const char* at) {
    if (!textNode) {
      Node* last = parent->lastChild;
      if (last && last->type == NodeType::Text) {
        textNode = last;
      } else {
        textNode = make(NodeType::Text, at);
        if (!textNode) return false;
        linkLast(parent, textNode);
      }
    }
    store.extend(textNode->text, chunk);
    return true;
  }

  // An attribute value from its opening quote at p.
  bool value(Pending& a) {
    const char quote = *p++;
    const char* from = p;
    bool decode = false;
    for (;;) {
      while (p < end && (charClass(*p) & kValuePlain)) ++p;
      if (p >= end) return false;
      const char c = *p;
      if (c == quote) break;
      if (c == '"' || c == '\'' || c == '\t' || c == '\n') {
        decode = decode || c == '\t' || c == '\n';
        ++p;
      } else if (c == '&') {
        char ch;
        if (!reference(ch)) return false;
        decode = true;
      } else {
        return false;  // "<", or a byte the reader leaves to expat
      }
    }
    a.value = from;
    a.size = static_cast<std::size_t>(p - from);
    a.decode = decode;
    ++p;  // the closing quote
    return true;
  }

  // The value as XML reads it: references replaced, tabs and line feeds
  // written raw become blanks. The text was checked by value().
  Str decodedValue(const Pending& a) {
    if (!a.decode) return store.copy(std::string_view(a.value, a.size));
    char* out = static_cast<char*>(store.allocate(a.size, 1));
    std::size_t n = 0;
    const char* saved = p;
    p = a.value;
    const char* stop = a.value + a.size;
    while (p < stop) {
      const char c = *p;
      if (c == '&') {
        reference(out[n++]);
      } else {
        out[n++] = c == '\t' || c == '\n' ? ' ' : c;
        ++p;
      }
    }
    p = saved;
    return n == 0 ? Str() : Str(std::string_view(out, n));
  }

  // A start tag from its "<"; the new element is linked below `current`.
  bool startTag(Node*& current, int& depth) {
    const char* at = p;
    ++p;
    const std::string_view elementName = name();
    if (elementName.empty()) return false;
    pending.clear();
    bool empty = false;
    for (;;) {
      const bool blanks = skipBlanks();
      if (p >= end) return false;
      if (*p == '>') {
        ++p;
        break;
      }
      if (*p == '/') {
        if (end - p < 2 || p[1] != '>') return false;
        p += 2;
        empty = true;
        break;
      }
      if (!blanks) return false;
      const std::string_view attrName = name();
      if (attrName.empty()) return false;
      skipBlanks();
      if (p >= end || *p != '=') return false;
      ++p;
      skipBlanks();
      if (p >= end || (*p != '"' && *p != '\'')) return false;
      Pending a;
      a.name = store.intern(attrName);
      for (const Pending& before : pending)
        if (before.name.data() == a.name.data()) return false;  // twice the same name
      if (!value(a)) return false;
      pending.push_back(a);
    }
    if (depth >= kMaxDepth) return false;
    Node* n = make(NodeType::Element, at);
    if (!n) return false;
    n->name = store.intern(elementName);
    if (!pending.empty()) {
      AttributeList& list = n->attributes;
      list.items_ = store.newAttributes(pending.size());
      list.size_ = list.capacity_ = static_cast<std::uint32_t>(pending.size());
      bool named = false;
      for (std::size_t i = 0; i < pending.size(); ++i) {
        Attribute& a = list.items_[i];
        a.name = pending[i].name;
        a.value = decodedValue(pending[i]);
        if (!named && isIdName(a.name)) {
          named = true;
          store.ids.try_emplace(toLowerAscii(a.value), n);
        }
      }
    }
    linkLast(current, n);
    if (!empty) {
      current = n;
      ++depth;
    }
    return true;
  }

  // A comment from its "<!--".
  bool comment(Node* parent) {
    const char* at = p;
    const char* from = p + 4;
    // "<!--->" and the like are left to expat.
    if (from < end && *from == '-' && (end - from < 2 || from[1] != '-')) return false;
    const char* q = from;
    for (;;) {
      while (q < end && (charClass(*q) & kCommentPlain)) ++q;
      if (q >= end || *q != '-') return false;
      if (end - q >= 2 && q[1] == '-') break;
      ++q;
    }
    if (end - q < 3 || q[2] != '>') return false;  // "--" only ends a comment
    Node* n = make(NodeType::Comment, at);
    if (!n) return false;
    n->text = store.copy(std::string_view(from, static_cast<std::size_t>(q - from)));
    linkLast(parent, n);
    p = q + 3;
    return true;
  }

  bool read() {
    Node* current = document;
    Node* textNode = nullptr;
    int depth = 0;
    bool rootDone = false;
    while (p < end) {
      if (*p != '<') {
        if (depth > 0) {
          if (!text(textNode, current)) return false;
          continue;
        }
        // Only white space stands around the root element.
        const char* from = p;
        if (!skipBlanks()) return false;
        if (!addText(textNode, document, std::string_view(from, static_cast<std::size_t>(p - from)), from))
          return false;
        continue;
      }
      textNode = nullptr;
      if (end - p < 2) return false;
      const char next = p[1];
      if (next == '/') {
        if (depth == 0) return false;
        p += 2;
        const std::string_view closing = name();
        if (closing != std::string_view(current->name)) return false;
        skipBlanks();
        if (p >= end || *p != '>') return false;
        ++p;
        current = current->parent;
        if (--depth == 0) rootDone = true;
      } else if (next == '!') {
        if (end - p < 4 || p[2] != '-' || p[3] != '-') return false;
        if (!comment(current)) return false;
      } else {
        if (rootDone) return false;
        if (!startTag(current, depth)) return false;
        if (depth == 0) rootDone = true;  // an empty root element
      }
    }
    return rootDone && depth == 0;
  }
};

// ---------------------------------------------------------------------------
// Parsing

struct ParseState {
  Document* doc = nullptr;
  Store* store = nullptr;
  XML_Parser parser = nullptr;
  std::string_view input;
  Node* current = nullptr;  // element (or the document node) receiving children
  int depth = 0;
  bool inDoctype = false;
  bool sawDeclaration = false;
  std::size_t made = 0;  // nodes made so far
  std::string failure;  // our own reason for stopping, when not expat's

  // Text chunks that follow each other (character data, CDATA sections, entity
  // text) become one text node: this one, until something else comes.
  Node* textNode = nullptr;
  std::string normalised;  // white space at top level with its line ends made LF

  // expat hands every attribute name from its own table, so the same name
  // comes at the same address: a small cache by address finds the shared copy.
  struct CachedName {
    const char* key = nullptr;
    Str name;
  };
  CachedName attrNames[256];

  // Lines are counted here rather than asked of expat for every node: expat
  // would walk the bytes once more, one character at a time.
  bool hasCarriageReturns = false;
  std::size_t lineCountedTo = 0;  // byte index up to which lines are counted
  int currentLine = 1;

  int line() {
    long index = XML_GetCurrentByteIndex(parser);
    if (index < 0 || static_cast<std::size_t>(index) > input.size())
      return static_cast<int>(XML_GetCurrentLineNumber(parser));
    std::size_t to = static_cast<std::size_t>(index);
    if (to < lineCountedTo) {  // never happens in one pass; start again to be safe
      lineCountedTo = 0;
      currentLine = 1;
    }
    const char* p = input.data();
    if (!hasCarriageReturns) {
      currentLine += static_cast<int>(std::count(p + lineCountedTo, p + to, '\n'));
    } else {
      // CR LF and a lone CR end a line as LF does.
      for (std::size_t i = lineCountedTo; i < to; ++i)
        if (p[i] == '\n' || (p[i] == '\r' && (i + 1 >= input.size() || p[i + 1] != '\n'))) ++currentLine;
    }
    lineCountedTo = to;
    return currentLine;
  }

  bool stopped() const { return !failure.empty(); }

  std::string& declaration() { return doc->declaration_; }

  void fail(const char* why) {
    if (!stopped()) {
      failure = why;
      XML_StopParser(parser, XML_FALSE);
    }
  }

  Node* make(NodeType type) {
    if (made >= kMaxNodes) {
      fail("too many nodes in the document");
      return nullptr;
    }
    ++made;
    Node* n = store->newNode(type);
    n->line = line();
    return n;
  }

  // Adds a chunk of text to the text node being gathered, or to a new one.
  void addText(std::string_view chunk) {
    if (!textNode) {
      Node* last = current->lastChild;
      if (last && last->type == NodeType::Text) {
        textNode = last;  // text after something that made no node continues the text before
      } else {
        textNode = make(NodeType::Text);
        if (!textNode) return;
        linkLast(current, textNode);
      }
    }
    store->extend(textNode->text, chunk);
  }

  void endText() { textNode = nullptr; }

  Str attributeName(const char* raw) {
    CachedName& c = attrNames[(reinterpret_cast<std::uintptr_t>(raw) >> 3) & 255];
    // The address is only a hint: the text must match as well.
    if (c.key == raw) {
      std::size_t i = 0;
      const std::size_t n = c.name.size();
      while (i < n && raw[i] == c.name[i]) ++i;
      if (i == n && raw[n] == '\0') return c.name;
    }
    c.key = raw;
    c.name = store->intern(raw);
    return c.name;
  }

  void startElement(const char* name, const char** atts) {
    endText();
    if (depth >= kMaxDepth) {
      fail("elements nested too deeply");
      return;
    }
    Node* n = make(NodeType::Element);
    if (!n) return;
    n->name = store->intern(name);
    std::size_t count = 0;
    while (atts[2 * count]) ++count;
    if (count > 0) {
      AttributeList& list = n->attributes;
      list.items_ = store->newAttributes(count);
      list.size_ = list.capacity_ = static_cast<std::uint32_t>(count);
      bool named = false;
      for (std::size_t i = 0; i < count; ++i) {
        Attribute& a = list.items_[i];
        a.name = attributeName(atts[2 * i]);
        a.value = store->copy(static_cast<const char*>(atts[2 * i + 1]));
        if (!named && isIdName(a.name)) {
          named = true;  // the first such attribute is the element's ID
          store->ids.try_emplace(toLowerAscii(a.value), n);
        }
      }
    }
    linkLast(current, n);
    current = n;
    ++depth;
  }
};

namespace {

ParseState& stateOf(void* user) { return *static_cast<ParseState*>(user); }

void XMLCALL onStart(void* user, const XML_Char* name, const XML_Char** atts) {
  ParseState& s = stateOf(user);
  if (!s.stopped()) s.startElement(name, atts);
}

void XMLCALL onEnd(void* user, const XML_Char*) {
  ParseState& s = stateOf(user);
  if (s.stopped()) return;
  s.endText();
  if (s.current->parent) s.current = s.current->parent;
  --s.depth;
}

void XMLCALL onText(void* user, const XML_Char* data, int len) {
  ParseState& s = stateOf(user);
  if (s.stopped() || len <= 0) return;
  s.addText(std::string_view(data, static_cast<std::size_t>(len)));
}

void XMLCALL onComment(void* user, const XML_Char* data) {
  ParseState& s = stateOf(user);
  if (s.stopped() || s.inDoctype) return;
  s.endText();
  Node* n = s.make(NodeType::Comment);
  if (!n) return;
  n->text = s.store->copy(static_cast<const char*>(data));
  linkLast(s.current, n);
}

void XMLCALL onProcessingInstruction(void* user, const XML_Char* target, const XML_Char* data) {
  ParseState& s = stateOf(user);
  if (s.stopped() || s.inDoctype) return;
  s.endText();
  Node* n = s.make(NodeType::ProcessingInstruction);
  if (!n) return;
  n->name = s.store->intern(target);
  n->text = s.store->copy(static_cast<const char*>(data));
  linkLast(s.current, n);
}

void XMLCALL onDeclaration(void* user, const XML_Char* version, const XML_Char* encoding,
                           int standalone) {
  ParseState& s = stateOf(user);
  if (s.stopped() || s.sawDeclaration || s.depth > 0) return;
  s.sawDeclaration = true;
  std::string& d = s.declaration();
  // Keep the text as written when it can be written back unchanged: the
  // output is always UTF-8.
  bool utf8 = !encoding || equalsIgnoreCase(encoding, "UTF-8");
  long index = XML_GetCurrentByteIndex(s.parser);
  int count = XML_GetCurrentByteCount(s.parser);
  if (utf8 && index >= 0 && count > 0 && static_cast<std::size_t>(index) + count <= s.input.size()) {
    std::string_view raw = s.input.substr(static_cast<std::size_t>(index), static_cast<std::size_t>(count));
    if (raw.substr(0, 5) == "<?xml") {
      d.clear();
      appendNormalised(d, raw);
      return;
    }
  }
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
  s.normalised.clear();
  appendNormalised(s.normalised, v);
  s.addText(s.normalised);
}

struct ParserHandle {
  XML_Parser p;
  ~ParserHandle() {
    if (p) XML_ParserFree(p);
  }
};

}  // namespace

bool Document::parse(std::string_view bytes, ParseError* error) { return parseAs(bytes, error, true); }

bool Document::parseWithExpat(std::string_view bytes, ParseError* error) { return parseAs(bytes, error, false); }

bool Document::parseAs(std::string_view bytes, ParseError* error, bool plainFirst) {
  reset();
  readPlainly_ = false;
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

  // Nodes, attributes and strings of a game file take five to nine times its
  // size: the first chunk holds most of a document, however large.
  const std::size_t firstChunk = std::max<std::size_t>(1024, bytes.size() * 6);
  if (plainFirst) {
    store_ = std::make_unique<Store>(firstChunk);
    document_ = store_->newNode(NodeType::Document);
    PlainReader reader(*store_, document_, bytes);
    if (reader.read()) {
      store_->idsValid = true;
      readPlainly_ = true;
      return true;
    }
  }
  store_ = std::make_unique<Store>(firstChunk);
  document_ = store_->newNode(NodeType::Document);

  ParseState state;
  state.doc = this;
  state.store = store_.get();
  state.parser = p;
  state.input = bytes;
  state.current = document_;
  state.hasCarriageReturns = bytes.find('\r') != std::string_view::npos;

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
  if (status == XML_STATUS_OK && !state.stopped()) {
    store_->idsValid = true;
    return true;
  }

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
  std::string bytes;
  std::string why;
  if (!files::readFile(path, bytes, kMaxDocumentBytes, &why)) {
    if (error) {
      error->line = 0;
      error->code = -1;
      error->message = std::move(why);
    }
    return false;
  }
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
