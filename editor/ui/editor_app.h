// The program: start-up in its fixed order, the single event loop with the
// after-event steps (automatic backup, quit), and the way out.
#pragma once

#include <wx/app.h>

#include <memory>

#include "editor/core/editor.h"
#include "editor/ui/wx_port.h"

namespace zor::editor::ui {

class MainFrame;

class EditorApp : public wxApp {
 public:
  bool OnInit() override;
  int OnRun() override;
  int OnExit() override;
  int FilterEvent(wxEvent& event) override;

 private:
  bool startUp();
  void scheduleAfterEvent();
  void runAfterEvent();
  void end(int exitCode);

  std::unique_ptr<WxPort> port_;
  std::unique_ptr<Editor> editor_;
  MainFrame* frame_ = nullptr;
  bool afterEventQueued_ = false;
  bool afterEventWaiting_ = false;  // due once the open modal dialog has closed
  int exitCode_ = 0;
  bool ending_ = false;
  bool madeWindow_ = false;
};

}  // namespace zor::editor::ui
