// Everything the game holds for the whole run, in one explicit struct that the
// game's procedures take (or the part of it they work on). A test makes a fresh
// Game, loads a small game file and steps it.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "game/app/command_line.h"
#include "game/audio/sound_table.h"
#include "game/input/controls.h"
#include "game/load/game_data.h"
#include "game/persist/game_flags.h"
#include "game/persist/preferences.h"
#include "game/persist/session.h"
#include "game/script/script_state.h"
#include "game/world/world.h"
#include "platform/random.h"

namespace zor {

struct Game;

// Calls into parts of the game that live elsewhere (the program wires the real
// ones; tests may wire fakes). An empty hook is not called.
struct GameHooks {
  // Runs a script for an object (the interpreter).
  std::function<void(Game&, const xml::Node* script, ObjectRecord* object)> runScript;
  // Places the player at the respawn point.
  std::function<void(Game&, int attemptsDelta, int resetAll)> respawnPlayer;
  // Starts a music track (path as the game file names it); startSilent fades it in.
  std::function<void(Game&, const std::string& track, int startSilent)> playMusic;
  // A fatal error: message box, then the quit path. Must not return in the program;
  // loaders return right after calling it.
  std::function<void(Game&, const std::string& message)> fatalError;
  // Yes/No requester; returns true for Yes.
  std::function<bool(Game&, const std::string& title, const std::string& text)> askYesNo;
  // Milliseconds since program start.
  std::function<uint32_t()> elapsedMs;

  // Zone loading and entering.
  // Sets the music volume target (0..100) before a zone's track starts.
  std::function<void(Game&, int volume)> setMusicVolume;
  // Starts a new one-second frame-rate window at the clock's time, so that the
  // load does not count as a slow second.
  std::function<void(Game&)> resetFrameRateWindow;
  // Recomputes the speedrun clock's rest position from script.runClockPosition.
  std::function<void(Game&)> updateRunClockTarget;
  // Leaves any menu for play; with resetScreen the menu screen goes back to 0 too.
  std::function<void(Game&, bool resetScreen)> closeMenu;
  // Returns once the ACTION control (and, with a gamepad, its ACTION and JUMP
  // buttons) is no longer held, keeping the window alive meanwhile.
  std::function<void(Game&)> waitForActionRelease;
  // Stops the pause music and restores the volume of the current and previous track.
  std::function<void(Game&)> restoreMusic;
  // Copies the saved control snapshot back into the control table.
  std::function<void(Game&)> latchInputStates;
  // Loads a WAV file into a sound slot (0..23); false when it cannot be loaded.
  std::function<bool(Game&, int slot, const std::string& path)> loadSoundSlot;
};

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
  GameHooks hooks;
  ScriptState script;
  SoundTable sounds;

  // Set by fatalError when no real quit path exists (tests, tools); loaders stop when set.
  bool failed = false;
  std::string failMessage;
};

// Reports a fatal error through the hook (or records it when there is none).
void fatalError(Game& game, const std::string& message);

}  // namespace zor
