// The editor's window onto the desktop. The core asks the desktop for
// everything through this interface (status bar, title, message boxes,
// choosers, text input, file requesters, clipboard, timers, processes and the
// clock), so that tests can drive the whole editor with scripted answers.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "editor/core/form_request.h"
#include "editor/core/property_panels.h"
#include "platform/process.h"

namespace zor::editor {

class CanvasWindow;
class ScriptSession;
struct GFlagList;
struct SoundRows;
struct ZFlagNames;

enum class MessageIcon { Information, Warning, Error, Question };
enum class QuestionButtons { YesNo, YesNoCancel };
enum class Answer { Yes, No, Cancel };

// A modal list dialog (the Chooser window).
struct ChooserRequest {
  std::string title;
  std::string prompt;
  std::vector<std::string> items;
  int preselect = 0;  // -1: no item preselected
  bool centreOnDesktop = false;
  bool keepOnTop = false;
};

// File requesters. `pattern` holds "Label|*.a;*.b|Label|*" pairs.
struct FileRequest {
  std::string title;
  std::string startPath;  // a folder, or a file path whose folder is used
  std::string pattern;
  int patternIndex = 0;   // the pattern chosen at first
};
struct FileChoice {
  bool chosen = false;
  std::string path;       // absolute
  int patternIndex = 0;   // the pattern that was chosen
};

class EditorPort {
 public:
  virtual ~EditorPort() = default;

  // Status bar field 0 (command results) or 1 ("Unsaved changes.").
  virtual void setStatus(int field, const std::string& text) = 0;
  virtual void setTitle(const std::string& title) = 0;
  // Message texts may hold "\r\n" or "\n" line breaks.
  virtual void messageBox(const std::string& title, const std::string& text, MessageIcon icon) = 0;
  virtual Answer ask(const std::string& title, const std::string& text, QuestionButtons buttons) = 0;
  // Returns the chosen index, or -1 on Cancel or a close request.
  virtual int runChooser(const ChooserRequest& request) = 0;
  // One-line input; false on Cancel or a close request.
  virtual bool promptForText(const std::string& title, const std::string& prompt, const std::string& defaultText,
                             int fieldFlags, std::string* result) = 0;
  virtual FileChoice openFileRequester(const FileRequest& request) = 0;
  virtual FileChoice saveFileRequester(const FileRequest& request) = 0;
  // A modal form; true on OK (after its check passed) with the fields' values
  // updated, false on Cancel, Esc or a close request.
  virtual bool runForm(FormRequest& request) {
    (void)request;
    return false;
  }

  // The GFlag, ZFlag and Sound Editor windows, modal; true on OK with the
  // rows as edited, false on Cancel, Esc or a close request.
  virtual bool runGFlagEditor(GFlagList& list) {
    (void)list;
    return false;
  }
  virtual bool runZFlagEditor(ZFlagNames& names) {
    (void)names;
    return false;
  }
  virtual bool runSoundEditor(SoundRows& rows) {
    (void)rows;
    return false;
  }

  // The colour requester, colours as 0x00BBGGRR; `start` -1 for none. True
  // with the chosen colour, false when cancelled.
  virtual bool chooseColour(int32_t start, int32_t* chosen) {
    (void)start;
    (void)chosen;
    return false;
  }

  // Puts the text on the desktop clipboard; false when the clipboard could not take it.
  virtual bool setClipboardText(const std::string& text) = 0;
  virtual std::string clipboardText() = 0;

  virtual void startTimer(int id, int milliseconds) = 0;
  virtual void stopTimer(int id) = 0;
  // Starts a program with an argument vector in a folder. Without waiting the
  // result is whether it started; with waiting, its exit code (-1 when it
  // could not be started).
  virtual int startProcess(const std::vector<std::string>& argv, const std::string& folder, bool wait) = 0;
  // Runs a program to its end without handling the editor's events meanwhile,
  // telling a program that could not start (and why) from one that ran.
  virtual process::Result runProgram(const std::vector<std::string>& argv, const std::string& folder) {
    process::Result result;
    result.exitCode = startProcess(argv, folder, true);
    result.started = result.exitCode != -1;
    if (!result.started) result.error = "it could not be started";
    return result;
  }

  // The local date and time in seconds since 1970.
  virtual int64_t now() = 0;
  // Lets the windows redraw (a requester that just closed leaves the screen),
  // then waits; user input waits for the next turn.
  virtual void pause(int milliseconds) { (void)milliseconds; }

  // The main window.
  virtual void showMainWindow(bool shown) = 0;
  virtual void redrawCanvas() = 0;
  virtual void focusCanvas() = 0;
  // The canvas gadget, for ending a pan or drag that a key or a command cuts
  // short (the pointer grab goes with it); none without a window.
  virtual CanvasWindow* canvasWindow() { return nullptr; }
  virtual void refreshPanel() = 0;
  // Selects the whole text of a field of the shown panel and gives it the focus.
  virtual void focusPanelField(PanelKind kind, int field) {
    (void)kind;
    (void)field;
  }
  // The field of the shown panel that has the keyboard focus (its field
  // number, see property_panels.h), or -1 when the focus is elsewhere.
  virtual int focusedPanelField() { return -1; }
  // The captions of the recent-file items (empty slot: "-----", disabled).
  virtual void setRecentFiles(const std::vector<std::string>& paths) = 0;
  // Ends the program once the current event has been handled.
  virtual void endProgram(int exitCode) = 0;

  // The script window, modal over the main window; 1 when the user accepted
  // (see script_edit.h). Without a script window nothing can be accepted.
  virtual int runScriptWindow(ScriptSession& session) {
    (void)session;
    return 0;
  }
  // Opens a local file with the desktop's default handler, at `section` ("#name")
  // when it is not empty; false when that failed.
  virtual bool openWithDesktop(const std::string& path, const std::string& section) {
    (void)path;
    (void)section;
    return false;
  }
};

}  // namespace zor::editor
