#include "game/script/interpreter.h"

#include <algorithm>
#include <cstddef>
#include <string>

#include "format/vocabulary.h"
// Up: the interpreter is the entry point that runs scripts for the whole game (the
// statements reach every part of it), and reads the sound preference.
#include "game/game.h"
#include "game/script/music_statements.h"
#include "game/script/object_statements.h"
#include "game/script/queue_runner.h"
#include "game/script/title_statements.h"
#include "game/world/objects.h"
#include "platform/text.h"

namespace zor {

StatementTable::StatementTable() {
  for (std::size_t i = 0; i < kSize; ++i) entries_[i].name = format::kStatementNames[i];
  std::sort(entries_.begin(), entries_.end(),
            [](const Entry& a, const Entry& b) { return a.name < b.name; });
}

const StatementTable::Entry* StatementTable::lookup(std::string_view name) const {
  auto it = std::lower_bound(entries_.begin(), entries_.end(), name,
                             [](const Entry& e, std::string_view n) { return e.name < n; });
  if (it == entries_.end() || it->name != name) return nullptr;
  return &*it;
}

bool StatementTable::define(std::string_view name, StatementHandler handler) {
  const Entry* e = lookup(name);
  if (!e) return false;
  entries_[static_cast<std::size_t>(e - entries_.data())].handler = handler;
  return true;
}

StatementHandler StatementTable::find(std::string_view name) const {
  const Entry* e = lookup(name);
  return e ? e->handler : nullptr;
}


const StatementTable& builtinStatementTable() {
  // Built once and never changed afterwards.
  static const StatementTable table = [] {
    StatementTable t;
    registerConditionStatements(t);
    registerTimingStatements(t);
    registerFlagStatements(t);
    registerTitleStatements(t);
    registerMusicStatements(t);
    registerSetStatement(t);
    registerTravelStatements(t);
    registerWordBoxStatements(t);
    registerRunStatements(t);
    registerObjectStateStatements(t);
    registerObjectParameterStatements(t);
    registerObjectMovementStatements(t);
    registerExplodeStatement(t);
    registerScreenStatement(t);
    registerEffectStatements(t);
    registerCameraStatement(t);
    return t;
  }();
  return table;
}

namespace {

// Deletes the objects that a script killed while the zone is settling. The
// player is never deleted: the object list's head must stay the player.
void deleteKilledObjects(Game& game) {
  World& world = game.world;
  const ObjectRecord* player = world.player;
  const ObjectRecord* head = world.objects.front();
  auto isVictim = [player, head](const ObjectRecord& o) {
    if ((o.flags & format::flag::Killed) == 0) return false;
    return &o != player && !(&o == head && o.name == "you");
  };
  int32_t victims = 0;
  for (const ObjectRecord& o : world.objects) {
    if (isVictim(o)) ++victims;
  }
  if (victims == 0) return;
  deleteObjectsWhere(world, game.script, isVictim);
  world.objectCount = std::max<int32_t>(0, world.objectCount - victims);
}

// The walk has stopped, by suspension or by the end.
void walkStopped(Game& game) {
  game.script.walkingScript = false;
  if (game.script.zoneEntryQuiet) deleteKilledObjects(game);
}

void endScript(Game& game) {
  ScriptState& s = game.script;
  if (!s.camera.locked) {
    s.camera.lookAt = nullptr;
    s.camera.scriptDistance = 0.0f;
    s.camera.slowDivisor = 0.0f;
  }
  s.runningScript = nullptr;
  s.resumeStatement = nullptr;
  s.scriptResumeObject = nullptr;
  walkStopped(game);
}

}  // namespace

void runScript(Game& game, const xml::Node* script, ObjectRecord* object) {
  if (!script) return;
  ScriptState& s = game.script;
  ++s.scriptRuns;
  // Statements never run scripts inline; a call that arrives while a walk is in
  // progress (for whatever element) waits in the queue.
  if (s.walkingScript || (s.runningScript && s.runningScript != script)) {
    appendScript(s, script, object, 0);
    return;
  }

  const xml::Node* node = nullptr;
  if (s.resumeStatement && s.runningScript == script) {
    // Resumption: by the queue service, or at once by a new call for the
    // suspended element. Whatever the suspension waited for is over, so none
    // of it may later resume some other script.
    object = s.scriptResumeObject;
    node = s.resumeStatement->next;
    s.resumeStatement = nullptr;
    s.scriptResumeObject = nullptr;
    if (s.scriptWaitFrames != 0 || s.promptPending) s.scriptFreeze = false;
    s.scriptWaitFrames = 0;
    s.promptPending = false;
    s.credits.running = false;
  } else {
    s.resumeStatement = nullptr;
    s.scriptResumeObject = nullptr;
    s.runningScript = script;
    node = script->firstChild;
  }

  // The statements may change the script's object.
  game.world.stepCache.wake(object);
  const StatementTable& table = s.statements ? *s.statements : builtinStatementTable();
  s.walkingScript = true;
  for (; node; node = node->next) {
    if (!node->isElement()) continue;
    StatementHandler handler = table.find(node->name);
    if (!handler) continue;
    StatementContext ctx{game, *node, script, object};
    StatementResult result = handler(ctx);
    if (result == StatementResult::Suspend) {
      s.resumeStatement = node;
      s.scriptResumeObject = object;
      walkStopped(game);
      return;
    }
    if (result == StatementResult::End) break;
  }
  endScript(game);
}

StatementContext::StatementContext(Game& g, const xml::Node& st, const xml::Node* sc, ObjectRecord* o)
    : game(g),
      statement(st),
      script(sc),
      object(o),
      world(g.world),
      scriptState(g.script),
      soundOn(g.prefs.sound != 0) {}

std::vector<ObjectRecord*> statementObjects(StatementContext& ctx, std::string_view attribute) {
  std::vector<ObjectRecord*> out;
  const std::string names = text::toLower(ctx.statement.attr(attribute));
  if (names.empty()) {
    if (ctx.object) out.push_back(ctx.object);
    return out;
  }
  for (const std::string& item : text::split(names, ',')) {
    if (ObjectRecord* o = findObject(ctx.game.world, text::trim(item))) out.push_back(o);
  }
  return out;
}

const xml::Node* childElementNamed(const xml::Node& parent, std::string_view name) {
  for (const xml::Node* c = parent.firstElement(); c; c = c->nextElement()) {
    if (c->name == name) return c;
  }
  return nullptr;
}

}  // namespace zor
