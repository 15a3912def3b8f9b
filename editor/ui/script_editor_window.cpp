#include "editor/ui/script_editor_window.h"

#include <wx/button.h>
#include <wx/choicdlg.h>
#include <wx/colordlg.h>
#include <wx/fontenum.h>
#include <wx/listbox.h>
#include <wx/menu.h>
#include <wx/stattext.h>
#include <wx/stc/stc.h>

#include <algorithm>

#include "editor/core/editor.h"
#include "editor/core/help_pages.h"
#include "editor/core/script_lexer.h"
#include "editor/ui/fitted_layout.h"
#include "format/values.h"

namespace zor::editor::ui {

namespace {

constexpr int kMargin = 5;
constexpr int kLineNumberStyle = 33;  // wxSTC_STYLE_LINENUMBER

wxString fromUtf8(const std::string& s) { return wxString::FromUTF8(s.data(), s.size()); }

// Preference colours are 0x00BBGGRR.
wxColour colourOf(int32_t bgr) { return wxColour(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF); }

std::string textOf(wxStyledTextCtrl* text) {
  const wxCharBuffer bytes = text->GetTextRaw();
  return std::string(bytes.data(), bytes.length());
}

// The Block reference's list: rows are ticked; a highlighted row counts when none is.
class BlockReferenceDialog : public wxMultiChoiceDialog {
 public:
  using wxMultiChoiceDialog::wxMultiChoiceDialog;
  wxArrayInt chosenRows() const {
    wxArrayInt rows = GetSelections();
    if (rows.empty() && m_listbox != nullptr) {
      for (unsigned n = 0; n < m_listbox->GetCount(); ++n) {
        if (m_listbox->IsSelected(static_cast<int>(n))) rows.Add(static_cast<int>(n));
      }
    }
    return rows;
  }
};

enum MenuId {
  kIdBlock = wxID_HIGHEST + 100, kIdGFlag, kIdSound, kIdZFlag, kIdZone, kIdEntrance, kIdColour, kIdMusic,
  kIdSubScript, kIdHelp, kIdCaption
};

}  // namespace

bool ScriptEditorWindow::create(wxWindow* parent, const wxFont& noticeFont, const EditorPreferences& prefs) {
  if (!ScriptWindow::create(parent, noticeFont)) return false;
  prompt_ = new wxStaticText(this, wxID_ANY, "", wxPoint(kMargin, kMargin), wxSize(-1, 20));
  keepOnOneLine(prompt_);
  ok_ = new wxButton(this, wxID_OK, "OK");
  delete_ = new wxButton(this, wxID_ANY, "Delete Script");
  cancel_ = new wxButton(this, wxID_CANCEL, "Cancel");
  ok_->SetDefault();
  SetEscapeId(wxID_NONE);  // Esc is a shortcut of its own
  ok_->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { onOk(); });
  delete_->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { onDelete(); });
  cancel_->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { finish(wxID_CANCEL); });
  Bind(wxEVT_CLOSE_WINDOW, [this](wxCloseEvent&) {
    if (IsModal()) finish(wxID_CANCEL);
    else Hide();
  });
  Bind(wxEVT_SIZE, [this](wxSizeEvent& e) {
    layout();
    e.Skip();
  });
  Bind(wxEVT_CHAR_HOOK, &ScriptEditorWindow::onKey, this);

  if (wxStyledTextCtrl* t = text()) {
    t->UsePopUp(wxSTC_POPUP_NEVER);
    t->SetEOLMode(wxSTC_EOL_LF);
    t->SetLexer(wxSTC_LEX_CONTAINER);
    applyStyles(prefs);
    t->SetMarginType(0, wxSTC_MARGIN_NUMBER);
    t->SetMarginWidth(0, t->TextWidth(kLineNumberStyle, "_999"));
    t->SetMarginWidth(1, 0);
    t->SetTabWidth(2);
    t->SetUseTabs(false);
    for (int key : {'B', 'E', 'F', 'G', 'H', 'I', 'J', 'K', 'M', 'N', 'O', 'P', 'Q', 'R', 'S', 'U', 'W'})
      t->CmdKeyClear(key, wxSTC_KEYMOD_CTRL);
    t->CmdKeyAssign('L', wxSTC_KEYMOD_CTRL, wxSTC_CMD_LINEDELETE);
    t->CmdKeyAssign(wxSTC_KEY_UP, wxSTC_KEYMOD_CTRL, wxSTC_CMD_LINESCROLLUP);
    t->CmdKeyAssign(wxSTC_KEY_DOWN, wxSTC_KEYMOD_CTRL, wxSTC_CMD_LINESCROLLDOWN);
    t->CmdKeyAssign(wxSTC_KEY_UP, wxSTC_KEYMOD_CTRL | wxSTC_KEYMOD_SHIFT, wxSTC_CMD_MOVESELECTEDLINESUP);
    t->CmdKeyAssign(wxSTC_KEY_DOWN, wxSTC_KEYMOD_CTRL | wxSTC_KEYMOD_SHIFT, wxSTC_CMD_MOVESELECTEDLINESDOWN);
    t->Bind(wxEVT_STC_STYLENEEDED, [this](wxStyledTextEvent& e) { styleUpTo(e.GetPosition()); });
    t->Bind(wxEVT_CONTEXT_MENU, [this](wxContextMenuEvent&) { showReferenceMenu(); });
  }
  layout();
  return true;
}

