// The editor's real windows under X, built as the program builds them: every
// side panel and every secondary window is shown and each text is measured
// against the room its control gives it, with a picture of each kept in the
// folder named by ZORLED_WINDOW_SHOTS. Also the menu access keys from the
// canvas, and dialogs shown again at their size and place.
#include <gtest/gtest.h>
#include <gtk/gtk.h>
#include <wx/app.h>
#include <wx/choice.h>
#include <wx/dialog.h>
#include <wx/init.h>
#include <wx/listctrl.h>
#include <wx/menu.h>
#include <wx/settings.h>
#include <wx/statusbr.h>
#include <wx/textctrl.h>
#include <wx/uiaction.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "editor/core/commands.h"
#include "editor/core/editor.h"
#include "editor/core/flag_name_editors.h"
#include "editor/core/game_document.h"
#include "editor/core/script_edit.h"
#include "editor/core/selection.h"
#include "editor/core/zone_records.h"
#include "editor/ui/canvas_panel.h"
#include "editor/ui/main_frame.h"
#include "editor/ui/secondary_windows.h"
#include "editor/ui/wx_port.h"
#include "platform/files.h"
#include "tests/editor/ui/x_display_hold.h"
#include "tests/game/app/temp_folder.h"

namespace zor::editor::ui {
namespace {

// The program's desktop, except that file requesters and message boxes are only
// recorded: they are the desktop's own windows.
class TestPort : public WxPort {
 public:
  std::vector<std::string> requesters;
  std::vector<std::string> messages;
  FileChoice openFileRequester(const FileRequest& request) override {
    requesters.push_back(request.title);
    return {};
  }
  FileChoice saveFileRequester(const FileRequest& request) override {
    requesters.push_back(request.title);
    return {};
  }
  // When set, choosers are only recorded too (answered Cancel).
  bool recordChoosers = false;
  std::vector<std::string> choosers;
  int runChooser(const ChooserRequest& request) override {
    if (!recordChoosers) return WxPort::runChooser(request);
    choosers.push_back(request.title);
    return -1;
  }
  void messageBox(const std::string&, const std::string& text, MessageIcon) override { messages.push_back(text); }
  Answer ask(const std::string&, const std::string& text, QuestionButtons) override {
    messages.push_back(text);
    return Answer::No;
  }
};

const char* kGame = R"(<zorlan version="1" gtitle="Layout">
<zone id="first" name="First" xlim="-300,300" ylim="-100,300">
<levels><level z="0" color="102030"/><level z="40"/></levels>
<block oname="a" x="-60" y="0" w="10" h="10" z="0" color="FF0000,00FF00" trans="0.5" priority="2"
  flg="semitrans,cyclic" xlim="897.1,937.1" ylim="-10,10" wave="parabola" smp="0.01" duty="0.5" count="3"
  phase="90" grav="1"><standon/></block>
<block oname="b" x="0" y="0" w="20" h="20" z="0"/>
<area xlim="897.1,937.1" ylim="-120.5,-100.5" z="0" color="00FF00" zoom="1.5" flg="deadly"><enter/></area>
<entrance_west x="10" y="20" z="0"/>
</zone>
</zorlan>
)";

// Lets the desktop catch up: handles what is pending for a while.
void settle(int milliseconds = 300) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
  while (std::chrono::steady_clock::now() < end) {
    while (gtk_events_pending()) gtk_main_iteration_do(FALSE);
    wxTheApp->ProcessPendingEvents();
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
}

std::string labelOf(GtkWidget* w) {
  const char* name = gtk_widget_get_name(w);
  return name ? name : "?";
}

// A control's texts against the room it is given: every label the toolkit draws,
// the text of each entry and the shown item of each drop-down.
void auditWidget(GtkWidget* widget, const std::string& where, std::vector<std::string>& faults) {
  if (!gtk_widget_get_mapped(widget)) return;
  GtkAllocation a;
  gtk_widget_get_allocation(widget, &a);
  auto fault = [&](const std::string& text, int needW, int needH) {
    faults.push_back(where + ": '" + text + "' needs " + std::to_string(needW) + "x" + std::to_string(needH) +
                     ", has " + std::to_string(a.width) + "x" + std::to_string(a.height) + " (" + labelOf(widget) +
                     ")");
  };
  if (GTK_IS_LABEL(widget)) {
    const char* text = gtk_label_get_text(GTK_LABEL(widget));
    if (text && *text) {
      PangoRectangle ink, logical;
      pango_layout_get_pixel_extents(gtk_label_get_layout(GTK_LABEL(widget)), &ink, &logical);
      if (logical.width > a.width || logical.height > a.height) fault(text, logical.width, logical.height);
    }
  } else if (GTK_IS_ENTRY(widget)) {
    const char* text = gtk_entry_get_text(GTK_ENTRY(widget));
    if (text && *text) {
      PangoRectangle ink, logical;
      pango_layout_get_pixel_extents(gtk_entry_get_layout(GTK_ENTRY(widget)), &ink, &logical);
      GdkRectangle area;
      gtk_entry_get_text_area(GTK_ENTRY(widget), &area);
      if (logical.width > area.width || logical.height > area.height) {
        faults.push_back(where + ": field '" + text + "' needs " + std::to_string(logical.width) + "x" +
                         std::to_string(logical.height) + ", has " + std::to_string(area.width) + "x" +
                         std::to_string(area.height));
      }
    }
  } else if (GTK_IS_CELL_VIEW(widget)) {
    int minW = 0, natW = 0, minH = 0, natH = 0;
    gtk_widget_get_preferred_width(widget, &minW, &natW);
    gtk_widget_get_preferred_height_for_width(widget, a.width, &minH, &natH);
    if (natW > a.width || natH > a.height) fault("drop-down item", natW, natH);
  }
  if (GTK_IS_CONTAINER(widget)) {
    std::vector<GtkWidget*> children;
    gtk_container_forall(
        GTK_CONTAINER(widget), [](GtkWidget* child, gpointer list) { static_cast<std::vector<GtkWidget*>*>(list)->push_back(child); },
        &children);
    for (GtkWidget* child : children) auditWidget(child, where, faults);
  }
}

std::string describe(const wxWindow* w) {
  std::string s = wxString(w->GetClassInfo()->GetClassName()).utf8_string();
  const wxString label = w->GetLabel();
  if (!label.empty()) s += " '" + label.utf8_string() + "'";
  return s;
}

// Every shown control lies within the area of its parent (the whole scrolled area of
// a panel), and so within the window; list columns and status fields fit their texts.
void auditPlaces(wxWindow* parent, const std::string& where, std::vector<std::string>& faults) {
  wxSize room = parent->GetClientSize();
  const wxSize virt = parent->GetVirtualSize();
  room.x = std::max(room.x, virt.x);
  room.y = std::max(room.y, virt.y);
  for (wxWindow* child : parent->GetChildren()) {
    if (!child->IsShown() || child->IsTopLevel() || dynamic_cast<wxStatusBar*>(child)) continue;
    wxRect r = child->GetRect();
    if (auto* scrolled = dynamic_cast<wxScrollHelper*>(parent)) {
      r.Offset(scrolled->CalcUnscrolledPosition(wxPoint(0, 0)));
    }
    if (r.x < 0 || r.y < 0 || r.GetRight() >= room.x || r.GetBottom() >= room.y) {
      faults.push_back(where + ": " + describe(child) + " at " + std::to_string(r.x) + "," + std::to_string(r.y) +
                       " " + std::to_string(r.width) + "x" + std::to_string(r.height) + " outside " +
                       std::to_string(room.x) + "x" + std::to_string(room.y) + " of " + describe(parent));
    }
    if (auto* list = dynamic_cast<wxListCtrl*>(child)) {
      int columns = 0;
      for (int c = 0; c < list->GetColumnCount(); ++c) columns += list->GetColumnWidth(c);
      // Beside the list's own scroll bar.
      const int room = list->GetSize().x - wxSystemSettings::GetMetric(wxSYS_VSCROLL_X, list);
      if (columns > room) {
        faults.push_back(where + ": the list's columns take " + std::to_string(columns) + ", it shows " +
                         std::to_string(room));
      }
      for (int c = 0; c < list->GetColumnCount(); ++c) {
        wxListItem column;
        column.SetMask(wxLIST_MASK_TEXT);
        list->GetColumn(c, column);
        const int need = list->GetTextExtent(column.GetText()).x + 8;
        if (need > list->GetColumnWidth(c)) {
          faults.push_back(where + ": column '" + column.GetText().utf8_string() + "' needs " + std::to_string(need) +
                           ", has " + std::to_string(list->GetColumnWidth(c)));
        }
      }
    }
    auditPlaces(child, where, faults);
  }
}

void auditStatusBar(wxFrame* frame, const std::string& where, std::vector<std::string>& faults) {
  wxStatusBar* bar = frame->GetStatusBar();
  for (int i = 0; i < bar->GetFieldsCount(); ++i) {
    const wxString text = bar->GetStatusText(i);
    if (text.empty()) continue;
    wxRect field;
    bar->GetFieldRect(i, field);
    int need = bar->GetTextExtent(text).x + 4;  // the text's margins
    // The last field shares its place with the size grip.
    if (i == bar->GetFieldsCount() - 1) need += bar->GetClientSize().y;
    if (need > field.width) {
      faults.push_back(where + ": status '" + text.utf8_string() + "' needs " + std::to_string(need) + ", has " +
                       std::to_string(field.width));
    }
  }
}

// Writes a picture of the window as shown into the shots folder.
void keepPicture(wxWindow* window, const std::string& name) {
  const char* folder = std::getenv("ZORLED_WINDOW_SHOTS");
  if (!folder || !*folder) return;
  files::createPath(folder);
  GdkWindow* gdk = gtk_widget_get_window(static_cast<GtkWidget*>(window->GetHandle()));
  if (!gdk) return;
  GdkPixbuf* picture =
      gdk_pixbuf_get_from_window(gdk, 0, 0, gdk_window_get_width(gdk), gdk_window_get_height(gdk));
  if (!picture) return;
  const std::string path = std::string(folder) + "/" + name + ".png";
  gdk_pixbuf_save(picture, path.c_str(), "png", nullptr, nullptr);
  g_object_unref(picture);
}

std::vector<std::string> audit(wxWindow* window, const std::string& name) {
  std::vector<std::string> faults;
  auditWidget(static_cast<GtkWidget*>(window->GetHandle()), name, faults);
  auditPlaces(window, name, faults);
  if (auto* frame = dynamic_cast<wxFrame*>(window)) auditStatusBar(frame, name, faults);
  keepPicture(window, name);
  return faults;
}

std::string joined(const std::vector<std::string>& lines) {
  std::string s;
  for (const std::string& l : lines) s += l + "\n";
  return s;
}

class EditorWindowsTest : public ::testing::Test {
 protected:
  EditorWindowsTest() : editor(port) {
    editor.folders.program = temp.path();
    editor.folders.data = temp.path();
    editor.folders.start = temp.path();
    editor.folders.preference = temp / "prefs/";
    frame = new MainFrame(editor);
    port.frame = frame;
    EXPECT_TRUE(frame->create(loadFonts(), [](const std::string&) {}));
    EXPECT_EQ(createSecondaryWindows(port, frame, frame->fonts(), editor.prefs), "");
    frame->canvas()->attach(&editor);
    const std::string path = temp / "layout.zorlan";
    EXPECT_TRUE(files::writeFileAtomic(path, kGame));
    EXPECT_TRUE(loadGameFileForEditing(editor, path));
    EXPECT_TRUE(openZone(editor, editor.game.zones.at(0).node));
    frame->layoutGadgets();
    frame->CentreOnScreen();
    frame->Show();
    frame->refreshProperties();
    settle(500);
  }
  ~EditorWindowsTest() override {
    port.frame = nullptr;
    frame->canvas()->attach(nullptr);
    frame->Destroy();
    port.windows = FixedWindows{};
    settle(100);
  }

