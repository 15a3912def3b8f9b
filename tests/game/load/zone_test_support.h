// Small game files parsed from strings, with fake hooks that record what the
// zone loader asks of the rest of the game.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "game/game.h"
#include "platform/text.h"
#include "platform/xml.h"

namespace zor::testing {

struct HookLog {
  std::vector<std::string> calls;  // in call order, e.g. "runScript:start", "respawn:0,1"
  std::vector<std::string> fatal;
  std::vector<std::string> music;  // "track|startSilent"
  std::vector<int> volumes;
  uint32_t clock = 4242;
};

// Parses the game file into game.data.document and fills the class map the way
// the game-file loader does (name trimmed and lower-cased, later classes win).
// gameFile false stands for the built-in game.
inline std::unique_ptr<Game> makeGame(const std::string& xml, HookLog& log, bool gameFile = true) {
  auto game = std::make_unique<Game>();
  xml::ParseError error;
  EXPECT_TRUE(game->data.document.parse(xml, &error)) << error.message << " line " << error.line;
  game->data.documentLoaded = true;
  game->data.gameFilePath = gameFile ? "test.xml" : "";
  if (const xml::Node* root = game->data.document.root()) {
    for (const xml::Node* c = root->firstElement(); c; c = c->nextElement()) {
      if (xml::toLowerAscii(c->name) != "class") continue;
      std::string name = xml::toLowerAscii(text::trim(c->attr("name")));
      if (name.empty()) continue;
      ClassRecord record;
      record.node = c;
      game->data.classes[name] = record;
    }
  }
  HookLog* l = &log;
  game->hooks.elapsedMs = [l] { return l->clock; };
  game->hooks.fatalError = [l](Game&, const std::string& m) { l->fatal.push_back(m); };
  game->hooks.runScript = [l](Game&, const xml::Node* script, ObjectRecord* object) {
    std::string id = script ? script->attr("id") : "";
    l->calls.push_back("runScript:" + (script ? script->name : "-") + (id.empty() ? "" : "#" + id) +
                       (object ? ":" + object->name : ""));
  };
  // Puts the player at the respawn point, as the real respawn does first.
  game->hooks.respawnPlayer = [l](Game& g, int attemptsDelta, int resetAll) {
    l->calls.push_back("respawn:" + std::to_string(attemptsDelta) + "," + std::to_string(resetAll));
    if (ObjectRecord* p = g.world.player) {
      p->x = g.world.respawnPoint.x;
      p->y = g.world.respawnPoint.y;
      p->vx = 0.0f;
      p->vy = 0.0f;
    }
  };
  game->hooks.playMusic = [l](Game&, const std::string& track, int startSilent) {
    l->music.push_back(track + "|" + std::to_string(startSilent));
  };
  game->hooks.setMusicVolume = [l](Game&, int v) { l->volumes.push_back(v); };
  game->hooks.resetFrameRateWindow = [l](Game&) { l->calls.push_back("frameWindow"); };
  game->hooks.updateRunClockTarget = [l](Game&) { l->calls.push_back("runClock"); };
  game->hooks.closeMenu = [l](Game&, bool resetScreen) {
    l->calls.push_back(std::string("closeMenu:") + (resetScreen ? "1" : "0"));
  };
  game->hooks.waitForActionRelease = [l](Game&) { l->calls.push_back("waitAction"); };
  game->hooks.restoreMusic = [l](Game&) { l->calls.push_back("restoreMusic"); };
  game->hooks.latchInputStates = [l](Game&) { l->calls.push_back("latch"); };
  return game;
}

// Names of the objects in list order.
inline std::vector<std::string> objectNames(const Game& game) {
  std::vector<std::string> out;
  for (const ObjectRecord& o : game.world.objects) out.push_back(o.name);
  return out;
}

}  // namespace zor::testing