void ScriptEditorWindow::applyStyles(const EditorPreferences& prefs) {
  wxStyledTextCtrl* t = text();
  if (!t) return;
  // The preferred face when the desktop has it, else its monospace family.
  wxFont font(wxFontInfo(std::max(1, prefs.scriptFontSize)).Family(wxFONTFAMILY_TELETYPE));
  if (!prefs.scriptFont.empty() && wxFontEnumerator::IsValidFacename(fromUtf8(prefs.scriptFont))) {
    font.SetFaceName(fromUtf8(prefs.scriptFont));
  }
  t->StyleSetFont(wxSTC_STYLE_DEFAULT, font);
  t->StyleSetForeground(wxSTC_STYLE_DEFAULT, colourOf(prefs.scriptNormal));
  t->StyleSetBackground(wxSTC_STYLE_DEFAULT, colourOf(prefs.scriptBackground));
  t->StyleClearAll();
  struct Style {
    int style;
    int32_t foreground;
    int32_t background;  // -1: the default's
    bool bold;
  };
  const Style styles[] = {
      {scriptstyle::Normal, prefs.scriptNormal, -1, false},
      {scriptstyle::Element, prefs.scriptNode, -1, true},
      {scriptstyle::Attribute, prefs.scriptAttrib, -1, true},
      {scriptstyle::Value, prefs.scriptValue, -1, false},
      {scriptstyle::Comment, prefs.scriptComment, -1, false},
      {scriptstyle::Inactive, prefs.scriptValue, prefs.scriptInactive, false},
      {scriptstyle::Special, prefs.scriptValue, prefs.scriptSpecial, false},
      {kLineNumberStyle, prefs.scriptLineNumber, prefs.scriptLineBack, false},
  };
  for (const Style& s : styles) {
    t->StyleSetForeground(s.style, colourOf(s.foreground));
    if (s.background >= 0) t->StyleSetBackground(s.style, colourOf(s.background));
    t->StyleSetBold(s.style, s.bold);
  }
}

void ScriptEditorWindow::styleUpTo(int end) {
  wxStyledTextCtrl* t = text();
  if (!t) return;
  const int start = t->PositionFromLine(t->LineFromPosition(t->GetEndStyled()));
  end = std::min(end, t->GetLength());
  if (end <= start) return;
  const wxCharBuffer bytes = t->GetTextRangeRaw(start, end);
  const std::string_view range(bytes.data(), std::min<std::size_t>(bytes.length(), static_cast<std::size_t>(end - start)));
  t->StartStyling(start);
  for (const StyleRun& run : styleScriptText(range)) t->SetStyling(static_cast<int>(run.length), run.style);
}

