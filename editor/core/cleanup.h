// Game file clean-up: the passes that strip clutter from a game document
// (redundant pairs, indentation text, comments, 'sec'-marked parts) and the
// run over the open game or a game file on disk with its log.
#pragma once

#include <string>
#include <vector>

#include "platform/xml.h"

namespace zor::editor {

struct Editor;

// Rewrites "a,a" pairs (and "z,z,z" zooms) as one value; returns the number of rewrites.
int removeRedundantAttributes(xml::Node* element);
// Empties the text of elements; scripts keep theirs unless included.
int removeWhitespace(xml::Node* element, bool includeScripts);
int removeComments(xml::Node* element);
// Deletes the elements whose `sec` attribute is not empty, with their subtrees.
int removeSecNodes(xml::Node* element);

// The path with the suffix put in front of the extension's dot, or appended
// when the name has no extension; an empty path stays empty.
std::string insertBeforeExtension(const std::string& path, const std::string& suffix);

// What the clean-up window asks for.
struct CleanupOptions {
  bool openGame = false;  // else the external file in `inputPath`
  std::string inputPath;
  bool useless = true;
  bool redundant = true;
  bool whitespace = false;
  bool includeScripts = false;
  bool comments = false;
  bool sec = false;
};

// What the clean-up window keeps between openings.
struct CleanupDialogState {
  bool openGameOffered = false;  // "Clean currently open game" was preselected once
  CleanupOptions options;
};
// The choices shown when the window opens: with a game open, the open game
// the first time and the user's choice afterwards; without one, the external
// file. The 'sec' box starts hidden and unchecked.
void prepareCleanupDialog(const Editor& editor, CleanupDialogState& state);

// The requester for the input field; empty when cancelled.
std::string chooseCleanupInputFile(Editor& editor, const std::string& fieldText);

// The Run button: runs the chosen passes and appends the log lines to `log`
// (emptied first once a document is chosen). An external file is cleaned in
// memory and saved under a name the user chooses.
void cleanUpGameFile(Editor& editor, const CleanupOptions& options, std::vector<std::string>& log);

}  // namespace zor::editor