  void select(std::initializer_list<std::pair<int32_t, int>> picks) {
    deselectAll(editor);
    for (auto [kind, nth] : picks) {
      int seen = 0;
      for (auto& o : editor.zone.objects) {
        if (o->kind == kind && seen++ == nth) selectObject(editor, o.get());
      }
    }
    frame->refreshProperties();
    settle();
  }

  // Runs `look` on the modal window once it is shown, then closes it as Cancel.
  void whenShown(wxDialog* dialog, std::function<void()> look) {
    auto tries = std::make_shared<int>(0);
    auto step = std::make_shared<std::function<void()>>();
    *step = [this, dialog, look, tries, step] {
      if ((!dialog->IsShownOnScreen() || !gtk_widget_get_mapped(static_cast<GtkWidget*>(dialog->GetHandle()))) &&
          ++*tries < 200) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        frame->CallAfter(*step);
        return;
      }
      settle();
      look();
      if (dialog->IsModal()) dialog->EndModal(wxID_CANCEL);
    };
    frame->CallAfter(*step);
  }

  void expectFits(wxWindow* window, const std::string& name) {
    const std::vector<std::string> faults = audit(window, name);
    EXPECT_TRUE(faults.empty()) << joined(faults);
  }

  void dialogFits(Command command, wxDialog* dialog, const std::string& name) {
    bool looked = false;
    whenShown(dialog, [&] {
      expectFits(dialog, name);
      looked = true;
    });
    dispatchCommand(editor, *frame, command);
    EXPECT_TRUE(looked) << name << " was not shown";
  }

