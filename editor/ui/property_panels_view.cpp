#include "editor/ui/property_panels_view.h"

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/menu.h>
#include <wx/panel.h>
#include <wx/scrolwin.h>
#include <wx/statbox.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/valtext.h>

#include <algorithm>
#include <string>

#include "editor/core/edit_commands.h"
#include "editor/core/editor.h"
#include "editor/core/number_text.h"

namespace zor::editor::ui {
namespace {

wxString fromUtf8(const std::string& s) { return wxString::FromUTF8(s.data(), s.size()); }

int pageOf(PanelKind kind) {
  switch (kind) {
    case PanelKind::Level: return 0;
    case PanelKind::Entrance: return 1;
    case PanelKind::Area: return 2;
    case PanelKind::Block: return 3;
    default: return -1;
  }
}

// The widest limits the panels' limit fields are made for.
constexpr const char* kLimitsSample = "-888.8,-888.8";

constexpr PanelKind kPageKinds[4] = {PanelKind::Level, PanelKind::Entrance, PanelKind::Area, PanelKind::Block};

struct ScriptButton {
  const char* caption;
  const char* title;
  const char* prompt;
  const char* child;
};
constexpr ScriptButton kScripts[5] = {
    {"StandOn", "StandOn", "Edit block's StandOn script:", "standon"},
    {"Die", "Die", "Edit block's Die script:", "die"},
    {"Enter", "Enter", "Edit area's Enter script:", "enter"},
    {"Exit", "Exit", "Edit area's Exit script:", "exit"},
    {"Action (Enter Key)", "Action", "Edit area's Action script:", "action"},
};

// Creates the control at its design place and gives it to the page's layout.
template <typename Control, typename Page>
Control* place(Page& page, Control* control, int x, int y, int w, int h) {
  page.layout.add(control, x, y, w, h);
  return control;
}

}  // namespace

PropertyPanelsView::PropertyPanelsView(Editor& editor, const std::vector<wxScrolledWindow*>& panels, wxStaticBox* frame,
                                       wxStaticText* subtitle, wxButton* insert, wxButton* remove,
                                       std::function<void(Command)> runCommand)
    : editor_(editor), state_(editor.panel), frame_(frame), subtitle_(subtitle), insert_(insert), remove_(remove),
      runCommand_(std::move(runCommand)) {
  for (std::size_t i = 0; i < pages_.size() && i < panels.size(); ++i) pages_[i].window = panels[i];
  build();
}

void PropertyPanelsView::addRow(Page& page, const char* label, int y) {
  page.layout.addLabel(new wxStaticText(page.window, wxID_ANY, label), 0, y, 60, 20);
}

wxTextCtrl* PropertyPanelsView::addField(Page& page, int field, int x, int y, int width, bool upper,
                                         const wxString& sample) {
  auto* text = new wxTextCtrl(page.window, wxID_ANY, "", wxPoint(x, y), wxSize(width, 20));
  page.layout.addField(text, x, y, width, 20, sample);
  if (page.fields.size() <= static_cast<std::size_t>(field)) page.fields.resize(static_cast<std::size_t>(field) + 1);
  page.fields[static_cast<std::size_t>(field)] = text;
  const PanelKind kind = kPageKinds[&page - pages_.data()];
  text->Bind(wxEVT_TEXT, [this, kind, field, text, upper](wxCommandEvent&) {
    if (filling_) return;
    if (upper) {
      const wxString value = text->GetValue();
      if (value.Upper() != value) {
        const long at = text->GetInsertionPoint();
        text->ChangeValue(value.Upper());
        text->SetInsertionPoint(at);
      }
    }
    changed(kind, field);
  });
  // Enter is the main window's Apply, whichever way the desktop delivers it.
  text->SetWindowStyleFlag(text->GetWindowStyleFlag() | wxTE_PROCESS_ENTER);
  text->Bind(wxEVT_TEXT_ENTER, [this](wxCommandEvent&) { runCommand_(Command::Apply); });
  return text;
}

void PropertyPanelsView::build() {
  for (Page& page : pages_) {
    if (!page.window) return;
  }
  // Level.
  {
    Page& p = pages_[0];
    addRow(p, "z:", 0);
    addField(p, levelfield::Z, 60, 0, 160);
    addRow(p, "BG Color:", 20);
    addField(p, levelfield::Color, 60, 20, 80, true);
    p.swatches.assign(levelfield::FieldCount, nullptr);
    p.swatches[levelfield::Color] = place(p, new wxPanel(p.window, wxID_ANY), 140, 20, 80, 20);
    unlocked_ = place(p, new wxCheckBox(p.window, wxID_ANY, "Unlocked at Start"), 60, 45, 160, 20);
    unlocked_->Bind(wxEVT_CHECKBOX, [this](wxCommandEvent& e) { applyLevelUnlocked(editor_, state_, e.IsChecked()); });
  }
  // Entrance.
  {
    Page& p = pages_[1];
    addRow(p, "Name:", 0);
    addField(p, entrancefield::Name, 60, 0, 160);
    addRow(p, "X | Y:", 20);
    addField(p, entrancefield::X, 60, 20, 80);
    addField(p, entrancefield::Y, 140, 20, 80);
    addRow(p, "Z | Level:", 40);
    addField(p, entrancefield::Z, 60, 40, 80);
    addField(p, entrancefield::Level, 140, 40, 80);
  }
  // Area.
  {
    Page& p = pages_[2];
    addRow(p, "X | Y Limits:", 0);
    addField(p, areafield::XLim, 60, 0, 80, false, kLimitsSample);
    addField(p, areafield::YLim, 140, 0, 80, false, kLimitsSample);
    addRow(p, "Oname:", 20);
    addField(p, areafield::Oname, 60, 20, 140);
    auto* attach = place(p, new wxButton(p.window, wxID_ANY, "...", wxDefaultPosition, wxDefaultSize, wxBU_EXACTFIT),
                         200, 20, 20, 20);
    attach->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) {
      attachAreasToBlock(editor_, state_);
      fillGadgets();
    });
    addRow(p, "Z | Level:", 40);
    addField(p, areafield::Z, 60, 40, 80);
    addField(p, areafield::Level, 140, 40, 80);
    addRow(p, "BG Color:", 60);
    addField(p, areafield::Color, 60, 60, 80, true);
    p.swatches.assign(areafield::FieldCount, nullptr);
    p.swatches[areafield::Color] = place(p, new wxPanel(p.window, wxID_ANY), 140, 60, 80, 20);
    addRow(p, "Zoom:", 80);
    addField(p, areafield::Zoom, 60, 80, 80);
    deadly_ = place(p, new wxCheckBox(p.window, wxID_ANY, "Deadly"), 145, 80, 75, 20);
    deadly_->Bind(wxEVT_CHECKBOX, [this](wxCommandEvent& e) { applyAreaDeadly(editor_, state_, e.IsChecked()); });
    addRow(p, "Scripts:", 110);
    scriptButtons_[2] = place(p, new wxButton(p.window, wxID_ANY, "Enter"), 60, 110, 80, 20);
    scriptButtons_[3] = place(p, new wxButton(p.window, wxID_ANY, "Exit"), 140, 110, 80, 20);
    scriptButtons_[4] = place(p, new wxButton(p.window, wxID_ANY, "Action (Enter Key)"), 60, 130, 160, 20);
  }
  // Block.
  {
    Page& p = pages_[3];
    using namespace blockfield;
    addRow(p, "Oname:", 0);
    addField(p, Oname, 60, 0, 160);
    addRow(p, "X | Y:", 20);
    addField(p, X, 60, 20, 80);
    addField(p, Y, 140, 20, 80);
    addRow(p, "W | H:", 40);
    addField(p, W, 60, 40, 80);
    addField(p, H, 140, 40, 80);
    addRow(p, "Z | Level:", 60);
    addField(p, Z, 60, 60, 80);
    addField(p, Level, 140, 60, 80);
    p.swatches.assign(FieldCount, nullptr);
    addRow(p, "Color (1):", 80);
    addField(p, Color1, 60, 80, 80, true);
    p.swatches[Color1] = place(p, new wxPanel(p.window, wxID_ANY), 140, 80, 80, 20);
    addRow(p, "Color 2:", 100);
    addField(p, Color2, 60, 100, 80, true);
    p.swatches[Color2] = place(p, new wxPanel(p.window, wxID_ANY), 140, 100, 80, 20);
    for (int f : {Color1, Color2}) {
      p.swatches[static_cast<std::size_t>(f)]->Bind(wxEVT_RIGHT_DOWN, [this](wxMouseEvent&) {
        swapBlockColours(editor_, state_);
        fillGadgets();
      });
    }
    addRow(p, "Trans | Pri:", 120);
    addField(p, Trans, 60, 120, 80);
    addField(p, Pri, 140, 120, 80);
    addRow(p, "Persist:", 140);
    addField(p, Persist, 60, 140, 140);
    addRow(p, "Class:", 160);
    addField(p, Class, 60, 160, 140);
    auto* persist = place(p, new wxButton(p.window, wxID_ANY, "Z", wxDefaultPosition, wxDefaultSize, wxBU_EXACTFIT),
                          200, 140, 20, 20);
    persist->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) {
      takeZonePersist(editor_, state_);
      fillGadgets();
    });
    auto* chooseClassButton = place(
        p, new wxButton(p.window, wxID_ANY, "...", wxDefaultPosition, wxDefaultSize, wxBU_EXACTFIT), 200, 160, 20, 20);
    chooseClassButton->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) {
      chooseBlockClass(editor_, state_);
      fillGadgets();
    });
    for (int i = 0; i < kBlockFlagCount; ++i) {
      auto* box = place(p, new wxCheckBox(p.window, wxID_ANY, kFlagNames[static_cast<std::size_t>(i)]),
                        i % 2 ? 110 : 0, 185 + (i / 2) * 20, 110, 20);
      box->SetToolTip(kFlagKeywords[static_cast<std::size_t>(i)]);
      if (i == kBlockFlagCount - 1) box->Disable();
      box->Bind(wxEVT_CHECKBOX, [this, i](wxCommandEvent& e) {
        applyBlockFlag(editor_, state_, i, e.IsChecked());
        fillGadgets();
      });
      flagBoxes_[static_cast<std::size_t>(i)] = box;
    }
    addRow(p, "X | Y Limits:", 390);
    addField(p, XLim, 60, 390, 80, false, kLimitsSample);
    addField(p, YLim, 140, 390, 80, false, kLimitsSample);
    addRow(p, "Waveform:", 410);
    wave_ = new wxChoice(p.window, wxID_ANY);
    for (const char* name : kWaveNames) wave_->Append(name);
    wave_->SetSelection(0);
    p.layout.add(wave_, 60, 410, 160, 20);
    wave_->Bind(wxEVT_CHOICE, [this](wxCommandEvent&) {
      state_.waveIndex = wave_->GetSelection();
      applyPanelField(editor_, state_, blockfield::Wave);
    });
    rate_ = new wxChoice(p.window, wxID_ANY);
    for (const char* caption : kRateCaptions) rate_->Append(caption);
    rate_->SetSelection(0);
    p.layout.add(rate_, 0, 430, 140, 20);
    rate_->Bind(wxEVT_CHOICE, [this](wxCommandEvent&) {
      state_.rateIndex = rate_->GetSelection();
      applyPanelField(editor_, state_, blockfield::RateChoice);
    });
    addField(p, Rate, 140, 430, 80);
    addRow(p, "DC | Num:", 450);
    addField(p, Duty, 60, 450, 80);
    addField(p, Count, 140, 450, 80);
    addRow(p, "Ang | Grav:", 470);
    addField(p, Phase, 60, 470, 80);
    addField(p, Grav, 140, 470, 80);
    addRow(p, "Scripts:", 500);
    scriptButtons_[0] = place(p, new wxButton(p.window, wxID_ANY, "StandOn"), 60, 500, 80, 20);
    scriptButtons_[1] = place(p, new wxButton(p.window, wxID_ANY, "Die"), 140, 500, 80, 20);
  }
  for (int i = 0; i < 5; ++i) {
    scriptButtons_[static_cast<std::size_t>(i)]->Bind(wxEVT_BUTTON, [this, i](wxCommandEvent&) { runScript(i); });
  }
  // "+ Insert" opens the insert menu; the objects' "× Delete" deletes the selection.
  for (std::size_t i = 0; i < pages_.size(); ++i) {
    const int y = i == 0 ? 75 : i == 1 ? 70 : i == 2 ? 160 : 530;
    auto* insert = place(pages_[i], new wxButton(pages_[i].window, wxID_ANY, "+ Insert"), 60, y, 80, 20);
    insert->Bind(wxEVT_BUTTON, [this, insert](wxCommandEvent&) { showInsertMenu(insert); });
    auto* del = place(pages_[i], new wxButton(pages_[i].window, wxID_ANY, wxString::FromUTF8("\xC3\x97 Delete")), 140,
                      y, 80, 20);
    if (i == 0) {
      del->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) {
        if (deleteCurrentLevel(editor_)) refresh();
        editor_.port.focusCanvas();
      });
    } else {
      del->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { runCommand_(Command::Delete); });
    }
  }
  insert_->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { showInsertMenu(insert_); });
  remove_->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { runCommand_(Command::Delete); });
  // A left click on a swatch opens the colour requester on its field's colour.
  for (Page& page : pages_) {
    for (std::size_t f = 0; f < page.swatches.size(); ++f) {
      if (!page.swatches[f]) continue;
      page.swatches[f]->Bind(wxEVT_LEFT_DOWN, [this, f](wxMouseEvent&) {
        if (pickSwatchColour(editor_, state_, static_cast<int>(f))) fillGadgets();
      });
    }
  }
  // The panels' design heights: level, entrance, area, block.
  constexpr int kHeights[4] = {160, 160, 190, 560};
  for (std::size_t i = 0; i < pages_.size(); ++i) {
    const wxSize fitted = pages_[i].layout.apply(225, kHeights[i]);
    pages_[i].window->SetVirtualSize(fitted);
    panelWidth_ = std::max(panelWidth_, fitted.x);
  }
  for (Page& page : pages_) page.window->SetScrollRate(0, 10);
}