void ScriptEditorWindow::layout() {
  const wxSize size = GetClientSize();
  const int w = size.x;
  const int h = size.y;
  const int m = kMargin;
  if (!prompt_ || !ok_ || !delete_ || !cancel_) return;
  // The prompt and the buttons as large as their texts need, at least their design size.
  const int promptHeight = std::max(20, neededSize(prompt_).y);
  int bw = 80, bh = 25;
  for (wxButton* b : {ok_, delete_, cancel_}) {
    const wxSize need = neededSize(b);
    bw = std::max(bw, need.x);
    bh = std::max(bh, need.y);
  }
  const int buttonsY = h - m - 5 - bh;
  prompt_->SetSize(m, m, w - 2 * m, promptHeight);
  if (text()) text()->SetSize(2 * m, m + promptHeight, w - 4 * m, std::max(1, buttonsY - 10 - m - promptHeight));
  ok_->SetSize(10 * m, buttonsY, bw, bh);
  delete_->SetSize(w / 2 - bw / 2, buttonsY, bw, bh);
  cancel_->SetSize(w - 10 * m - bw, buttonsY, bw, bh);
}

int ScriptEditorWindow::run(ScriptSession& session, wxWindow* mainWindow) {
  session_ = &session;
  search_.clear();
  SetTitle(fromUtf8(session.title()));
  prompt_->SetLabel(fromUtf8(session.prompt()));
  if (wxStyledTextCtrl* t = text()) {
    t->SetText(fromUtf8(session.initialText()));
    t->SetXOffset(0);
    t->EmptyUndoBuffer();
    t->GotoPos(0);
  }
  if (mainWindow && mainWindow->IsShown()) {
    const wxRect main = mainWindow->GetRect();
    const wxSize own = GetSize();
    SetPosition(wxPoint(main.x + (main.width - own.x) / 2, main.y + (main.height - own.y) / 2));
  } else {
    CentreOnScreen();
  }
  layout();
  if (text()) text()->SetFocus();
  const int result = ShowModal() == wxID_OK && text() ? 1 : 0;
  session_ = nullptr;
  Hide();
  return result;
}

void ScriptEditorWindow::finish(int id) {
  if (IsModal() && nested_ == 0) EndModal(id);
}

void ScriptEditorWindow::onOk() {
  if (!session_ || !text() || nested_ > 0) return;  // without the control nothing can be accepted
  ScriptCheck check;
  bool accepted = false;
  {
    Nested box(*this);
    accepted = session_->accept(textOf(text()), &check);
  }
  if (accepted) {
    finish(wxID_OK);
    return;
  }
  if (check.errorLine > 0) {
    wxStyledTextCtrl* t = text();
    const int line = std::min(check.errorLine - 1, std::max(0, t->GetLineCount() - 1));
    t->SetSelection(t->PositionFromLine(line), t->GetLineEndPosition(line));
    t->EnsureCaretVisible();
  }
  if (text()) text()->SetFocus();
}

void ScriptEditorWindow::onDelete() {
  if (!session_ || !text() || nested_ > 0) return;
  session_->deleteScript(textOf(text()));
  text()->ClearAll();
  finish(wxID_OK);
}

