// Places the controls of a window or panel, given at their design positions
// (pixels made for small 8-point fonts), so that each one gets the room its
// text needs at the desktop's font. The design's columns and rows keep their
// order and neighbours: a column or row grows where a control in it needs more,
// and everything after it moves along.
#pragma once

#include <wx/gdicmn.h>
#include <wx/string.h>

#include <vector>

class wxWindow;

namespace zor::editor::ui {

// Lets the desktop's theme draw buttons, fields and drop-downs as low as their
// text needs, rather than at its own taller minimum. Once per display.
void allowCompactControls();

// The room a control needs to show its text whole (0 where it has no text of its
// own); a field's width comes from `sample`, the widest text it is made for.
wxSize neededSize(wxWindow* control, const wxString& sample = wxString());

// A label's text stays on one line, however narrow the label is made (the
// toolkit would wrap it).
void keepOnOneLine(wxWindow* label);

class FittedLayout {
 public:
  // A control filling the design rectangle.
  void add(wxWindow* control, int x, int y, int w, int h);
  // A field made for texts as wide as `sample`.
  void addField(wxWindow* field, int x, int y, int w, int h, const wxString& sample);
  // A label in the row from y to y + h: its text is centred in the row's height.
  void addLabel(wxWindow* label, int x, int y, int w, int h);
  // Design room that must grow with the font without a control of its own.
  void addSpace(int x, int y, int w, int h, wxSize need);

  // Places every control; returns the fitted size of the design area w by h.
  wxSize apply(int w, int h);
  // The fitted place of a design coordinate (after apply).
  int x(int designX) const { return map(xs_, designX); }
  int y(int designY) const { return map(ys_, designY); }

 private:
  struct Item {
    wxWindow* control;
    wxRect design;
    wxSize need;
    bool label;
  };
  struct Axis {
    std::vector<int> design;  // edges
    std::vector<int> fitted;
  };
  static void fit(Axis& axis, const std::vector<Item>& items, bool horizontal, int extent);
  static int map(const Axis& axis, int v);
  std::vector<Item> items_;
  Axis xs_, ys_;
};

}  // namespace zor::editor::ui
