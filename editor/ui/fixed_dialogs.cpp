#include "editor/ui/fixed_dialogs.h"

#include <wx/button.h>
#include <wx/display.h>
#include <wx/listbox.h>
#include <wx/msgdlg.h>
#include <wx/panel.h>
#include <wx/stattext.h>
#include <wx/stc/stc.h>
#include <wx/textctrl.h>
#include <wx/valtext.h>

namespace zor::editor::ui {

namespace {

constexpr int kMargin = 5;

wxString fromUtf8(const std::string& s) { return wxString::FromUTF8(s.data(), s.size()); }

}  // namespace

bool ChooserDialog::create(wxWindow* parent) {
  if (!Create(parent, wxID_ANY, "", wxDefaultPosition, wxDefaultSize, wxCAPTION | wxSYSTEM_MENU | wxCLOSE_BOX)) {
    return false;
  }
  SetClientSize(240, 240);
  const int w = 240;
  const int h = 240;
  const int m = kMargin;
  auto* panel = new wxPanel(this, wxID_ANY, wxPoint(0, 0), wxSize(w, h));
  prompt_ = new wxStaticText(panel, wxID_ANY, "", wxPoint(m, m), wxSize(w - 2 * m, 20));
  list_ = new wxListBox(panel, wxID_ANY, wxPoint(m, m + 20), wxSize(w - 2 * m, h - 2 * m - 60), 0, nullptr,
                        wxLB_SINGLE);
  ok_ = new wxButton(panel, wxID_OK, "OK", wxPoint(4 * m, h - m - 30), wxSize(80, 25));
  cancel_ = new wxButton(panel, wxID_CANCEL, "Cancel", wxPoint(w - 4 * m - 80, h - m - 30), wxSize(80, 25));
  ok_->SetDefault();
  SetEscapeId(wxID_CANCEL);
  // Enter in the list answers through the list's activation when the key goes
  // down; the desktop then also clicks the default button, when the key comes
  // up, by then perhaps in the next chooser. A click counts only when the
  // button itself was pressed (mouse or key) while this chooser was shown.
  auto arm = [this](auto& e) {
    okPressed_ = true;
    e.Skip();
  };
  ok_->Bind(wxEVT_LEFT_DOWN, arm);
  ok_->Bind(wxEVT_KEY_DOWN, arm);
  ok_->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) {
    if (okPressed_) onOk();
  });
  list_->Bind(wxEVT_LISTBOX_DCLICK, [this](wxCommandEvent&) { onOk(); });
  // The desktop selects the list's first row when the list gets the focus; a
  // chooser without a preselection keeps none until the user picks one.
  list_->Bind(wxEVT_SET_FOCUS, [this](wxFocusEvent& e) {
    e.Skip();
    if (keepUnselected_) CallAfter([this] {
        if (keepUnselected_) list_->SetSelection(wxNOT_FOUND);
      });
  });
  auto userPicks = [this](auto& e) {
    keepUnselected_ = false;
    e.Skip();
  };
  list_->Bind(wxEVT_KEY_DOWN, [this, userPicks](wxKeyEvent& e) {
    // Enter answers only with a row picked; the list would pick its cursor row itself.
    const bool enter = e.GetKeyCode() == WXK_RETURN || e.GetKeyCode() == WXK_NUMPAD_ENTER;
    if (enter && list_->GetSelection() == wxNOT_FOUND) return;
    userPicks(e);
  });
  list_->Bind(wxEVT_LEFT_DOWN, userPicks);
  Bind(wxEVT_CLOSE_WINDOW, [this](wxCloseEvent&) { finish(wxID_CANCEL); });
  return true;
}

void ChooserDialog::onOk() {
  if (list_->GetSelection() != wxNOT_FOUND) finish(wxID_OK);
}

void ChooserDialog::finish(int code) {
  if (IsModal()) EndModal(code);  // a dialog ends once
}