  zor::testing::TempFolder temp;
  TestPort port;
  Editor editor;
  MainFrame* frame = nullptr;
};

TEST_F(EditorWindowsTest, EveryPanelShowsItsTextsWhole) {
  const struct {
    std::initializer_list<std::pair<int32_t, int>> picks;
    const char* name;
  } panels[] = {
      {{}, "panel_level"},
      {{{kind::Block, 0}}, "panel_block"},
      {{{kind::Area, 0}}, "panel_area"},
      {{{kind::Entrance, 0}}, "panel_entrance"},
      {{{kind::Block, 0}, {kind::Area, 0}}, "panel_mixed"},
      {{{kind::Block, 0}, {kind::Block, 1}}, "panel_blocks"},
  };
  markModified(editor);  // "Unsaved changes." in the status bar
  for (const auto& p : panels) {
    select(p.picks);
    expectFits(frame, p.name);
  }
}

TEST_F(EditorWindowsTest, EverySecondaryWindowShowsItsTextsWhole) {
  FixedWindows& w = port.windows;
  dialogFits(Command::ZoneProperties, w.zoneProperties, "window4_zone_properties");
  dialogFits(Command::NewZone, w.zoneProperties, "window4_new_zone");
  dialogFits(Command::GameProperties, w.gameProperties, "window5_game_properties");
  dialogFits(Command::SoundEditor, w.soundEditor, "window6_sound_editor");
  dialogFits(Command::GFlagEditor, w.gflagEditor, "window7_gflag_editor");
  dialogFits(Command::ZFlagEditor, w.zflagEditor, "window8_zflag_editor");
  dialogFits(Command::Cleanup, w.cleanup, "window9_cleanup");
  dialogFits(Command::ChangeZone, w.chooser, "window1_open_zone");
  dialogFits(Command::ZoneStartScript, w.script, "window3_script");

  bool looked = false;
  whenShown(w.chooser, [&] {
    expectFits(w.chooser, "window1_backup_files");
    looked = true;
  });
  ChooserRequest backups;
  backups.title = "ZorlED - Backup Files";
  backups.prompt = "Some backup game files were found:";
  backups.items = {"Browse and open...", "Save them for later.", "Delete them all."};
  backups.preselect = 0;
  backups.centreOnDesktop = true;
  port.runChooser(backups);
  EXPECT_TRUE(looked);

  looked = false;
  whenShown(w.input, [&] {
    expectFits(w.input, "window2_input");
    looked = true;
  });
  std::string answer;
  port.promptForText("Reformat XML", "Enter new indentation size (number of spaces):", "2", 1, &answer);
  EXPECT_TRUE(looked);
}