void PropertyPanelsView::showInsertMenu(wxWindow* button) {
  constexpr int kFirstId = wxID_HIGHEST + 1;
  const std::vector<MenuEntry> entries = insertMenu(editor_);
  wxMenu menu;
  for (std::size_t i = 0; i < entries.size(); ++i) {
    if (entries[i].type == MenuEntry::Type::Rule) {
      menu.AppendSeparator();
    } else {
      menu.Append(kFirstId + static_cast<int>(i), fromUtf8(entries[i].caption));
    }
  }
  // At the mouse; the chosen item runs as the same command of the menu bar.
  const int chosen = button->GetPopupMenuSelectionFromUser(menu) - kFirstId;
  if (chosen >= 0 && static_cast<std::size_t>(chosen) < entries.size()) {
    runCommand_(entries[static_cast<std::size_t>(chosen)].command);
  }
}

void PropertyPanelsView::runScript(int button) {
  const std::vector<EditorObject*> records = selectedRecords(editor_);
  if (records.size() != 1) {
    editor_.port.messageBox("ZorlED",
                            button < 2 ? "You can only edit one block's script at a time."
                                       : "You can only edit one area's script at a time.",
                            MessageIcon::Information);
    return;
  }
  const ScriptButton& s = kScripts[button];
  editScript(editor_, s.title, s.prompt, s.child, records.front());
  refresh();
}

