// The script window in use: the prompt, the styled text control coloured by our
// own lexer, OK, Delete Script and Cancel, with find, go to line, the reference
// menu and help. It runs one ScriptSession at a time, modally.
#pragma once

#include <wx/font.h>

#include <string>

#include "editor/core/preferences.h"
#include "editor/core/script_edit.h"
#include "editor/ui/fixed_dialogs.h"

class wxButton;
class wxStaticText;
class wxStyledTextEvent;

namespace zor::editor::ui {

class ScriptEditorWindow : public ScriptWindow {
 public:
  bool create(wxWindow* parent, const wxFont& noticeFont, const EditorPreferences& prefs);
  // Shows the window over the main window until the user is done; 1 when accepted.
  int run(ScriptSession& session, wxWindow* mainWindow);

  wxButton* okButton() const { return ok_; }
  wxButton* deleteButton() const { return delete_; }
  wxButton* cancelButton() const { return cancel_; }

  // The text control's font and colours from the preferences.
  void applyStyles(const EditorPreferences& prefs);
  // Styles the text from the line holding the first unstyled byte up to `end`.
  void styleUpTo(int end);

 private:
  void layout();
  void onOk();
  void onDelete();
  void onKey(wxKeyEvent& event);
  void find();
  void findAgain(bool forward);
  void goToLine();
  void showReferenceMenu();
  void insertReference(ScriptReference kind);
  void insertText(const std::string& text);
  void showHelpPage();
  void notFound(int anchor, int caret);
  // Ends the window's own loop, once.
  void finish(int id);

  // Keeps the window's keys away while a menu, chooser or box of its own is open.
  struct Nested {
    explicit Nested(ScriptEditorWindow& w) : window(w) { ++window.nested_; }
    ~Nested() { --window.nested_; }
    ScriptEditorWindow& window;
  };
  int nested_ = 0;

  wxStaticText* prompt_ = nullptr;
  wxButton* ok_ = nullptr;
  wxButton* delete_ = nullptr;
  wxButton* cancel_ = nullptr;
  ScriptSession* session_ = nullptr;  // while running
  std::string search_;
};

}  // namespace zor::editor::ui
