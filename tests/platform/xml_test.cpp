#include "platform/xml.h"

#include <expat.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace zor::xml {
namespace {

namespace fs = std::filesystem;

Document parseOk(std::string_view text) {
  Document doc;
  ParseError err;
  EXPECT_TRUE(doc.parse(text, &err)) << "line " << err.line << ": " << err.message;
  return doc;
}

// Compares two trees node by node (type, name, attributes in order, text);
// returns an empty string when equal, else where they differ.
std::string treeDifference(const Node* a, const Node* b) {
  const Node* ra = a;
  while (a || b) {
    if (!a || !b) return "one tree has more nodes";
    if (a->type != b->type) return "type differs at line " + std::to_string(a->line);
    if (a->name != b->name) return "name " + a->name + " vs " + b->name;
    if (a->text != b->text) return "text [" + a->text + "] vs [" + b->text + "]";
    if (a->attributes.size() != b->attributes.size()) return "attribute count of " + a->name;
    for (std::size_t i = 0; i < a->attributes.size(); ++i) {
      if (a->attributes[i].name != b->attributes[i].name ||
          a->attributes[i].value != b->attributes[i].value)
        return "attribute " + a->attributes[i].name + " of " + a->name;
    }
    if ((a->firstChild == nullptr) != (b->firstChild == nullptr)) return "children of " + a->name;
    if (a->firstChild) {
      a = a->firstChild;
      b = b->firstChild;
      continue;
    }
    while (a && a != ra && !a->next) {
      if (b->next) return "sibling count under " + a->parent->name;
      a = a->parent;
      b = b->parent;
    }
    if (!a || a == ra) break;
    if (!b->next) return "sibling count under " + a->parent->name;
    a = a->next;
    b = b->next;
  }
  return "";
}

std::vector<std::string> attributeNames(const Node* n) {
  std::vector<std::string> out;
  for (const Attribute& a : n->attributes) out.push_back(a.name);
  return out;
}

// ---------------------------------------------------------------------------
// Lookups

TEST(XmlLookup, AttributesKeepDocumentOrderAndTellAbsentFromEmpty) {
  Document doc = parseOk(R"(<a z="1" b="" A="2" y="three"/>)");
  const Node* a = doc.root();
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(attributeNames(a), (std::vector<std::string>{"z", "b", "A", "y"}));

  struct Case {
    const char* name;
    bool present;
    const char* value;
  };
  const Case cases[] = {
      {"z", true, "1"},  {"b", true, ""},   {"A", true, "2"},   {"a", false, ""},
      {"y", true, "three"}, {"Y", false, ""}, {"c", false, ""}, {"", false, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(a->hasAttr(c.name), c.present);
    EXPECT_EQ(a->attr(c.name), c.value);
    EXPECT_EQ(a->findAttr(c.name) != nullptr, c.present);
  }
}

constexpr const char* kIdDoc =
    "<zorlan version=\"1\">\n"           // 1
    "  <sub id=\"Intro\"/>\n"            // 2
    "  <zone id=\"intro\">\n"            // 3
    "    <block ID=\"Door\"/>\n"         // 4
    "    <block Id=\"door\"/>\n"         // 5
    "  </zone>\n"                        // 6
    "  <zone id=\"cave\"><levels><level iD=\"deep\"/></levels></zone>\n"  // 7
    "  <x idx=\"lost\" xid=\"lost\" Id=\"\"/>\n"  // 8
    "  <y id=\"first\" ID=\"second\"/>\n"  // 9
    "</zorlan>\n";

TEST(XmlLookup, FindByIdIgnoresCaseAndTakesTheFirstInDocumentOrder) {
  Document doc = parseOk(kIdDoc);
  struct Case {
    const char* id;
    const char* name;  // expected element name, null when none
    int line;
  };
  const Case cases[] = {
      {"intro", "sub", 2},   // a sub and a zone whose ids differ only in case: the first wins
      {"INTRO", "sub", 2},
      {"door", "block", 4},  // attribute named "ID"
      {"DOOR", "block", 4},
      {"Cave", "zone", 7},
      {"deep", "level", 7},  // nested anywhere in the document
      {"lost", nullptr, 0},  // attributes that only contain "id" do not count
      {"first", "y", 9},
      {"second", nullptr, 0},  // the first id-named attribute is the element's ID
      {"", "x", 8},
      {"nowhere", nullptr, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    const Node* n = doc.findById(c.id);
    if (!c.name) {
      EXPECT_EQ(n, nullptr);
      continue;
    }
    ASSERT_NE(n, nullptr);
    EXPECT_EQ(n->name, c.name);
    EXPECT_EQ(n->line, c.line);
  }
}

TEST(XmlLookup, FindByIdFollowsEditsOfTheTree) {
  Document doc = parseOk(kIdDoc);
  Node* root = doc.root();
  Node* sub = doc.findById("intro");
  ASSERT_NE(sub, nullptr);
  EXPECT_EQ(sub->name, "sub");

  struct Step {
    const char* what;
    void (*edit)(Document&);
    const char* id;
    const char* name;  // element expected, null for none
  };
  const Step steps[] = {
      {"an ID given to an earlier element", [](Document& d) { d.root()->setAttr("ID", "Cave"); }, "cave", "zorlan"},
      {"that ID taken away again", [](Document& d) { d.root()->removeAttr("ID"); }, "cave", "zone"},
      {"the first of two unlinked", [](Document& d) { Document::unlink(d.findById("intro")); }, "intro", "zone"},
      {"the other removed", [](Document& d) { d.removeNode(d.findById("intro")); }, "intro", nullptr},
      {"a new element linked",
       [](Document& d) {
         Node* n = d.createElement("sub");
         n->setAttr("id", "Intro");
         Document::appendChild(d.root(), n);
       },
       "INTRO", "sub"},
      {"an element moved before another with its ID",
       [](Document& d) {
         Node* copy = d.copyNode(d.findById("deep"));
         copy->setName("copy");
         Document::insertBefore(d.root(), copy, d.root()->firstChild);
       },
       "deep", "copy"},
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(step.what);
    step.edit(doc);
    const Node* n = doc.findById(step.id);
    if (!step.name) {
      EXPECT_EQ(n, nullptr);
      continue;
    }
    ASSERT_NE(n, nullptr);
    EXPECT_EQ(n->name, step.name);
  }
  EXPECT_EQ(root, doc.root());
}

TEST(XmlLookup, ChildByPathTakesTheFirstExactMatchAtEachStep) {
  Document doc = parseOk(
      "<zorlan>\n"
      "  <!-- levels -->\n"
      "  <zone id=\"a\"><start/><levels><level z=\"1\"/><level z=\"2\"/></levels></zone>\n"
      "  <zone id=\"b\"><levels><level z=\"3\"/></levels></zone>\n"
      "</zorlan>\n");
  const Node* root = doc.root();
  ASSERT_NE(root, nullptr);
  struct Case {
    const Node* from;
    const char* path;
    const char* attrName;
    const char* attrValue;  // null: no node expected
  };
  const Case cases[] = {
      {root, "zone", "id", "a"},
      {root, "zone/levels/level", "z", "1"},
      {doc.documentNode(), "zorlan/zone", "id", "a"},
      {root->firstElement(), "levels/level", "z", "1"},
      {root, "zone/start", "", ""},
      {root, "Zone", nullptr, nullptr},          // names are exact
      {root, "zone/levels/level/x", nullptr, nullptr},
      {root, "zone//levels", nullptr, nullptr},  // empty step
      {root, "zone/", nullptr, nullptr},
      {root, "", nullptr, nullptr},
      {root, "comment", nullptr, nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    const Node* n = c.from->childByPath(c.path);
    if (!c.attrValue) {
      EXPECT_EQ(n, nullptr);
      continue;
    }
    ASSERT_NE(n, nullptr);
    EXPECT_EQ(n->attr(c.attrName), c.attrValue);
  }
}

TEST(XmlLookup, CommentsWhitespaceAndLinesAreKept) {
  const char* text =
      "<a>\n"                   // 1
      "  <!-- note -->\n"       // 2
      "  <b>x &amp; y</b>\n"    // 3
      "  <c><![CDATA[<raw>]]>tail</c>\n"  // 4
      "</a>\n";                 // 5
  Document doc = parseOk(text);
  const Node* a = doc.root();
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(a->line, 1);
  EXPECT_EQ(a->childCount(), 7);  // ws, comment, ws, b, ws, c, ws

  struct Expect {
    NodeType type;
    const char* nameOrText;
    int line;
  };
  const Expect expected[] = {
      {NodeType::Text, "\n  ", 1},      {NodeType::Comment, " note ", 2},
      {NodeType::Text, "\n  ", 2},      {NodeType::Element, "b", 3},
      {NodeType::Text, "\n  ", 3},      {NodeType::Element, "c", 4},
      {NodeType::Text, "\n", 4},
  };
  const Node* n = a->firstChild;
  for (const Expect& e : expected) {
    ASSERT_NE(n, nullptr);
    EXPECT_EQ(n->type, e.type);
    EXPECT_EQ(n->type == NodeType::Element ? n->name : n->text, e.nameOrText);
    EXPECT_EQ(n->line, e.line);
    EXPECT_EQ(n->parent, a);
    n = n->next;
  }
  EXPECT_EQ(n, nullptr);
  EXPECT_EQ(a->lastChild->prev->name, "c");

  // A CDATA section and the text after it are one text node.
  const Node* c = a->childByPath("c");
  ASSERT_NE(c, nullptr);
  EXPECT_EQ(c->childCount(), 1);
  EXPECT_EQ(c->firstChild->text, "<raw>tail");
  EXPECT_EQ(a->innerText(), "\n  \n  x & y\n  <raw>tail\n");
  EXPECT_EQ(a->firstElement()->name, "b");
  EXPECT_EQ(a->firstElement()->nextElement()->name, "c");
  EXPECT_EQ(a->firstElement()->nextElement()->nextElement(), nullptr);

  // Whitespace and comments around the root belong to the document node.
  Document outer = parseOk("<!-- top -->\n<r/>\n");
  EXPECT_EQ(outer.documentNode()->childCount(), 4);
  EXPECT_EQ(outer.root()->name, "r");
  EXPECT_EQ(outer.serialize(), "<!-- top -->\n<r/>\n");
}

TEST(XmlLookup, CaseHelpers) {
  EXPECT_EQ(toLowerAscii("ZoNe_1\xc3\x89"), "zone_1\xc3\x89");  // other bytes untouched
  EXPECT_TRUE(equalsIgnoreCase("ID", "id"));
  EXPECT_TRUE(equalsIgnoreCase("", ""));
  EXPECT_FALSE(equalsIgnoreCase("id", "idx"));
  EXPECT_FALSE(equalsIgnoreCase("\xc3\x89", "\xc3\xa9"));  // only ASCII letters fold
}

// ---------------------------------------------------------------------------
// Errors

std::string numberedLines(int count) {
  std::string s = "<zorlan version=\"1\">\n";
  for (int i = 2; i <= count; ++i) s += "  <!-- line " + std::to_string(i) + " -->\n";
  return s;
}

TEST(XmlErrors, ReportExpatLineCodeAndTextAndLeaveTheDocumentEmpty) {
  struct Case {
    const char* what;
    std::string text;
    int line;
    int code;
  };
  const Case cases[] = {
      {"unclosed zone on line 11 meets the root's end tag on line 12",
       numberedLines(10) + "  <zone>\n</zorlan>\n", 12, XML_ERROR_TAG_MISMATCH},
      {"unquoted attribute", numberedLines(11) + "  <block x=1/>\n</zorlan>\n", 12,
       XML_ERROR_INVALID_TOKEN},
      {"duplicate attribute", numberedLines(4) + "<b x=\"1\" x=\"2\"/></zorlan>", 5,
       XML_ERROR_DUPLICATE_ATTRIBUTE},
      {"bare ampersand", "<a>\n\n x & y</a>", 3, XML_ERROR_INVALID_TOKEN},
      {"undefined entity", "<a>\n&nope;</a>", 2, XML_ERROR_UNDEFINED_ENTITY},
      {"second root", "<a/>\n<b/>", 2, XML_ERROR_JUNK_AFTER_DOC_ELEMENT},
      {"end of input inside the root", "<a>\n<b/>\n", 3, XML_ERROR_NO_ELEMENTS},
      {"empty input", "", 1, XML_ERROR_NO_ELEMENTS},
      {"comment with a double dash", "<a><!-- x -- y --></a>", 1, XML_ERROR_INVALID_TOKEN},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Document doc = parseOk("<old/>");
    ParseError err;
    EXPECT_FALSE(doc.parse(c.text, &err));
    EXPECT_EQ(err.line, c.line);
    EXPECT_EQ(err.code, c.code);
    EXPECT_EQ(err.message, XML_ErrorString(static_cast<XML_Error>(c.code)));
    ASSERT_NE(doc.documentNode(), nullptr);
    EXPECT_EQ(doc.documentNode()->firstChild, nullptr);
    EXPECT_EQ(doc.root(), nullptr);
    EXPECT_EQ(doc.serialize(), "");
  }
}

TEST(XmlErrors, EntityDeclarationsAreRefused) {
  // The classic entity blow-up, and a plain internal entity: both are refused.
  std::string laughs = "<?xml version=\"1.0\"?>\n<!DOCTYPE lolz [\n <!ENTITY lol \"lol\">\n";
  for (int i = 1; i < 10; ++i) {
    laughs += " <!ENTITY lol" + std::to_string(i) + " \"";
    for (int k = 0; k < 10; ++k) laughs += "&lol" + (i == 1 ? std::string() : std::to_string(i - 1)) + ";";
    laughs += "\">\n";
  }
  laughs += "]>\n<lolz>&lol9;</lolz>\n";
  const std::string cases[] = {
      laughs,
      "<!DOCTYPE a [\n\n<!ENTITY e \"x\">\n]><a>&e;</a>",
      "<!DOCTYPE a [\n\n<!ENTITY e SYSTEM \"/etc/passwd\">\n]><a>&e;</a>",
  };
  for (const std::string& text : cases) {
    Document doc;
    ParseError err;
    EXPECT_FALSE(doc.parse(text, &err));
    EXPECT_EQ(err.line, 3);  // the first declaration
    EXPECT_NE(err.message.find("entity"), std::string::npos) << err.message;
    EXPECT_EQ(doc.root(), nullptr);
  }
}

TEST(XmlErrors, ExternalDtdIsNotRead) {
  Document doc = parseOk("<!DOCTYPE a SYSTEM \"/etc/passwd\">\n<a/>");
  EXPECT_EQ(doc.serialize(), "\n<a/>");
}

TEST(XmlErrors, DeepNestingIsBoundedAndHandledWithoutRecursion) {
  auto nested = [](int depth) {
    std::string s;
    for (int i = 0; i < depth; ++i) s += "<d>";
    s += "x";
    for (int i = 0; i < depth; ++i) s += "</d>";
    return s;
  };
  {
    Document doc = parseOk(nested(kMaxDepth));
    std::string text = nested(kMaxDepth);
    EXPECT_EQ(doc.serialize(), text);
    EXPECT_EQ(doc.root()->innerText(), "x");
    EXPECT_EQ(doc.findById("none"), nullptr);
    Document copy = parseOk(doc.serialize());
    EXPECT_EQ(treeDifference(doc.documentNode(), copy.documentNode()), "");
  }
  Document doc;
  ParseError err;
  EXPECT_FALSE(doc.parse(nested(kMaxDepth + 1), &err));
  EXPECT_EQ(err.line, 1);
  EXPECT_NE(err.message.find("nested too deeply"), std::string::npos) << err.message;
  EXPECT_EQ(doc.root(), nullptr);
}

class XmlFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("zor_xml_test_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "_" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::create_directories(dir_);
  }
  void TearDown() override {
    std::error_code ec;
    fs::remove_all(dir_, ec);
  }
  fs::path dir_;
};

TEST_F(XmlFiles, LoadReadsAFileAndReportsUnreadableOnes) {
  fs::path good = dir_ / "game.zorlan";
  std::ofstream(good, std::ios::binary) << "<zorlan version=\"1\">\r\n  <zone id=\"z\"/>\r\n</zorlan>\r\n";
  Document doc;
  ParseError err;
  ASSERT_TRUE(doc.load(good.string(), &err)) << err.message;
  EXPECT_EQ(doc.findById("Z")->line, 2);
  EXPECT_EQ(doc.serialize(), "<zorlan version=\"1\">\n  <zone id=\"z\"/>\n</zorlan>\n");

  fs::path bad = dir_ / "bad.zorlan";
  std::ofstream(bad, std::ios::binary) << "<zorlan>\n<zone>\n</zorlan>\n";
  EXPECT_FALSE(doc.load(bad.string(), &err));
  EXPECT_EQ(err.line, 3);
  EXPECT_EQ(err.code, XML_ERROR_TAG_MISMATCH);

  fs::path big = dir_ / "big.zorlan";
  {
    std::ofstream(big, std::ios::binary) << "<a>";
  }
  fs::resize_file(big, kMaxDocumentBytes + 1);  // sparse: cheap to make
  const fs::path unreadable[] = {dir_ / "missing.zorlan", dir_, big};
  for (const fs::path& p : unreadable) {
    SCOPED_TRACE(p.string());
    Document d = parseOk("<old/>");
    err = ParseError{};
    EXPECT_FALSE(d.load(p.string(), &err));
    EXPECT_EQ(err.line, 0);
    EXPECT_EQ(err.code, -1);
    EXPECT_NE(err.message.find(p.string()), std::string::npos) << err.message;
    EXPECT_EQ(d.root(), nullptr);
  }
  EXPECT_FALSE(doc.load(big.string(), &err));
  EXPECT_NE(err.message.find("64 MiB"), std::string::npos) << err.message;
}

// ---------------------------------------------------------------------------
// Writing

TEST(XmlWrite, EscapesSoThatEveryValueRoundTrips) {
  Document doc;
  Node* root = doc.createElement("zorlan");
  Document::appendChild(doc.documentNode(), root);
  Node* s = doc.createElement("sub");
  Document::appendChild(root, s);
  s->setAttr("text", "a&b <c> \"q\" 'p'\nline2\ttab\rcr  two  blanks");
  s->setAttr("empty", "");
  Document::appendChild(s, doc.createText("x < y && z > w\r\n]]> \t end"));
  Document::appendChild(s, doc.createComment(" a -- b -"));
  Document::appendChild(root, doc.createText("\xc3\xa9\xe2\x82\xac"));

  const std::string text = doc.serialize();
  EXPECT_EQ(text,
            "<zorlan><sub text=\"a&amp;b &lt;c&gt; &quot;q&quot; 'p'&#10;line2&#9;tab&#13;cr  two  "
            "blanks\" empty=\"\">x &lt; y &amp;&amp; z &gt; w&#13;\n]]&gt; \t end"
            "<!-- a - - b - --></sub>\xc3\xa9\xe2\x82\xac</zorlan>");

  Document back = parseOk(text);
  const Node* b = back.root()->firstElement();
  EXPECT_EQ(b->attr("text"), s->attr("text"));
  EXPECT_TRUE(b->hasAttr("empty"));
  EXPECT_EQ(b->firstChild->text, s->firstChild->text);
  EXPECT_EQ(back.serialize(), text);
}

TEST(XmlWrite, ParsedDocumentsRoundTrip) {
  const char* docs[] = {
      ("<zorlan version=\"1\" gtitle=\"T &amp; U\">\n  <!-- c -->\n  <zone id=\"a\"\n"
       "    track=\"\"><block x=\"1\" y='2'/>\n  text &lt;here&gt;</zone>\n</zorlan>\n"),
      "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n<a b=\"&#10;&#9;&#13;&#x41;\"><![CDATA[&<>]]></a>",
      "<!-- before --><a><b><c/></b><b/>tail</a><!-- after -->\n\n",
      "<a x=\"line&#10;break\">\xe2\x82\xac&#x20AC;<?pi skipped?>next</a>",
  };
  for (const char* text : docs) {
    SCOPED_TRACE(text);
    Document first = parseOk(text);
    Document second = parseOk(first.serialize());
    EXPECT_EQ(treeDifference(first.documentNode(), second.documentNode()), "");
    EXPECT_EQ(second.serialize(), first.serialize());
    EXPECT_EQ(second.declaration(), first.declaration());
  }
}

TEST(XmlWrite, DeclarationIsWrittenOnlyWhenParsed) {
  struct Case {
    const char* in;
    const char* out;
  };
  const Case cases[] = {
      {"<a/>", "<a/>"},
      {"<?xml version='1.0' standalone='yes'?>\n<a/>", "<?xml version='1.0' standalone='yes'?>\n<a/>"},
      {"\xef\xbb\xbf<?xml version=\"1.0\"?><a/>", "<?xml version=\"1.0\"?><a/>"},  // no byte-order mark
      // The output is UTF-8 whatever the input was, and says so.
      {"<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n<a>\xe9</a>",
       "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<a>\xc3\xa9</a>"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.in);
    Document doc = parseOk(c.in);
    EXPECT_EQ(doc.serialize(), c.out);
  }
  Document made;
  Document::appendChild(made.documentNode(), made.createElement("zorlan"));
  EXPECT_EQ(made.serialize(), "<zorlan/>");
}

TEST(XmlWrite, SerializeNodeWritesOneSubtree) {
  Document doc = parseOk("<a><b k=\"v\"><c/>t</b><d/></a>");
  const Node* b = doc.root()->firstElement();
  EXPECT_EQ(Document::serializeNode(b), "<b k=\"v\"><c/>t</b>");
  EXPECT_EQ(Document::serializeNode(b->firstChild), "<c/>");
  EXPECT_EQ(Document::serializeNode(b->lastChild), "t");
  EXPECT_EQ(Document::serializeNode(nullptr), "");
}

// ---------------------------------------------------------------------------
// Editing

TEST(XmlEdit, MutationsThenSerialize) {
  Document doc = parseOk("<zorlan version=\"2\" gtitle=\"x\" gauthor=\"\">\n  <zone id=\"a\"/>\n</zorlan>");
  Node* root = doc.root();
  root->setAttr("version", "1");  // replaced in place
  root->setAttr("gdesc", "d");    // appended
  EXPECT_TRUE(root->removeAttr("gauthor"));
  EXPECT_FALSE(root->removeAttr("gauthor"));
  EXPECT_EQ(attributeNames(root), (std::vector<std::string>{"version", "gtitle", "gdesc"}));

  Node* zoneA = root->childByPath("zone");
  Node* zoneB = doc.createElement("zone");
  zoneB->setAttr("id", "b");
  EXPECT_EQ(zoneB->line, 0);
  Document::insertBefore(root, zoneB, zoneA);
  Node* cls = doc.createElement("class");
  Document::insertBefore(root, cls, nullptr);  // appends
  Document::appendChild(cls, doc.createComment("new"));
  EXPECT_EQ(doc.serialize(),
            "<zorlan version=\"1\" gtitle=\"x\" gdesc=\"d\">\n  <zone id=\"b\"/><zone id=\"a\"/>\n"
            "<class><!--new--></class></zorlan>");
  EXPECT_EQ(doc.findById("B"), zoneB);

  // Moving a linked node unlinks it first.
  Document::appendChild(cls, zoneA);
  EXPECT_EQ(zoneA->parent, cls);
  EXPECT_EQ(root->childCount(), 4);
  EXPECT_EQ(doc.serialize(),
            "<zorlan version=\"1\" gtitle=\"x\" gdesc=\"d\">\n  <zone id=\"b\"/>\n"
            "<class><!--new--><zone id=\"a\"/></class></zorlan>");

  // Unlinked nodes are gone from the tree but stay valid.
  Document::unlink(zoneB);
  EXPECT_EQ(zoneB->parent, nullptr);
  EXPECT_EQ(zoneB->next, nullptr);
  EXPECT_EQ(root->firstChild->type, NodeType::Text);
  EXPECT_EQ(doc.findById("b"), nullptr);
  EXPECT_EQ(zoneB->attr("id"), "b");
  Document::unlink(zoneB);  // already unlinked: nothing happens
  Document::unlink(cls->lastChild);
  Document::unlink(root->firstChild);
  Document::unlink(root->firstChild);
  EXPECT_EQ(doc.serialize(), "<zorlan version=\"1\" gtitle=\"x\" gdesc=\"d\"><class><!--new--></class></zorlan>");
  EXPECT_EQ(root->firstChild, cls);
  EXPECT_EQ(root->lastChild, cls);
  EXPECT_EQ(cls->prev, nullptr);
}

TEST(XmlEdit, LinksThatWouldBreakTheTreeAreRefused) {
  Document doc = parseOk("<a><b><c/></b><x/></a>");
  Node* a = doc.root();
  Node* b = a->firstElement();
  Node* c = b->firstElement();
  Node* x = b->nextElement();
  const std::string before = doc.serialize();

  Document::appendChild(c, a);                 // below itself
  Document::appendChild(b, b);                 // into itself
  Document::insertBefore(a, c, c);             // before itself
  Document::insertBefore(b, x, a);             // "before" is not a child of the parent
  Document::appendChild(c, doc.documentNode());  // the document node
  Document::appendChild(c->firstChild, x);     // null parent
  Document::appendChild(a, nullptr);
  Node* t = doc.createText("t");
  Document::appendChild(t, x);                 // a text node has no children
  EXPECT_EQ(doc.serialize(), before);
  EXPECT_EQ(x->parent, a);
}

TEST(XmlEdit, MovingADocumentKeepsItsNodes) {
  Document doc = parseOk("<?xml version=\"1.0\"?><a><b id=\"k\"/></a>");
  Node* b = doc.findById("k");
  Document moved(std::move(doc));
  EXPECT_EQ(moved.findById("K"), b);
  EXPECT_EQ(moved.serialize(), "<?xml version=\"1.0\"?><a><b id=\"k\"/></a>");
  EXPECT_EQ(doc.root(), nullptr);
  EXPECT_EQ(doc.findById("k"), nullptr);
  EXPECT_EQ(doc.serialize(), "");

  Document other = parseOk("<z/>");
  other = std::move(moved);
  EXPECT_EQ(other.findById("k"), b);
  EXPECT_EQ(b->parent->name, "a");

  // A moved-from document can be used again.
  EXPECT_TRUE(doc.parse("<again/>", nullptr));
  EXPECT_EQ(doc.root()->name, "again");
}

}  // namespace
}  // namespace zor::xml

namespace zor::xml {
namespace {

// ---------------------------------------------------------------------------
// Round trips

TEST(XmlRoundTrip, DocumentsInOurFormsAreWrittenBackByteForByte) {
  const char* docs[] = {
      // A game file as the editor writes it.
      "<zorlan version=\"1\" gtitle=\"Caves &amp; Cliffs\" gdesc=\"one&#10;two\">\n"
      "  <!-- Enemies -->\n"
      "  <class name=\"walker\" acc=\"0.2,6\" flg=\"dynamic,deadly\"/>\n"
      "\n"
      "  <zone id=\"intro\" name=\"\xc3\x89t\xc3\xa9\" track=\"\">\n"
      "    <levels><level z=\"0\" color=\"9EC8F0\"/></levels>\n"
      "    <block x=\"-10\" y=\"0\" w=\"20\" h=\"20\" flg=\"solid\">\n"
      "      <standon times=\"1\"><wordbox text=\"a &lt;b&gt; &quot;c&quot; 'd'&#9;e&#13;\"/></standon>\n"
      "    </block>\n"
      "    <?editor keep this?>\n"
      "    <area xlim=\"0,10\" ylim=\"0,10\"><enter>x &lt; y &amp;&amp; y &gt; z</enter></area>\n"
      "  </zone>\n"
      "</zorlan>\n",
      // Declaration, instructions and comments around the root.
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<?style a=\"b\"?>\n<!-- top -->\n<a/>\n<!-- end --><?tail?>",
      "<a>\t<b/>\n\n</a>",
  };
  for (const char* text : docs) {
    SCOPED_TRACE(text);
    Document doc = parseOk(text);
    EXPECT_EQ(doc.serialize(), text);
    std::string written;
    std::string why;
    EXPECT_TRUE(doc.write(written, &why)) << why;
    EXPECT_EQ(written, text);
  }
}

TEST(XmlRoundTrip, TheGamesOwnFilesAreWrittenBackByteForByte) {
  const std::string files[] = {
      ZOR_FIXTURES "/../../assets/builtin/game.xml",
      ZOR_FIXTURES "/gamefiles/castle.zorlan",
      ZOR_FIXTURES "/zones/persist.xml",
  };
  for (const std::string& path : files) {
    SCOPED_TRACE(path);
    std::ifstream in(path, std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(in), {}};
    ASSERT_FALSE(bytes.empty());
    Document doc = parseOk(bytes);
    EXPECT_TRUE(doc.serialize() == bytes);
  }
}

TEST(XmlRoundTrip, OtherFormsAreNormalisedOnceAndThenKept) {
  struct Case {
    const char* what;
    const char* in;
    const char* out;
  };
  const Case cases[] = {
      {"single quotes", "<a b='1' c='say \"hi\"'/>", "<a b=\"1\" c=\"say &quot;hi&quot;\"/>"},
      {"space in tags", "<a  b=\"1\"\n   c=\"2\" ><d /></a >", "<a b=\"1\" c=\"2\"><d/></a>"},
      {"empty element with end tag", "<a><b></b></a>", "<a><b/></a>"},
      {"CR LF and lone CR", "<a>\r\n<b/>\r<c/>\r\n</a>\r\n", "<a>\n<b/>\n<c/>\n</a>\n"},
      {"character references", "<a v=\"&#65;&#x42;&apos;\">&#67;&apos;&quot;&#x20AC;</a>",
       "<a v=\"AB'\">C'\"\xe2\x82\xac</a>"},
      {"raw > in text", "<a>x > y</a>", "<a>x &gt; y</a>"},
      {"raw white space in a value", "<a v=\"1\n2\t3\"/>", "<a v=\"1 2 3\"/>"},
      {"CDATA", "<a><![CDATA[<b>&</b>]]></a>", "<a>&lt;b&gt;&amp;&lt;/b&gt;</a>"},
      {"instruction spacing", "<a><?pi    data  here?><?empty ?></a>", "<a><?pi data  here?><?empty?></a>"},
      {"byte-order mark", "\xef\xbb\xbf<a/>", "<a/>"},
      {"document type", "<!DOCTYPE a>\n<a/>", "\n<a/>"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Document doc = parseOk(c.in);
    EXPECT_EQ(doc.serialize(), c.out);
    Document again = parseOk(doc.serialize());
    EXPECT_EQ(again.serialize(), c.out);
  }
}

TEST(XmlRoundTrip, ProcessingInstructionsSurviveWhereTheyStood) {
  Document doc = parseOk("<?a one?>\n<r>x<?b two  words?>y<c><?d?></c></r><?e three?>");
  const Node* top = doc.documentNode()->firstChild;
  ASSERT_EQ(top->type, NodeType::ProcessingInstruction);
  EXPECT_EQ(top->name, "a");
  EXPECT_EQ(top->text, "one");
  EXPECT_EQ(top->line, 1);
  const Node* r = doc.root();
  ASSERT_EQ(r->childCount(), 4);  // x, b, y, c: the texts on both sides stay apart
  const Node* b = r->firstChild->next;
  EXPECT_EQ(b->type, NodeType::ProcessingInstruction);
  EXPECT_EQ(b->name, "b");
  EXPECT_EQ(b->text, "two  words");
  EXPECT_EQ(r->innerText(), "xy");
  EXPECT_EQ(r->lastChild->firstChild->name, "d");
  EXPECT_EQ(r->lastChild->firstChild->text, "");
  EXPECT_EQ(doc.documentNode()->lastChild->name, "e");
  EXPECT_EQ(doc.serialize(), "<?a one?>\n<r>x<?b two  words?>y<c><?d?></c></r><?e three?>");

  // Instructions inside a document type declaration are not part of the tree.
  Document dtd = parseOk("<!DOCTYPE r [<?inner x?>]><r/>");
  EXPECT_EQ(dtd.serialize(), "<r/>");

  Document made;
  Node* root = made.createElement("r");
  Document::appendChild(made.documentNode(), made.createProcessingInstruction("style", "href=\"a\""));
  Document::appendChild(made.documentNode(), root);
  Document::appendChild(root, made.createProcessingInstruction("p", ""));
  EXPECT_EQ(made.serialize(), "<?style href=\"a\"?><r><?p?></r>");
}

TEST(XmlRoundTrip, LinesCountEveryKindOfLineEnd) {
  Document doc = parseOk("<a>\r\n<b/>\r<c/>\n\r\n<d/><!--\n\n--><e/></a>");
  const char* names[] = {"b", "c", "d", "e"};
  const int lines[] = {2, 3, 5, 7};
  const Node* n = doc.root()->firstElement();
  for (int i = 0; i < 4; ++i) {
    ASSERT_NE(n, nullptr);
    EXPECT_EQ(n->name, names[i]);
    EXPECT_EQ(n->line, lines[i]) << names[i];
    n = n->nextElement();
  }
}

// ---------------------------------------------------------------------------
// Copying and removing

TEST(XmlCopy, ACopyWithinTheDocumentIsIndependent) {
  Document doc = parseOk("<z><block id=\"b\" x=\"1\"><standon><kill/><!-- c --><?p d?>t</standon></block></z>");
  Node* block = doc.findById("b");
  const std::string before = Document::serializeNode(block);
  Node* copy = doc.copyNode(block);
  ASSERT_NE(copy, nullptr);
  EXPECT_EQ(copy->parent, nullptr);
  EXPECT_EQ(copy->line, 0);
  EXPECT_EQ(Document::serializeNode(copy), before);
  EXPECT_EQ(treeDifference(block, copy), "");

  Document::insertBefore(doc.root(), copy, block->next);
  copy->setAttr("x", "2");
  copy->setAttr("id", "c");
  copy->removeAttr("id");
  copy->firstChild->firstChild->setName("slay");
  copy->firstChild->lastChild->setText("changed");
  doc.removeNode(copy->firstChild->firstChild->next);
  EXPECT_EQ(Document::serializeNode(block), before);
  EXPECT_EQ(Document::serializeNode(copy),
            "<block x=\"2\"><standon><slay/><?p d?>changed</standon></block>");
  EXPECT_EQ(doc.copyNode(nullptr), nullptr);
  EXPECT_EQ(doc.copyNode(doc.documentNode()), nullptr);
}

TEST(XmlCopy, AnImportOutlivesItsSourceDocument) {
  Document target = parseOk("<zorlan><zone id=\"z\"/></zorlan>");
  Node* imported = nullptr;
  {
    auto source = std::make_unique<Document>(
        parseOk("<zorcopy camx=\"-60\"><block oname=\"a\"><die><sound num=\"4\"/></die></block>\n<area/></zorcopy>"));
    for (const Node* c = source->root()->firstElement(); c; c = c->nextElement()) {
      imported = target.copyNode(c);
      // Nodes of one document cannot be linked into another.
      Document::appendChild(source->root(), imported);
      EXPECT_EQ(imported->parent, nullptr);
      Document::appendChild(target.findById("z"), imported);
    }
    source->root()->firstElement()->setAttr("oname", "changed");
  }  // the source and its strings are gone
  EXPECT_EQ(target.serialize(),
            "<zorlan><zone id=\"z\"><block oname=\"a\"><die><sound num=\"4\"/></die></block><area/></zone></zorlan>");
  EXPECT_EQ(imported->name, "area");

  // Deep trees are copied without recursion.
  std::string deep;
  for (int i = 0; i < kMaxDepth; ++i) deep += "<d>";
  for (int i = 0; i < kMaxDepth; ++i) deep += "</d>";
  Document big = parseOk(deep);
  Document other;
  Node* copy = other.copyNode(big.root());
  Document::appendChild(other.documentNode(), copy);
  EXPECT_TRUE(other.serialize() == big.serialize());
  EXPECT_EQ(treeDifference(big.documentNode(), other.documentNode()), "");
}

// Copies made together into memory readied for them are the same trees as the
// sources, whether the estimate is roomy, exact or made for other nodes.
TEST(XmlCopy, CopiesIntoReadiedMemoryMatchTheirSources) {
  std::string many = "<z>";
  for (int i = 0; i < 3000; ++i)
    many += "<block oname=\"b" + std::to_string(i) + "\" x=\"" + std::to_string(i * 7) +
            "\" color=\"A0B0C0\"><die><sound num=\"4\"/></die>" + std::string(i % 50, 't') + "</block><!-- c" +
            std::to_string(i) + " --><?p d?>";
  many += "</z>";
  Document source = parseOk(many);
  EXPECT_EQ(Document::copyBytes(nullptr), 0u);
  EXPECT_EQ(Document::copyBytes(source.documentNode()), 0u);
  std::size_t total = 0;
  for (const Node* c = source.root()->firstChild; c; c = c->next) total += Document::copyBytes(c);
  EXPECT_GE(total, many.size());
  for (std::size_t readied : {total, total / 3, std::size_t{0}, total * 4}) {
    SCOPED_TRACE(readied);
    for (Document* target : {&source, static_cast<Document*>(nullptr)}) {
      Document fresh = parseOk("<z/>");
      Document& into = target ? *target : fresh;
      into.reserveForCopies(readied);
      std::vector<std::pair<const Node*, Node*>> pairs;
      for (const Node* c = source.root()->firstChild; c; c = c->next) pairs.emplace_back(c, into.copyNode(c));
      for (const auto& [from, copy] : pairs) {
        ASSERT_NE(copy, nullptr);
        EXPECT_EQ(Document::serializeNode(copy), Document::serializeNode(from));
        ASSERT_EQ(treeDifference(from, copy), "");
      }
    }
  }
}

// What a copy within the document takes leaves out the attributes it shares; for a
// node of another document it is what copyBytes tells. Copies made together into
// memory readied by it match their sources.
TEST(XmlCopy, CopiesWithinTheDocumentFitWhatTheyAreMeasuredToTake) {
  std::string many = "<z>";
  for (int i = 0; i < 2000; ++i)
    many += "<block oname=\"b" + std::to_string(i) + "\" x=\"" + std::to_string(i * 7) + "\"" +
            (i % 3 == 0 ? "><die><sound num=\"4\"/></die>" + std::string(i % 40, 't') + "</block>" : "/>") +
            "<!-- c" + std::to_string(i) + " -->";
  many += "</z>";
  Document source = parseOk(many);
  Document other = parseOk("<z/>");
  EXPECT_EQ(source.copyBytesHere(nullptr), 0u);
  EXPECT_EQ(source.copyBytesHere(source.documentNode()), 0u);
  std::size_t here = 0;
  for (const Node* c = source.root()->firstChild; c; c = c->next) {
    EXPECT_EQ(other.copyBytesHere(c), Document::copyBytes(c));
    EXPECT_LE(source.copyBytesHere(c), Document::copyBytes(c));
    if (c->isElement() && c->firstChild == nullptr) {
      EXPECT_EQ(source.copyBytesHere(c), sizeof(Node) + alignof(Node) + c->name.size());
    }
    here += source.copyBytesHere(c);
  }
  source.reserveForCopies(here);
  std::vector<std::pair<const Node*, Node*>> pairs;
  for (const Node* c = source.root()->firstChild; c; c = c->next) pairs.emplace_back(c, source.copyNode(c));
  for (const auto& [from, copy] : pairs) {
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(Document::serializeNode(copy), Document::serializeNode(from));
    ASSERT_EQ(treeDifference(from, copy), "");
  }
}

// Copies within a document share their attributes until one of them changes: a run
// of random changes and copies of copies against each element's list kept apart.
TEST(XmlCopy, CopiesKeepTheirOwnAttributesThroughAnyChange) {
  using Attrs = std::vector<std::pair<std::string, std::string>>;
  struct Lcg {
    uint32_t seed;
    uint32_t next(uint32_t range) {
      seed = seed * 1103515245u + 12345u;
      return (seed >> 8) % range;
    }
  };
  for (uint32_t seed : {1u, 2u, 3u, 4u}) {
    SCOPED_TRACE(seed);
    Document doc = parseOk("<z><block a=\"1\" b=\"2\" c=\"3\"/><area d=\"4\"/><e/></z>");
    std::vector<Node*> nodes;
    std::vector<Attrs> kept;
    for (Node* c = doc.root()->firstElement(); c; c = c->nextElement()) {
      nodes.push_back(c);
      Attrs list;
      for (const Attribute& a : c->attributes) list.emplace_back(a.name, a.value);
      kept.push_back(list);
    }
    const char* names[] = {"a", "b", "c", "d", "x", "y"};
    Lcg r{seed};
    for (int step = 0; step < 600; ++step) {
      const std::size_t at = r.next(static_cast<uint32_t>(nodes.size()));
      const std::string name = names[r.next(6)];
      Attrs& list = kept[at];
      auto found = std::find_if(list.begin(), list.end(), [&name](const auto& p) { return p.first == name; });
      switch (r.next(4)) {
        case 0: {  // a copy, linked after its original
          Node* copy = doc.copyNode(nodes[at]);
          Document::insertBefore(doc.root(), copy, nodes[at]->next);
          nodes.push_back(copy);
          kept.push_back(list);
          break;
        }
        case 1:
        case 2: {
          const std::string value = std::to_string(step);
          nodes[at]->setAttr(name, value);
          if (found != list.end()) found->second = value;
          else list.emplace_back(name, value);
          break;
        }
        default:
          EXPECT_EQ(nodes[at]->removeAttr(name), found != list.end());
          if (found != list.end()) list.erase(found);
      }
      for (std::size_t i = 0; i < nodes.size(); ++i) {
        Attrs now;
        for (const Attribute& a : nodes[i]->attributes) now.emplace_back(a.name, a.value);
        ASSERT_EQ(now, kept[i]) << "element " << i << " after step " << step;
      }
    }
    // The document writes back what it holds.
    Document again = parseOk(doc.serialize());
    EXPECT_EQ(treeDifference(doc.documentNode(), again.documentNode()), "");
  }
}

TEST(XmlCopy, RemovedNodesAreFreedAtOnce) {
  Document doc = parseOk("<a><b><c k=\"v\">text</c><!-- x --></b><d/></a>");
  Node* a = doc.root();
  Node* b = a->firstElement();
  const Node* c = b->firstElement();
  doc.removeNode(b);
  EXPECT_EQ(doc.serialize(), "<a><d/></a>");
  EXPECT_EQ(a->firstChild->name, "d");
  EXPECT_EQ(a->firstChild->prev, nullptr);

  // Their memory serves the next nodes made.
  const Node* freed[] = {b, c};
  bool reused = false;
  for (int i = 0; i < 5; ++i) {
    Node* n = doc.createText("n");
    for (const Node* f : freed) reused = reused || n == f;
  }
  EXPECT_TRUE(reused);

#ifdef __SANITIZE_ADDRESS__
  // A removed node cannot be used any more.
  Document other = parseOk("<a><b/></a>");
  Node* gone = other.root()->firstChild;
  other.removeNode(gone);
  EXPECT_DEATH((void)*static_cast<volatile const NodeType*>(&gone->type), "use-after-poison");
#endif

  // What does not belong to the document, and the document node, are left alone.
  Document other2 = parseOk("<x><y/></x>");
  doc.removeNode(other2.root()->firstChild);
  EXPECT_EQ(other2.serialize(), "<x><y/></x>");
  doc.removeNode(doc.documentNode());
  doc.removeNode(nullptr);
  EXPECT_EQ(doc.serialize(), "<a><d/></a>");

  // An unlinked node can still be freed.
  Node* d = a->firstChild;
  Document::unlink(d);
  doc.removeNode(d);
  EXPECT_EQ(doc.serialize(), "<a/>");
}

// ---------------------------------------------------------------------------
// Editing after a load

TEST(XmlEdit, AttributesOfALoadedDocumentCanBeSetAgainAndAgain) {
  Document doc = parseOk("<zone id=\"a\"><block x=\"1\" y=\"2\" w=\"20\"/></zone>");
  Node* block = doc.root()->firstElement();
  const std::string_view width = block->attr("w");
  for (int i = 0; i < 1000; ++i) {
    block->setAttr("x", std::to_string(i));
    block->setAttr("y", block->attr("x"));  // a value taken from the tree itself
  }
  for (int i = 0; i < 10; ++i) {
    const char name[] = {'n', static_cast<char>('0' + i), '\0'};
    block->setAttr(name, std::string(i, 'v'));
  }
  EXPECT_TRUE(block->removeAttr("n0"));
  block->setAttr("n0", "again");
  EXPECT_EQ(width, "20");  // other values are untouched
  EXPECT_EQ(Document::serializeNode(block),
            "<block x=\"999\" y=\"999\" w=\"20\" n1=\"v\" n2=\"vv\" n3=\"vvv\" n4=\"vvvv\" n5=\"vvvvv\" "
            "n6=\"vvvvvv\" n7=\"vvvvvvv\" n8=\"vvvvvvvv\" n9=\"vvvvvvvvv\" n0=\"again\"/>");
  EXPECT_EQ(attributeNames(doc.root()), (std::vector<std::string>{"id"}));
}

// ---------------------------------------------------------------------------
// Refusing to write what cannot be read back

TEST(XmlWrite, NamesAndCharactersXmlCannotHoldAreRefused) {
  struct Case {
    const char* what;
    void (*edit)(Document&, Node*);
    bool writable;
  };
  const Case cases[] = {
      {"plain names", [](Document& d, Node* r) { Document::appendChild(r, d.createElement("a_b-c.d:e9")); }, true},
      {"letters beyond ASCII", [](Document& d, Node* r) { r->setAttr("\xc3\xa9t\xc3\xa9", "\xe2\x82\xac"); (void)d; },
       true},
      {"element name with a digit first", [](Document& d, Node* r) { Document::appendChild(r, d.createElement("1a")); },
       false},
      {"element name with a blank", [](Document& d, Node* r) { Document::appendChild(r, d.createElement("a b")); },
       false},
      {"empty element name", [](Document& d, Node* r) { Document::appendChild(r, d.createElement("")); }, false},
      {"renamed to markup", [](Document&, Node* r) { r->setName("a><b"); }, false},
      {"attribute name with =", [](Document&, Node* r) { r->setAttr("x=y", "1"); }, false},
      {"non-letter beyond ASCII in a name", [](Document&, Node* r) { r->setAttr("a\xc2\xa7", "1"); }, false},
      {"control character in a value", [](Document&, Node* r) { r->setAttr("v", "a\x01"); }, false},
      {"NUL in a value", [](Document&, Node* r) { r->setAttr("v", std::string_view("a\0b", 3)); }, false},
      {"bytes that are not UTF-8", [](Document&, Node* r) { r->setAttr("v", "\xff"); }, false},
      {"cut-off UTF-8", [](Document&, Node* r) { r->setAttr("v", "\xe2\x82"); }, false},
      {"overlong UTF-8", [](Document&, Node* r) { r->setAttr("v", "\xc0\xaf"); }, false},
      {"UTF-8 surrogate", [](Document&, Node* r) { r->setAttr("v", "\xed\xa0\x80"); }, false},
      {"U+FFFE in text", [](Document& d, Node* r) { Document::appendChild(r, d.createText("\xef\xbf\xbe")); },
       false},
      {"vertical tab in text", [](Document& d, Node* r) { Document::appendChild(r, d.createText("\v")); }, false},
      {"form feed in a comment", [](Document& d, Node* r) { Document::appendChild(r, d.createComment("\f")); },
       false},
      {"instruction named xml",
       [](Document& d, Node* r) { Document::appendChild(r, d.createProcessingInstruction("XmL", "x")); }, false},
      {"instruction data with ?>",
       [](Document& d, Node* r) { Document::appendChild(r, d.createProcessingInstruction("p", "a?>b")); }, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Document doc = parseOk("<zorlan><zone/></zorlan>");
    c.edit(doc, doc.root()->firstElement());
    std::string out = "old";
    std::string why;
    EXPECT_EQ(doc.write(out, &why), c.writable) << out;
    if (c.writable) {
      Document back = parseOk(out);
      EXPECT_EQ(treeDifference(doc.documentNode(), back.documentNode()), "");
    } else {
      EXPECT_EQ(out, "");
      EXPECT_NE(why.find("not valid in XML"), std::string::npos) << why;
      EXPECT_EQ(doc.serialize(), "");
      EXPECT_EQ(Document::serializeNode(doc.root()), "");
      EXPECT_FALSE(Document::writeNode(doc.root(), out, &why));
    }
  }
}

TEST_F(XmlFiles, SaveReplacesTheFileOrLeavesItAlone) {
  const std::string text = "<?xml version=\"1.0\"?>\n<zorlan version=\"1\">\n  <zone id=\"a\"/>\n</zorlan>\n";
  fs::path path = dir_ / "game.zorlan";
  std::ofstream(path, std::ios::binary) << text;
  Document doc;
  ParseError err;
  ASSERT_TRUE(doc.load(path.string(), &err)) << err.message;
  std::string why;
  ASSERT_TRUE(doc.save(path.string(), &why)) << why;
  auto contents = [&] {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  };
  EXPECT_EQ(contents(), text);

  ASSERT_TRUE(doc.save(path.string(), &why, false)) << why;
  EXPECT_EQ(contents(), text.substr(text.find('\n') + 1));

  doc.root()->setAttr("bad name", "1");
  EXPECT_FALSE(doc.save(path.string(), &why));
  EXPECT_NE(why.find("bad name"), std::string::npos) << why;
  EXPECT_EQ(contents(), text.substr(text.find('\n') + 1));
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 1);

  doc.root()->removeAttr("bad name");
  EXPECT_FALSE(doc.save((dir_ / "missing" / "x.zorlan").string(), &why));
}

}  // namespace
}  // namespace zor::xml