void PropertyPanelsView::paintSwatch(wxPanel* swatch, const std::string& text) {
  if (!swatch) return;
  const int32_t bgr = text.empty() ? 0 : readColourText(text);
  swatch->SetBackgroundColour(wxColour(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF));
  swatch->Refresh();
}

void PropertyPanelsView::focusField(PanelKind kind, int field) {
  const int page = pageOf(kind);
  if (page < 0 || kind != state_.kind || field < 0) return;
  const std::vector<wxTextCtrl*>& fields = pages_[static_cast<std::size_t>(page)].fields;
  if (static_cast<std::size_t>(field) >= fields.size()) return;
  wxTextCtrl* control = fields[static_cast<std::size_t>(field)];
  if (control == nullptr) return;
  control->SelectAll();
  control->SetFocus();
}

int PropertyPanelsView::focusedField() const {
  const int page = pageOf(state_.kind);
  const wxWindow* focus = wxWindow::FindFocus();
  if (page < 0 || focus == nullptr) return -1;
  const std::vector<wxTextCtrl*>& fields = pages_[static_cast<std::size_t>(page)].fields;
  for (std::size_t f = 0; f < fields.size(); ++f) {
    if (fields[f] != nullptr && fields[f] == focus) return static_cast<int>(f);
  }
  if (state_.kind == PanelKind::Block && focus == wave_) return blockfield::Wave;
  if (state_.kind == PanelKind::Block && focus == rate_) return blockfield::RateChoice;
  return -1;
}

