#include "editor/ui/fixed_dialogs.h"

#include "editor/ui/fitted_layout.h"

#include <gtk/gtk.h>
#include <wx/button.h>
#include <wx/display.h>
#include <wx/listbox.h>
#include <wx/msgdlg.h>
#include <wx/panel.h>
#include <wx/stattext.h>
#include <wx/stc/stc.h>
#include <wx/textctrl.h>
#include <wx/valtext.h>

#include <cstdlib>

namespace zor::editor::ui {

namespace {

constexpr int kMargin = 5;

wxString fromUtf8(const std::string& s) { return wxString::FromUTF8(s.data(), s.size()); }

}  // namespace

bool ChooserDialog::create(wxWindow* parent) {
  if (!Create(parent, wxID_ANY, "", wxDefaultPosition, wxDefaultSize, wxCAPTION | wxSYSTEM_MENU | wxCLOSE_BOX)) {
    return false;
  }
  panel_ = new wxPanel(this, wxID_ANY);
  prompt_ = new wxStaticText(panel_, wxID_ANY, "");
  keepOnOneLine(prompt_);
  list_ = new wxListBox(panel_, wxID_ANY, wxDefaultPosition, wxDefaultSize, 0, nullptr, wxLB_SINGLE);
  ok_ = new wxButton(panel_, wxID_OK, "OK");
  cancel_ = new wxButton(panel_, wxID_CANCEL, "Cancel");
  layout();
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

void ChooserDialog::layout() {
  const int w = 240, h = 240, m = kMargin;
  FittedLayout fitted;
  fitted.addLabel(prompt_, m, m, w - 2 * m, 20);
  fitted.add(list_, m, m + 20, w - 2 * m, h - 2 * m - 60);
  fitted.add(ok_, 4 * m, h - m - 30, 80, 25);
  fitted.add(cancel_, w - 4 * m - 80, h - m - 30, 80, 25);
  const wxSize size = fitted.apply(w, h);
  panel_->SetSize(size);
  SetClientSize(size);
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
  layout();
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
  panel_ = new wxPanel(this, wxID_ANY);
  prompt_ = new wxStaticText(panel_, wxID_ANY, "");
  keepOnOneLine(prompt_);
  field_ = new wxTextCtrl(panel_, wxID_ANY, "", wxDefaultPosition, wxDefaultSize, wxTE_PROCESS_ENTER);
  ok_ = new wxButton(panel_, wxID_OK, "OK");
  cancel_ = new wxButton(panel_, wxID_CANCEL, "Cancel");
  layout();
  ok_->SetDefault();
  SetEscapeId(wxID_CANCEL);
  field_->Bind(wxEVT_TEXT_ENTER, [this](wxCommandEvent&) { EndModal(wxID_OK); });
  Bind(wxEVT_CLOSE_WINDOW, [this](wxCloseEvent&) { EndModal(wxID_CANCEL); });
  return true;
}

void InputDialog::layout() {
  const int w = 300, h = 90, m = kMargin;
  FittedLayout fitted;
  fitted.addLabel(prompt_, m, m, w - 2 * m, 20);
  fitted.add(field_, 2 * m, m + 20, w - 4 * m, 20);
  fitted.add(ok_, 10 * m, h - m - 30, 80, 25);
  fitted.add(cancel_, w - 10 * m - 80, h - m - 30, 80, 25);
  const wxSize size = fitted.apply(w, h);
  panel_->SetSize(size);
  SetClientSize(size);
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
  layout();
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

namespace {

// Where the desktop shows a window with its frame: wx may not know the frame of a
// window that a window manager decorated before wx asked.
wxRect desktopRect(wxWindow* window) {
  GdkWindow* gdk = gtk_widget_get_window(static_cast<GtkWidget*>(window->GetHandle()));
  if (!gdk) return window->GetRect();
  GdkRectangle r;
  gdk_window_get_frame_extents(gdk, &r);
  return wxRect(r.x, r.y, r.width, r.height);
}

}  // namespace

KeepShownCentred::KeepShownCentred(wxDialog* dialog, wxSize inner)
    : state_(std::make_shared<State>(State{dialog, inner})) {
  dialog->SetClientSize(inner);
  if (wxWindow* parent = dialog->GetParent(); parent && parent->IsShown()) {
    const wxRect main = desktopRect(parent);
    const wxSize own = dialog->GetSize();
    dialog->Move(main.x + (main.width - own.x) / 2, main.y + (main.height - own.y) / 2);
  } else {
    dialog->CentreOnScreen();
  }
  auto later = [state = state_](wxEvent& event) {
    event.Skip();
    state->dialog->CallAfter([state] { check(*state); });
  };
  events_.Bind(wxEVT_SIZE, later);
  events_.Bind(wxEVT_MOVE, later);
  events_.Bind(wxEVT_SHOW, later);
  dialog->PushEventHandler(&events_);
}

KeepShownCentred::~KeepShownCentred() {
  state_->active = false;
  state_->dialog->PopEventHandler(false);
}

void KeepShownCentred::check(State& state) {
  wxDialog* dialog = state.dialog;
  if (!state.active || !dialog->IsShown() || state.corrections >= 10) return;
  bool corrected = false;
  if (dialog->GetClientSize() != state.inner) {
    dialog->SetClientSize(state.inner);
    corrected = true;
  }
  if (wxWindow* parent = dialog->GetParent(); parent && parent->IsShown()) {
    const wxRect main = desktopRect(parent);
    const wxSize own = dialog->GetSize();
    const wxPoint centred(main.x + (main.width - own.x) / 2, main.y + (main.height - own.y) / 2);
    const wxPoint at = dialog->GetPosition();
    if (std::abs(at.x - centred.x) > 1 || std::abs(at.y - centred.y) > 1) {
      dialog->Move(centred);
      corrected = true;
    }
  }
  if (corrected) ++state.corrections;
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