void ScriptEditorWindow::onKey(wxKeyEvent& event) {
  const int key = event.GetKeyCode();
  const bool ctrl = event.ControlDown();
  const bool shift = event.ShiftDown();
  if (!session_ || nested_ > 0) {
    event.Skip();
    return;
  }
  if (ctrl && (key == WXK_RETURN || key == WXK_NUMPAD_ENTER || key == 'S')) onOk();
  else if ((!ctrl && key == WXK_ESCAPE) || (ctrl && key == 'W')) finish(wxID_CANCEL);
  else if (ctrl && key == WXK_DELETE) onDelete();
  else if (ctrl && key == 'F') find();
  else if (!ctrl && key == WXK_F3) findAgain(!shift);
  else if (ctrl && key == 'G') goToLine();
  else if (ctrl && key == WXK_INSERT) showReferenceMenu();
  else if (ctrl && key == 'B') insertReference(ScriptReference::Block);
  else if (ctrl && key == 'E') insertReference(ScriptReference::Entrance);
  else if (ctrl && key == 'M') insertReference(ScriptReference::Music);
  else if (!ctrl && key == WXK_F7) insertReference(ScriptReference::GFlag);
  else if (!ctrl && key == WXK_F8) insertReference(ScriptReference::ZFlag);
  else if (!ctrl && key == WXK_F9) insertReference(ScriptReference::Sound);
  else if (!ctrl && key == WXK_F1) showHelpPage();
  else event.Skip();
}

void ScriptEditorWindow::notFound(int anchor, int caret) {
  session_->editor().port.messageBox("ZorlED", "Search query not found.", MessageIcon::Information);
  text()->SetAnchor(anchor);
  text()->SetCurrentPos(caret);
}

void ScriptEditorWindow::find() {
  Nested nested(*this);
  wxStyledTextCtrl* t = text();
  if (!t) return;
  std::string answer;
  if (!session_->editor().port.promptForText("Find Text", "Search script for:", search_, 0, &answer) ||
      answer.empty()) {
    return;
  }
  search_ = answer;
  const int anchor = t->GetAnchor();
  const int caret = t->GetCurrentPos();
  t->SearchAnchor();
  int at = t->SearchNext(0, fromUtf8(search_));
  if (at < 0) {
    t->GotoPos(0);
    t->SearchAnchor();
    at = t->SearchNext(0, fromUtf8(search_));
  }
  if (at < 0) {
    notFound(anchor, caret);
    return;
  }
  t->EnsureCaretVisible();
  const int line = t->LineFromPosition(at);
  t->SetFirstVisibleLine(std::max(0, line - t->LinesOnScreen() / 2));
}

void ScriptEditorWindow::findAgain(bool forward) {
  Nested nested(*this);
  wxStyledTextCtrl* t = text();
  if (!t || search_.empty()) return;
  const int anchor = t->GetAnchor();
  const int caret = t->GetCurrentPos();
  const wxString what = fromUtf8(search_);
  int at = -1;
  if (forward) {
    t->GotoPos(t->PositionAfter(anchor));
    t->SearchAnchor();
    at = t->SearchNext(0, what);
    if (at < 0) {
      t->GotoPos(0);
      t->SearchAnchor();
      at = t->SearchNext(0, what);
    }
  } else {
    t->GotoPos(t->PositionBefore(anchor));
    t->SearchAnchor();
    at = t->SearchPrev(0, what);
    if (at < 0) {
      t->GotoPos(t->GetLength());
      t->SearchAnchor();
      at = t->SearchPrev(0, what);
    }
  }
  if (at < 0) {
    notFound(anchor, caret);
    return;
  }
  t->EnsureCaretVisible();
}

void ScriptEditorWindow::goToLine() {
  Nested nested(*this);
  wxStyledTextCtrl* t = text();
  if (!t) return;
  std::string answer;
  const std::string current = std::to_string(t->LineFromPosition(t->GetCurrentPos()) + 1);
  if (!session_->editor().port.promptForText("Go To Line", "Enter line number:", current, 1, &answer) ||
      answer.empty()) {
    return;
  }
  const int wanted = std::max(1, format::readInt(answer));
  const int line = std::min(wanted - 1, std::max(0, t->GetLineCount() - 1));
  t->SetSelection(t->PositionFromLine(line), t->GetLineEndPosition(line));
  t->EnsureCaretVisible();
}

