// A scripted desktop for the editor core: records what it was asked and
// answers from queues; its clock is set by the test.
#pragma once

#include <deque>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "editor/core/flag_name_editors.h"
#include "editor/core/port.h"

namespace zor::editor::test {

struct ShownMessage {
  std::string title;
  std::string text;
  MessageIcon icon;
};

class FakePort : public EditorPort {
 public:
  std::string status[2];
  std::vector<std::string> statusLog;
  std::string title;
  std::vector<ShownMessage> messages;
  std::vector<std::string> questions;
  std::deque<Answer> answers;  // default when empty: No
  std::vector<ChooserRequest> choosers;
  std::deque<int> chooserAnswers;  // default when empty: -1 (Cancel)
  std::vector<FileRequest> openRequests;
  std::vector<FileRequest> saveRequests;
  std::deque<FileChoice> fileChoices;  // default when empty: cancelled
  std::vector<std::vector<std::string>> processes;
  std::vector<std::string> recentFiles;
  std::string clipboard;
  int64_t clock = 1000000;
  bool windowShown = true;
  int endedWith = -1;

  void setStatus(int field, const std::string& text) override {
    status[field == 0 ? 0 : 1] = text;
    if (field == 0) statusLog.push_back(text);
  }
  void setTitle(const std::string& t) override { title = t; }
  void messageBox(const std::string& t, const std::string& text, MessageIcon icon) override {
    messages.push_back({t, text, icon});
  }
  Answer ask(const std::string&, const std::string& text, QuestionButtons) override {
    questions.push_back(text);
    if (answers.empty()) return Answer::No;
    const Answer a = answers.front();
    answers.pop_front();
    return a;
  }
  int runChooser(const ChooserRequest& request) override {
    choosers.push_back(request);
    if (chooserAnswers.empty()) return -1;
    const int a = chooserAnswers.front();
    chooserAnswers.pop_front();
    return a;
  }
  // Input dialogs: what each asked, and the texts typed (default when empty: Cancel).
  struct TextPrompt {
    std::string title;
    std::string prompt;
    std::string defaultText;
    int flags = 0;
  };
  std::vector<TextPrompt> prompts;
  std::deque<std::string> typedTexts;
  bool promptForText(const std::string& t, const std::string& prompt, const std::string& defaultText, int flags,
                     std::string* result) override {
    prompts.push_back({t, prompt, defaultText, flags});
    if (typedTexts.empty()) return false;
    if (result) *result = typedTexts.front();
    typedTexts.pop_front();
    return true;
  }
  FileChoice nextChoice() {
    if (fileChoices.empty()) return {};
    FileChoice c = fileChoices.front();
    fileChoices.pop_front();
    return c;
  }
  FileChoice openFileRequester(const FileRequest& r) override {
    openRequests.push_back(r);
    return nextChoice();
  }
  FileChoice saveFileRequester(const FileRequest& r) override {
    saveRequests.push_back(r);
    return nextChoice();
  }
  bool clipboardRefuses = false;  // the desktop's clipboard cannot be opened
  bool setClipboardText(const std::string& text) override {
    if (clipboardRefuses) return false;
    clipboard = text;
    return true;
  }
  std::string clipboardText() override { return clipboard; }
  // Forms: each answer types its texts into fields, then presses OK (when
  // `ok`) or Cancel. A failed check counts as the user cancelling after the
  // warning; the field it focused is kept.
  struct FormAnswer {
    bool ok = true;
    std::vector<std::pair<int, std::string>> typed;
  };
  std::vector<FormRequest> forms;
  std::deque<FormAnswer> formAnswers;  // default when empty: Cancel
  std::vector<int> formFocus;
  bool runForm(FormRequest& request) override {
    forms.push_back(request);
    if (formAnswers.empty()) return false;
    const FormAnswer answer = formAnswers.front();
    formAnswers.pop_front();
    std::vector<std::string> values;
    for (const FormField& f : request.fields) values.push_back(f.value);
    for (const auto& [field, text] : answer.typed) values.at(static_cast<std::size_t>(field)) = text;
    if (!answer.ok) return false;
    const int focus = request.check ? request.check(values) : -1;
    if (focus >= 0) {
      formFocus.push_back(focus);
      return false;
    }
    for (std::size_t i = 0; i < values.size(); ++i) request.fields[i].value = values[i];
    return true;
  }
  // The flag and sound editor windows: each edits the rows it is shown and
  // answers OK with true; without one set the window is cancelled.
  std::function<bool(GFlagList&)> gflagEditor;
  std::function<bool(ZFlagNames&)> zflagEditor;
  std::function<bool(SoundRows&)> soundEditor;
  bool runGFlagEditor(GFlagList& list) override { return gflagEditor && gflagEditor(list); }
  bool runZFlagEditor(ZFlagNames& names) override { return zflagEditor && zflagEditor(names); }
  bool runSoundEditor(SoundRows& rows) override { return soundEditor && soundEditor(rows); }
  // The colour requester: the start colours asked with, and the colours chosen
  // (default when empty: cancelled).
  std::vector<int32_t> colourStarts;
  std::deque<int32_t> chosenColours;
  bool chooseColour(int32_t start, int32_t* chosen) override {
    colourStarts.push_back(start);
    if (chosenColours.empty()) return false;
    *chosen = chosenColours.front();
    chosenColours.pop_front();
    return true;
  }
  void startTimer(int, int) override {}
  void stopTimer(int) override {}
  int startProcess(const std::vector<std::string>& argv, const std::string&, bool) override {
    processes.push_back(argv);
    return 1;
  }
  int64_t now() override { return clock; }
  // Each pause, with the number of choosers shown before it.
  std::vector<std::pair<int, std::size_t>> pauses;
  void pause(int milliseconds) override { pauses.emplace_back(milliseconds, choosers.size()); }
  void showMainWindow(bool shown) override { windowShown = shown; }
  void redrawCanvas() override {}
  int canvasFocuses = 0;
  void focusCanvas() override { ++canvasFocuses; }
  int panelRefreshes = 0;
  void refreshPanel() override { ++panelRefreshes; }
  std::vector<std::pair<PanelKind, int>> focusedFields;
  void focusPanelField(PanelKind kind, int field) override { focusedFields.emplace_back(kind, field); }
  int panelFieldWithFocus = -1;  // the field number the keyboard focus is in, or -1
  int focusedPanelField() override { return panelFieldWithFocus; }
  void setRecentFiles(const std::vector<std::string>& paths) override { recentFiles = paths; }
  void endProgram(int code) override { endedWith = code; }
};

}  // namespace zor::editor::test
