#include "editor/ui/form_dialog.h"

#include "editor/ui/fixed_dialogs.h"

#include <wx/button.h>
#include <wx/dialog.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/valtext.h>

#include <string>
#include <vector>

namespace zor::editor::ui {
namespace {

wxString fromUtf8(const std::string& s) { return wxString::FromUTF8(s.data(), s.size()); }

}  // namespace

bool runFormDialog(wxDialog* dialog, FormRequest& request, const std::function<void()>& help) {
  if (!dialog) return false;
  dialog->DestroyChildren();
  dialog->SetTitle(fromUtf8(request.title));
  dialog->SetClientSize(request.width, request.height);
  if (!request.heading.empty()) {
    new wxStaticText(dialog, wxID_ANY, fromUtf8(request.heading), wxPoint(request.labelX, 8), wxSize(300, -1));
  }
  std::vector<wxTextCtrl*> fields;
  for (std::size_t i = 0; i < request.fields.size(); ++i) {
    const FormField& field = request.fields[i];
    new wxStaticText(dialog, wxID_ANY, fromUtf8(field.label), wxPoint(request.labelX, field.y + 3),
                     wxSize(request.labelWidth, -1));
    const int width = request.fieldWidth - (field.browse ? 20 : 0);
    auto* text = new wxTextCtrl(dialog, wxID_ANY, "", wxPoint(request.fieldX, field.y), wxSize(width, 20));
    if (field.flags & formfield::Digits) text->SetValidator(wxTextValidator(wxFILTER_DIGITS));
    text->ChangeValue(fromUtf8(field.value));
    if (field.flags & formfield::LowerCase) {
      text->Bind(wxEVT_TEXT, [text](wxCommandEvent&) {
        const wxString value = text->GetValue();
        const wxString lower = value.Lower();
        if (lower != value) {
          const long at = text->GetInsertionPoint();
          text->ChangeValue(lower);
          text->SetInsertionPoint(at);
        }
      });
    }
    fields.push_back(text);
    if (field.browse) {
      auto* button = new wxButton(dialog, wxID_ANY, "...", wxPoint(request.fieldX + width, field.y), wxSize(20, 20));
      button->Bind(wxEVT_BUTTON, [&request, text, i](wxCommandEvent&) {
        std::string chosen;
        if (request.browse && request.browse(static_cast<int>(i), text->GetValue().utf8_string(), &chosen)) {
          text->ChangeValue(fromUtf8(chosen));
        }
      });
    }
  }
  auto* ok = new wxButton(dialog, wxID_OK, "OK", wxPoint(40, request.buttonsY), wxSize(80, 25));
  new wxButton(dialog, wxID_CANCEL, "Cancel", wxPoint(200, request.buttonsY), wxSize(80, 25));
  ok->SetDefault();
  dialog->SetEscapeId(wxID_CANCEL);
  ok->Bind(wxEVT_BUTTON, [&request, &fields, dialog](wxCommandEvent&) {
    std::vector<std::string> values;
    for (wxTextCtrl* f : fields) values.push_back(f->GetValue().utf8_string());
    const int focus = request.check ? request.check(values) : -1;
    if (focus < 0) {
      dialog->EndModal(wxID_OK);
    } else if (static_cast<std::size_t>(focus) < fields.size()) {
      fields[static_cast<std::size_t>(focus)]->SetFocus();
      fields[static_cast<std::size_t>(focus)]->SelectAll();
    }
  });
  if (!fields.empty()) {
    const std::size_t focus = request.focus >= 0 && static_cast<std::size_t>(request.focus) < fields.size()
                                  ? static_cast<std::size_t>(request.focus)
                                  : 0;
    fields[focus]->SetFocus();
  }
  // F1 through a handler pushed for this showing only, as the dialog is shown again later.
  wxEvtHandler keys;
  keys.Bind(wxEVT_CHAR_HOOK, [&help](wxKeyEvent& event) {
    if (event.GetKeyCode() == WXK_F1 && event.GetModifiers() == wxMOD_NONE) {
      if (help) help();
    } else {
      event.Skip();
    }
  });
  dialog->PushEventHandler(&keys);
  bool confirmed = false;
  {
    KeepShownCentred place(dialog, dialog->GetClientSize());
    confirmed = dialog->ShowModal() == wxID_OK;
  }
  dialog->PopEventHandler(false);
  if (confirmed) {
    for (std::size_t i = 0; i < fields.size(); ++i) request.fields[i].value = fields[i]->GetValue().utf8_string();
  }
  dialog->DestroyChildren();
  return confirmed;
}

}  // namespace zor::editor::ui