void ScriptEditorWindow::showReferenceMenu() {
  Nested nested(*this);
  if (!session_) return;
  wxMenu menu;
  const ScriptContext context = session_->context();
  if (context == ScriptContext::Zone) {
    menu.Append(kIdCaption, "Reference:");
    menu.Append(kIdBlock, " - Block");
    menu.Append(kIdGFlag, " - GFlag");
    menu.Append(kIdSound, " - Sound");
    menu.Append(kIdZFlag, " - ZFlag");
    menu.Append(kIdZone, " - Zone");
    auto* more = new wxMenu;
    more->Append(kIdEntrance, " - Entrance");
    more->Append(kIdColour, " - Color");
    more->Append(kIdMusic, " - Music");
    more->Append(kIdSubScript, " - Sub Script");
    menu.AppendSubMenu(more, "More...");
    menu.AppendSeparator();
  } else if (context == ScriptContext::Game) {
    menu.Append(kIdCaption, "Reference:");
    menu.Append(kIdColour, " - Color");
    menu.Append(kIdGFlag, " - GFlag");
    menu.Append(kIdMusic, " - Music");
    menu.Append(kIdSound, " - Sound");
    menu.Append(kIdZone, " - Zone");
    menu.AppendSeparator();
  }
  menu.Append(kIdHelp, "Script Help...");
  switch (GetPopupMenuSelectionFromUser(menu)) {
    case kIdBlock: insertReference(ScriptReference::Block); break;
    case kIdGFlag: insertReference(ScriptReference::GFlag); break;
    case kIdSound: insertReference(ScriptReference::Sound); break;
    case kIdZFlag: insertReference(ScriptReference::ZFlag); break;
    case kIdZone: insertReference(ScriptReference::Zone); break;
    case kIdEntrance: insertReference(ScriptReference::Entrance); break;
    case kIdColour: insertReference(ScriptReference::Colour); break;
    case kIdMusic: insertReference(ScriptReference::Music); break;
    case kIdSubScript: insertReference(ScriptReference::SubScript); break;
    case kIdHelp: showHelpPage(); break;
    default: break;
  }
}

void ScriptEditorWindow::insertReference(ScriptReference kind) {
  Nested nested(*this);
  if (!session_ || !text()) return;
  std::string inserted;
  if (kind == ScriptReference::Block) {
    const std::vector<std::string> names = session_->namedBlocks();
    if (names.empty()) return;
    wxArrayString choices;
    for (const std::string& n : names) choices.Add(fromUtf8(n));
    BlockReferenceDialog dialog(this, "Choose named blocks:", "Block Reference", choices);
    if (dialog.ShowModal() != wxID_OK) return;
    wxArrayInt picked = dialog.chosenRows();
    std::sort(picked.begin(), picked.end());
    std::vector<std::string> chosen;
    for (int i : picked) chosen.push_back(names[static_cast<std::size_t>(i)]);
    if (chosen.empty()) return;
    inserted = ScriptSession::joinBlockNames(chosen);
  } else if (kind == ScriptReference::Colour) {
    wxColourDialog dialog(this);
    if (dialog.ShowModal() != wxID_OK) return;
    const wxColour c = dialog.GetColourData().GetColour();
    inserted = ScriptSession::colourText(c.Red(), c.Green(), c.Blue());
  } else if (!session_->reference(kind, &inserted)) {
    Raise();
    return;
  }
  insertText(inserted);
}

void ScriptEditorWindow::insertText(const std::string& inserted) {
  text()->ReplaceSelection(fromUtf8(inserted));
  Raise();
  text()->SetFocus();
}

void ScriptEditorWindow::showHelpPage() {
  Nested nested(*this);
  if (session_) showWindowHelp(session_->editor(), HelpWindow::Script, session_->title());
}

}  // namespace zor::editor::ui