int ChooserDialog::run(const ChooserRequest& request, wxWindow* mainWindow) {
  if (request.items.empty()) return -1;
  SetTitle(fromUtf8(request.title));
  prompt_->SetLabel(fromUtf8(request.prompt));
  list_->Clear();
  for (const std::string& item : request.items) list_->Append(fromUtf8(item));
  if (request.preselect >= 0 && request.preselect < static_cast<int>(request.items.size())) {
    list_->SetSelection(request.preselect);
  }
  const long style = GetWindowStyleFlag();
  if (request.keepOnTop) SetWindowStyleFlag(style | wxSTAY_ON_TOP);
  if (request.centreOnDesktop && wxDisplay::GetCount() > 0) {
    const wxRect area = wxDisplay(0u).GetClientArea();
    const wxSize size = GetSize();
    SetPosition(wxPoint(area.x + (area.width - size.x) / 2, area.y + (area.height - size.y) / 2));
  } else if (mainWindow && mainWindow->IsShown()) {
    CentreOnParent();
  } else {
    CentreOnScreen();
  }
  okPressed_ = false;
  keepUnselected_ = request.preselect < 0 || request.preselect >= static_cast<int>(request.items.size());
  if (keepUnselected_) list_->SetSelection(wxNOT_FOUND);
  list_->SetFocus();
  const int result = ShowModal();
  SetWindowStyleFlag(style);
  return result == wxID_OK ? list_->GetSelection() : -1;
}

bool InputDialog::create(wxWindow* parent) {
  if (!Create(parent, wxID_ANY, "", wxDefaultPosition, wxDefaultSize, wxCAPTION | wxSYSTEM_MENU | wxCLOSE_BOX)) {
    return false;
  }
  SetClientSize(300, 90);
  const int w = 300;
  const int h = 90;
  const int m = kMargin;
  auto* panel = new wxPanel(this, wxID_ANY, wxPoint(0, 0), wxSize(w, h));
  prompt_ = new wxStaticText(panel, wxID_ANY, "", wxPoint(m, m), wxSize(w - 2 * m, 20));
  field_ = new wxTextCtrl(panel, wxID_ANY, "", wxPoint(2 * m, m + 20), wxSize(w - 4 * m, 20), wxTE_PROCESS_ENTER);
  ok_ = new wxButton(panel, wxID_OK, "OK", wxPoint(10 * m, h - m - 30), wxSize(80, 25));
  cancel_ = new wxButton(panel, wxID_CANCEL, "Cancel", wxPoint(w - 10 * m - 80, h - m - 30), wxSize(80, 25));
  ok_->SetDefault();
  SetEscapeId(wxID_CANCEL);
  field_->Bind(wxEVT_TEXT_ENTER, [this](wxCommandEvent&) { EndModal(wxID_OK); });
  Bind(wxEVT_CLOSE_WINDOW, [this](wxCloseEvent&) { EndModal(wxID_CANCEL); });
  return true;
}

bool InputDialog::run(const std::string& title, const std::string& prompt, const std::string& defaultText,
                      int fieldFlags, std::string* result) {
  SetTitle(fromUtf8(title));
  prompt_->SetLabel(fromUtf8(prompt));
  if (fieldFlags & 1) {
    field_->SetValidator(wxTextValidator(wxFILTER_DIGITS));
  } else {
    field_->SetValidator(wxDefaultValidator);
  }
  field_->ChangeValue(fromUtf8(defaultText));
  CentreOnParent();
  field_->SelectAll();
  field_->SetFocus();
  if (ShowModal() != wxID_OK) return false;
  if (result) *result = field_->GetValue().utf8_string();
  return true;
}

bool ScriptWindow::create(wxWindow* parent, const wxFont& noticeFont) {
  if (!Create(parent, wxID_ANY, "", wxDefaultPosition, wxDefaultSize,
              wxCAPTION | wxSYSTEM_MENU | wxCLOSE_BOX | wxRESIZE_BORDER)) {
    return false;
  }
  SetClientSize(586, 440);
  SetMinClientSize(wxSize(440, 165));
  text_ = new wxStyledTextCtrl();
  if (!text_->Create(this, wxID_ANY, wxPoint(0, 0), GetClientSize())) {
    delete text_;
    text_ = nullptr;
    auto* notice = new wxStaticText(this, wxID_ANY, "Scintilla failed to initialize.", wxPoint(5, 5));
    notice->SetFont(noticeFont);
    wxMessageBox("Scintilla (the script editor) failed to initialize!", "ZorlED", wxOK | wxICON_WARNING);
  }
  return true;
}

bool createFixedDialog(wxDialog* dialog, wxWindow* parent, const char* title, int width, int height) {
  if (!dialog->Create(parent, wxID_ANY, title, wxDefaultPosition, wxDefaultSize,
                      wxCAPTION | wxSYSTEM_MENU | wxCLOSE_BOX)) {
    return false;
  }
  dialog->SetClientSize(width, height);
  dialog->SetEscapeId(wxID_CANCEL);
  return true;
}

}  // namespace zor::editor::ui
