// The script interpreter: runs a script element's statements in document
// order, suspends and resumes scripts, and dispatches each statement by its
// exact element name to the family that implements it.
//
// One script runs at a time. A script started while another one is in progress
// goes into the script queue (see queue_runner.h), and statements that run a
// body never run it inline: they queue it.
//
// Adding a statement family
// -------------------------
// A family is one file, game/script/<family>_statements.cpp, with handlers of
// the form
//
//     StatementResult runWait(StatementContext& ctx);
//
// and one registration function that binds them to their names:
//
//     void registerTimingStatements(StatementTable& table) {
//       table.define("wait", runWait);
//       ...
//     }
//
// Declare the registration function in the family's header (or below, next
// to the others) and add one call to it in builtinStatementTable()
// (interpreter.cpp). Every statement name
// of the game (format::kStatementNames) is known to the table from the start;
// a name without a handler is skipped exactly like a name that is not a
// statement, so a family that has not arrived yet changes nothing. define()
// refuses names that are not statement names.
//
// A handler reads its attributes by exact name (an absent attribute reads as
// empty text), changes game state and returns Continue, Suspend (it has set the
// state that will resume the script: a wait counter, the prompt flag, the
// credits roll) or End (the script stops here). Handlers never call runScript;
// they queue scripts with appendScript / pushScriptToFront (queue_runner.h),
// always with the script's object (ctx.object).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "format/vocabulary.h"
#include "game/world/records.h"
#include "platform/xml.h"

namespace zor {

struct Game;
struct ScriptState;
struct World;

enum class StatementResult {
  Continue,  // go on with the next statement
  Suspend,   // stop here; the script resumes after this statement later
  End,       // the script ends here
};

struct StatementContext {
  StatementContext(Game& game, const xml::Node& statement, const xml::Node* script, ObjectRecord* object);

  Game& game;
  const xml::Node& statement;  // the statement element
  const xml::Node* script;     // the element being walked (the script's element)
  ObjectRecord* object;        // the script's object; null for none
  // The parts of the game most statements work on (game.world and game.script)
  // and whether sound effects are on (the preference; no statement changes
  // it): a handler that needs no more takes them from here.
  World& world;
  ScriptState& scriptState;
  bool soundOn;
};

using StatementHandler = StatementResult (*)(StatementContext&);

// Statement names and their handlers.
class StatementTable {
 public:
  static constexpr std::size_t kSize = std::size(format::kStatementNames);

  // Every statement name of the game, none with a handler yet.
  StatementTable();

  // Binds a handler to a statement name; false (and nothing changes) when the
  // name is not one of the game's statements.
  bool define(std::string_view name, StatementHandler handler);
  // The handler of an element name, compared exactly; null for a name that is
  // not a statement and for a statement without a handler.
  StatementHandler find(std::string_view name) const;

 private:
  struct Entry {
    std::string_view name;
    StatementHandler handler = nullptr;
  };
  const Entry* lookup(std::string_view name) const;
  std::array<Entry, kSize> entries_{};  // sorted by name
};

// The table with every statement family of the game registered; built once.
const StatementTable& builtinStatementTable();

// Registration functions of the statement families.
void registerConditionStatements(StatementTable& table);  // if, ifset, ifnotset, toggle, call, you
void registerTimingStatements(StatementTable& table);     // wait, freeze, prompt, die, adddeath, after,
                                                          // loop, beat, killbeats, killqueue, unscript
void registerFlagStatements(StatementTable& table);       // setgflags, unsetgflags, setzflags, unsetzflags
void registerSetStatement(StatementTable& table);         // set
void registerTravelStatements(StatementTable& table);     // lock, unlock, setzone, warp, reloadzone, checkpoint
void registerWordBoxStatements(StatementTable& table);    // wordbox, hidewb
// The most word boxes in a zone. A `wordbox` that would make one more changes
// nothing, so that a script making them in a loop cannot pile them up (each one
// re-sorts the list, and every frame draws them all). A zone shows a few dozen.
inline constexpr std::size_t kMaxWordBoxes = 1000;
void registerScreenStatement(StatementTable& table);      // screen
void registerEffectStatements(StatementTable& table);     // effect, srt
void registerCameraStatement(StatementTable& table);      // camera
void registerRunStatements(StatementTable& table);        // pause, endspeedrun, savegame, unlockspeedrun

// Runs a script for an object (either may be null):
//  - no script: nothing happens;
//  - another script is in progress: the call is queued (delay 0) after the
//    queue's current entry;
//  - the script itself is suspended: it resumes at once after the statement
//    that suspended it, with the object saved then (the argument is ignored),
//    and whatever it was waiting for is dropped;
//  - otherwise it starts at its first child.
// The walk stops at the end, at a statement that ends the script or at one that
// suspends it. While the zone is settling, objects flagged `killed` are then
// deleted (never the player).
void runScript(Game& game, const xml::Node* script, ObjectRecord* object);

// The objects a statement's `oname` names: lower-cased; empty names the
// script's object (nothing without one); otherwise a comma list whose items are
// trimmed and looked up with findObject, skipping names that find nothing and
// keeping repeats. `attribute` lets a statement read another attribute the
// same way.
std::vector<ObjectRecord*> statementObjects(StatementContext& ctx, std::string_view attribute = format::attr::ObjectName);

// The first child element named exactly `name`; null when there is none.
const xml::Node* childElementNamed(const xml::Node& parent, std::string_view name);

}  // namespace zor
