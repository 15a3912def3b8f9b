#include "editor/ui/main_frame.h"

#include "editor/ui/cleanup_dialog.h"
#include "editor/ui/wx_port.h"

#include <gtk/gtk.h>
#include <wx/accel.h>

#include <algorithm>
#include <wx/button.h>
#include <wx/fontenum.h>
#include <wx/menu.h>
#include <wx/panel.h>
#include <wx/scrolwin.h>
#include <wx/settings.h>
#include <wx/statbox.h>
#include <wx/stattext.h>
#include <wx/statusbr.h>
#include <wx/stdpaths.h>

#include "editor/core/session.h"
#include "editor/ui/canvas_panel.h"
#include "editor/ui/fitted_layout.h"
#include "editor/ui/property_panels_view.h"

namespace zor::editor::ui {

namespace {

constexpr int kCommandBase = wxID_HIGHEST + 100;
constexpr int kRecentBase = wxID_HIGHEST + 1000;

int commandId(Command c) { return kCommandBase + static_cast<int>(c); }

wxString fromUtf8(const std::string& s) { return wxString::FromUTF8(s.data(), s.size()); }

// The first face that the desktop knows, else its sans-serif font, at the size.
wxFont firstFont(std::initializer_list<const char*> faces, int points, bool bold) {
  const wxFontWeight weight = bold ? wxFONTWEIGHT_BOLD : wxFONTWEIGHT_NORMAL;
  for (const char* face : faces) {
    if (wxFontEnumerator::IsValidFacename(face)) {
      return wxFont(points, wxFONTFAMILY_DEFAULT, wxFONTSTYLE_NORMAL, weight, false, face);
    }
  }
  return wxFont(points, wxFONTFAMILY_SWISS, wxFONTSTYLE_NORMAL, weight);
}

int keyCode(const std::string& key) {
  if (key.size() == 1) return key[0];
  if (key[0] == 'F' && key.size() <= 3) return WXK_F1 + std::stoi(key.substr(1)) - 1;
  if (key == "Delete") return WXK_DELETE;
  if (key == "Insert") return WXK_INSERT;
  if (key == "Enter") return WXK_RETURN;
  if (key == "Escape") return WXK_ESCAPE;
  if (key == "Keypad5") return WXK_NUMPAD5;
  return 0;
}

// Shows an accelerator text in the menu's own column without binding the key:
// the shortcut table binds keys, and some texts name canvas keys or keys bound
// to another command.
void showAccelerator(wxMenuItem* item, const std::string& text) {
  if (text.empty() || !item || !item->GetMenuItem()) return;
  GtkWidget* label = gtk_bin_get_child(GTK_BIN(item->GetMenuItem()));
  if (!label || !GTK_IS_ACCEL_LABEL(label)) return;
  guint modifiers = 0;
  std::string key = text;
  for (const auto& [prefix, mask] : {std::pair<const char*, guint>{"Ctrl+", GDK_CONTROL_MASK},
                                     {"Shift+", GDK_SHIFT_MASK}, {"Alt+", GDK_MOD1_MASK}}) {
    for (std::size_t at; (at = key.find(prefix)) != std::string::npos;) {
      key.erase(at, std::string(prefix).size());
      modifiers |= mask;
    }
  }
  if (key == "Ins") key = "Insert";
  if (key == "Del") key = "Delete";
  const guint keyval = gdk_keyval_from_name(key.c_str());
  if (keyval == GDK_KEY_VoidSymbol || keyval == 0) return;
  gtk_accel_label_set_accel(GTK_ACCEL_LABEL(label), keyval, static_cast<GdkModifierType>(modifiers));
}

}  // namespace

UiFonts loadFonts() {
  return {firstFont({"Arial", "Tahoma", "Helvetica"}, 18, false), firstFont({"Tahoma", "Arial"}, 8, true)};
}

MainFrame::MainFrame(Editor& editor) : editor_(editor) {}
MainFrame::~MainFrame() = default;

void MainFrame::refreshProperties() {
  if (properties_) properties_->refresh();
}

void MainFrame::focusPropertyField(PanelKind kind, int field) {
  if (properties_) properties_->focusField(kind, field);
}

int MainFrame::focusedPropertyField() const { return properties_ ? properties_->focusedField() : -1; }

bool MainFrame::create(const UiFonts& fonts, std::function<void(const std::string&)> onDrop) {
  if (!Create(nullptr, wxID_ANY, kEditorName, wxPoint(editor_.prefs.winX, editor_.prefs.winY), wxDefaultSize,
              wxDEFAULT_FRAME_STYLE)) {
    return false;
  }
  fonts_ = fonts;
  allowCompactControls();
  root_ = new wxPanel(this, wxID_ANY);
  canvas_ = new CanvasPanel(root_, std::move(onDrop));
  frameBox_ = new wxStaticBox(root_, wxID_ANY, "");
  panelTitle_ = new wxStaticText(root_, wxID_ANY, "", wxDefaultPosition, wxSize(245, 20),
                                 wxALIGN_CENTRE_HORIZONTAL | wxST_NO_AUTORESIZE);
  keepOnOneLine(panelTitle_);
  insertButton_ = new wxButton(root_, wxID_ANY, "+ Insert", wxDefaultPosition, wxSize(80, 20));
  deleteButton_ = new wxButton(root_, wxID_ANY, wxString::FromUTF8("\xC3\x97 Delete"), wxDefaultPosition,
                               wxSize(80, 20));
  insertButton_->Hide();
  deleteButton_->Hide();
  for (int i = 0; i < 4; ++i) {
    auto* panel = new wxScrolledWindow(root_, wxID_ANY);
    panel->SetFont(fonts.smallBold);
    panel->Hide();
    panels_.push_back(panel);
  }
  properties_ = std::make_unique<PropertyPanelsView>(
      editor_, panels_, frameBox_, panelTitle_, insertButton_, deleteButton_,
      [this](Command command) { dispatchCommand(editor_, *this, command); });
  buildMenus();
  buildShortcuts();
  wxStatusBar* status = CreateStatusBar(2);
  // Field 1 holds "Unsaved changes." whole, beside the size grip.
  const int grip = std::max(status->GetSize().y, status->GetCharHeight() + 8);
  const int widths[2] = {-1, std::max(120, status->GetTextExtent("Unsaved changes.").x + 8 + grip)};
  SetStatusWidths(2, widths);
  SetStatusText(wxString(kEditorName) + " " + kEditorVersion, 0);

  Bind(wxEVT_MENU, &MainFrame::onMenu, this);
  Bind(wxEVT_CLOSE_WINDOW, &MainFrame::onClose, this);
  root_->Bind(wxEVT_SIZE, [this](wxSizeEvent& e) {
    layoutGadgets();
    e.Skip();
  });
  Bind(wxEVT_SIZE, [this](wxSizeEvent& e) {
    recordGeometry();
    if (canvas_) canvas_->Refresh();
    e.Skip();
  });
  Bind(wxEVT_MOVE, [this](wxMoveEvent& e) {
    recordGeometry();
    e.Skip();
  });
  // Measured once: the bars settle their heights only once shown, and the height
  // recorded at quit must be the one restored at the next start.
  barsHeight_ = barsHeight();
  setInnerSize(editor_.prefs.winW, editor_.prefs.winH);
  SetMinClientSize(wxSize(530, std::max(1, 265 - barsHeight())));
  return true;
}

int MainFrame::barsHeight() const {
  if (barsHeight_ >= 0) return barsHeight_;
  // The client area excludes both bars: the inner height less the client height.
  const wxStatusBar* status = GetStatusBar();
  const wxMenuBar* menus = GetMenuBar();
  int b = status ? status->GetSize().y : 0;
  if (menus) b += menus->GetSize().y;
  return b;
}

void MainFrame::setInnerSize(int w, int h) { SetClientSize(w, std::max(1, h - barsHeight())); }

void MainFrame::layoutGadgets() {
  const wxSize client = root_->GetClientSize();
  const int w = client.x;
  const int ch = client.y;  // the inner height less the menu and status bars
  // The side column is as wide as its panels need (245 at the smallest), the
  // canvas takes the rest; the title and the buttons as high as their texts.
  const int side = (properties_ ? properties_->panelWidth() : 225) + 20;
  const int titleHeight = std::max(20, neededSize(panelTitle_).y);
  const wxSize insert = neededSize(insertButton_), remove = neededSize(deleteButton_);
  const int buttonWidth = std::max({80, insert.x, remove.x});
  const int buttonHeight = std::max({20, insert.y, remove.y});
  const int panelY = 20 + titleHeight;
  canvas_->SetSize(0, 0, std::max(1, w - side - 20), std::max(1, ch));
  frameBox_->SetSize(w - side - 15, 5, side + 10, std::max(1, ch - 10));
  panelTitle_->SetSize(w - side - 10, 20, side, titleHeight);
  insertButton_->SetSize(w - side + 45, panelY, buttonWidth, buttonHeight);
  deleteButton_->SetSize(w - side + 45 + buttonWidth, panelY, buttonWidth, buttonHeight);
  for (wxScrolledWindow* panel : panels_) {
    panel->SetSize(w - side - 10, panelY, side, std::max(1, ch - panelY - 10));
  }
}

void MainFrame::buildMenus() {
  auto* bar = new wxMenuBar;
  wxMenu* current = nullptr;
  std::vector<wxMenu*> stack;
  std::string pendingTitle;
  std::vector<std::pair<wxMenu*, std::string>> pendingSub;
  for (const MenuEntry& e : menuBar()) {
    switch (e.type) {
      case MenuEntry::Type::Menu:
        current = new wxMenu;
        stack.assign(1, current);
        bar->Append(current, fromUtf8(e.caption));
        break;
      case MenuEntry::Type::SubMenu: {
        auto* sub = new wxMenu;
        showAccelerator(stack.back()->AppendSubMenu(sub, fromUtf8(e.caption)), e.accelerator);
        stack.push_back(sub);
        break;
      }
      case MenuEntry::Type::EndSubMenu: stack.pop_back(); break;
      case MenuEntry::Type::Rule: stack.back()->AppendSeparator(); break;
      case MenuEntry::Type::Item: {
        showAccelerator(stack.back()->Append(commandId(e.command), fromUtf8(e.caption)), e.accelerator);
        break;
      }
      case MenuEntry::Type::RecentFiles:
        recentMenu_ = stack.back();
        recentCount_ = static_cast<int>(editor_.prefs.recentFiles.size());
        for (int i = 0; i < recentCount_; ++i) recentMenu_->Append(kRecentBase + i, "-----");
        break;
    }
  }
  SetMenuBar(bar);
}

void MainFrame::buildShortcuts() {
  std::vector<wxAcceleratorEntry> entries;
  for (const Shortcut& s : mainShortcuts()) {
    int flags = wxACCEL_NORMAL;
    if (s.modifiers & modifier::Ctrl) flags |= wxACCEL_CTRL;
    if (s.modifiers & modifier::Shift) flags |= wxACCEL_SHIFT;
    if (s.modifiers & modifier::Alt) flags |= wxACCEL_ALT;
    entries.emplace_back(flags, keyCode(s.key), commandId(s.command));
    // Keypad 5 sends another key with Num Lock off.
    if (s.key == "Keypad5") entries.emplace_back(flags, WXK_NUMPAD_BEGIN, commandId(s.command));
  }
  SetAcceleratorTable(wxAcceleratorTable(static_cast<int>(entries.size()), entries.data()));
}

void MainFrame::setRecentFiles(const std::vector<std::string>& paths) {
  if (!recentMenu_) return;
  for (int i = 0; i < recentCount_; ++i) {
    const std::string path = static_cast<std::size_t>(i) < paths.size() ? paths[static_cast<std::size_t>(i)] : "";
    // "&" would mark an access letter.
    wxString label = path.empty() ? wxString("-----") : fromUtf8(path);
    label.Replace("&", "&&");
    recentMenu_->SetLabel(kRecentBase + i, label);
    recentMenu_->Enable(kRecentBase + i, !path.empty());
  }
}

void MainFrame::onMenu(wxCommandEvent& event) {
  const int id = event.GetId();
  if (id >= kRecentBase && id < kRecentBase + recentCount_) {
    dispatchCommand(editor_, *this, Command::RecentFile, id - kRecentBase);
  } else if (id >= kCommandBase && id < kRecentBase) {
    dispatchCommand(editor_, *this, static_cast<Command>(id - kCommandBase));
  } else if (id == wxID_EXIT) {
    dispatchCommand(editor_, *this, Command::Quit);
  } else {
    event.Skip();
  }
}

void MainFrame::onClose(wxCloseEvent& event) {
  if (editor_.session.ended || !event.CanVeto()) {
    event.Skip();
    return;
  }
  // The quit itself runs after this event (see the application's after-event steps).
  requestClose(editor_);
  event.Veto();
}

void MainFrame::recordGeometry() {
  if (!root_ || !IsShown()) return;
  WindowState state = WindowState::Normal;
  if (IsIconized()) state = WindowState::Minimised;
  else if (IsMaximized()) state = WindowState::Maximised;
  const wxPoint pos = GetPosition();
  const wxSize client = GetClientSize();
  recordWindowGeometry(editor_.prefs, state, pos.x, pos.y, client.x, client.y + barsHeight());
}

void MainFrame::toggleMaximised() { Maximize(!IsMaximized()); }

void MainFrame::runCleanUpDialog() {
  if (auto* port = dynamic_cast<WxPort*>(&editor_.port)) ui::runCleanUpDialog(editor_, *port);
}

std::string MainFrame::ownExecutable() {
  // /proc/self/exe on Linux.
  return wxStandardPaths::Get().GetExecutablePath().utf8_string();
}

}  // namespace zor::editor::ui