void PropertyPanelsView::changed(PanelKind kind, int field) {
  if (kind != state_.kind) return;
  Page& page = pages_[static_cast<std::size_t>(pageOf(kind))];
  state_.fields[static_cast<std::size_t>(field)] = page.fields[static_cast<std::size_t>(field)]->GetValue().utf8_string();
  // With several objects selected the field waits for Enter.
  if (selectedRecords(editor_).size() <= 1) applyPanelField(editor_, state_, field);
  showAppliedState(page);
  if (kind == PanelKind::Level) subtitle_->SetLabel(fromUtf8(state_.subtitle));
}

void PropertyPanelsView::showAppliedState(Page& page) {
  // What the change did to the rest of the panel: a refused text goes back to what the
  // element keeps, both colour swatches follow the colour, the Class box the class.
  filling_ = true;
  for (std::size_t f = 0; f < page.fields.size() && f < state_.fields.size(); ++f) {
    if (page.fields[f] && page.fields[f]->GetValue().utf8_string() != state_.fields[f]) {
      page.fields[f]->ChangeValue(fromUtf8(state_.fields[f]));
      page.fields[f]->SetInsertionPointEnd();
    }
    if (f < page.swatches.size()) paintSwatch(page.swatches[f], state_.fields[f]);
  }
  if (state_.kind == PanelKind::Block) {
    for (int i = 0; i < kBlockFlagCount; ++i) {
      wxCheckBox* box = flagBoxes_[static_cast<std::size_t>(i)];
      if (box->GetValue() != state_.flags[static_cast<std::size_t>(i)]) box->SetValue(state_.flags[static_cast<std::size_t>(i)]);
    }
  }
  filling_ = false;
}

