#include "editor/ui/cleanup_dialog.h"

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/clntdata.h>
#include <wx/dialog.h>
#include <wx/listbox.h>
#include <wx/panel.h>
#include <wx/radiobut.h>
#include <wx/statbox.h>
#include <wx/textctrl.h>

#include <string>
#include <vector>

#include "editor/core/cleanup.h"
#include "editor/core/editor.h"
#include "editor/ui/main_frame.h"
#include "editor/ui/canvas_panel.h"
#include "editor/ui/fitted_layout.h"
#include "editor/ui/wx_port.h"

namespace zor::editor::ui {

namespace {

wxString fromUtf8(const std::string& s) { return wxString::FromUTF8(s.data(), s.size()); }

// The window's gadgets and what it keeps between openings; owned by the window.
struct CleanupGadgets : wxClientData {
  CleanupDialogState state;
  wxRadioButton* external = nullptr;
  wxTextCtrl* path = nullptr;
  wxButton* browse = nullptr;
  wxRadioButton* openGame = nullptr;
  wxCheckBox* useless = nullptr;
  wxCheckBox* redundant = nullptr;
  wxCheckBox* whitespace = nullptr;
  wxCheckBox* scripts = nullptr;
  wxCheckBox* comments = nullptr;
  wxCheckBox* sec = nullptr;
  wxListBox* log = nullptr;
  Editor* editor = nullptr;
  WxPort* port = nullptr;

  void showLog(const std::vector<std::string>& lines) {
    log->Clear();
    for (const std::string& line : lines) log->Append(fromUtf8(line));
  }
  std::vector<std::string> logLines() const {
    std::vector<std::string> lines;
    for (unsigned i = 0; i < log->GetCount(); ++i) lines.push_back(log->GetString(i).utf8_string());
    return lines;
  }
  void readOptions() {
    CleanupOptions& o = state.options;
    o.openGame = openGame->GetValue();
    o.inputPath = path->GetValue().utf8_string();
    o.useless = useless->GetValue();
    o.redundant = redundant->GetValue();
    o.whitespace = whitespace->GetValue();
    o.includeScripts = scripts->GetValue();
    o.comments = comments->GetValue();
    o.sec = sec->IsShown() && sec->GetValue();
  }
  void run() {
    readOptions();
    std::vector<std::string> lines = logLines();
    cleanUpGameFile(*editor, state.options, lines);
    showLog(lines);
  }
  void chooseInput() {
    const std::string chosen = chooseCleanupInputFile(*editor, path->GetValue().utf8_string());
    if (chosen.empty()) return;
    path->ChangeValue(fromUtf8(chosen));
    showLog({"..."});
    external->SetValue(true);
    path->Enable(true);
  }
};

CleanupGadgets* build(wxDialog* dialog) {
  auto* g = new CleanupGadgets;
  auto* panel = new wxPanel(dialog, wxID_ANY);
  FittedLayout layout;
  layout.add(new wxStaticBox(panel, wxID_ANY, "Input"), 10, 5, 290, 95);
  g->external = new wxRadioButton(panel, wxID_ANY, "Clean external file:", wxDefaultPosition, wxDefaultSize,
                                  wxRB_GROUP);
  layout.add(g->external, 20, 25, 250, 20);
  g->path = new wxTextCtrl(panel, wxID_ANY, "");
  layout.add(g->path, 40, 45, 226, 20);
  g->browse = new wxButton(panel, wxID_ANY, "...", wxDefaultPosition, wxDefaultSize, wxBU_EXACTFIT);
  layout.add(g->browse, 268, 45, 24, 20);
  g->openGame = new wxRadioButton(panel, wxID_ANY, "Clean currently open game");
  layout.add(g->openGame, 20, 70, 250, 20);
  layout.add(new wxStaticBox(panel, wxID_ANY, "Actions"), 10, 110, 290, 150);
  auto box = [panel, &layout](const char* caption, int x, int y, bool checked) {
    auto* b = new wxCheckBox(panel, wxID_ANY, caption);
    layout.add(b, x, y, 250, 20);
    b->SetValue(checked);
    return b;
  };
  g->useless = box("Remove useless attributes", 30, 130, true);
  g->redundant = box("Remove redundant attributes", 30, 150, true);
  g->whitespace = box("Remove extra whitespace", 30, 170, false);
  g->scripts = box("Include scripts (lose all formatting)", 50, 190, false);
  g->scripts->Enable(false);
  g->comments = box("Remove all XML comments", 30, 210, false);
  g->sec = box("Remove 'sec' marked nodes", 30, 230, false);
  g->sec->Hide();
  auto* run = new wxButton(panel, wxID_ANY, "Run");
  layout.add(run, 30, 270, 80, 25);
  layout.add(new wxButton(panel, wxID_CANCEL, "Close"), 200, 270, 80, 25);
  run->SetDefault();
  g->log = new wxListBox(panel, wxID_ANY);
  layout.add(g->log, 0, 305, 310, 420 - 305);
  const wxSize size = layout.apply(310, 420);
  panel->SetSize(size);
  dialog->SetClientSize(size);

  g->external->Bind(wxEVT_RADIOBUTTON, [g](wxCommandEvent&) { g->path->Enable(true); });
  g->openGame->Bind(wxEVT_RADIOBUTTON, [g](wxCommandEvent&) { g->path->Enable(false); });
  g->browse->Bind(wxEVT_BUTTON, [g](wxCommandEvent&) { g->chooseInput(); });
  g->whitespace->Bind(wxEVT_CHECKBOX, [g](wxCommandEvent&) { g->scripts->Enable(g->whitespace->GetValue()); });
  run->Bind(wxEVT_BUTTON, [g](wxCommandEvent&) { g->run(); });
  dialog->Bind(wxEVT_CHAR_HOOK, [g, dialog](wxKeyEvent& e) {
    const int key = e.GetKeyCode();
    if (e.GetModifiers() == wxMOD_CONTROL && (key == '5' || key == WXK_NUMPAD5 || key == WXK_NUMPAD_BEGIN)) {
      g->sec->Show();
      g->sec->SetValue(true);
      return;
    }
    if (key == WXK_F1 && e.GetModifiers() == wxMOD_NONE) {
      if (g->port) g->port->help(HelpWindow::Cleanup);
      return;
    }
    if (key == WXK_RETURN || key == WXK_NUMPAD_ENTER) {
      if (e.GetModifiers() == wxMOD_NONE && !dialog->FindFocus()->IsKindOf(wxCLASSINFO(wxButton))) {
        g->run();
        return;
      }
    }
    e.Skip();
  });
  dialog->SetEscapeId(wxID_CANCEL);
  dialog->SetClientObject(g);
  return g;
}

}  // namespace

void runCleanUpDialog(Editor& editor, WxPort& port) {
  wxDialog* dialog = port.windows.cleanup;
  if (!dialog) return;
  auto* g = static_cast<CleanupGadgets*>(dialog->GetClientObject());
  if (!g) g = build(dialog);
  g->editor = &editor;
  g->port = &port;

  g->showLog({"..."});
  prepareCleanupDialog(editor, g->state);
  g->openGame->Enable(gameOpen(editor));
  if (g->state.options.openGame) g->openGame->SetValue(true);
  else g->external->SetValue(true);
  g->path->Enable(!g->state.options.openGame);
  g->sec->SetValue(false);
  g->sec->Hide();

  WxPort::ModalScope modal(port);
  dialog->CentreOnParent();
  g->path->SetFocus();
  dialog->ShowModal();
  dialog->Hide();
}

}  // namespace zor::editor::ui
