#include "editor/core/script_edit.h"

#include <algorithm>
#include <cstdio>
#include <utility>

#include "editor/core/dialogs.h"
#include "editor/core/edit_commands.h"
#include "editor/core/editor.h"
#include "editor/core/help_pages.h"
#include "format/vocabulary.h"
#include "platform/text.h"

namespace zor::editor {

namespace {

bool isBlankOrBreak(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// Line breaks as the text control counts them: "\r\n", "\r" and "\n".
int countLineBreaks(std::string_view s) {
  int n = 0;
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '\n') ++n;
    else if (s[i] == '\r' && (i + 1 >= s.size() || s[i + 1] != '\n')) ++n;
  }
  return n;
}

bool lessIgnoringCase(const std::string& a, const std::string& b) {
  return xml::toLowerAscii(a) < xml::toLowerAscii(b);
}

bool isBelow(const xml::Node* top, const xml::Node* wanted) {
  for (const xml::Node* c = top->firstChild; c; c = c->next) {
    if (c == wanted || isBelow(c, wanted)) return true;
  }
  return false;
}

xml::Node* firstChildNamed(xml::Node* node, const std::string& name) {
  for (xml::Node* c = node->firstElement(); c; c = c->nextElement())
    if (c->name == name) return c;
  return nullptr;
}

// The names the editor shows for the 24 sound slots.
constexpr const char* kSoundDisplayNames[format::kSoundSlotCount] = {
    "Jump",  "Impact",   "Leap Out", "Leap In", "Die",    "Whoosh",    "Reset", "Checkpoint",
    "Bounce", "Click",   "Yes/Go",   "No/Back", "Bang",   "Teleport",  "Enemy", "Smoke",
    "Platform", "Friend", "Shutdown", "Enemy Low", "Weird", "Blip", "Splash In", "Splash Out"};

}  // namespace

std::string soundDisplayName(int slot) {
  return slot >= 0 && slot < format::kSoundSlotCount ? kSoundDisplayNames[slot] : "";
}

namespace {

std::string folderOf(const std::string& path) {
  const std::size_t slash = path.find_last_of("/\\");
  return slash == std::string::npos ? "" : path.substr(0, slash + 1);
}

}  // namespace

ScriptCheck checkScriptText(const std::string& text) {
  ScriptCheck check;
  std::size_t begin = 0;
  while (begin < text.size() && isBlankOrBreak(text[begin])) ++begin;
  std::size_t end = text.size();
  while (end > begin && isBlankOrBreak(text[end - 1])) --end;
  check.text = text.substr(begin, end - begin);
  if (check.text.empty()) {
    check.accepted = true;
    return check;
  }
  auto document = std::make_unique<xml::Document>();
  xml::ParseError error;
  if (!document->parse(check.text, &error) || document->root() == nullptr) {
    if (error.line <= 0) {
      check.message = "Invalid XML in script!";
      return check;
    }
    // The parser counted lines of the trimmed text; the window shows the lines before it too.
    check.errorLine = error.line + countLineBreaks(std::string_view(text).substr(0, begin));
    check.message =
        "Invalid XML on line " + std::to_string(check.errorLine) + "!\r\n\r\n" + text::toUpper(error.message);
    return check;
  }
  xml::Node* main = document->root();
  if (main->firstElement() == nullptr) {
    for (xml::Node* c = main->firstChild; c;) {
      xml::Node* next = c->next;
      if (c->type == xml::NodeType::Text) xml::Document::unlink(c);
      c = next;
    }
  }
  check.document = std::move(document);
  check.accepted = true;
  return check;
}

ScriptSession::ScriptSession(Editor& editor, std::string title, std::string prompt, std::string text,
                             ScriptContext context)
    : editor_(editor),
      title_(std::move(title)),
      prompt_(std::move(prompt)),
      text_(std::move(text)),
      context_(context) {}

