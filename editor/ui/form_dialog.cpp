#include "editor/ui/form_dialog.h"

#include "editor/ui/fitted_layout.h"
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
  FittedLayout layout;
  if (!request.heading.empty()) {
    layout.addLabel(new wxStaticText(dialog, wxID_ANY, fromUtf8(request.heading)), request.labelX, 8, 300, 20);
  }
  std::vector<wxTextCtrl*> fields;
  for (std::size_t i = 0; i < request.fields.size(); ++i) {
    const FormField& field = request.fields[i];
    layout.addLabel(new wxStaticText(dialog, wxID_ANY, fromUtf8(field.label)), request.labelX, field.y,
                    request.labelWidth, 20);
    const int width = request.fieldWidth - (field.browse ? 20 : 0);
    auto* text = new wxTextCtrl(dialog, wxID_ANY, "");
    layout.add(text, request.fieldX, field.y, width, 20);
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
      auto* button = new wxButton(dialog, wxID_ANY, "...", wxDefaultPosition, wxDefaultSize, wxBU_EXACTFIT);
      layout.add(button, request.fieldX + width, field.y, 20, 20);
      button->Bind(wxEVT_BUTTON, [&request, text, i](wxCommandEvent&) {
        std::string chosen;
        if (request.browse && request.browse(static_cast<int>(i), text->GetValue().utf8_string(), &chosen)) {
          text->ChangeValue(fromUtf8(chosen));
        }
      });
    }
  }
  auto* ok = new wxButton(dialog, wxID_OK, "OK");
  layout.add(ok, 40, request.buttonsY, 80, 25);
  layout.add(new wxButton(dialog, wxID_CANCEL, "Cancel"), 200, request.buttonsY, 80, 25);
  dialog->SetClientSize(layout.apply(request.width, request.height));
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
