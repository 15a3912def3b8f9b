// The script window with the real text control under X: colouring by our lexer,
// and OK on broken XML, driven through the window's own buttons.
#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/button.h>
#include <wx/checklst.h>
#include <wx/dialog.h>
#include <wx/frame.h>
#include <wx/init.h>
#include <wx/stc/stc.h>

#include <cstdlib>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "editor/core/editor.h"
#include "editor/core/script_edit.h"
#include "editor/core/script_lexer.h"
#include "editor/ui/script_editor_window.h"
#include "platform/files.h"
#include "tests/editor/core/fake_port.h"
#include "tests/editor/ui/x_display_hold.h"
#include "tests/game/app/temp_folder.h"

namespace zor::editor::ui {
namespace {

// A desktop whose script window is the real one; message boxes are only recorded.
class WindowPort : public test::FakePort {
 public:
  ScriptEditorWindow* window = nullptr;
  wxWindow* main = nullptr;
  std::deque<std::string> inputs;  // answers of the input dialog; none left: Cancel
  int runScriptWindow(ScriptSession& session) override { return window->run(session, main); }
  bool promptForText(const std::string&, const std::string&, const std::string&, int, std::string* result) override {
    if (inputs.empty()) return false;
    *result = inputs.front();
    inputs.pop_front();
    return true;
  }
};

// A key as the window's key hook sees it.
void key(wxWindow* window, int code, bool ctrl = false, bool shift = false) {
  wxKeyEvent event(wxEVT_CHAR_HOOK);
  event.m_keyCode = code;
  event.m_controlDown = ctrl;
  event.m_shiftDown = shift;
  event.SetEventObject(window);
  window->GetEventHandler()->ProcessEvent(event);
}

void press(wxButton* button) {
  wxCommandEvent click(wxEVT_BUTTON, button->GetId());
  click.SetEventObject(button);
  button->GetEventHandler()->ProcessEvent(click);
}

std::string textOf(wxStyledTextCtrl* t) {
  const wxCharBuffer b = t->GetTextRaw();
  return std::string(b.data(), b.length());
}

class ScriptWindowTest : public ::testing::Test {
 protected:
  ScriptWindowTest() : editor(port) {
    editor.folders.program = temp.path();
    editor.folders.data = temp.path();
    editor.folders.start = temp.path();
    frame = new wxFrame(nullptr, wxID_ANY, "ZorlED", wxDefaultPosition, wxSize(880, 660));
    frame->Show();
    window = new ScriptEditorWindow;
    EXPECT_TRUE(window->create(frame, frame->GetFont(), editor.prefs));
    port.window = window;
    port.main = frame;
  }
  ~ScriptWindowTest() override { frame->Destroy(); }

  void openZoneWith(const std::string& content) {
    const std::string path = temp / "g.zorlan";
    ASSERT_TRUE(files::writeFileAtomic(path, "<zorlan version=\"1\"><zone id=\"z\">" + content + "</zone></zorlan>"));
    ASSERT_TRUE(loadGameFileForEditing(editor, path));
    ASSERT_TRUE(openZone(editor, editor.game.zones.at(0).node));
  }

  // Runs `steps` once the window's own loop is running.
  void whileOpen(std::function<void()> steps) {
    window->CallAfter([this, steps] {
      steps();
      if (window->IsModal()) press(window->cancelButton());  // never leave the loop hanging
    });
  }