bool ScriptSession::accept(const std::string& windowText, ScriptCheck* check) {
  ScriptCheck result = checkScriptText(windowText);
  if (!result.accepted) {
    editor_.port.messageBox("ZorlED", result.message, MessageIcon::Warning);
    if (check) *check = std::move(result);
    return false;
  }
  resultText = result.text;
  resultDocument = std::move(result.document);
  if (check) *check = std::move(result);
  return true;
}

void ScriptSession::deleteScript(const std::string& windowText) {
  editor_.zone.deletedScript = windowText;
  resultText.clear();
  resultDocument.reset();
}

std::vector<std::string> ScriptSession::namedBlocks() {
  std::vector<std::string> names;
  for (const auto& o : editor_.zone.objects) {
    if (o->kind != kind::Block || o->node == nullptr) continue;
    const std::string& name = o->node->attr("oname");
    if (!name.empty()) names.push_back(name);
  }
  std::sort(names.begin(), names.end());
  if (names.empty())
    editor_.port.messageBox("ZorlED", "This zone contains no named blocks.", MessageIcon::Warning);
  return names;
}

std::string ScriptSession::joinBlockNames(const std::vector<std::string>& chosen) {
  std::string out;
  for (const std::string& n : chosen) out += n + ",";
  if (!out.empty()) out.pop_back();
  return out;
}

std::string ScriptSession::colourText(int red, int green, int blue) {
  char buffer[8];
  std::snprintf(buffer, sizeof buffer, "%02X%02X%02X", red & 0xFF, green & 0xFF, blue & 0xFF);
  return buffer;
}

bool ScriptSession::reference(ScriptReference kind, std::string* inserted) {
  Editor& e = editor_;
  std::string text;
  switch (kind) {
    case ScriptReference::Sound: {
      const int n = chooseSound(e, "Sound Reference", "Choose a sound:");
      if (n < 0) return false;
      text = std::to_string(n);
      break;
    }
    case ScriptReference::GFlag: {
      const int n = chooseNumbered(e, "GFlag Reference", "Choose a GFlag:");
      if (n < 0) return false;
      text = std::to_string(n);
      break;
    }
    case ScriptReference::ZFlag: {
      const int n = chooseZFlag(e, "ZFlag Reference", "Choose a ZFlag:");
      if (n < 0) return false;
      text = std::to_string(n);
      break;
    }
    case ScriptReference::Zone:
      if (!chooseZoneId(e, "Zone Reference", "Choose a zone:", &text)) return false;
      break;
    case ScriptReference::Entrance:
      if (!chooseEntrance(e, "Entrance Reference", "Choose a zone entrance:", &text)) return false;
      break;
    case ScriptReference::SubScript:
      if (!chooseSubScript(e, "Sub Reference", "Choose a sub script:", "", &text)) return false;
      break;
    case ScriptReference::Music: {
      FileRequest request;
      request.title = "Choose Music";
      request.startPath = e.game.path.empty() ? e.folders.data : folderOf(e.game.path);
      request.pattern = "Ogg Vorbis Audio (*.ogg)|*.ogg";
      const FileChoice choice = e.port.openFileRequester(request);
      if (!choice.chosen || choice.path.empty()) return false;
      text = makeRelativePath(e.game.path, choice.path, "music/");
      break;
    }
    case ScriptReference::Block:
    case ScriptReference::Colour:
      return false;  // the window's own pickers
  }
  if (inserted) *inserted = text;
  return true;
}

std::string ScriptSession::helpPage() const { return helpPageFor(HelpWindow::Script, title_).page; }

int runScriptEditor(Editor& editor, ScriptSession& session) {
  const int result = editor.port.runScriptWindow(session) == 1 ? 1 : 0;
  if (result == 1) editor.port.setStatus(0, "");
  return result;
}

