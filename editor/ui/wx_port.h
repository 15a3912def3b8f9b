// The editor core's port over wxWidgets.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>

#include "editor/core/help_pages.h"
#include "editor/core/port.h"
#include "editor/ui/fixed_dialogs.h"

class wxDialog;
class wxTimer;
class wxWindow;

namespace zor::editor::ui {

class MainFrame;

class WxPort : public EditorPort {
 public:
  WxPort();
  ~WxPort() override;

  MainFrame* frame = nullptr;
  FixedWindows windows;
  // Called when the last modal dialog has closed.
  std::function<void()> onModalEnded;
  // Called when the program must end, with its exit code.
  std::function<void(int)> onEnd;
  // F1 in a secondary window: opens that window's help page.
  std::function<void(HelpWindow)> onHelp;
  void help(HelpWindow window) {
    if (onHelp) onHelp(window);
  }
  // Seconds added to the clock, read from this file at every reading (tests).
  std::string clockOffsetFile;

  bool inModal() const { return modalDepth_ > 0; }
  // Held while a modal dialog runs.
  struct ModalScope {
    explicit ModalScope(WxPort& p);
    ~ModalScope();
    ModalScope(const ModalScope&) = delete;
    ModalScope& operator=(const ModalScope&) = delete;
    WxPort& port;
  };

  void setStatus(int field, const std::string& text) override;
  void setTitle(const std::string& title) override;
  void messageBox(const std::string& title, const std::string& text, MessageIcon icon) override;
  Answer ask(const std::string& title, const std::string& text, QuestionButtons buttons) override;
  int runChooser(const ChooserRequest& request) override;
  bool promptForText(const std::string& title, const std::string& prompt, const std::string& defaultText,
                     int fieldFlags, std::string* result) override;
  FileChoice openFileRequester(const FileRequest& request) override;
  FileChoice saveFileRequester(const FileRequest& request) override;
  bool runForm(FormRequest& request) override;
  bool runGFlagEditor(GFlagList& list) override;
  bool runZFlagEditor(ZFlagNames& names) override;
  bool runSoundEditor(SoundRows& rows) override;
  bool chooseColour(int32_t start, int32_t* chosen) override;
  bool setClipboardText(const std::string& text) override;
  std::string clipboardText() override;
  void startTimer(int id, int milliseconds) override;
  void stopTimer(int id) override;
  int startProcess(const std::vector<std::string>& argv, const std::string& folder, bool wait) override;
  process::Result runProgram(const std::vector<std::string>& argv, const std::string& folder) override;
  int64_t now() override;
  void pause(int milliseconds) override;
  void showMainWindow(bool shown) override;
  void redrawCanvas() override;
  void focusCanvas() override;
  CanvasWindow* canvasWindow() override;
  void refreshPanel() override;
  void focusPanelField(PanelKind kind, int field) override;
  int focusedPanelField() override;
  void setRecentFiles(const std::vector<std::string>& paths) override;
  void endProgram(int exitCode) override;
  int runScriptWindow(ScriptSession& session) override;
  bool openWithDesktop(const std::string& path, const std::string& section) override;

 private:
  FileChoice fileRequester(const FileRequest& request, bool save);
  int modalDepth_ = 0;
  std::map<int, std::unique_ptr<wxTimer>> timers_;
};

// "\r\n" as the desktop shows a line break.
std::string desktopLineBreaks(const std::string& text);
// A requester pattern whose extensions match in any letter case ("*.xml" -> "*.[xX][mM][lL]").
std::string caseFreePattern(const std::string& pattern);

}  // namespace zor::editor::ui
