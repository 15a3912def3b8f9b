// The main window: canvas, side column, menu bar, shortcuts and the two-field
// status bar. Its events go to the editor core.
#pragma once

#include <wx/frame.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "editor/core/commands.h"
#include "editor/core/editor.h"

class wxButton;
class wxMenu;
class wxPanel;
class wxScrolledWindow;
class wxStaticBox;
class wxStaticText;

namespace zor::editor::ui {

class CanvasPanel;
class PropertyPanelsView;

struct UiFonts {
  wxFont large;      // canvas messages
  wxFont smallBold;  // panels and notices
};
UiFonts loadFonts();

class MainFrame : public wxFrame, public CommandHost {
 public:
  explicit MainFrame(Editor& editor);
  ~MainFrame() override;
  // Creates the hidden window and its gadgets; false when the window could not be made.
  bool create(const UiFonts& fonts, std::function<void(const std::string&)> onDrop);
  void layoutGadgets();
  void setRecentFiles(const std::vector<std::string>& paths);
  // Inner size of the window: the client area with the menu bar and status bar.
  void setInnerSize(int w, int h);
  int barsHeight() const;
  CanvasPanel* canvas() const { return canvas_; }
  const UiFonts& fonts() const { return fonts_; }

  // Shows and fills the side panel of the selection.
  void refreshProperties();
  void focusPropertyField(PanelKind kind, int field);
  int focusedPropertyField() const;
  void toggleMaximised() override;
  std::string ownExecutable() override;
  void runCleanUpDialog() override;

 private:
  void buildMenus();
  void buildShortcuts();
  void onMenu(wxCommandEvent& event);
  void onClose(wxCloseEvent& event);
  void recordGeometry();

  Editor& editor_;
  UiFonts fonts_;
  wxPanel* root_ = nullptr;
  CanvasPanel* canvas_ = nullptr;
  wxStaticBox* frameBox_ = nullptr;
  wxStaticText* panelTitle_ = nullptr;
  wxButton* insertButton_ = nullptr;
  wxButton* deleteButton_ = nullptr;
  std::vector<wxScrolledWindow*> panels_;  // level, entrance, area, block
  std::unique_ptr<PropertyPanelsView> properties_;
  wxMenu* recentMenu_ = nullptr;
  int recentCount_ = 0;
  int barsHeight_ = -1;  // the menu and status bars, as measured at creation
};

}  // namespace zor::editor::ui
