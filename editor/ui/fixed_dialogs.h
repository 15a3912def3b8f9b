// The secondary windows 1 to 9, made once at start-up and shown modally:
// the Chooser, the Input dialog, the script window and the dialogs that the
// zone, game, sound, flag and clean-up commands fill.
#pragma once

#include <wx/dialog.h>
#include <wx/font.h>

#include <memory>
#include <string>

#include "editor/core/port.h"

class wxListBox;
class wxPanel;
class wxStaticText;
class wxTextCtrl;
class wxStyledTextCtrl;
class wxButton;

namespace zor::editor::ui {

// Window 1: a prompt, a list, OK and Cancel.
class ChooserDialog : public wxDialog {
 public:
  bool create(wxWindow* parent);
  // Returns the chosen index, or -1 on Cancel, Esc or a close request.
  int run(const ChooserRequest& request, wxWindow* mainWindow);

 private:
  // Places the gadgets with the room the prompt and buttons need.
  void layout();
  void onOk();
  void finish(int code);
  wxPanel* panel_ = nullptr;
  wxStaticText* prompt_ = nullptr;
  wxListBox* list_ = nullptr;
  wxButton* ok_ = nullptr;
  wxButton* cancel_ = nullptr;
  bool okPressed_ = false;       // OK was pressed while this showing lasts
  bool keepUnselected_ = false;  // no preselection, and the user has not picked a row yet
};

// Window 2: a prompt and a one-line field, OK and Cancel.
class InputDialog : public wxDialog {
 public:
  bool create(wxWindow* parent);
  // Field flags: 1 = digits only.
  bool run(const std::string& title, const std::string& prompt, const std::string& defaultText, int fieldFlags,
           std::string* result);

 private:
  void layout();
  wxPanel* panel_ = nullptr;
  wxStaticText* prompt_ = nullptr;
  wxTextCtrl* field_ = nullptr;
  wxButton* ok_ = nullptr;
  wxButton* cancel_ = nullptr;
};

// Window 3: the script editor's window, holding the styled text control, or a
// notice when that control could not be made.
class ScriptWindow : public wxDialog {
 public:
  bool create(wxWindow* parent, const wxFont& noticeFont);
  wxStyledTextCtrl* text() const { return text_; }

 private:
  wxStyledTextCtrl* text_ = nullptr;
};

// The secondary windows by number; they live as long as the main window.
struct FixedWindows {
  ChooserDialog* chooser = nullptr;     // 1
  InputDialog* input = nullptr;         // 2
  ScriptWindow* script = nullptr;       // 3
  wxDialog* zoneProperties = nullptr;   // 4
  wxDialog* gameProperties = nullptr;   // 5
  wxDialog* soundEditor = nullptr;      // 6
  wxDialog* gflagEditor = nullptr;      // 7
  wxDialog* zflagEditor = nullptr;      // 8
  wxDialog* cleanup = nullptr;          // 9
};

// Holds a dialog at its inner size, centred on its parent, while it is shown
// modally: a window manager may give it another size or place when it maps it
// again (or reports its frame only then), and the dialog takes them back.
class KeepShownCentred {
 public:
  KeepShownCentred(wxDialog* dialog, wxSize inner);
  ~KeepShownCentred();
  KeepShownCentred(const KeepShownCentred&) = delete;
  KeepShownCentred& operator=(const KeepShownCentred&) = delete;

 private:
  struct State {
    wxDialog* dialog;
    wxSize inner;
    bool active = true;  // false once the showing is over; later calls do nothing
    int corrections = 0;
  };
  static void check(State& state);
  std::shared_ptr<State> state_;
  wxEvtHandler events_;
};

// Windows 4 to 9: titled, fixed-size dialogs that their commands fill.
bool createFixedDialog(wxDialog* dialog, wxWindow* parent, const char* title, int width, int height);

}  // namespace zor::editor::ui
