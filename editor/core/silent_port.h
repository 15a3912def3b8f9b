// A desktop that shows nothing and answers every question with No: for running the
// editor's core without a window (benchmarks, fuzzing).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "editor/core/port.h"

namespace zor::editor {

class SilentPort : public EditorPort {
 public:
  void setStatus(int, const std::string&) override {}
  void setTitle(const std::string&) override {}
  void messageBox(const std::string&, const std::string&, MessageIcon) override {}
  Answer ask(const std::string&, const std::string&, QuestionButtons) override { return Answer::No; }
  int runChooser(const ChooserRequest&) override { return -1; }
  bool promptForText(const std::string&, const std::string&, const std::string&, int, std::string*) override {
    return false;
  }
  FileChoice openFileRequester(const FileRequest&) override { return {}; }
  FileChoice saveFileRequester(const FileRequest&) override { return {}; }
  bool setClipboardText(const std::string&) override { return false; }
  std::string clipboardText() override { return ""; }
  void startTimer(int, int) override {}
  void stopTimer(int) override {}
  int startProcess(const std::vector<std::string>&, const std::string&, bool) override { return -1; }
  int64_t now() override { return 0; }
  void showMainWindow(bool) override {}
  void redrawCanvas() override {}
  void focusCanvas() override {}
  void refreshPanel() override {}
  void setRecentFiles(const std::vector<std::string>&) override {}
  void endProgram(int) override {}
};

}  // namespace zor::editor
