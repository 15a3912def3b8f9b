#include "game/script/interpreter.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "format/vocabulary.h"
#include "tests/game/script/script_test_support.h"

namespace zor {
namespace {

using testing::ScriptHarness;
using testing::zoneText;
using Strings = std::vector<std::string>;

TEST(StatementTable, KnowsEveryStatementNameAndOnlyThose) {
  StatementTable t;
  for (std::string_view name : format::kStatementNames) EXPECT_EQ(t.find(name), nullptr) << name;
  for (std::string_view name : format::kStatementNames) EXPECT_TRUE(t.define(name, nullptr)) << name;
  EXPECT_FALSE(t.define("else", testing::traceStatement));
  EXPECT_FALSE(t.define("If", testing::traceStatement));
  EXPECT_FALSE(t.define("sub", testing::traceStatement));
  EXPECT_TRUE(t.define("wait", testing::traceStatement));
  EXPECT_EQ(t.find("wait"), testing::traceStatement);
}

TEST(StatementTable, BuiltinTableHasTheFamiliesThatExist) {
  const StatementTable& t = builtinStatementTable();
  for (const char* name : {"if", "ifset", "ifnotset", "toggle", "call", "you", "wait", "freeze",
                           "prompt", "die", "adddeath", "after", "loop", "beat", "killbeats",
                           "killqueue", "unscript", "setgflags", "unsetgflags", "setzflags",
                           "unsetzflags"}) {
    EXPECT_NE(t.find(name), nullptr) << name;
  }
}

TEST(RunScript, RunsStatementsInDocumentOrderAndSkipsWhatIsNoStatement) {
  ScriptHarness h(zoneText(
      "<sound num=\"1\"/><!-- note --><else><sound num=\"x\"/></else><Sound num=\"caps\"/>"
      "<on/><sub id=\"inner\"><sound num=\"y\"/></sub><SETGFLAGS gflags=\"4\"/><sound num=\"2\"/>"
      "<music/><sound num=\"3\"/>"));
  EXPECT_EQ(h.trace(), (Strings{"1", "2", "3"}));
  EXPECT_FALSE(h.g().gameFlags.isSet(4));
  EXPECT_EQ(h.s().runningScript, nullptr);
}

TEST(RunScript, AnotherScriptWhileOneIsSuspendedIsQueuedAndRunsAfterItEnds) {
  ScriptHarness h(zoneText("<sound num=\"a\"/><wait frames=\"3\"/><sound num=\"b\"/>",
                           "<sub id=\"other\"><sound num=\"o\"/></sub>"));
  h.run("other");
  EXPECT_EQ(h.queueNames(), Strings{"sub#other"});
  h.frame(2);
  EXPECT_EQ(h.trace(), Strings{"a"});
  h.frame();  // the wait ends: the rest of the start script, then the queued one
  EXPECT_EQ(h.trace(), (Strings{"a", "b", "o"}));
  EXPECT_TRUE(h.s().queue.empty());
}

TEST(RunScript, ResumesAfterTheSuspendingStatementWithTheSavedObject) {
  ScriptHarness h(zoneText("", "<block oname=\"crate\" x=\"0\" y=\"0\"/>"
                               "<sub id=\"s\"><sound num=\"1\"/><wait frames=\"3\"/><sound num=\"2\"/></sub>"));
  h.run("s", h.object("crate"));
  EXPECT_EQ(h.trace(), Strings{"1@crate"});
  h.frame(2);
  EXPECT_EQ(h.trace(), Strings{"1@crate"});
  h.frame();
  EXPECT_EQ(h.trace(), (Strings{"1@crate", "2@crate"}));
}

TEST(RunScript, ACallForTheSuspendedElementResumesItAtOnceAndDropsTheWait) {
  ScriptHarness h(zoneText("", "<block oname=\"crate\"/>"
                               "<sub id=\"s\"><sound num=\"1\"/><freeze frames=\"5\"/><sound num=\"2\"/></sub>"
                               "<sub id=\"t\"><prompt/><sound num=\"t\"/></sub>"));
  h.run("s", h.object("crate"));
  EXPECT_TRUE(h.s().scriptFreeze);
  h.run("s", nullptr);  // resumes at once, with the object saved at the suspension
  EXPECT_EQ(h.trace(), (Strings{"1@crate", "2@crate"}));
  EXPECT_EQ(h.s().scriptWaitFrames, 0);
  EXPECT_FALSE(h.s().scriptFreeze);
  EXPECT_EQ(h.s().runningScript, nullptr);

  // A later script suspended on a prompt is not resumed by the old wait running out.
  h.run("t");
  h.frame(10);
  EXPECT_EQ(h.trace().size(), 2u);
  EXPECT_EQ(h.s().runningScript, h.byId("t"));
  h.press(control::Action);
  h.frame();
  EXPECT_EQ(h.trace().back(), "t");
}

TEST(RunScript, APromptResumedByANewCallLeavesNoPromptBehind) {
  ScriptHarness h(zoneText("", "<sub id=\"p\"><prompt/><sound num=\"p\"/></sub>"
                               "<sub id=\"c\"><set credits=\"1\"/><sound num=\"c\"/></sub>"));
  h.run("p");
  h.run("p");
  EXPECT_FALSE(h.s().promptPending);
  EXPECT_FALSE(h.s().scriptFreeze);
  // A script waiting for the credits roll is not resumed by a press meant for the old prompt.
  h.run("c");
  h.press(control::Jump);
  h.frame();
  EXPECT_EQ(h.trace(), Strings{"p"});
  h.s().credits.remaining = 0.0f;
  h.frame();
  EXPECT_EQ(h.trace(), (Strings{"p", "c"}));
}

TEST(RunScript, ACallDuringAWalkIsQueuedNotRunInside) {
  static bool reentered = false;
  struct Local {
    static StatementResult callSelf(StatementContext& ctx) {
      runScript(ctx.game, ctx.script, ctx.object);
      reentered = true;
      return StatementResult::Continue;
    }
  };
  ScriptHarness h(zoneText("", "<sub id=\"s\"><pause/><sound num=\"1\"/></sub>"), true);
  h.table.define("pause", Local::callSelf);
  h.run("s");
  EXPECT_TRUE(reentered);
  EXPECT_EQ(h.trace(), Strings{"1"});
  EXPECT_EQ(h.queueNames(), Strings{"sub#s"});
}

TEST(RunScript, EndOfScriptDropsTheCameraOverridesUnlessLocked) {
  for (bool locked : {false, true}) {
    ScriptHarness h(zoneText("", "<block oname=\"crate\"/><sub id=\"s\"><sound num=\"1\"/></sub>"));
    ScriptState& s = h.s();
    s.camera.lookAt = h.object("crate");
    s.camera.scriptDistance = 50.0f;
    s.camera.slowDivisor = 4.0f;
    s.camera.locked = locked;
    s.camera.snap = true;
    h.run("s");
    EXPECT_EQ(s.camera.lookAt != nullptr, locked);
    EXPECT_EQ(s.camera.scriptDistance, locked ? 50.0f : 0.0f);
    EXPECT_EQ(s.camera.slowDivisor, locked ? 4.0f : 0.0f);
    EXPECT_TRUE(s.camera.snap);
    EXPECT_EQ(s.camera.locked, locked);
  }
}

TEST(Settling, ObjectsKilledByTheStartScriptAreDeletedButNeverThePlayer) {
  ScriptHarness h(zoneText("<kill oname=\"you,crate\"/>",
                           "<block oname=\"crate\" x=\"5\"/><block oname=\"rock\" x=\"9\"/>"));
  World& w = h.g().world;
  ASSERT_NE(w.player, nullptr);
  EXPECT_EQ(w.objects.front(), w.player);
  EXPECT_EQ(w.player->name, "you");
  EXPECT_TRUE(w.player->has(format::flag::Killed));
  EXPECT_EQ(testing::objectNames(h.g()), (Strings{"you", "rock"}));
  EXPECT_EQ(w.objectCount, 1);
}

TEST(Settling, DeletionClearsEveryReferenceToTheDeletedObject) {
  ScriptHarness h(zoneText("", "<block oname=\"crate\"/><block oname=\"rock\"/>"
                               "<sub id=\"k\"><kill oname=\"crate\"/><wait frames=\"2\"/></sub>"
                               "<sub id=\"q\"><sound num=\"q\"/></sub>"));
  Game& g = h.g();
  ObjectRecord* crate = h.object("crate");
  ObjectRecord* rock = h.object("rock");
  ASSERT_TRUE(g.script.zoneEntryQuiet);
  appendScript(g.script, h.byId("q"), crate, 0);
  g.script.camera.lookAt = crate;
  g.script.camera.locked = true;  // keeps the look-at past the script's end
  g.world.currentCheckpoint = crate;
  rock->support = crate;
  rock->facedObject = crate;
  WordBox box;
  box.text = "HI";
  box.object = crate;
  g.script.wordBoxes.addLast(box);

  // The killing script suspends with the crate as its object.
  h.run("k", crate);
  EXPECT_EQ(h.object("crate"), nullptr);
  EXPECT_EQ(g.script.scriptResumeObject, nullptr);
  EXPECT_EQ(g.script.queue.front()->object, nullptr);
  EXPECT_EQ(g.script.camera.lookAt, nullptr);
  EXPECT_EQ(g.world.currentCheckpoint, nullptr);
  EXPECT_EQ(rock->support, nullptr);
  EXPECT_EQ(rock->facedObject, nullptr);
  EXPECT_EQ(g.script.wordBoxes.front()->object, nullptr);
  EXPECT_NE(g.script.wordBoxes.front()->flags & wordbox::Remove, 0);

  h.frame(3);  // resumes without an object, then runs the queued script without one
  EXPECT_EQ(h.trace(), Strings{"q"});
}

TEST(Settling, OnceSettledKilledObjectsStayInTheList) {
  ScriptHarness h(zoneText("", "<block oname=\"crate\"/><sub id=\"k\"><kill oname=\"crate\"/></sub>"));
  h.s().zoneEntryQuiet = false;
  h.run("k");
  ASSERT_NE(h.object("crate"), nullptr);
  EXPECT_TRUE(h.object("crate")->has(format::flag::Killed));
}

TEST(StatementObjects, ResolvesTheOnameList) {
  ScriptHarness h(zoneText("", "<block oname=\"crate\" x=\"1\"/><block oname=\"crate\" x=\"2\"/>"
                               "<block oname=\"rock\"/>"));
  xml::Document doc;
  ASSERT_TRUE(doc.parse("<r><a/><b oname=\"-\"/><c oname=\" YOU , nothing,crate ,rock,crate\"/>"
                        "<d oname=\",\"/><e other=\"rock\"/></r>",
                        nullptr));
  const xml::Node* root = doc.root();
  ObjectRecord* rock = h.object("rock");
  ObjectRecord* firstCrate = h.object("crate");
  auto names = [&](const char* el, ObjectRecord* object, const char* attr = "oname") {
    StatementContext ctx{h.g(), *root->childByPath(el), root, object};
    Strings out;
    for (ObjectRecord* o : statementObjects(ctx, attr)) {
      out.push_back(o->name + (o == firstCrate ? "1" : ""));
    }
    return out;
  };
  EXPECT_EQ(names("a", rock), Strings{"rock"});
  EXPECT_EQ(names("a", nullptr), Strings{});
  EXPECT_EQ(names("b", rock), Strings{});
  EXPECT_EQ(names("c", nullptr), (Strings{"you", "crate1", "rock", "crate1"}));
  EXPECT_EQ(names("d", rock), Strings{});
  EXPECT_EQ(names("e", nullptr, "other"), Strings{"rock"});
}

}  // namespace
}  // namespace zor
