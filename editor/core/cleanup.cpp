#include "editor/core/cleanup.h"

#include <cstdio>
#include <memory>

#include "editor/core/editor.h"
#include "platform/files.h"
#include "platform/text.h"

namespace zor::editor {

namespace {

bool isScriptElement(const std::string& lowerName) {
  return lowerName == "start" || lowerName == "death" || lowerName == "standon" || lowerName == "die" ||
         lowerName == "enter" || lowerName == "exit" || lowerName == "action";
}

// Limits mean one value for both ends only on blocks and classes; a lone limit
// of a zone or an area reads as that value and 0.
bool singleLimitMeansBoth(const std::string& lowerElementName) {
  return lowerElementName == "block" || lowerElementName == "class";
}

std::string plural(int n) { return n == 1 ? "" : "s"; }

std::string passLine(int n, const std::string& found, const std::string& none) {
  return n > 0 ? found + plural(n) + "." : none;
}

// The document as written, without XML declaration.
std::size_t serialisedSize(const xml::Document& doc) {
  std::string bytes = xml::Document::serializeNode(doc.documentNode());
  if (!doc.declaration().empty()) bytes.erase(0, bytes.find_first_not_of(" \t\r\n"));
  return bytes.size();
}

std::string percentText(std::size_t now, std::size_t before) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.1f", static_cast<double>(now) * 100.0 / static_cast<double>(before));
  return buffer;
}

bool confirmReplace(Editor& editor, const std::string& path) {
  if (files::fileSize(path) < 0) return true;
  return editor.port.ask(kEditorName, "The file already exists:\r\n" + path + "\r\n\r\nDo you want to replace it?",
                         QuestionButtons::YesNo) == Answer::Yes;
}

// Opens again the zone that was open, from the element that now has its id;
// none stays open when that zone is gone.
void reopenZoneAfterRemoval(Editor& editor) {
  if (!editor.zone.openZoneNode) return;
  const std::string id = editor.zone.openZoneNode->attr("id");
  closeZone(editor);
  for (xml::Node* child = editor.game.root->firstElement(); child; child = child->nextElement()) {
    if (text::toLower(child->name) == "zone" && xml::equalsIgnoreCase(child->attr("id"), id)) {
      openZone(editor, child);
      break;
    }
  }
}

}  // namespace

int removeRedundantAttributes(xml::Node* element) {
  if (!element || !element->isElement()) return 0;
  int count = 0;
  const std::string name = text::toLower(element->name);
  if (name != "setcolor") {
    std::vector<std::pair<std::string, std::string>> rewrites;  // old name, new value
    for (const xml::Attribute& a : element->attributes) {
      const std::string attrName = text::toLower(a.name);
      const bool limit = attrName == "xlim" || attrName == "ylim";
      if (attrName != "color" && attrName != "zoom" && !(limit && singleLimitMeansBoth(name))) continue;
      const std::vector<std::string> parts = text::split(a.value, ',');
      if ((parts.size() == 2 && parts[0] == parts[1]) ||
          (attrName == "zoom" && parts.size() == 3 && parts[0] == parts[1] && parts[1] == parts[2])) {
        rewrites.emplace_back(a.name, parts[0]);
      }
    }
    for (const auto& [attrName, value] : rewrites) {
      const std::string lower = text::toLower(attrName);
      if (lower != attrName) element->removeAttr(attrName);
      element->setAttr(lower, value);
      ++count;
    }
  }
  for (xml::Node* child = element->firstElement(); child; child = child->nextElement()) {
    count += removeRedundantAttributes(child);
  }
  return count;
}

int removeWhitespace(xml::Node* element, bool includeScripts) {
  if (!element || !element->isElement()) return 0;
  int count = 0;
  bool hadText = false;
  for (xml::Node* child = element->firstChild; child;) {
    xml::Node* next = child->next;
    if (child->type == xml::NodeType::Text) {
      hadText = hadText || !child->text.empty();
      xml::Document::unlink(child);
    }
    child = next;
  }
  if (hadText) ++count;
  for (xml::Node* child = element->firstElement(); child; child = child->nextElement()) {
    if (!includeScripts && isScriptElement(text::toLower(child->name))) continue;
    count += removeWhitespace(child, includeScripts);
  }
  return count;
}

int removeComments(xml::Node* element) {
  if (!element || !element->isElement()) return 0;
  int count = 0;
  for (xml::Node* child = element->firstChild; child;) {
    xml::Node* next = child->next;
    if (child->type == xml::NodeType::Comment) {
      xml::Document::unlink(child);
      ++count;
    } else if (child->isElement()) {
      count += removeComments(child);
    }
    child = next;
  }
  return count;
}

int removeSecNodes(xml::Node* element) {
  if (!element || !element->isElement()) return 0;
  int count = 0;
  for (xml::Node* child = element->firstElement(); child;) {
    xml::Node* next = child->nextElement();
    if (!child->attr("sec").empty()) {
      xml::Document::unlink(child);
      ++count;
    } else {
      count += removeSecNodes(child);
    }
    child = next;
  }
  return count;
}

std::string insertBeforeExtension(const std::string& path, const std::string& suffix) {
  if (path.empty()) return path;
  const std::string name = files::fileName(path);
  const std::size_t dot = name.rfind('.');
  if (dot == std::string::npos) return path + suffix;
  const std::size_t at = path.size() - name.size() + dot;
  return path.substr(0, at) + suffix + path.substr(at);
}

