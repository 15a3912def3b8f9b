#include "editor/ui/editor_app.h"

#include <wx/display.h>
#include <wx/event.h>
#include <wx/textctrl.h>
#include <wx/timer.h>

#include <cstdlib>
#include <unistd.h>

#include "editor/core/canvas_controller.h"
#include "editor/core/session.h"
#include "editor/ui/canvas_panel.h"
#include "editor/ui/fixed_dialogs.h"
#include "editor/ui/main_frame.h"
#include "editor/ui/secondary_windows.h"
#include "platform/files.h"

namespace zor::editor::ui {

namespace {

std::string environment(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

// The events that make a turn of the main loop: what the user and the desktop
// send, not the loop's own painting, idling and deferred calls.
bool isLoopEvent(const wxEvent& event) {
  const wxEventType t = event.GetEventType();
  if (dynamic_cast<const wxMouseEvent*>(&event) || dynamic_cast<const wxKeyEvent*>(&event)) return true;
  return t == wxEVT_MENU || t == wxEVT_BUTTON || t == wxEVT_TEXT || t == wxEVT_TEXT_ENTER || t == wxEVT_CHECKBOX ||
         t == wxEVT_CHOICE || t == wxEVT_COMBOBOX || t == wxEVT_LISTBOX || t == wxEVT_CLOSE_WINDOW ||
         t == wxEVT_SIZE || t == wxEVT_MOVE || t == wxEVT_TIMER || t == wxEVT_DROP_FILES;
}

}  // namespace

bool EditorApp::OnInit() {
  if (startUp()) return true;
  // Ended during start-up (Cancel in the backup check, or a fatal error). With
  // the window made, the loop ends by itself once it has been destroyed.
  return madeWindow_;
}

int EditorApp::OnRun() {
  const int code = wxApp::OnRun();
  return ending_ ? exitCode_ : code;
}

int EditorApp::OnExit() {
  editor_.reset();
  return wxApp::OnExit();
}

bool EditorApp::startUp() {
  // Paths named on the command line are taken against the folder the user started in.
  const std::string startFolder = files::currentFolder();
  const std::string programFolder = files::programFolder();
  if (!programFolder.empty() && ::chdir(programFolder.c_str()) != 0) {
    // The program folder stays only a base for paths; nothing depends on the current folder.
  }
  SetExitOnFrameDelete(true);

  port_ = std::make_unique<WxPort>();
  port_->clockOffsetFile = environment("ZORLED_TEST_CLOCK_FILE");
  port_->onModalEnded = [this] {
    if (afterEventWaiting_) {
      afterEventWaiting_ = false;
      scheduleAfterEvent();
    }
  };
  port_->onEnd = [this](int code) { end(code); };
  port_->onHelp = [this](HelpWindow window) {
    if (editor_) showWindowHelp(*editor_, window);
  };
  editor_ = std::make_unique<Editor>(*port_);
  Editor& editor = *editor_;

  const UiFonts fonts = loadFonts();
  editor.folders = findFolders(programFolder.empty() ? startFolder : programFolder, startFolder,
                               environment("XDG_CONFIG_HOME"), environment("HOME"));
  editor.prefs = readPreferences(editor.folders.preference + kPreferenceFileName);

  std::vector<ScreenRect> screens;
  for (unsigned i = 0; i < wxDisplay::GetCount(); ++i) {
    const wxRect r = wxDisplay(i).GetClientArea();
    screens.push_back({r.x, r.y, r.width, r.height});
  }
  fitGeometryToScreens(editor.prefs, screens);

  frame_ = new MainFrame(editor);
  madeWindow_ = true;
  port_->frame = frame_;
  if (!frame_->create(fonts, [this](const std::string& paths) {
        // Opened on the next turn of the loop, outside the desktop's drop callback.
        CallAfter([this, paths] {
          if (!editor_ || editor_->session.ended) return;
          openDroppedFiles(*editor_, paths);
          scheduleAfterEvent();
        });
      })) {
    delete frame_;
    frame_ = nullptr;
    madeWindow_ = false;
    port_->frame = nullptr;
    fatalError(editor, "Main window could not be created!");
    return false;
  }
  if (editor.prefs.winMax) frame_->Maximize(true);
  else if (!editor.prefs.fileFound) frame_->CentreOnScreen();
  frame_->canvas()->attach(&editor);
  frame_->Bind(wxEVT_TIMER, [this](wxTimerEvent& e) {
    if (editor_ && e.GetId() == kCycleTimer) canvasTimer(*editor_);
  });
  port_->setRecentFiles(editor.prefs.recentFiles);

  const std::string failure = createSecondaryWindows(*port_, frame_, fonts, editor.prefs);
  if (!failure.empty()) {
    fatalError(editor, failure);
    return false;
  }

  std::vector<std::string> args;
  for (int i = 1; i < argc; ++i) args.push_back(argv[i].utf8_string());
  readCommandLine(editor, args);
  reopenLastGame(editor);
  if (!runBackupCheck(editor)) return false;

  if (editor.zone.selectionKind == 0) editor.zone.selectionKind = kSelectionNone;
  updateWindowTitle(editor, false);
  frame_->layoutGadgets();
  frame_->Show();
  frame_->canvas()->Refresh();
  frame_->Raise();
  frame_->canvas()->SetFocus();
  return true;
}

int EditorApp::FilterEvent(wxEvent& event) {
  if (editor_ && !ending_ && isLoopEvent(event)) {
    if (port_->inModal()) {
      // A dialog's own loop: the after-event steps wait for the main loop.
      afterEventWaiting_ = true;
    } else {
      scheduleAfterEvent();
    }
  }
  return Event_Skip;
}

void EditorApp::scheduleAfterEvent() {
  if (afterEventQueued_) return;
  afterEventQueued_ = true;
  CallAfter([this] { runAfterEvent(); });
}

void EditorApp::runAfterEvent() {
  afterEventQueued_ = false;
  if (!editor_ || ending_) return;
  if (port_->inModal()) {
    afterEventWaiting_ = true;
    return;
  }
  afterEvent(*editor_);
}

void EditorApp::end(int exitCode) {
  if (ending_) return;
  ending_ = true;
  exitCode_ = exitCode;
  if (frame_) {
    frame_->Hide();
    frame_->Destroy();  // the fixed dialogs go with it
    frame_ = nullptr;
  }
  port_->frame = nullptr;
  port_->windows = FixedWindows{};
  if (IsMainLoopRunning()) ExitMainLoop();
}

}  // namespace zor::editor::ui