bool editScriptOf(Editor& editor, const std::string& caption, const std::string& prompt, const std::string& child,
                  xml::Node* element) {
  if (caption.empty() || child.empty() || !gameOpen(editor) || !editor.game.document) return false;
  xml::Node* node = element ? element : editor.zone.openZoneNode;
  if (node == nullptr) return false;
  xml::Node* old = firstChildNamed(node, child);
  const std::string text =
      old ? nodeToXmlString(old, "\n\n", false) : "<" + child + ">\n\n</" + child + ">";
  editor.script = {caption, prompt, child, element};
  editor.zone.lastScriptTitle = caption;

  // The zone's own scripts are named with "Script" already ("Zone Start Script").
  const bool named = caption.size() >= 7 && caption.compare(caption.size() - 7, 7, " Script") == 0;
  ScriptSession session(editor, named ? caption : caption + " Script", prompt, text, ScriptContext::Zone);
  const bool accepted = runScriptEditor(editor, session) == 1;
  if (accepted) {
    if (!session.resultText.empty() && session.resultDocument && session.resultDocument->root()) {
      xml::Node* fresh = editor.game.document->copyNode(session.resultDocument->root());
      fresh->setName(child);
      if (old) {
        xml::Document::insertBefore(node, fresh, old->next);
        xml::Document::unlink(old);
      } else {
        xml::Document::appendChild(node, fresh);
      }
    } else if (old) {
      xml::Document::unlink(old);
    }
    markModified(editor);
  }
  editor.port.focusCanvas();
  return accepted;
}

void editScript(Editor& editor, const std::string& title, const std::string& prompt, const std::string& child,
                EditorObject* record) {
  editScriptOf(editor, title, prompt, child, record ? record->node : nullptr);
}

void reopenLastScript(Editor& editor) {
  xml::Node* zone = editor.zone.openZoneNode;
  const ScriptEditorState last = editor.script;
  if (zone == nullptr || last.caption.empty() || editor.zone.lastScriptTitle.empty()) return;
  // The element may have been deleted since, or belong to another zone.
  if (last.element != nullptr && !isBelow(zone, last.element)) {
    editor.script = {};
    editor.zone.lastScriptTitle.clear();
    return;
  }
  editScriptOf(editor, last.caption, last.prompt, last.child, last.element);
}

std::string makeRelativePath(const std::string& gamePath, const std::string& path, const std::string& prefix) {
  if (path.empty()) return "";
  const std::string folder = folderOf(gamePath);
  // Folder names compare whole and with their letter case: on this system a
  // folder spelt differently is another folder.
  if (!folder.empty() && path.starts_with(folder)) {
    std::string rest = path.substr(folder.size());
    std::replace(rest.begin(), rest.end(), '\\', '/');
    return rest;
  }
  const std::size_t slash = path.find_last_of("/\\");
  return prefix + (slash == std::string::npos ? path : path.substr(slash + 1));
}

std::string entranceNameOf(const std::string& elementName) {
  const std::size_t underscore = elementName.find('_');
  return underscore == std::string::npos ? "" : elementName.substr(underscore + 1);
}

bool chooseEntrance(Editor& editor, const std::string& title, const std::string& prompt, std::string* name) {
  if (editor.zone.openZoneNode == nullptr) return false;
  std::vector<std::pair<std::string, xml::Node*>> entrances;
  for (const auto& o : editor.zone.objects)
    if (o->kind == kind::Entrance && o->node) entrances.emplace_back(entranceNameOf(o->node->name), o->node);
  if (entrances.empty()) return false;
  std::stable_sort(entrances.begin(), entrances.end(),
                   [](const auto& a, const auto& b) { return lessIgnoringCase(a.first, b.first); });
  editor.dialogs.chooserList.clear();
  for (const auto& [n, node] : entrances) editor.dialogs.chooserList.push_back({n.empty() ? "(Default)" : n, node});
  if (!runChooser(editor, title, prompt, -1, false)) return false;
  const xml::Node* chosen = editor.dialogs.chosenDatum;
  const std::string chosenName = chosen ? entranceNameOf(chosen->name) : "";
  editor.dialogs.chosenText = chosenName;
  if (name) *name = chosenName;
  return true;
}