GtkWidget* menuBarWidget(GtkWidget* widget) {
  if (GTK_IS_MENU_BAR(widget)) return widget;
  if (!GTK_IS_CONTAINER(widget)) return nullptr;
  GtkWidget* found = nullptr;
  GList* children = gtk_container_get_children(GTK_CONTAINER(widget));
  for (GList* c = children; c && !found; c = c->next) found = menuBarWidget(static_cast<GtkWidget*>(c->data));
  g_list_free(children);
  return found;
}

// The menu that the menu bar has open, or -1 when none is.
int openMenu(wxFrame* frame) {
  wxMenuBar* bar = frame->GetMenuBar();
  for (size_t i = 0; i < bar->GetMenuCount(); ++i) {
    auto* widget = static_cast<GtkWidget*>(bar->GetMenu(i)->m_menu);
    if (widget && gtk_widget_get_mapped(widget)) return static_cast<int>(i);
  }
  return -1;
}

TEST_F(EditorWindowsTest, AccessKeysAndF10OpenTheMenusFromTheCanvas) {
  port.recordChoosers = true;  // Z on the canvas would open the zone chooser
  wxUIActionSimulator keys;
  auto focusCanvas = [&] {
    frame->Raise();
    settle();
    frame->canvas()->SetFocus();
    settle();
    ASSERT_TRUE(frame->canvas()->HasFocus());
  };
  auto closeMenus = [&] {
    gtk_menu_shell_deactivate(GTK_MENU_SHELL(menuBarWidget(static_cast<GtkWidget*>(frame->GetMenuBar()->GetHandle()))));
    settle();
    ASSERT_EQ(openMenu(frame), -1);
  };
  for (bool gameOpen : {true, false}) {
    SCOPED_TRACE(gameOpen ? "with a game open" : "with no game open");
    if (!gameOpen) closeGame(editor);
    focusCanvas();
    keys.Char('z', wxMOD_ALT);
    settle(500);
    EXPECT_EQ(openMenu(frame), 3) << "Alt+Z opens the Zone menu";
    closeMenus();
    focusCanvas();
    keys.Char('f', wxMOD_ALT);
    settle(500);
    EXPECT_EQ(openMenu(frame), 0) << "Alt+F opens the File menu";
    closeMenus();
    focusCanvas();
    keys.Char(WXK_F10);
    settle(500);
    EXPECT_EQ(openMenu(frame), 0) << "F10 opens the menu bar at its first menu";
    closeMenus();
    settle(300);
    EXPECT_TRUE(port.requesters.empty()) << "an access key was taken as typed text: " << port.requesters.front();
    EXPECT_TRUE(port.choosers.empty()) << "an access key was taken as a canvas key: " << port.choosers.front();
    EXPECT_TRUE(editor.zone.view.mode == 0);
  }
}