  zor::testing::TempFolder temp;
  test::FakePort& fake() { return port; }
  WindowPort port;
  Editor editor;
  wxFrame* frame = nullptr;
  ScriptEditorWindow* window = nullptr;
};

TEST_F(ScriptWindowTest, ControlShowsTheLexersStylesAfterColourising) {
  openZoneWith("<start>\n  <setcolor oname='you' color='FF0000'/>\n  <!-- a note -->\n"
               "  <warp zone='b' entrance='-'/>\n  <title text='\xC3\xA9t\xC3\xA9'/>\n</start>");
  bool sampled = false;
  whileOpen([&] {
    wxStyledTextCtrl* t = window->text();
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->GetLexer(), wxSTC_LEX_CONTAINER);
    EXPECT_EQ(t->GetEOLMode(), wxSTC_EOL_LF);
    t->Colourise(0, -1);
    const std::string text = textOf(t);
    ASSERT_GT(text.size(), 40u);
    std::string expected;
    for (const StyleRun& r : styleScriptText(text)) expected.append(r.length, static_cast<char>(r.style));
    ASSERT_EQ(expected.size(), text.size());
    int checked = 0;
    for (std::size_t pos = 0; pos < text.size(); pos += 3) {
      EXPECT_EQ(t->GetStyleAt(static_cast<int>(pos)), expected[pos]) << "byte " << pos;
      ++checked;
    }
    // A few that matter by name.
    const auto at = [&](const std::string& what) { return t->GetStyleAt(static_cast<int>(text.find(what))); };
    EXPECT_EQ(at("setcolor"), scriptstyle::Element);
    EXPECT_EQ(at("oname"), scriptstyle::Attribute);
    EXPECT_EQ(at("\"you\""), scriptstyle::Special);
    EXPECT_EQ(at("\"-\""), scriptstyle::Inactive);
    EXPECT_EQ(at("a note"), scriptstyle::Comment);
    EXPECT_EQ(at("\xC3\xA9t"), scriptstyle::Value);
    EXPECT_EQ(t->GetStyleAt(static_cast<int>(text.find("\xC3\xA9t")) + 1), scriptstyle::Value);
    EXPECT_GT(checked, 20);
    sampled = true;
  });
  EXPECT_FALSE(editScriptOf(editor, "Zone Start Script", "Edit zone's Start script:", "start", nullptr));
  EXPECT_TRUE(sampled);
  EXPECT_FALSE(editor.game.modified);
}

TEST_F(ScriptWindowTest, OkOnBrokenXmlKeepsTheWindowOpenAndSelectsTheErrorLine) {
  openZoneWith("<death><kill oname='a'/></death>");
  bool checked = false;
  whileOpen([&] {
    wxStyledTextCtrl* t = window->text();
    ASSERT_NE(t, nullptr);
    // Two blank lines before the script: the error is on the fifth line as shown.
    t->SetText("\n\n<death>\n  <hide oname='a'>\n</death>\n");
    press(window->okButton());
    EXPECT_TRUE(window->IsModal());
    EXPECT_TRUE(window->IsShown());
    ASSERT_FALSE(fake().messages.empty());
    EXPECT_EQ(fake().messages.back().text.rfind("Invalid XML on line 5!", 0), 0u) << fake().messages.back().text;
    EXPECT_EQ(t->GetSelectionStart(), t->PositionFromLine(4));
    EXPECT_EQ(t->GetSelectionEnd(), t->GetLineEndPosition(4));
    EXPECT_EQ(std::string(t->GetSelectedText().utf8_str()), "</death>");
    // Mended, OK closes the window and the script is written.
    t->SetText("\n\n<death>\n  <hide oname='a'/>\n</death>\n");
    press(window->okButton());
    EXPECT_FALSE(window->IsModal());
    checked = true;
  });
  EXPECT_TRUE(editScriptOf(editor, "Zone Death Script", "Edit zone's Death script:", "death", nullptr));
  EXPECT_TRUE(checked);
  EXPECT_TRUE(editor.game.modified);
  const std::string zone = xml::Document::serializeNode(editor.zone.openZoneNode);
  EXPECT_NE(zone.find("<death>\n  <hide oname=\"a\"/>\n</death>"), std::string::npos) << zone;
}

TEST_F(ScriptWindowTest, DeleteScriptEmptiesTheScriptAndKeepsItsText) {
  openZoneWith("<death><kill oname='a'/></death>");
  whileOpen([&] { press(window->deleteButton()); });
  EXPECT_TRUE(editScriptOf(editor, "Zone Death Script", "Edit zone's Death script:", "death", nullptr));
  EXPECT_EQ(editor.zone.deletedScript, "<death><kill oname=\"a\"/></death>");
  EXPECT_EQ(xml::Document::serializeNode(editor.zone.openZoneNode).find("death"), std::string::npos);
}

TEST_F(ScriptWindowTest, FindWrapsAndGoToLineSelectsWholeLines) {
  openZoneWith("<start><kill oname='a'/><warp zone='b'/><kill oname='c'/></start>");
  bool checked = false;
  whileOpen([&] {
    wxStyledTextCtrl* t = window->text();
    ASSERT_NE(t, nullptr);
    t->SetText("<start>\n  <kill oname='a'/>\n  <warp zone='b'/>\n  <KILL oname='c'/>\n</start>");
    t->GotoPos(t->PositionFromLine(2));
    port.inputs = {"kill"};
    key(window, 'F', true);  // from line 3 on: the upper-case one on line 4
    EXPECT_EQ(t->LineFromPosition(t->GetSelectionStart()), 3);
    EXPECT_EQ(std::string(t->GetSelectedText().utf8_str()), "KILL");
    key(window, WXK_F3);  // wraps to line 2
    EXPECT_EQ(t->LineFromPosition(t->GetSelectionStart()), 1);
    key(window, WXK_F3, false, true);  // previous: wraps back to line 4
    EXPECT_EQ(t->LineFromPosition(t->GetSelectionStart()), 3);

    t->GotoPos(5);
    port.inputs = {"nowhere"};
    key(window, 'F', true);
    ASSERT_FALSE(fake().messages.empty());
    EXPECT_EQ(fake().messages.back().text, "Search query not found.");
    EXPECT_EQ(t->GetCurrentPos(), 5);

    port.inputs = {"0"};
    key(window, 'G', true);
    EXPECT_EQ(std::string(t->GetSelectedText().utf8_str()), "<start>");
    port.inputs = {"3"};
    key(window, 'G', true);
    EXPECT_EQ(std::string(t->GetSelectedText().utf8_str()), "  <warp zone='b'/>");
    port.inputs = {"99"};
    key(window, 'G', true);
    EXPECT_EQ(std::string(t->GetSelectedText().utf8_str()), "</start>");
    EXPECT_TRUE(window->IsModal());
    key(window, WXK_ESCAPE);
    EXPECT_FALSE(window->IsModal());
    checked = true;
  });
  EXPECT_FALSE(editScriptOf(editor, "Zone Start Script", "Edit zone's Start script:", "start", nullptr));
  EXPECT_TRUE(checked);
  EXPECT_FALSE(editor.game.modified);
}

// The shown list dialog of that title, once it runs its own loop.
wxDialog* shownDialog(const wxString& title) {
  for (wxWindow* w : wxTopLevelWindows) {
    auto* dialog = dynamic_cast<wxDialog*>(w);
    if (dialog && dialog->IsModal() && dialog->GetTitle() == title) return dialog;
  }
  return nullptr;
}

TEST_F(ScriptWindowTest, BlockReferenceTakesTheHighlightedRowsWhenNoneIsTicked) {
  openZoneWith("<levels><level z='0'/></levels><block oname='door' x='0'/><block oname='key' x='5'/>"
               "<start><kill oname='a'/></start>");
  // The row highlighted, the rows ticked, and what OK inserts.
  struct Case {
    std::vector<int> highlighted;
    std::vector<int> ticked;
    std::string inserted;
  };
  const Case cases[] = {{{1}, {}, "key"}, {{0}, {}, "door"}, {{0}, {1}, "key"}, {{1}, {0, 1}, "door,key"}};
  std::vector<std::string> texts;
  whileOpen([&] {
    wxStyledTextCtrl* t = window->text();
    ASSERT_NE(t, nullptr);
    for (const Case& c : cases) {
      t->SetText("");
      window->CallAfter([&] {
        wxDialog* dialog = shownDialog("Block Reference");
        ASSERT_NE(dialog, nullptr);
        wxCheckListBox* list = nullptr;
        for (wxWindow* child : dialog->GetChildren())
          if (auto* l = dynamic_cast<wxCheckListBox*>(child)) list = l;
        if (list == nullptr) {
          dialog->EndModal(wxID_CANCEL);
          FAIL() << "no list of block names";
        }
        for (int row : c.highlighted) list->SetSelection(row);
        for (int row : c.ticked) list->Check(static_cast<unsigned>(row));
        wxCommandEvent ok(wxEVT_BUTTON, wxID_OK);
        ok.SetEventObject(dialog);
        dialog->GetEventHandler()->ProcessEvent(ok);
        if (dialog->IsModal()) dialog->EndModal(wxID_CANCEL);
      });
      key(window, 'B', true);
      texts.push_back(textOf(t));
    }
  });
  EXPECT_FALSE(editScriptOf(editor, "Zone Start Script", "Edit zone's Start script:", "start", nullptr));
  ASSERT_EQ(texts.size(), std::size(cases));
  for (std::size_t i = 0; i < texts.size(); ++i) EXPECT_EQ(texts[i], cases[i].inserted) << "case " << i;
}

}  // namespace
}  // namespace zor::editor::ui
