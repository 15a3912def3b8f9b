// The side column's property panels: their gadgets laid out once, filled
// from the core's panel model and sending each change back to it.
#pragma once

#include <array>
#include <functional>
#include <vector>

#include "editor/core/commands.h"
#include "editor/core/property_panels.h"
#include "editor/ui/fitted_layout.h"

class wxButton;
class wxCheckBox;
class wxChoice;
class wxPanel;
class wxScrolledWindow;
class wxStaticBox;
class wxStaticText;
class wxTextCtrl;
class wxWindow;

namespace zor::editor {
struct Editor;
}

namespace zor::editor::ui {

class PropertyPanelsView {
 public:
  // panels: level, entrance, area, block.
  PropertyPanelsView(Editor& editor, const std::vector<wxScrolledWindow*>& panels, wxStaticBox* frame,
                     wxStaticText* subtitle, wxButton* insert, wxButton* remove,
                     std::function<void(Command)> runCommand);
  // Shows the panel of the selection and fills it.
  void refresh();
  // Selects the whole text of a field of the shown page and focuses it.
  void focusField(PanelKind kind, int field);
  // The field of the shown page that has the keyboard focus, or -1.
  int focusedField() const;
  // The width the widest panel needs, without its scroll bar.
  int panelWidth() const { return panelWidth_; }

 private:
  struct Page {
    wxScrolledWindow* window = nullptr;
    std::vector<wxTextCtrl*> fields;  // by the kind's field numbers (null where none)
    std::vector<wxPanel*> swatches;   // by field number of the colour text
    FittedLayout layout;
  };
  void build();
  wxTextCtrl* addField(Page& page, int field, int x, int y, int width, bool upper = false,
                       const wxString& sample = wxString());
  void addRow(Page& page, const char* label, int y);
  void fillGadgets();
  void changed(PanelKind kind, int field);
  void showAppliedState(Page& page);
  void paintSwatch(wxPanel* swatch, const std::string& text);
  void runScript(int button);
  // The "+ Insert" menu at the mouse.
  void showInsertMenu(wxWindow* button);

  Editor& editor_;
  PanelState& state_;  // the editor's panel model
  std::array<Page, 4> pages_;
  wxStaticBox* frame_;
  wxStaticText* subtitle_;
  wxButton* insert_;
  wxButton* remove_;
  std::function<void(Command)> runCommand_;
  bool filling_ = false;
  std::array<wxCheckBox*, kBlockFlagCount> flagBoxes_{};
  wxCheckBox* deadly_ = nullptr;
  wxCheckBox* unlocked_ = nullptr;
  wxChoice* wave_ = nullptr;
  wxChoice* rate_ = nullptr;
  std::array<wxButton*, 5> scriptButtons_{};  // StandOn, Die, Enter, Exit, Action
  int panelWidth_ = 225;
};

}  // namespace zor::editor::ui