// The menus show their accelerators in the toolkit's own column and bind none
// of them: the shortcut table binds the keys, once.
TEST_F(EditorWindowsTest, MenusShowAcceleratorsInTheirColumnWithoutBindingThem) {
  wxMenuBar* bar = frame->GetMenuBar();
  struct Shown {
    std::string caption;
    guint key = 0;
    GdkModifierType modifiers{};
  };
  std::vector<Shown> shown;
  std::function<void(wxMenu*)> walk = [&](wxMenu* menu) {
    for (wxMenuItem* item : menu->GetMenuItems()) {
      if (item->IsSeparator()) continue;
      GtkWidget* widget = item->GetMenuItem();
      ASSERT_NE(widget, nullptr);
      GList* closures = gtk_widget_list_accel_closures(widget);
      EXPECT_EQ(g_list_length(closures), 0u) << item->GetItemLabel().utf8_string() << " binds a key";
      g_list_free(closures);
      Shown s;
      s.caption = item->GetItemLabel().utf8_string();
      EXPECT_EQ(s.caption.find("  "), std::string::npos) << "accelerator text inside the label: " << s.caption;
      EXPECT_EQ(s.caption.find('\t'), std::string::npos) << s.caption;
      GtkWidget* label = gtk_bin_get_child(GTK_BIN(widget));
      if (label && GTK_IS_ACCEL_LABEL(label)) gtk_accel_label_get_accel(GTK_ACCEL_LABEL(label), &s.key, &s.modifiers);
      shown.push_back(s);
      if (item->GetSubMenu()) walk(item->GetSubMenu());
    }
  };
  for (size_t i = 0; i < bar->GetMenuCount(); ++i) walk(bar->GetMenu(i));
  auto find = [&](const std::string& caption) {
    for (const Shown& s : shown) {
      if (s.caption == caption) return s;
    }
    ADD_FAILURE() << "no menu item " << caption;
    return Shown{};
  };
  const struct {
    const char* caption;
    guint key;
    int modifiers;
  } expected[] = {
      {"&New", GDK_KEY_N, GDK_CONTROL_MASK | GDK_SHIFT_MASK},
      {"&Open...", GDK_KEY_O, GDK_CONTROL_MASK},
      {"De&lete", GDK_KEY_Delete, 0},
      {"Zone &Start", GDK_KEY_S, 0},
      {"&Test Game", GDK_KEY_F5, 0},
      {"&Delete Zone...", GDK_KEY_Delete, GDK_CONTROL_MASK | GDK_SHIFT_MASK},
      {"&Insert Object", GDK_KEY_Insert, 0},
      {"&Quit", 0, 0},
  };
  for (const auto& e : expected) {
    const Shown s = find(e.caption);
    EXPECT_EQ(s.key, e.key) << e.caption;
    EXPECT_EQ(static_cast<int>(s.modifiers), e.modifiers) << e.caption;
  }
}

