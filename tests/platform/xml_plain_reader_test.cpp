// The plain reader of Document::parse against expat alone (parseWithExpat):
// on every input, the same tree (nodes, names, text, attributes, lines, IDs)
// or the same error, whichever reader took the document.
#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "bench/level_file.h"
#include "platform/xml.h"

namespace zor::xml {
namespace {

// Where two trees differ (type, line, name, text, attributes, shape); empty when alike.
std::string difference(const Node* a, const Node* b) {
  const Node* top = a;
  for (;;) {
    if (!a || !b) return a == b ? "" : "one tree has more nodes";
    const std::string at = " at line " + std::to_string(a->line);
    if (a->type != b->type) return "type" + at;
    if (a->line != b->line) return "line " + std::to_string(a->line) + " vs " + std::to_string(b->line);
    if (a->name != b->name) return "name [" + a->name + "] vs [" + b->name + "]" + at;
    if (a->text != b->text) return "text [" + a->text + "] vs [" + b->text + "]" + at;
    if (a->attributes.size() != b->attributes.size()) return "attribute count" + at;
    for (std::size_t i = 0; i < a->attributes.size(); ++i) {
      const Attribute& x = a->attributes[i];
      const Attribute& y = b->attributes[i];
      if (x.name != y.name || x.value != y.value)
        return "attribute " + x.name + "=[" + x.value + "] vs " + y.name + "=[" + y.value + "]" + at;
    }
    if ((a->firstChild == nullptr) != (b->firstChild == nullptr)) return "children" + at;
    if (a->firstChild) {
      a = a->firstChild;
      b = b->firstChild;
      continue;
    }
    while (a != top && !a->next) {
      if (b->next) return "sibling count" + at;
      a = a->parent;
      b = b->parent;
    }
    if (a == top) return "";
    if (!b->next) return "sibling count" + at;
    a = a->next;
    b = b->next;
  }
}

// Every ID the reference document knows leads to the same element in both.
std::string idDifference(const Document& plain, const Document& reference) {
  std::vector<const Node*> a, b;
  auto collect = [](const Node* top, std::vector<const Node*>& out) {
    for (const Node* n = top; n;) {
      out.push_back(n);
      if (n->firstChild) {
        n = n->firstChild;
        continue;
      }
      while (n && n != top && !n->next) n = n->parent;
      n = n && n != top ? n->next : nullptr;
    }
  };
  collect(plain.documentNode(), a);
  collect(reference.documentNode(), b);
  if (a.size() != b.size()) return "node count";
  for (std::size_t i = 0; i < b.size(); ++i) {
    for (const Attribute& at : b[i]->attributes) {
      if (!equalsIgnoreCase(at.name, "id")) continue;
      const Node* inReference = reference.findById(at.value);
      const Node* inPlain = plain.findById(at.value);
      std::size_t k = 0, m = 0;
      while (k < b.size() && b[k] != inReference) ++k;
      while (m < a.size() && a[m] != inPlain) ++m;
      if (k != m) return "the ID " + at.value + " names another element";
    }
  }
  return "";
}

// Parses the text both ways; returns what differs, empty when nothing does.
std::string compareReaders(std::string_view text, bool* plainly = nullptr) {
  Document plain, reference;
  ParseError plainError, referenceError;
  const bool plainOk = plain.parse(text, &plainError);
  const bool referenceOk = reference.parseWithExpat(text, &referenceError);
  if (plainly) *plainly = plainOk && plain.readPlainly();
  if (plainOk != referenceOk) return plainOk ? "only the plain parse succeeded" : "only expat succeeded";
  if (!referenceOk) {
    if (plainError.line != referenceError.line || plainError.code != referenceError.code ||
        plainError.message != referenceError.message)
      return "errors differ: " + std::to_string(plainError.line) + " " + plainError.message + " vs " +
             std::to_string(referenceError.line) + " " + referenceError.message;
    return plain.documentNode()->firstChild ? "a failed parse left nodes" : "";
  }
  if (plain.declaration() != reference.declaration()) return "declaration";
  std::string d = difference(plain.documentNode(), reference.documentNode());
  if (d.empty()) d = idDifference(plain, reference);
  return d;
}

TEST(XmlPlainReader, CasesReadAsExpatReadsThem) {
  struct Case {
    const char* text;
    bool plain;  // taken by the plain reader (else left to expat)
  };
  const Case cases[] = {
      {"<a/>", true},
      {"<a></a>", true},
      {"\n  <a x=\"1\" y='2'>\n  <b/>text\n</a >\n\n", true},
      {"<a x = \"1\"\ty\n=\n'v'/>", true},
      {"<a x=\"tab\there\nnew line\"/>", true},
      {"<a x=\"&lt;&gt;&amp;&quot;&apos;&#65;&#x42;&#x4a;&#10;&#9;\"/>", true},
      {"<a>&lt;b&gt; &amp; &#65;&#x20;&#10;] ]] ]>x</a>", true},
      {"<a x='say \"hi\"' y=\"it's\"/>", true},
      {"<!-- before --><a><!-- in - side --></a><!---->\n<!-- after -->\n", true},
      {"<a><!-- a < & ] > comment --></a>", true},
      {"<a id=\"One\"><b ID=\"two\" id=\"three\"/><c iD=\"ONE\"/></a>", true},
      {"<a:b x:y=\"1\" _z.-9=\"2\"/>", true},
      {"<zone>\n\t<block x=\"1\"/>\n\t<block x=\"2\"></block>\n</zone>", true},
      {"<a x=\"\"/>", true},
      // Left to expat, which accepts them.
      {"<?xml version=\"1.0\"?><a/>", false},
      {"<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n<a>\xe9</a>", false},
      {"\xef\xbb\xbf<a/>", false},
      {"<a>\r\nline\rend</a>", false},
      {"<a x=\"\r\n\"/>", false},
      {"<a><![CDATA[<raw>]]></a>", false},
      {"<a><?pi data?></a>", false},
      {"<!DOCTYPE a><a/>", false},
      {"<a>caf\xc3\xa9</a>", false},
      {"<a x=\"&#233;\"/>", false},
      {"<a>&#13;</a>", false},
      {"<a>\x7f</a>", false},
      {"<!---x--><a/>", false},
      // Not well-formed: expat's error.
      {"", false},
      {"   ", false},
      {"<a>", false},
      {"<a></b>", false},
      {"<a></a><b/>", false},
      {"<a/>text", false},
      {"text<a/>", false},
      {"<a x=\"1\" x=\"2\"/>", false},
      {"<a x=\"1\"y=\"2\"/>", false},
      {"<a x=1/>", false},
      {"<a x/>", false},
      {"<a x=\"<\"/>", false},
      {"<a x=\"&\"/>", false},
      {"<a x=\"&foo;\"/>", false},
      {"<a>&#0;</a>", false},
      {"<a>&#x110000;</a>", false},
      {"<a>&#;</a>", false},
      {"<a>]]></a>", false},
      {"<a>\x01</a>", false},
      {"<a><!-- a -- b --></a>", false},
      {"<a><!-- a ---></a>", false},
      {"<a><!-- open</a>", false},
      {"< a/>", false},
      {"<1a/>", false},
      {"<a / >", false},
      {"<a>\n<b>\n</a>", false},
      {"<a></a", false},
      {"<a x=\"1></a>", false},
      {"<!ENTITY x \"y\"><a/>", false},
      {"<!DOCTYPE a [<!ENTITY e \"x\">]><a>&e;</a>", false},
  };
  for (const Case& c : cases) {
    bool plainly = false;
    EXPECT_EQ(compareReaders(c.text, &plainly), "") << c.text;
    EXPECT_EQ(plainly, c.plain) << c.text;
  }
}

TEST(XmlPlainReader, LimitsAreReachedAsWithExpat) {
  std::string deep;
  for (int i = 0; i < kMaxDepth + 1; ++i) deep += "<d>";
  for (int i = 0; i < kMaxDepth + 1; ++i) deep += "</d>";
  EXPECT_EQ(compareReaders(deep), "");
  std::string shallow;
  for (int i = 0; i < kMaxDepth - 1; ++i) shallow += "<d>";
  shallow += "<e/>";
  for (int i = 0; i < kMaxDepth - 1; ++i) shallow += "</d>";
  bool plainly = false;
  EXPECT_EQ(compareReaders(shallow, &plainly), "");
  EXPECT_TRUE(plainly);
}

TEST(XmlPlainReader, GameFilesAreReadPlainlyAndAlike) {
  bool plainly = false;
  EXPECT_EQ(compareReaders(bench::levelGameFile(500, 7), &plainly), "");
  EXPECT_TRUE(plainly);
  std::ifstream in(std::string(ZOR_SOURCE_DIR) + "/assets/builtin/game.xml", std::ios::binary);
  const std::string builtin((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  ASSERT_FALSE(builtin.empty());
  EXPECT_EQ(compareReaders(builtin, &plainly), "");
  EXPECT_TRUE(plainly);
}

// Documents made from pieces that stand at the edges of what the plain reader
// takes, and game files with bytes changed, dropped and put in: whatever the
// reader does with them, the result is expat's.
TEST(XmlPlainReader, RandomDocumentsReadAsExpatReadsThem) {
  std::mt19937 random(20261211u);
  auto pick = [&random](std::size_t n) { return static_cast<std::size_t>(random() % n); };
  static const char* const kPieces[] = {
      "<a>", "</a>", "<b x=\"1\">", "</b>", "<c/>", "<d y='2' z=\"3\"/>", "text", " ", "\n", "\t", "&amp;",
      "&lt;", "&#65;", "&#x7e;", "&#10;", "&bad;", "&", "<", ">", "]]>", "]", "\r", "\r\n", "<!-- c -->",
      "<!--", "-->", "--", "<?p d?>", "<![CDATA[x]]>", "\"", "'", "=", "\xc3\xa9", "\x01", "<a id=\"K\">",
      "<e ID='k' id='j'/>", "<f a=\"&quot;&#9;\n\"/>", "<g\n h\t=\n\"i\"\n/>",
  };
  for (int round = 0; round < 3000; ++round) {
    std::string text = "<r>";
    const std::size_t pieces = 1 + pick(12);
    for (std::size_t k = 0; k < pieces; ++k) text += kPieces[pick(std::size(kPieces))];
    text += "</r>";
    if (pick(4) == 0) text = "\n " + text + "\n";
    ASSERT_EQ(compareReaders(text), "") << text;
  }
  const std::string game = bench::levelGameFile(40, 3);
  static const char kBytes[] = "<>/=\"'&;#x- \n\t\r]!?abAB01\x80\x7f";
  int plainlyRead = 0;
  for (int round = 0; round < 1500; ++round) {
    std::string text = game;
    const std::size_t edits = 1 + pick(3);
    for (std::size_t k = 0; k < edits; ++k) {
      const std::size_t at = pick(text.size());
      switch (pick(3)) {
        case 0: text[at] = kBytes[pick(sizeof kBytes - 1)]; break;
        case 1: text.erase(at, 1 + pick(3)); break;
        default: text.insert(at, 1, kBytes[pick(sizeof kBytes - 1)]); break;
      }
    }
    bool plainly = false;
    ASSERT_EQ(compareReaders(text, &plainly), "") << text;
    plainlyRead += plainly ? 1 : 0;
  }
  EXPECT_GT(plainlyRead, 100);  // the changed files still exercise the plain reader
}

}  // namespace
}  // namespace zor::xml