int collectSubIds(xml::Node* node, std::vector<std::pair<std::string, xml::Node*>>* out) {
  if (node == nullptr) return 0;
  int n = 0;
  for (xml::Node* c = node->firstElement(); c; c = c->nextElement()) {
    if (xml::toLowerAscii(c->name) == "sub" && !c->attr("id").empty()) {
      out->emplace_back(xml::toLowerAscii(c->attr("id")), c);
      ++n;
    }
    n += collectSubIds(c, out);
  }
  return n;
}

bool chooseSubScript(Editor& editor, const std::string& title, const std::string& prompt,
                     const std::string& preselection, std::string* id) {
  std::vector<std::pair<std::string, xml::Node*>> subs;
  if (collectSubIds(editor.game.root, &subs) == 0) return false;
  std::stable_sort(subs.begin(), subs.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
  editor.dialogs.chooserList.clear();
  int preselect = -1;
  const std::string wanted = xml::toLowerAscii(preselection);
  for (std::size_t i = 0; i < subs.size(); ++i) {
    editor.dialogs.chooserList.push_back({subs[i].first, subs[i].second});
    if (!wanted.empty() && subs[i].first == wanted) preselect = static_cast<int>(i);
  }
  if (!runChooser(editor, title, prompt, preselect, false)) return false;
  if (id) *id = editor.dialogs.chosenText;
  return true;
}

int chooseNumbered(Editor& editor, const std::string& title, const std::string& prompt) {
  if (!gameOpen(editor)) return -1;
  const int count = std::max(32, editor.game.maxGFlags);
  editor.dialogs.chooserList.clear();
  for (int i = 0; i < count; ++i) editor.dialogs.chooserList.push_back({std::to_string(i), nullptr});
  for (const GameFlagName& g : editor.game.gflagNames)
    if (g.number >= 0 && g.number < count && !g.name.empty())
      editor.dialogs.chooserList[static_cast<std::size_t>(g.number)].text = std::to_string(g.number) + ": " + g.name;
  if (!runChooser(editor, title, prompt, -1, false)) return -1;
  return editor.dialogs.chosenIndex;
}

int chooseSound(Editor& editor, const std::string& title, const std::string& prompt) {
  if (!gameOpen(editor)) return -1;
  editor.dialogs.chooserList.clear();
  for (int i = 0; i < format::kSoundSlotCount; ++i) {
    const std::string& custom = editor.game.sounds[static_cast<std::size_t>(i)].customName;
    editor.dialogs.chooserList.push_back(
        {std::to_string(i) + ": " + (custom.empty() ? kSoundDisplayNames[i] : custom), nullptr});
  }
  if (!runChooser(editor, title, prompt, -1, false)) return -1;
  return editor.dialogs.chosenIndex;
}

int chooseZFlag(Editor& editor, const std::string& title, const std::string& prompt) {
  if (editor.zone.openZoneNode == nullptr) return -1;
  editor.dialogs.chooserList.clear();
  for (int i = 0; i < 32; ++i) {
    const std::string& name = editor.zone.view.zflagNames[static_cast<std::size_t>(i)];
    editor.dialogs.chooserList.push_back({name.empty() ? std::to_string(i) : std::to_string(i) + ": " + name, nullptr});
  }
  if (!runChooser(editor, title, prompt, -1, false)) return -1;
  return editor.dialogs.chosenIndex;
}

bool chooseZoneId(Editor& editor, const std::string& title, const std::string& prompt, std::string* id) {
  if (!gameOpen(editor) || editor.game.zones.empty()) return false;
  editor.dialogs.chooserList.clear();
  for (const ZoneEntry& z : editor.game.zones) editor.dialogs.chooserList.push_back({z.id, z.node});
  if (!runChooser(editor, title, prompt, -1, false)) return false;
  if (id) *id = editor.dialogs.chosenText;
  return true;
}

}  // namespace zor::editor
