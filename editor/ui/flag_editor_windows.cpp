#include "editor/ui/flag_editor_windows.h"

#include "editor/ui/fixed_dialogs.h"

#include <wx/button.h>
#include <wx/dialog.h>
#include <wx/listctrl.h>
#include <wx/radiobut.h>
#include <wx/stattext.h>

#include <functional>
#include <string>
#include <vector>

#include "editor/core/flag_editor_commands.h"
#include "platform/text.h"

namespace zor::editor::ui {
namespace {

wxString fromUtf8(const std::string& s) { return wxString::FromUTF8(s.data(), s.size()); }
wxString number(int i) { return fromUtf8(text::formatInt(i)); }

// The list's focused row, or -1.
int currentRow(wxListCtrl* list) {
  return static_cast<int>(list->GetNextItem(-1, wxLIST_NEXT_ALL, wxLIST_STATE_FOCUSED));
}

std::vector<int> selectedRows(wxListCtrl* list) {
  std::vector<int> rows;
  for (long i = list->GetNextItem(-1, wxLIST_NEXT_ALL, wxLIST_STATE_SELECTED); i != -1;
       i = list->GetNextItem(i, wxLIST_NEXT_ALL, wxLIST_STATE_SELECTED)) {
    rows.push_back(static_cast<int>(i));
  }
  return rows;
}

// OK and Cancel, Enter for OK and Del for the current row; the dialog is
// emptied of an earlier showing first.
void prepare(wxDialog* dialog, const char* title, int width, int height) {
  dialog->DestroyChildren();
  dialog->SetTitle(title);
  dialog->SetClientSize(width, height);
  dialog->SetEscapeId(wxID_CANCEL);
}

void addButtons(wxDialog* dialog, int y, int cancelX) {
  auto* ok = new wxButton(dialog, wxID_OK, "OK", wxPoint(25, y), wxSize(80, 25));
  new wxButton(dialog, wxID_CANCEL, "Cancel", wxPoint(cancelX, y), wxSize(80, 25));
  ok->SetDefault();
}

// Shows the dialog with no row selected and the list focused; `onDelete` runs
// for Del on the current row, `help` for F1. True on OK. The keys are handled by a handler
// pushed for this showing only, as the dialog is shown again later.
bool showWithList(wxDialog* dialog, wxListCtrl* list, const std::function<void(int)>& onDelete,
                  const std::function<void()>& help) {
  wxEvtHandler keys;
  keys.Bind(wxEVT_CHAR_HOOK, [dialog, list, &onDelete, &help](wxKeyEvent& event) {
    const int key = event.GetKeyCode();
    if (key == WXK_F1 && event.GetModifiers() == wxMOD_NONE) {
      if (help) help();
    } else if (key == WXK_RETURN || key == WXK_NUMPAD_ENTER) {
      dialog->EndModal(wxID_OK);
    } else if ((key == WXK_DELETE || key == WXK_NUMPAD_DELETE) && currentRow(list) >= 0) {
      onDelete(currentRow(list));
    } else {
      event.Skip();
    }
  });
  keys.Bind(wxEVT_CLOSE_WINDOW, [dialog](wxCloseEvent&) { dialog->EndModal(wxID_CANCEL); });
  dialog->PushEventHandler(&keys);
  list->SetFocus();
  bool confirmed = false;
  {
    KeepShownCentred place(dialog, dialog->GetClientSize());
    confirmed = dialog->ShowModal() == wxID_OK;
  }
  dialog->PopEventHandler(false);
  return confirmed;
}

wxListCtrl* flagList(wxDialog* dialog, int height) {
  auto* list = new wxListCtrl(dialog, wxID_ANY, wxPoint(5, 25), wxSize(350, height), wxLC_REPORT | wxLC_SINGLE_SEL);
  list->AppendColumn("", wxLIST_FORMAT_LEFT, 20);
  list->AppendColumn("Number", wxLIST_FORMAT_LEFT, 80);
  list->AppendColumn("Custom Name", wxLIST_FORMAT_LEFT, 220);
  return list;
}

void fillGFlagRows(wxListCtrl* list, const GFlagList& flags) {
  list->DeleteAllItems();
  const int n = static_cast<int>(flags.rows.size());
  for (int i = 0; i < n; ++i) {
    const GFlagRow& row = flags.rows[static_cast<std::size_t>(i)];
    list->InsertItem(i, "");
    list->SetItem(i, 1, number(i));
    list->SetItem(i, 2, fromUtf8(row.name));
    list->CheckItem(i, row.checked);
  }
  list->InsertItem(n, "");
  list->SetItem(n, 2, "Double-click to add more...");
}

void readGFlagChecks(wxListCtrl* list, GFlagList& flags) {
  for (std::size_t i = 0; i < flags.rows.size(); ++i) flags.rows[i].checked = list->IsItemChecked(static_cast<long>(i));
}

}  // namespace

bool runGFlagEditorWindow(wxDialog* dialog, EditorPort& port, GFlagList& flags, const std::function<void()>& help) {
  if (!dialog) return false;
  prepare(dialog, "GFlag Editor", 360, 515);
  new wxStaticText(dialog, wxID_ANY, "Double-click to rename GFlag, [Del] key to clear.", wxPoint(10, 5),
                   wxSize(330, -1));
  wxListCtrl* list = flagList(dialog, 300);
  list->EnableCheckBoxes();
  fillGFlagRows(list, flags);
  new wxStaticText(dialog, wxID_ANY, "When testing game:", wxPoint(10, 337), wxSize(130, -1), wxALIGN_RIGHT);
  const char* modes[] = {"Load GFlags from savefile", "Clear all (like new game)", "Set each GFlag checked above"};
  std::vector<wxRadioButton*> modeButtons;
  for (int i = 0; i < 3; ++i) {
    modeButtons.push_back(new wxRadioButton(dialog, wxID_ANY, modes[i], wxPoint(150, 335 + 20 * i), wxSize(210, 20),
                                            i == 0 ? wxRB_GROUP : 0));
  }
  modeButtons[static_cast<std::size_t>(flags.testMode >= 0 && flags.testMode <= 2 ? flags.testMode : 0)]->SetValue(true);
  new wxStaticText(dialog, wxID_ANY, "Start from:", wxPoint(10, 402), wxSize(130, -1), wxALIGN_RIGHT);
  auto* nearest = new wxRadioButton(dialog, wxID_ANY, "Entrance nearest to camera", wxPoint(150, 400), wxSize(210, 20),
                                    wxRB_GROUP);
  auto* main = new wxRadioButton(dialog, wxID_ANY, "Main (unnamed) entrance", wxPoint(150, 420), wxSize(210, 20));
  (flags.nearest ? nearest : main)->SetValue(true);
  new wxStaticText(dialog, wxID_ANY, "Selected entrance (always)", wxPoint(170, 442), wxSize(190, -1));
  addButtons(dialog, 470, 255);
  list->Bind(wxEVT_LIST_ITEM_ACTIVATED, [&port, &flags, list](wxListEvent& event) {
    readGFlagChecks(list, flags);
    activateGFlagRow(port, flags, static_cast<int>(event.GetIndex()));
    fillGFlagRows(list, flags);
  });
  const bool confirmed = showWithList(dialog, list, [&flags, list](int row) {
    readGFlagChecks(list, flags);
    clearGFlagRow(flags, row);
    if (row < static_cast<int>(flags.rows.size())) {
      list->SetItem(row, 2, "");
      list->CheckItem(row, false);
    }
  }, help);
  if (confirmed) {
    readGFlagChecks(list, flags);
    for (int i = 0; i < 3; ++i) {
      if (modeButtons[static_cast<std::size_t>(i)]->GetValue()) flags.testMode = i;
    }
    flags.nearest = nearest->GetValue();
  }
  dialog->DestroyChildren();
  return confirmed;
}

bool runZFlagEditorWindow(wxDialog* dialog, EditorPort& port, ZFlagNames& names, const std::function<void()>& help) {
  if (!dialog) return false;
  prepare(dialog, "ZFlag Editor", 360, 380);
  new wxStaticText(dialog, wxID_ANY, "Double-click to rename ZFlag, [Del] key to clear.", wxPoint(10, 5),
                   wxSize(330, -1));
  wxListCtrl* list = flagList(dialog, 300);
  for (int i = 0; i < kZoneFlagCount; ++i) {
    list->InsertItem(i, "");
    list->SetItem(i, 1, number(i));
    list->SetItem(i, 2, fromUtf8(names.names[static_cast<std::size_t>(i)]));
  }
  addButtons(dialog, 340, 255);
  list->Bind(wxEVT_LIST_ITEM_ACTIVATED, [&port, &names, list](wxListEvent& event) {
    const int row = static_cast<int>(event.GetIndex());
    activateZFlagRow(port, names, row);
    if (row >= 0 && row < kZoneFlagCount) list->SetItem(row, 2, fromUtf8(names.names[static_cast<std::size_t>(row)]));
  });
  const bool confirmed = showWithList(dialog, list, [&names, list](int row) {
    clearZFlagRow(names, row);
    if (row < kZoneFlagCount) list->SetItem(row, 2, "");
  }, help);
  dialog->DestroyChildren();
  return confirmed;
}

namespace {

void showSoundRow(wxListCtrl* list, const SoundRows& rows, int row) {
  const SoundSlot& slot = rows.slots[static_cast<std::size_t>(row)];
  list->SetItem(row, 2, fromUtf8(slot.customName));
  list->SetItem(row, 3, fromUtf8(slot.file));
  list->SetItem(row, 4, fromUtf8(slot.volume));
}

}  // namespace

bool runSoundEditorWindow(wxDialog* dialog, EditorPort& port, SoundRows& rows, const std::function<void()>& help) {
  if (!dialog) return false;
  prepare(dialog, "Sound Editor", 490, 425);
  auto* list = new wxListCtrl(dialog, wxID_ANY, wxPoint(5, 5), wxSize(480, 340), wxLC_REPORT);
  list->AppendColumn("Number", wxLIST_FORMAT_LEFT, 50);
  list->AppendColumn("Default Name", wxLIST_FORMAT_LEFT, 90);
  list->AppendColumn("Custom Name", wxLIST_FORMAT_LEFT, 90);
  list->AppendColumn("Custom WAV", wxLIST_FORMAT_LEFT, 150);
  list->AppendColumn("Custom Volume", wxLIST_FORMAT_LEFT, 90);
  const int count = static_cast<int>(rows.slots.size());
  for (int i = 0; i < count; ++i) {
    list->InsertItem(i, number(i));
    list->SetItem(i, 1, fromUtf8(builtInSoundName(i)));
    showSoundRow(list, rows, i);
  }
  auto showAll = [list, &rows, count] {
    for (int i = 0; i < count; ++i) showSoundRow(list, rows, i);
  };
  const struct {
    const char* label;
    int x;
    std::function<void()> action;
  } buttons[] = {
      {"Rename Selected", 5, [&] { renameSelectedSounds(port, rows, selectedRows(list), currentRow(list)); }},
      {"Select WAV...", 125, [&] { selectSoundWav(port, rows, selectedRows(list), currentRow(list)); }},
      {"Clear WAV", 245, [&] { clearSelectedWavs(rows, selectedRows(list)); }},
      {"Custom Volume", 365, [&] { setSelectedVolumes(port, rows, selectedRows(list), currentRow(list)); }},
  };
  for (const auto& b : buttons) {
    auto* button = new wxButton(dialog, wxID_ANY, b.label, wxPoint(b.x, 350), wxSize(120, 20));
    button->Bind(wxEVT_BUTTON, [action = b.action, showAll](wxCommandEvent&) {
      action();
      showAll();
    });
  }
  auto* ok = new wxButton(dialog, wxID_OK, "OK", wxPoint(25, 385), wxSize(80, 25));
  new wxButton(dialog, wxID_CANCEL, "Cancel", wxPoint(385, 385), wxSize(80, 25));
  ok->SetDefault();
  list->Bind(wxEVT_LIST_ITEM_ACTIVATED, [&port, &rows, list, showAll](wxListEvent&) {
    renameSelectedSounds(port, rows, selectedRows(list), currentRow(list));
    showAll();
  });
  const bool confirmed = showWithList(dialog, list, [&rows, list](int row) {
    clearSoundRow(rows, row);
    if (row < static_cast<int>(rows.slots.size())) showSoundRow(list, rows, row);
  }, help);
  dialog->DestroyChildren();
  return confirmed;
}

}  // namespace zor::editor::ui