void PropertyPanelsView::fillGadgets() {
  const int shown = pageOf(state_.kind);
  if (shown < 0) return;
  filling_ = true;
  Page& page = pages_[static_cast<std::size_t>(shown)];
  for (std::size_t f = 0; f < page.fields.size() && f < state_.fields.size(); ++f) {
    if (page.fields[f]) page.fields[f]->ChangeValue(fromUtf8(state_.fields[f]));
    if (f < page.swatches.size()) paintSwatch(page.swatches[f], state_.fields[f]);
  }
  if (state_.kind == PanelKind::Block) {
    for (int i = 0; i < kBlockFlagCount; ++i) flagBoxes_[static_cast<std::size_t>(i)]->SetValue(state_.flags[static_cast<std::size_t>(i)]);
    wave_->SetSelection(state_.waveIndex);
    rate_->SetSelection(state_.rateIndex);
  }
  if (state_.kind == PanelKind::Area) deadly_->SetValue(state_.deadly);
  if (state_.kind == PanelKind::Level) unlocked_->SetValue(state_.unlocked);
  const int first = state_.kind == PanelKind::Block ? 0 : 2;
  const int count = state_.kind == PanelKind::Block ? 2 : state_.kind == PanelKind::Area ? 3 : 0;
  for (int i = 0; i < count; ++i) {
    wxButton* b = scriptButtons_[static_cast<std::size_t>(first + i)];
    wxFont font = b->GetFont();
    font.SetWeight(state_.scriptPresent[static_cast<std::size_t>(i)] ? wxFONTWEIGHT_BOLD : wxFONTWEIGHT_NORMAL);
    b->SetFont(font);
  }
  filling_ = false;
}

void PropertyPanelsView::refresh() {
  if (!pages_[0].window) return;
  const PanelKind before = state_.kind;
  state_ = fillPanel(editor_);
  frame_->SetLabel(fromUtf8(state_.title));
  subtitle_->SetLabel(fromUtf8(state_.subtitle));
  if (before != state_.kind || state_.kind == PanelKind::None) {
    for (Page& page : pages_) page.window->Hide();
    insert_->Show(state_.kind == PanelKind::Mixed);
    remove_->Show(state_.kind == PanelKind::Mixed);
    const int shown = pageOf(state_.kind);
    if (shown >= 0) pages_[static_cast<std::size_t>(shown)].window->Show();
  }
  fillGadgets();
}

}  // namespace zor::editor::ui
