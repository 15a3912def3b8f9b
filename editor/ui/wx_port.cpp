#include "editor/ui/wx_port.h"

#include <wx/clipbrd.h>
#include <wx/colordlg.h>
#include <wx/evtloop.h>
#include <wx/filedlg.h>
#include <wx/filefn.h>
#include <wx/filename.h>
#include <wx/filesys.h>
#include <wx/msgdlg.h>
#include <wx/timer.h>
#include <wx/utils.h>

#include <cctype>

#include "editor/ui/canvas_panel.h"
#include "editor/ui/form_dialog.h"
#include "editor/ui/fixed_dialogs.h"
#include "editor/ui/flag_editor_windows.h"
#include "editor/ui/main_frame.h"
#include "editor/ui/script_editor_window.h"
#include "format/values.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "platform/text.h"

namespace zor::editor::ui {

namespace {

wxString fromUtf8(const std::string& s) { return wxString::FromUTF8(s.data(), s.size()); }

wxWindow* dialogParent(MainFrame* frame) {
  return frame && frame->IsShown() ? static_cast<wxWindow*>(frame) : nullptr;
}

}  // namespace

// Counts the modal dialogs open, so that the after-event steps wait for them.
WxPort::ModalScope::ModalScope(WxPort& p) : port(p) { ++port.modalDepth_; }
WxPort::ModalScope::~ModalScope() {
  if (--port.modalDepth_ == 0) {
    if (port.frame && port.frame->IsShown()) port.frame->canvas()->SetFocus();
    if (port.onModalEnded) port.onModalEnded();
  }
}

std::string desktopLineBreaks(const std::string& text) { return text::replaceAll(text, "\r\n", "\n"); }

std::string caseFreePattern(const std::string& pattern) {
  std::string out;
  const std::vector<std::string> parts = text::split(pattern, '|');
  for (std::size_t i = 0; i < parts.size(); ++i) {
    if (i) out += '|';
    if (i % 2 == 0) {  // a label
      out += parts[i];
      continue;
    }
    for (char c : parts[i]) {
      if (std::isalpha(static_cast<unsigned char>(c))) {
        out += '[';
        out += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        out += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        out += ']';
      } else {
        out += c;
      }
    }
  }
  return out;
}

WxPort::WxPort() = default;
WxPort::~WxPort() = default;

void WxPort::setStatus(int field, const std::string& text) {
  if (frame && frame->GetStatusBar()) frame->SetStatusText(fromUtf8(text), field == 0 ? 0 : 1);
}

void WxPort::setTitle(const std::string& title) {
  if (frame) frame->SetTitle(fromUtf8(title));
}

void WxPort::messageBox(const std::string& title, const std::string& text, MessageIcon icon) {
  long style = wxOK;
  switch (icon) {
    case MessageIcon::Information: style |= wxICON_INFORMATION; break;
    case MessageIcon::Warning: style |= wxICON_WARNING; break;
    case MessageIcon::Error: style |= wxICON_ERROR; break;
    case MessageIcon::Question: style |= wxICON_QUESTION; break;
  }
  ModalScope modal(*this);
  wxMessageDialog dialog(dialogParent(frame), fromUtf8(desktopLineBreaks(text)), fromUtf8(title), style);
  dialog.ShowModal();
}

Answer WxPort::ask(const std::string& title, const std::string& text, QuestionButtons buttons) {
  long style = wxICON_QUESTION | wxYES_NO;
  if (buttons == QuestionButtons::YesNoCancel) style |= wxCANCEL;
  ModalScope modal(*this);
  wxMessageDialog dialog(dialogParent(frame), fromUtf8(desktopLineBreaks(text)), fromUtf8(title), style);
  switch (dialog.ShowModal()) {
    case wxID_YES: return Answer::Yes;
    case wxID_NO: return Answer::No;
    default: return buttons == QuestionButtons::YesNo ? Answer::No : Answer::Cancel;
  }
}

int WxPort::runChooser(const ChooserRequest& request) {
  if (!windows.chooser || request.items.empty()) return -1;
  ModalScope modal(*this);
  return windows.chooser->run(request, frame);
}

bool WxPort::promptForText(const std::string& title, const std::string& prompt, const std::string& defaultText,
                           int fieldFlags, std::string* result) {
  if (!windows.input) return false;
  ModalScope modal(*this);
  return windows.input->run(title, prompt, defaultText, fieldFlags, result);
}

FileChoice WxPort::fileRequester(const FileRequest& request, bool save) {
  std::string folder = request.startPath;
  std::string name;
  if (!folder.empty() && !files::isFolder(folder)) {
    name = files::fileName(folder);
    folder = files::folderPart(folder);
  }
  ModalScope modal(*this);
  wxFileDialog dialog(dialogParent(frame), fromUtf8(request.title), fromUtf8(folder), fromUtf8(name),
                      fromUtf8(caseFreePattern(request.pattern)),
                      save ? wxFD_SAVE : (wxFD_OPEN | wxFD_FILE_MUST_EXIST));
  dialog.SetFilterIndex(request.patternIndex);
  FileChoice choice;
  if (dialog.ShowModal() != wxID_OK) return choice;
  choice.chosen = true;
  choice.path = files::absolutePath(dialog.GetPath().utf8_string(), files::currentFolder());
  choice.patternIndex = dialog.GetFilterIndex();
  return choice;
}

FileChoice WxPort::openFileRequester(const FileRequest& request) { return fileRequester(request, false); }
FileChoice WxPort::saveFileRequester(const FileRequest& request) { return fileRequester(request, true); }

bool WxPort::runForm(FormRequest& request) {
  wxDialog* window = request.window == 4 ? windows.zoneProperties : request.window == 5 ? windows.gameProperties : nullptr;
  if (!window) return false;
  ModalScope modal(*this);
  const HelpWindow page = request.window == 4 ? HelpWindow::ZoneProperties : HelpWindow::GameProperties;
  return runFormDialog(window, request, [this, page] { help(page); });
}

bool WxPort::runGFlagEditor(GFlagList& list) {
  if (!windows.gflagEditor) return false;
  ModalScope modal(*this);
  return runGFlagEditorWindow(windows.gflagEditor, *this, list, [this] { help(HelpWindow::GFlagEditor); });
}

bool WxPort::runZFlagEditor(ZFlagNames& names) {
  if (!windows.zflagEditor) return false;
  ModalScope modal(*this);
  return runZFlagEditorWindow(windows.zflagEditor, *this, names, [this] { help(HelpWindow::ZFlagEditor); });
}

bool WxPort::runSoundEditor(SoundRows& rows) {
  if (!windows.soundEditor) return false;
  ModalScope modal(*this);
  return runSoundEditorWindow(windows.soundEditor, *this, rows, [this] { help(HelpWindow::SoundEditor); });
}

bool WxPort::chooseColour(int32_t start, int32_t* chosen) {
  wxColourData data;
  data.SetChooseFull(true);
  if (start >= 0) data.SetColour(wxColour(start & 0xFF, (start >> 8) & 0xFF, (start >> 16) & 0xFF));
  ModalScope modal(*this);
  wxColourDialog dialog(dialogParent(frame), &data);
  if (dialog.ShowModal() != wxID_OK) return false;
  const wxColour c = dialog.GetColourData().GetColour();
  *chosen = static_cast<int32_t>(c.Red()) | (static_cast<int32_t>(c.Green()) << 8) | (static_cast<int32_t>(c.Blue()) << 16);
  return true;
}

namespace {
// X has two clipboards; Ctrl+C and Ctrl+V use the one that menus and keys use.
void useTheClipboard() {
#if defined(__WXGTK__) || defined(__WXX11__)
  wxTheClipboard->UsePrimarySelection(false);
#endif
}
}  // namespace

bool WxPort::setClipboardText(const std::string& text) {
  useTheClipboard();
  if (!wxTheClipboard->Open()) return false;
  const bool taken = wxTheClipboard->SetData(new wxTextDataObject(fromUtf8(text)));
  wxTheClipboard->Close();
  return taken;
}

std::string WxPort::clipboardText() {
  std::string text;
  useTheClipboard();
  if (wxTheClipboard->Open()) {
    if (wxTheClipboard->IsSupported(wxDF_UNICODETEXT)) {
      wxTextDataObject data;
      wxTheClipboard->GetData(data);
      text = data.GetText().utf8_string();
    }
    wxTheClipboard->Close();
  }
  return text;
}

void WxPort::startTimer(int id, int milliseconds) {
  if (!frame) return;
  auto& timer = timers_[id];
  if (!timer) timer = std::make_unique<wxTimer>(frame, id);
  timer->Start(milliseconds);
}

void WxPort::stopTimer(int id) {
  auto it = timers_.find(id);
  if (it != timers_.end()) it->second->Stop();
}

int WxPort::startProcess(const std::vector<std::string>& argv, const std::string& folder, bool wait) {
  if (argv.empty()) return -1;
  std::vector<wxString> owned;
  for (const std::string& a : argv) owned.push_back(fromUtf8(a));
  std::vector<const wchar_t*> args;
  for (const wxString& a : owned) args.push_back(a.wc_str());
  args.push_back(nullptr);
  wxExecuteEnv env;
  env.cwd = fromUtf8(folder);
  wxGetEnvMap(&env.env);
  if (!wait) return wxExecute(args.data(), wxEXEC_ASYNC, nullptr, &env) != 0 ? 1 : 0;
  ModalScope modal(*this);
  return static_cast<int>(wxExecute(args.data(), wxEXEC_SYNC, nullptr, &env));
}

process::Result WxPort::runProgram(const std::vector<std::string>& argv, const std::string& folder) {
  ModalScope modal(*this);
  // The hidden window reaches the screen first (drawing only: no input, no timer)...
  if (wxEventLoopBase* loop = wxEventLoopBase::GetActive()) loop->YieldFor(wxEVT_CATEGORY_UI);
  // ...then the event loop stays blocked on purpose: no event, timer or backup until the game ends.
  return process::runAndWait(argv, folder);
}

int64_t WxPort::now() {
  int64_t seconds = dates::localSecondsSince1970();
  if (!clockOffsetFile.empty()) {
    std::string offset;
    if (files::readFile(clockOffsetFile, offset, 64)) seconds += format::readInt64(offset);
  }
  return seconds;
}

void WxPort::pause(int milliseconds) {
  // Drawing only: the user's keys and clicks wait for the loop.
  if (wxEventLoopBase* loop = wxEventLoopBase::GetActive()) loop->YieldFor(wxEVT_CATEGORY_UI);
  wxMilliSleep(static_cast<unsigned long>(milliseconds));
}

void WxPort::showMainWindow(bool shown) {
  if (frame) frame->Show(shown);
}

void WxPort::redrawCanvas() {
  if (frame) frame->canvas()->Refresh();
}

CanvasWindow* WxPort::canvasWindow() { return frame ? frame->canvas() : nullptr; }

void WxPort::focusCanvas() {
  if (frame && frame->IsShown()) frame->canvas()->SetFocus();
}

void WxPort::refreshPanel() {
  if (frame) frame->refreshProperties();
}

void WxPort::focusPanelField(PanelKind kind, int field) {
  if (frame) frame->focusPropertyField(kind, field);
}

int WxPort::focusedPanelField() { return frame ? frame->focusedPropertyField() : -1; }

void WxPort::setRecentFiles(const std::vector<std::string>& paths) {
  if (frame) frame->setRecentFiles(paths);
}

void WxPort::endProgram(int exitCode) {
  timers_.clear();
  if (onEnd) onEnd(exitCode);
}

int WxPort::runScriptWindow(ScriptSession& session) {
  auto* window = dynamic_cast<ScriptEditorWindow*>(windows.script);
  if (!window) return 0;
  ModalScope modal(*this);
  return window->run(session, frame);
}

bool WxPort::openWithDesktop(const std::string& path, const std::string& section) {
  // The page goes to the desktop's handler as a file address with its section;
  // the toolkit's own launcher would turn a file address back into a path, and a
  // path has no section.
  const wxString url = wxFileSystem::FileNameToURL(wxFileName(wxString::FromUTF8(path))) + wxString::FromUTF8(section);
  wxPathList searchPath;
  searchPath.AddEnvList("PATH");
  const wxString opener = searchPath.FindAbsoluteValidPath("xdg-open");
  if (!opener.empty()) {
    const wchar_t* argv[] = {opener.wc_str(), url.wc_str(), nullptr};
    return wxExecute(argv, wxEXEC_ASYNC) > 0;
  }
  return wxLaunchDefaultBrowser(url);
}

}  // namespace zor::editor::ui
