// The script editor's work without a window: the session that the script
// window runs (the XML check on OK, the reference pickers, the deleted script,
// the help page), the editing of one script child of an element with the
// write-back into the open game, and the last edited script.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/xml.h"

namespace zor::editor {

struct Editor;
struct EditorObject;

// The last script edited through editScript, for Reopen Last Script.
struct ScriptEditorState {
  std::string caption;
  std::string prompt;
  std::string child;
  xml::Node* element = nullptr;  // null: the open zone's element
};

// The text of the script window checked when OK is pressed.
struct ScriptCheck {
  bool accepted = false;  // false: the window stays open
  std::string text;       // the text trimmed of blanks and line breaks at both ends
  std::unique_ptr<xml::Document> document;  // null when the text is empty
  int errorLine = 0;      // 1-based line of the error in the text as shown; 0 when none
  std::string message;    // the box to show when refused
};
// `text` is the whole text of the window.
ScriptCheck checkScriptText(const std::string& text);

// Which reference menu the window offers.
enum class ScriptContext { Zone, Game, Other };

enum class ScriptReference { Block, Sound, GFlag, ZFlag, Zone, Entrance, SubScript, Music, Colour };

// One run of the script window. The window calls back into it; its outputs are
// read after the window closed.
class ScriptSession {
 public:
  ScriptSession(Editor& editor, std::string title, std::string prompt, std::string text, ScriptContext context);

  const std::string& title() const { return title_; }
  const std::string& prompt() const { return prompt_; }
  const std::string& initialText() const { return text_; }
  ScriptContext context() const { return context_; }
  Editor& editor() { return editor_; }

  // OK with the window's whole text: true when accepted (the outputs are set);
  // false with the message shown and the error line in `check` when refused.
  bool accept(const std::string& windowText, ScriptCheck* check);
  // Delete Script: the text is kept as the deleted script; the result is empty.
  void deleteScript(const std::string& windowText);

  // The text a reference inserts; false when nothing is to be inserted. The
  // Block reference and the Colour reference need the window's own pickers:
  // see namedBlocks and colourText.
  bool reference(ScriptReference kind, std::string* inserted);
  // The named blocks of the open zone, sorted; empty after the warning was shown.
  std::vector<std::string> namedBlocks();
  static std::string joinBlockNames(const std::vector<std::string>& chosen);
  static std::string colourText(int red, int green, int blue);

  // The help page of the script window.
  std::string helpPage() const;

  // Outputs.
  std::string resultText;
  std::unique_ptr<xml::Document> resultDocument;

 private:
  Editor& editor_;
  std::string title_;
  std::string prompt_;
  std::string text_;
  ScriptContext context_;
};

// Shows the script window (the port's) on a text. Returns 1 when the user
// accepted (OK or Delete Script), with the session's outputs set, else 0.
int runScriptEditor(Editor& editor, ScriptSession& session);

// The script editor on the child named `child` of `element` (the open zone's
// element when null); the accepted text replaces the child in its place, an
// empty one deletes it. Returns true when the game was changed.
bool editScriptOf(Editor& editor, const std::string& caption, const std::string& prompt, const std::string& child,
                  xml::Node* element);
// Reopens the last script edited, when its element is still in the open zone.
void reopenLastScript(Editor& editor);

// The name the editor shows for built-in sound slot `slot` ("Jump" for 0).
std::string soundDisplayName(int slot);

// A music file's path as a script names it: relative to the game file's folder
// when below it, else `prefix` and the file name.
std::string makeRelativePath(const std::string& gamePath, const std::string& path, const std::string& prefix);

// An entrance's name from its element name: everything after the first "_".
std::string entranceNameOf(const std::string& elementName);

// Entrances of the open zone, sorted ignoring case: the chosen entrance's name in
// `name`. Returns false when cancelled or when there is none.
bool chooseEntrance(Editor& editor, const std::string& title, const std::string& prompt, std::string* name);
// The sub scripts below `node`, depth first, as (lower-cased id, element).
int collectSubIds(xml::Node* node, std::vector<std::pair<std::string, xml::Node*>>* out);
bool chooseSubScript(Editor& editor, const std::string& title, const std::string& prompt,
                     const std::string& preselection, std::string* id);
// Returns the chosen game flag number, or -1.
int chooseNumbered(Editor& editor, const std::string& title, const std::string& prompt);
int chooseSound(Editor& editor, const std::string& title, const std::string& prompt);
int chooseZFlag(Editor& editor, const std::string& title, const std::string& prompt);
bool chooseZoneId(Editor& editor, const std::string& title, const std::string& prompt, std::string* id);

}  // namespace zor::editor
