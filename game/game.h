// Everything the game holds for the whole run, in one explicit struct that the
// game's procedures take (or the part of it they work on). A test makes a fresh
// Game, loads a small game file and steps it.
#pragma once

#include <cstdint>
#include <functional>
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

  // Program shell: start-up, frame loop and quit.
  // Sleeps for the given milliseconds.
  std::function<void(uint32_t ms)> sleepMs;
  // Places the titles on the screen after it opened (null: every title).
  std::function<void(Game&, TitleRecord* title)> layoutTitles;
  // The player-control step: pause key, screenshot request, script timers and
  // queue, walking, jumping, leaping, reset.
  std::function<void(Game&)> stepPlayerControls;
  // The world step: motion, bodies, collisions, areas, camera, fades.
  std::function<void(Game&)> stepWorld;
  // Draws the scene back to front into the started drawing output.
  std::function<void(Game&)> drawScene;
  // The overlays over the scene: titles, credits scroll, run countdown and clock,
  // letterbox bars, debug overlay.
  std::function<void(Game&)> drawOverlays;
  // The overlays' state for one game frame (title fades, credits roll, run clock
  // and its countdown sounds), whether or not the frame could be drawn.
  std::function<void(Game&)> advanceOverlays;
  // The logo and jingle, then black; blocks until done.
  std::function<void(Game&, int32_t showMs, int32_t blankMs)> showSplash;

  // Menus: building the pause screens, the keyboard screen, one menu frame's
  // handler and drawing, and the change of one shown menu line.
  std::function<void(Game&)> showMainMenu;
  std::function<void(Game&)> showRunPauseMenu;
  std::function<void(Game&)> showKeyboardMenu;
  std::function<void(Game&)> updateMenu;
  std::function<void(Game&)> drawMenu;
  std::function<void(Game&, int line, const std::string& text)> setMenuLine;
  // Detects the gamepads again and returns their count (the first one is read).
  std::function<int32_t(Game&)> detectGamepads;
  // The keyboard state of one key by the game's key number, as last read.
  std::function<bool(Game&, int key)> keyDown;
  // The speedrun screens: SPEEDRUNS with a note under its lines, CONFIRM (delete
  // records), ZONE RECORDS of the current speedrun, and RESULTS of the last run.
  std::function<void(Game&, const std::string& note)> showSpeedrunsMenu;
  std::function<void(Game&)> showDeleteRecordsMenu;
  std::function<void(Game&)> showZoneRecordsMenu;
  std::function<void(Game&)> showRunResultsMenu;
  // Writes the running speedrun's run file and returns its path (empty when it
  // could not be written). With stopMarker the file ends in a stop marker at the
  // next frame, which the run's own event list does not keep.
  std::function<std::string(Game&, bool stopMarker)> saveRunFile;

  // Sound: starts sound output (true when it works); tells whether a slot holds
  // a sound; loads a streamed sound (its number, 0 on failure); plays an effect
  // slot at its volume; one music fade step; starts the pause music and mutes the
  // zone music; applies the MUSIC switch to the playing music; frees the music cache.
  std::function<bool(Game&)> initSound;
  std::function<bool(Game&, int slot)> soundSlotInUse;
  std::function<int32_t(Game&, const std::string& path)> loadStreamedSound;
  std::function<void(Game&, int slot)> playEffect;
  std::function<void(Game&)> updateMusicFade;
  std::function<void(Game&)> startPauseMusic;
  std::function<void(Game&)> applyMusicSwitch;
  std::function<void(Game&)> freeMusicCache;

  // Speedruns and run files: reads a run file (false when it cannot be read);
  // saves the game aside before a run; starts a run (replay 1 for a run file);
  // ends a running speedrun, restoring the saved game.
  std::function<bool(Game&, const std::string& path)> readSpeedrunFile;
  std::function<void(Game&)> backupSaveForRun;
  std::function<void(Game&, bool replay)> startSpeedrun;
  std::function<void(Game&, bool keepZone)> endSpeedrun;
  // A run's input step, right after the controls are read: records the changes
  // of the recorded controls, or feeds a replay's events back in.
  std::function<void(Game&)> stepRunInput;
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

  // Music timing that beat timers follow: the current track's length in
  // milliseconds (0 when there is none or it is unknown) and the frame time at
  // which it last started.
  int32_t trackLength = 0;
  uint32_t musicStartTime = 0;
  GameScreen screen;
  AppState app;
  MenuState menu;
  SpeedrunState run;  // the speedrun's mode, end state and input events

  // Set by fatalError when no real quit path exists (tests, tools); loaders stop when set.
  bool failed = false;
  std::string failMessage;
};

// Reports a fatal error through the hook (or records it when there is none).
void fatalError(Game& game, const std::string& message);

}  // namespace zor