// The GFlag list's rows carry their checks in the first column, which a click turns
// over; its last row ("Double-click to add more...") has none.
TEST_F(EditorWindowsTest, GFlagRowsHaveChecksTheAddingRowNone) {
  wxDialog* dialog = port.windows.gflagEditor;
  bool looked = false;
  whenShown(dialog, [&] {
    looked = true;
    wxListCtrl* list = nullptr;
    for (wxWindow* child : dialog->GetChildren()) {
      if (auto* l = dynamic_cast<wxListCtrl*>(child)) list = l;
    }
    ASSERT_NE(list, nullptr);
    EXPECT_FALSE(list->HasCheckBoxes());
    auto picture = [list](int row) {
      wxListItem item;
      item.SetId(row);
      item.SetMask(wxLIST_MASK_IMAGE | wxLIST_MASK_TEXT);
      list->GetItem(item);
      return item.GetImage();
    };
    const int last = list->GetItemCount() - 1;
    ASSERT_EQ(last, 32);
    EXPECT_EQ(list->GetItemText(last, 2), "Double-click to add more...");
    EXPECT_EQ(picture(last), -1);
    EXPECT_EQ(picture(3), 0);
    wxRect row;
    ASSERT_TRUE(list->GetItemRect(3, row));
    wxUIActionSimulator mouse;
    mouse.MouseMove(list->ClientToScreen(wxPoint(list->GetColumnWidth(0) / 2, row.y + row.height / 2)));
    mouse.MouseClick();
    settle();
    EXPECT_EQ(picture(3), 1);
    dialog->EndModal(wxID_OK);
  });
  dispatchCommand(editor, *frame, Command::GFlagEditor);
  EXPECT_TRUE(looked);
  const GFlagList flags = fillGFlagList(editor);
  ASSERT_GT(flags.rows.size(), 3u);
  EXPECT_TRUE(flags.rows[3].checked);
  EXPECT_FALSE(flags.rows[2].checked);
}

// Zone, game, flag and sound windows are made anew each time they are shown: each
// showing has the window's size and stands centred on the main window.
TEST_F(EditorWindowsTest, RebuiltDialogsShowAtTheirSizeEveryTime) {
  if (!std::getenv("ZORLED_TEST_WM")) GTEST_SKIP() << "no window manager";
  FixedWindows& w = port.windows;
  const struct {
    Command command;
    wxDialog* dialog;
    const char* name;
  } dialogs[] = {
      {Command::ZoneProperties, w.zoneProperties, "Zone Properties"},
      {Command::NewZone, w.zoneProperties, "New Zone"},
      {Command::GameProperties, w.gameProperties, "Game Properties"},
      {Command::GFlagEditor, w.gflagEditor, "GFlag Editor"},
      {Command::ZFlagEditor, w.zflagEditor, "ZFlag Editor"},
      {Command::SoundEditor, w.soundEditor, "Sound Editor"},
  };
  for (const auto& d : dialogs) {
    wxSize first;
    for (int showing = 1; showing <= 3; ++showing) {
      SCOPED_TRACE(std::string(d.name) + ", showing " + std::to_string(showing));
      bool looked = false;
      whenShown(d.dialog, [&] {
        looked = true;
        // What the desktop shows, not what wx asked for.
        GdkWindow* gdk = gtk_widget_get_window(static_cast<GtkWidget*>(d.dialog->GetHandle()));
        ASSERT_NE(gdk, nullptr);
        GdkRectangle shown, main;
        gdk_window_get_frame_extents(gdk, &shown);
        gdk_window_get_frame_extents(gtk_widget_get_window(static_cast<GtkWidget*>(frame->GetHandle())), &main);
        const wxSize inner = d.dialog->GetClientSize();
        EXPECT_EQ(gdk_window_get_width(gdk), inner.x);
        EXPECT_GT(inner.x, 200);
        EXPECT_GT(inner.y, 150);
        if (showing == 1) first = inner;
        EXPECT_EQ(inner, first);
        EXPECT_NEAR(shown.x + shown.width / 2, main.x + main.width / 2, 2);
        EXPECT_NEAR(shown.y + shown.height / 2, main.y + main.height / 2, 2)
            << "dialog " << shown.x << "," << shown.y << " " << shown.width << "x" << shown.height << " main " << main.x
            << "," << main.y << " " << main.width << "x" << main.height << " wx dialog "
            << d.dialog->GetRect().y << "+" << d.dialog->GetRect().height << " wx main " << frame->GetRect().y << "+"
            << frame->GetRect().height;
      });
      dispatchCommand(editor, *frame, d.command);
      EXPECT_TRUE(looked);
    }
  }
}

}  // namespace
}  // namespace zor::editor::ui