void prepareCleanupDialog(const Editor& editor, CleanupDialogState& state) {
  if (!gameOpen(editor)) {
    state.options.openGame = false;
  } else if (!state.openGameOffered) {
    state.options.openGame = true;
    state.openGameOffered = true;
  }
  state.options.sec = false;
}

std::string chooseCleanupInputFile(Editor& editor, const std::string& fieldText) {
  std::string start = text::trim(fieldText);
  if (start.empty()) {
    start = !editor.game.path.empty() && gameOpen(editor) ? files::folderPart(editor.game.path) : files::currentFolder();
  }
  FileRequest request{"Select Game File", start, kOpenPattern, 0};
  const FileChoice choice = editor.port.openFileRequester(request);
  return choice.chosen ? choice.path : std::string();
}

void cleanUpGameFile(Editor& editor, const CleanupOptions& options, std::vector<std::string>& log) {
  if (!options.useless && !options.redundant && !options.whitespace && !options.comments && !options.sec) {
    editor.port.messageBox(kEditorName, "No cleanup action is selected.", MessageIcon::Information);
    return;
  }

  std::unique_ptr<xml::Document> external;
  xml::Node* root = nullptr;
  std::string path;
  std::size_t startSize = 0;
  if (options.openGame) {
    if (!gameOpen(editor)) return;
    root = editor.game.root;
    startSize = serialisedSize(*editor.game.document);
    log.clear();
    log.push_back("Cleaning open game file...");
  } else {
    path = text::trim(options.inputPath);
    if (path.empty()) path = chooseCleanupInputFile(editor, "");
    if (path.empty()) return;
    external = std::make_unique<xml::Document>();
    xml::ParseError error;
    const int64_t size = files::fileSize(path);
    std::string failure;
    if (size < 0) {
      failure = "Cannot load file:\n" + path;
    } else if (!external->load(path, &error)) {
      failure = error.code == -1 ? "Cannot load file:\n" + path : "Invalid XML file:\n" + path;
    } else if (!external->root() || external->root()->name != "zorlan") {
      failure = "Invalid game file:\n" + path;
    }
    if (!failure.empty()) {
      editor.port.messageBox(kEditorName, failure, MessageIcon::Warning);
      return;
    }
    root = external->root();
    startSize = static_cast<std::size_t>(size);
    log.clear();
    log.push_back("Cleaning " + files::fileName(path) + "...");
  }

  if (options.useless) {
    const int n = removeUselessAttributes(root);
    log.push_back(passLine(n, " + Removed " + text::formatInt(n) + " useless attribute",
                           " - No useless attributes found."));
  }
  if (options.redundant) {
    const int n = removeRedundantAttributes(root);
    log.push_back(passLine(n, " + Removed " + text::formatInt(n) + " redundant attribute",
                           " - No redundant attributes found."));
  }
  if (options.whitespace) {
    const int n = removeWhitespace(root, options.includeScripts);
    log.push_back(passLine(n, " + Removed whitespace from " + text::formatInt(n) + " node", " - No whitespace found."));
  }
  if (options.comments) {
    const int n = removeComments(root);
    log.push_back(passLine(n, " + Removed " + text::formatInt(n) + " comment", " - No comments found."));
  }
  if (options.sec) {
    if (options.openGame) {
      std::vector<ZoneEntry>& zones = editor.game.zones;
      std::erase_if(zones, [](const ZoneEntry& z) { return !z.node || !z.node->attr("sec").empty(); });
    }
    const int n = removeSecNodes(root);
    log.push_back(passLine(n, " + Removed " + text::formatInt(n) + " 'sec' node", " - No 'sec' nodes found."));
    if (options.openGame && n > 0) {
      reopenZoneAfterRemoval(editor);
      updateWindowTitle(editor, false);
      editor.port.redrawCanvas();
    }
  }

  const xml::Document& doc = options.openGame ? *editor.game.document : *external;
  // An empty start gives no ratio rather than a division by zero.
  if (startSize > 0) log.push_back("Reduced file size to " + percentText(serialisedSize(doc), startSize) + "%.");

  if (options.openGame) {
    markModified(editor);
    if (editor.zone.openZoneNode) editor.port.refreshPanel();
    return;
  }

  const std::string proposed = insertBeforeExtension(path, "_clean");
  FileRequest request{"Save Game File", proposed, kSavePattern, saveAsPatternFor(proposed)};
  const FileChoice choice = editor.port.saveFileRequester(request);
  if (!choice.chosen || choice.path.empty()) return;
  const std::string target = applySaveExtension(choice.path, choice.patternIndex);
  if (!confirmReplace(editor, target)) return;
  std::string bytes = xml::Document::serializeNode(external->documentNode());
  if (!external->declaration().empty()) bytes.erase(0, bytes.find_first_not_of(" \t\r\n"));
  if (bytes.empty() || !files::writeFileAtomic(target, bytes)) {
    editor.port.messageBox(kEditorName, "Could not save file:\n" + target, MessageIcon::Warning);
    return;
  }
  log.push_back("Saved to " + files::fileName(target) + ".");
}

}  // namespace zor::editor
