// The editor's page on scripts (editor/help/scripts.htm) against the game: every
// statement the interpreter dispatches has a section there, the page names no
// statement the game does not know, and every example in it is a piece of a zone
// that the game's readers take without a model error.
#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "format/vocabulary.h"
#include "game/model/game_model.h"
#include "game/model/zone_model.h"
#include "game/script/interpreter.h"
#include "platform/text.h"
#include "platform/xml.h"
#include "tests/editor/help_page_text.h"

namespace zor {
namespace {

std::string scriptsPage() {
  std::ifstream in(std::string(ZOR_SOURCE_DIR) + "/editor/help/scripts.htm", std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// The statement names the interpreter runs: those of its table with a handler.
std::vector<std::string> dispatchedStatements() {
  std::vector<std::string> out;
  for (std::string_view name : format::kStatementNames) {
    if (builtinStatementTable().find(name) != nullptr) out.emplace_back(name);
  }
  return out;
}

using zor::testing::between;

std::string unescapeHtml(std::string s) {
  s = text::replaceAll(s, "&lt;", "<");
  s = text::replaceAll(s, "&gt;", ">");
  s = text::replaceAll(s, "&quot;", "\"");
  s = text::replaceAll(s, "&#x27;", "'");
  return text::replaceAll(s, "&amp;", "&");
}

// A statement's section: from its heading to the next heading.
std::string sectionOf(const std::string& page, const std::string& name) {
  const std::size_t at = page.find("<h3 id=\"" + name + "\">");
  if (at == std::string::npos) return "";
  const std::size_t end = page.find("<h", at + 4);
  return page.substr(at, end == std::string::npos ? std::string::npos : end - at);
}

TEST(ScriptHelpPage, HasASectionForEveryStatementAndNoOther) {
  const std::string page = scriptsPage();
  ASSERT_FALSE(page.empty());
  const std::vector<std::string> statements = dispatchedStatements();
  ASSERT_FALSE(statements.empty());
  for (const std::string& name : statements) {
    SCOPED_TRACE(name);
    const std::string section = sectionOf(page, name);
    EXPECT_FALSE(section.empty()) << "no section for the statement";
    // Its example uses it.
    EXPECT_NE(section.find("<pre class=\"example\">"), std::string::npos);
    EXPECT_NE(unescapeHtml(section).find("<" + name), std::string::npos) << "its example does not use it";
  }
  const std::set<std::string> known(statements.begin(), statements.end());
  for (const std::string& id : between(page, "<h3 id=\"", "\"")) {
    EXPECT_TRUE(known.count(id)) << "a section for '" << id << "', which the game does not run";
  }
}

// The elements a script may hold besides statements: the branches of the
// conditions and subs.
bool structuralChild(const std::string& name) {
  return name == "else" || name == "on" || name == "off" || name == "sub";
}

// Every element below a script is a statement the game runs or a branch; every
// `sub` names an element of the document.
void checkScript(const xml::Document& doc, const xml::Node& script, const std::set<std::string>& statements,
                 int* statementCount) {
  for (const xml::Node* c = script.firstElement(); c; c = c->nextElement()) {
    if (statements.count(c->name)) {
      ++*statementCount;
    } else {
      EXPECT_TRUE(structuralChild(c->name)) << "'" << c->name << "' on line " << c->line << " is no statement";
    }
    const std::string& sub = c->attr("sub");
    if (!sub.empty()) {
      EXPECT_NE(doc.findById(sub), nullptr) << "'" << sub << "' names nothing";
    }
    checkScript(doc, *c, statements, statementCount);
  }
}

bool scriptContainer(const std::string& name) {
  for (const char* n : {"start", "death", "standon", "die", "enter", "exit", "action"}) {
    if (name == n) return true;
  }
  return false;
}

TEST(ScriptHelpPage, EveryExampleIsReadWithoutAModelError) {
  const std::string page = scriptsPage();
  const std::vector<std::string> examples = between(page, "<pre class=\"example\">", "</pre>");
  ASSERT_GE(examples.size(), dispatchedStatements().size());
  const std::vector<std::string> names = dispatchedStatements();
  const std::set<std::string> statements(names.begin(), names.end());
  for (const std::string& example : examples) {
    const std::string piece = unescapeHtml(example);
    SCOPED_TRACE(piece);
    // A zone of its own, with two levels and the default entrance.
    const std::string game = "<zorlan version=\"1\"><zone id=\"first\"><levels><level z=\"0\"/><level z=\"50\"/></levels>"
                             "<entrance x=\"0\" y=\"0\"/>\n" + piece + "\n</zone></zorlan>";
    xml::Document doc;
    xml::ParseError error;
    ASSERT_TRUE(doc.parse(game, &error)) << error.message << " on line " << error.line;
    const GameModel model = readGameModel(*doc.root());
    EXPECT_TRUE(model.errors.empty()) << model.errors.front().message;
    const xml::Node* zone = doc.findById("first");
    ASSERT_NE(zone, nullptr);
    const ElementLookup findById = [&doc](std::string_view id) { return doc.findById(id); };
    const ZoneModel read = readZone(*zone, "", model.classes, findById);
    for (const ModelError& e : read.errors) ADD_FAILURE() << "line " << e.line << ": " << e.message;

    int statementCount = 0;
    for (const xml::Node* c = zone->firstElement(); c; c = c->nextElement()) {
      if (scriptContainer(c->name)) checkScript(doc, *c, statements, &statementCount);
      for (const xml::Node* s = c->firstElement(); s; s = s->nextElement()) {
        if (scriptContainer(s->name)) checkScript(doc, *s, statements, &statementCount);
      }
    }
    EXPECT_GT(statementCount, 0) << "the example holds no script";
  }
}

}  // namespace
}  // namespace zor
