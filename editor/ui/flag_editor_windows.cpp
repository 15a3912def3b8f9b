#include "editor/ui/flag_editor_windows.h"

#include "editor/ui/fitted_layout.h"
#include "editor/ui/fixed_dialogs.h"

#include <wx/button.h>
#include <wx/dialog.h>
#include <wx/dcmemory.h>
#include <wx/imaglist.h>
#include <wx/listctrl.h>
#include <wx/renderer.h>
#include <wx/settings.h>
#include <wx/radiobut.h>
#include <wx/stattext.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "editor/core/flag_editor_commands.h"
#include "platform/text.h"

namespace zor::editor::ui {
namespace {

wxString fromUtf8(const std::string& s) { return wxString::FromUTF8(s.data(), s.size()); }
wxString number(int i) { return fromUtf8(text::formatInt(i)); }

// Pictures of the GFlag list's check column.
constexpr int kUnchecked = 0;
constexpr int kChecked = 1;

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

void addButtons(wxDialog* dialog, FittedLayout& layout, int y, int cancelX) {
  auto* ok = new wxButton(dialog, wxID_OK, "OK");
  layout.add(ok, 25, y, 80, 25);
  layout.add(new wxButton(dialog, wxID_CANCEL, "Cancel"), cancelX, y, 80, 25);
  ok->SetDefault();
}

// A list column as wide as its heading needs, at least its design width.
void addColumn(wxListCtrl* list, const char* heading, int width) {
  list->AppendColumn(heading, wxLIST_FORMAT_LEFT, std::max(width, list->GetTextExtent(heading).x + 16));
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

wxListCtrl* flagList(wxDialog* dialog, FittedLayout& layout, int height) {
  auto* list = new wxListCtrl(dialog, wxID_ANY, wxDefaultPosition, wxDefaultSize, wxLC_REPORT | wxLC_SINGLE_SEL);
  layout.add(list, 5, 25, 350, height);
  list->AppendColumn("", wxLIST_FORMAT_LEFT, 20);
  addColumn(list, "Number", 80);
  addColumn(list, "Custom Name", 220);
  return list;
}

void addText(wxDialog* dialog, FittedLayout& layout, const char* text, int x, int y, int w, long style = 0) {
  layout.addLabel(new wxStaticText(dialog, wxID_ANY, text, wxDefaultPosition, wxDefaultSize, style), x, y, w, 20);
}

void fillGFlagRows(wxListCtrl* list, const GFlagList& flags) {
  list->DeleteAllItems();
  const int n = static_cast<int>(flags.rows.size());
  for (int i = 0; i < n; ++i) {
    const GFlagRow& row = flags.rows[static_cast<std::size_t>(i)];
    list->InsertItem(i, "", row.checked ? kChecked : kUnchecked);
    list->SetItem(i, 1, number(i));
    list->SetItem(i, 2, fromUtf8(row.name));
  }
  // The last row adds rows: it has nothing to check.
  list->InsertItem(n, "", -1);
  list->SetItem(n, 2, "Double-click to add more...");
}

// The check column's pictures, drawn by the desktop's own check box.
void addCheckPictures(wxListCtrl* list) {
  const wxSize size = wxRendererNative::Get().GetCheckBoxSize(list);
  auto* pictures = new wxImageList(size.x, size.y, true, 2);
  for (int flags : {0, static_cast<int>(wxCONTROL_CHECKED)}) {
    wxBitmap picture(size.x, size.y);
    {
      wxMemoryDC dc(picture);
      dc.SetBackground(wxBrush(list->GetBackgroundColour()));
      dc.Clear();
      wxRendererNative::Get().DrawCheckBox(list, dc, wxRect(size), flags);
    }
    pictures->Add(picture);
  }
  list->AssignImageList(pictures, wxIMAGE_LIST_SMALL);
}

void setGFlagCheck(wxListCtrl* list, GFlagList& flags, int row, bool checked) {
  if (row < 0 || row >= static_cast<int>(flags.rows.size())) return;
  flags.rows[static_cast<std::size_t>(row)].checked = checked;
  list->SetItemImage(row, checked ? kChecked : kUnchecked);
}

}  // namespace

bool runGFlagEditorWindow(wxDialog* dialog, EditorPort& port, GFlagList& flags, const std::function<void()>& help) {
  if (!dialog) return false;
  prepare(dialog, "GFlag Editor", 360, 515);
  FittedLayout layout;
  addText(dialog, layout, "Double-click to rename GFlag, [Del] key to clear.", 10, 5, 330);
  wxListCtrl* list = flagList(dialog, layout, 300);
  addCheckPictures(list);
  fillGFlagRows(list, flags);
  // A click in the check column, or Space, turns the row's check over.
  // The rows are drawn by an inner window of the list, which gets the clicks.
  for (wxWindow* inner : list->GetChildren()) {
    inner->Bind(wxEVT_LEFT_DOWN, [list, inner, &flags](wxMouseEvent& event) {
      const wxPoint at = list->ScreenToClient(inner->ClientToScreen(event.GetPosition()));
      for (int row = 0; row < static_cast<int>(flags.rows.size()) && at.x < list->GetColumnWidth(0); ++row) {
        wxRect r;
        if (list->GetItemRect(row, r) && r.Contains(at)) {
          setGFlagCheck(list, flags, row, !flags.rows[static_cast<std::size_t>(row)].checked);
          break;
        }
      }
      event.Skip();
    });
  }
  list->Bind(wxEVT_LIST_KEY_DOWN, [list, &flags](wxListEvent& event) {
    const int row = currentRow(list);
    if (event.GetKeyCode() == WXK_SPACE && row >= 0 && row < static_cast<int>(flags.rows.size())) {
      setGFlagCheck(list, flags, row, !flags.rows[static_cast<std::size_t>(row)].checked);
    }
    event.Skip();
  });
  addText(dialog, layout, "When testing game:", 10, 335, 130, wxALIGN_RIGHT);
  const char* modes[] = {"Load GFlags from savefile", "Clear all (like new game)", "Set each GFlag checked above"};
  std::vector<wxRadioButton*> modeButtons;
  for (int i = 0; i < 3; ++i) {
    modeButtons.push_back(
        new wxRadioButton(dialog, wxID_ANY, modes[i], wxDefaultPosition, wxDefaultSize, i == 0 ? wxRB_GROUP : 0));
    layout.add(modeButtons.back(), 150, 335 + 20 * i, 210, 20);
  }
  modeButtons[static_cast<std::size_t>(flags.testMode >= 0 && flags.testMode <= 2 ? flags.testMode : 0)]->SetValue(true);
  addText(dialog, layout, "Start from:", 10, 400, 130, wxALIGN_RIGHT);
  auto* nearest = new wxRadioButton(dialog, wxID_ANY, "Entrance nearest to camera", wxDefaultPosition, wxDefaultSize,
                                    wxRB_GROUP);
  layout.add(nearest, 150, 400, 210, 20);
  auto* main = new wxRadioButton(dialog, wxID_ANY, "Main (unnamed) entrance");
  layout.add(main, 150, 420, 210, 20);
  (flags.nearest ? nearest : main)->SetValue(true);
  addText(dialog, layout, "Selected entrance (always)", 170, 440, 190);
  addButtons(dialog, layout, 470, 255);
  dialog->SetClientSize(layout.apply(360, 515));
  list->Bind(wxEVT_LIST_ITEM_ACTIVATED, [&port, &flags, list](wxListEvent& event) {
    activateGFlagRow(port, flags, static_cast<int>(event.GetIndex()));
    fillGFlagRows(list, flags);
  });
  const bool confirmed = showWithList(dialog, list, [&flags, list](int row) {
    clearGFlagRow(flags, row);
    if (row < static_cast<int>(flags.rows.size())) {
      list->SetItem(row, 2, "");
      setGFlagCheck(list, flags, row, false);
    }
  }, help);
  if (confirmed) {
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
  FittedLayout layout;
  addText(dialog, layout, "Double-click to rename ZFlag, [Del] key to clear.", 10, 5, 330);
  wxListCtrl* list = flagList(dialog, layout, 300);
  for (int i = 0; i < kZoneFlagCount; ++i) {
    list->InsertItem(i, "");
    list->SetItem(i, 1, number(i));
    list->SetItem(i, 2, fromUtf8(names.names[static_cast<std::size_t>(i)]));
  }
  addButtons(dialog, layout, 340, 255);
  dialog->SetClientSize(layout.apply(360, 380));
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
  FittedLayout layout;
  auto* list = new wxListCtrl(dialog, wxID_ANY, wxDefaultPosition, wxDefaultSize, wxLC_REPORT);
  addColumn(list, "Number", 50);
  addColumn(list, "Default Name", 90);
  addColumn(list, "Custom Name", 90);
  addColumn(list, "Custom WAV", 150);
  addColumn(list, "Custom Volume", 90);
  int columns = 0;
  for (int c = 0; c < list->GetColumnCount(); ++c) columns += list->GetColumnWidth(c);
  // The list shows its columns whole; the window grows with it.
  layout.addSpace(5, 5, 480, 340, wxSize(columns + 4 + wxSystemSettings::GetMetric(wxSYS_VSCROLL_X, list), 0));
  layout.add(list, 5, 5, 480, 340);
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
    auto* button = new wxButton(dialog, wxID_ANY, b.label);
    layout.add(button, b.x, 350, 120, 20);
    button->Bind(wxEVT_BUTTON, [action = b.action, showAll](wxCommandEvent&) {
      action();
      showAll();
    });
  }
  auto* ok = new wxButton(dialog, wxID_OK, "OK");
  layout.add(ok, 25, 385, 80, 25);
  layout.add(new wxButton(dialog, wxID_CANCEL, "Cancel"), 385, 385, 80, 25);
  ok->SetDefault();
  dialog->SetClientSize(layout.apply(490, 425));
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
