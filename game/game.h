// Everything the game holds for the whole run, in one explicit struct that the
// game's procedures take (or the part of it they work on). A test makes a fresh
// Game, loads a small game file and steps it.
#pragma once

#include <cstdint>
#include <string>

#include "game/app/app_state.h"
#include "game/app/command_line.h"
#include "game/audio/sound_table.h"
#include "game/input/controls.h"
#include "game/load/game_data.h"
#include "game/menu/menu_state.h"
#include "game/persist/game_flags.h"
#include "game/persist/preferences.h"
#include "game/persist/session.h"
#include "game/persist/speedrun.h"
#include "game/render/game_screen.h"
#include "game/script/script_state.h"
#include "game/world/world.h"
#include "platform/random.h"

namespace zor {

class AppPlatform;

struct RandomState {
  RandomGenerator generator;
  RandomTable table;
  int32_t speedrunSeed = 0;
  int32_t runFileSeed = 0;
  bool replaying = false;
};

struct Game {
  GameData data;
  World world;
  RandomState random;
  GameFlags gameFlags;
  Controls controls;
  Preferences prefs;
  Session session;
  StartParameters start;  // what the command line and the desktop asked for
  ScriptState script;
  SoundTable sounds;

  // Music timing that beat timers follow: the current track's length in
  // milliseconds (0 when there is none or it is unknown) and the frame time at
  // which it last started.
  int32_t trackLength = 0;
  uint32_t musicStartTime = 0;
  GameScreen screen;
  AppState app;
  MenuState menu;
  SpeedrunState run;  // the speedrun's mode, end state and input events

  // The machine the game runs on (clock, requesters, sleep, input); null when
  // there is none (tests of game logic), and then the clock is the frame time,
  // requesters answer No and a fatal error is only recorded.
  AppPlatform* platform = nullptr;

  // Set by fatalError; without a platform nothing else happens, and loaders stop when set.
  bool failed = false;
  std::string failMessage;
};

// Records a fatal error; with a platform it then shows the message and leaves
// through the quit path (it does not return).
void fatalError(Game& game, const std::string& message);

// Milliseconds since the program started: the platform's clock, or the frame
// time without a platform.
uint32_t elapsedMs(const Game& game);

}  // namespace zor
