// Start parameters from the command line (the desktop hands documents over as
// parameters too). It only records values; start-up acts on them later.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace zor {

struct Game;

struct StartParameters {
  std::string gameFilePath;    // empty: the built-in game
  std::string runFilePath;     // a run file to replay at start
  std::string runFileAsGiven;  // the run file as written, for the lookup under "zordata/runs/"
  std::string startZone;       // not empty: play starts here, without the splash
  std::string startEntrance;
  std::string gameFlagOverride;  // replaces the saved game flags once; "x" for none
  bool keyboardSetup = false;    // show the keyboard configuration after start-up
  bool disableAudio = false;     // "-s": no sound output for this run
};

enum class FileKind { None, Game, Run };
// By the text after the last "." of the file name, in any letter case: "xml"
// and "zorlan" are game files, "zorrun" run files.
FileKind fileKindOf(std::string_view path);

// Reads the parameters (without the program's name) in order into `params`,
// which may already hold values. Options are recognised in
// lower case; an option that takes a value takes the next parameter (empty
// when there is none). Reading stops at an empty parameter and after "-x".
// File paths are made absolute against `startFolder`, the folder the program
// was started in; other values are kept exactly as given.
void readCommandLine(StartParameters& params, const std::vector<std::string>& args, const std::string& startFolder);

// Hands the values to the parts of the game that read them: the game-file path
// and the game-flag override; the whole set is kept in game.start.
void applyStartParameters(Game& game, const StartParameters& params);

}  // namespace zor
