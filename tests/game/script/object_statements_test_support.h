// A game with the object statement families registered for real (the shared
// script harness stands in for `kill`), sound effects recorded, and the zone's
// settling over so that killed objects stay in the list.
#pragma once

#include <string>
#include <vector>

#include "game/script/object_statements.h"
#include "tests/game/script/script_test_support.h"

namespace zor::testing {

struct ObjectHarness : ScriptHarness {
  std::vector<int32_t>& sounds = game->world.requests.effects;  // effect slots asked for, in order

  explicit ObjectHarness(const std::string& xmlText, bool settled = true) : ScriptHarness(xmlText, false) {
    registerObjectStateStatements(table);
    registerObjectParameterStatements(table);
    registerObjectMovementStatements(table);
    registerExplodeStatement(table);
    game->prefs.sound = 1;
    EXPECT_TRUE(loadZone(*game, "first", false));
    if (settled) game->script.zoneEntryQuiet = false;
  }

  World& w() { return game->world; }
  ObjectRecord& obj(const std::string& name) {
    ObjectRecord* o = object(name);
    EXPECT_NE(o, nullptr) << name;
    return *o;
  }
  ObjectRecord& player() { return *game->world.player; }
};

// Three levels at z 0, 50 and 100, the player entering on level 0 at (0, 0);
// `blocks` go into the zone, `sub` is the sub "s", `extra` follows it.
inline std::string objectZone(const std::string& blocks, const std::string& sub, const std::string& start = "",
                              const std::string& extra = "") {
  return "<zorlan version=\"1\"><zone id=\"first\">"
         "<levels><level z=\"0\"/><level z=\"50\"/><level z=\"100\"/></levels>"
         "<entrance x=\"0\" y=\"0\" level=\"0\"/>" +
         blocks + "<start>" + start + "</start><sub id=\"s\">" + sub + "</sub>" + extra + "</zone></zorlan>";
}

}  // namespace zor::testing
