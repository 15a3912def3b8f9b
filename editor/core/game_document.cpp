#include "editor/core/game_document.h"

#include <algorithm>
#include <unordered_set>

#include "editor/core/editor.h"
#include "format/values.h"
#include "platform/files.h"
#include "platform/text.h"

namespace zor::editor {

namespace {

void failLoad(Editor& editor, std::string status, std::string box) {
  editor.game.loadStatusText = std::move(status);
  editor.game.loadBoxText = std::move(box);
}

void readEditorNode(GameFileState& game, const xml::Node* node) {
  game.setflags = text::removeAll(node->attr("setflags"), " ");
  if (node->hasAttr("nearest")) game.nearest = format::readInt(node->attr("nearest"));
  const std::string mode = text::toLower(node->attr("gflags"));
  game.gflagTestMode = mode == "clear" ? 1 : mode == "checked" ? 2 : 0;

  const std::vector<std::string> names = text::split(node->attr("gnames"), '|');
  for (std::size_t i = 0; i + 1 < names.size(); i += 2) {
    const std::string& name = names[i + 1];
    if (name.empty()) break;
    const int64_t number = format::readInt64(names[i]);
    if (number < 0 || number > kMaxGameFlagNumber) continue;
    game.gflagNames.push_back({name, static_cast<int>(number)});
    game.maxGFlags = std::max(game.maxGFlags, static_cast<int>(number) + 1);
  }

  if (node->hasAttr("soundnames")) {
    const std::vector<std::string> sounds = text::split(node->attr("soundnames"), '|');
    for (std::size_t i = 0; i < sounds.size() && i < game.sounds.size(); ++i) {
      game.sounds[i].customName = text::trim(sounds[i]);
    }
  }
}

void readLoadSounds(GameFileState& game, const xml::Node* node) {
  const std::string& nums = node->attr("nums");
  if (nums.empty()) return;
  const std::vector<std::string> numbers = text::split(nums, ',');
  const std::vector<std::string> fileList = text::split(node->attr("files"), '|');
  const std::vector<std::string> volumes = text::split(node->attr("vols"), ',');
  for (std::size_t i = 0; i < numbers.size(); ++i) {
    const int32_t n = format::readInt(numbers[i]);
    if (n < 0) continue;  // no slot
    SoundSlot& slot = game.sounds[static_cast<std::size_t>(n % format::kSoundSlotCount)];
    slot.file = i < fileList.size() ? fileList[i] : std::string();
    slot.volume = i < volumes.size() ? volumes[i] : std::string();
  }
}

constexpr const char* kTooLargeToOpen =
    "The game has grown larger than 64 MiB, more than ZorlED and Zorlan can open. Remove some of it and save again.";

// "Could not save file:" with the path and, when there is one, the reason.
void showSaveFailure(Editor& editor, const std::string& path, const std::string& why) {
  std::string text = "Could not save file:\r\n" + path;
  if (!why.empty()) text += "\r\n\r\n" + why;
  editor.port.messageBox(kEditorName, text, MessageIcon::Warning);
}

bool hasExtension(const std::string& path, const char* ext) {
  return text::toLower(files::extension(files::fileName(path))) == ext;
}

// Asks before a file is replaced; true when it may be written.
// The elements of the objects that still follow the mouse: the user has not placed
// them, so no file holds them. Each is taken out with the sibling it stood before,
// and put back in the reverse order, which restores the tree exactly.
struct DetachedElement {
  xml::Node* node;
  xml::Node* parent;
  xml::Node* next;
};

std::vector<DetachedElement> detachPlacingElements(Editor& editor) {
  std::vector<DetachedElement> out;
  std::unordered_set<const xml::Node*> seen;
  for (const auto& o : editor.zone.objects) {
    xml::Node* node = o->node;
    if (!(o->flags & objflag::BeingPlaced) || o->kind > kind::Entrance || node == nullptr || node->parent == nullptr ||
        !seen.insert(node).second) {
      continue;
    }
    out.push_back({node, node->parent, node->next});
    xml::Document::unlink(node);
  }
  return out;
}

void reattach(const std::vector<DetachedElement>& detached) {
  for (auto it = detached.rbegin(); it != detached.rend(); ++it) xml::Document::insertBefore(it->parent, it->node, it->next);
}

bool confirmOverwrite(Editor& editor, const std::string& path) {
  if (files::fileSize(path) < 0) return true;
  return editor.port.ask(kEditorName, "The file already exists:\r\n" + path + "\r\n\r\nDo you want to replace it?",
                         QuestionButtons::YesNo) == Answer::Yes;
}

}  // namespace

bool gameOpen(const Editor& editor) { return editor.game.root != nullptr; }

bool loadGameFileForEditing(Editor& editor, const std::string& path) {
  GameFileState& game = editor.game;
  game.loadStatusText.clear();
  game.loadBoxText.clear();
  if (path.empty()) return false;

  auto doc = std::make_unique<xml::Document>();
  xml::ParseError error;
  const int64_t size = files::fileSize(path);
  if (size <= 0) {
    failLoad(editor, "XML load error: " + path,
             "Could not load file:\r\n" + path + "\r\n\r\nCheck filename and try again.");
    return false;
  }
  if (!doc->load(path, &error)) {
    if (static_cast<uint64_t>(size) > xml::kMaxDocumentBytes) {
      failLoad(editor, "XML load error: " + path,
               "Could not load file:\r\n" + path + "\r\n\r\nThe file is larger than 64 MiB, more than ZorlED can open.");
    } else if (error.code == -1) {
      failLoad(editor, "XML load error: " + path,
               "Could not load file:\r\n" + path + "\r\n\r\nCheck filename and try again.");
    } else {
      failLoad(editor, "XML syntax error: " + path,
               "XML Error: " + error.message + "\r\n\r\nLine " + text::formatInt(error.line) + " of file: \r\n" +
                   path);
    }
    return false;
  }
  // Temporary files of saves of this game that were killed half-way.
  files::removeInterruptedWritesOf(path);
  xml::Node* root = doc->root();
  if (!root) return false;
  if (root->name != "zorlan") {
    failLoad(editor, "Invalid file: " + path,
             "Invalid file header \"" + root->name + "\" in file:\r\n" + path);
    return false;
  }
  const int32_t version = format::readInt(root->attr("version"));
  if (version <= 0) {
    failLoad(editor, "Invalid file version: " + path,
             "Invalid file format version (" + text::formatInt(version) + ") in file:\r\n" + path);
    return false;
  }
  if (version > 1) {
    failLoad(editor, "Unsupported file version: " + path,
             "This software cannot read file formats beyond version 1.\r\nTry upgrading to a newer version of ZorlED.");
    return false;
  }

  addRecentFile(editor.prefs, path);
  editor.port.setRecentFiles(editor.prefs.recentFiles);
  editor.prefs.lastFile = path;
  editor.prefs.lastZone.clear();

  game.gtitle = root->attr("gtitle");
  game.gversion = root->attr("gversion");
  game.gauthor = root->attr("gauthor");
  game.gurl = root->attr("gurl");
  game.gdesc = root->attr("gdesc");
  // A zone still open would point into the document about to go.
  closeZone(editor);
  adoptGameDocument(editor, std::move(doc), root, path);
  updateWindowTitle(editor, false);

  for (xml::Node* child = root->firstElement(); child; child = child->nextElement()) {
    const std::string name = text::toLower(child->name);
    if (name == "zone") {
      if (!child->attr("id").empty()) game.zones.push_back({child->attr("id"), child});
    } else if (name == "zorled") {
      readEditorNode(game, child);
    } else if (name == "loadsounds") {
      readLoadSounds(game, child);
    }
  }
  std::stable_sort(game.zones.begin(), game.zones.end(),
                   [](const ZoneEntry& a, const ZoneEntry& b) { return a.id < b.id; });
  editor.session.lastBackupTime = editor.port.now();
  editor.port.setStatus(0, "Opened: " + path);
  return true;
}

bool openGameCommand(Editor& editor, const std::string& requested, const std::string& pattern) {
  std::string path = requested;
  if (path.empty()) {
    FileRequest request{"Open Game", requesterFolder(editor.prefs, editor.folders), pattern,
                        editor.session.openPatternIndex};
    const FileChoice choice = editor.port.openFileRequester(request);
    if (!choice.chosen || choice.path.empty()) return false;
    path = choice.path;
    editor.prefs.lastPath = files::folderPart(path);
    editor.session.openPatternIndex = choice.patternIndex;
  }
  if (gameOpen(editor) && path == editor.game.path) {
    editor.port.setStatus(0, "Game already open: " + path);
    return false;
  }
  if (!confirmDiscardChanges(editor)) return false;
  const bool loaded = loadGameFileForEditing(editor, path);
  updateWindowTitle(editor, true);
  editor.port.redrawCanvas();
  if (!loaded) {
    if (!editor.game.loadStatusText.empty()) editor.port.setStatus(0, editor.game.loadStatusText);
    if (!editor.game.loadBoxText.empty()) {
      editor.port.messageBox(kEditorName, editor.game.loadBoxText, MessageIcon::Warning);
    }
  }
  editor.port.focusCanvas();
  return loaded;
}

int removeUselessAttributes(xml::Node* element) {
  if (!element || !element->isElement()) return 0;
  const std::string name = text::toLower(element->name);
  const bool walk = name == "zorlan" || name == "zone";
  const bool own = walk || name == "block" || name == "area" || name == "entrance" || name == "class" ||
                   name == "speedrun";
  if (!own) return 0;
  std::vector<std::string> useless;
  for (const xml::Attribute& a : element->attributes) {
    // An empty zone `track` means silence; an empty `gravity` or `zoom` changes play too.
    const std::string attrName = text::toLower(a.name);
    const bool kept = name == "zone" && (attrName == "track" || attrName == "gravity" || attrName == "zoom");
    if (a.value.empty() && !kept) useless.emplace_back(a.name);
  }
  for (const std::string& attrName : useless) element->removeAttr(attrName);
  int removed = static_cast<int>(useless.size());
  if (walk) {
    for (xml::Node* child = element->firstElement(); child; child = child->nextElement()) {
      removed += removeUselessAttributes(child);
    }
  }
  return removed;
}

bool writeGameFile(Editor& editor, const std::string& path, bool showStatus, std::string* why) {
  if (path.empty() || !gameOpen(editor)) return false;
  const std::vector<DetachedElement> placing = detachPlacingElements(editor);
  removeUselessAttributes(editor.game.root);
  editor.game.root->setAttr("version", "1");
  std::string bytes = xml::Document::serializeNode(editor.game.document->documentNode());
  reattach(placing);
  if (bytes.empty()) return false;  // the tree could not be written
  // The line break that followed a dropped declaration goes with it.
  if (!editor.game.document->declaration().empty()) {
    bytes.erase(0, bytes.find_first_not_of(" \t\r\n"));
  }
  if (bytes.size() > xml::kMaxDocumentBytes) {
    if (why) *why = kTooLargeToOpen;
    return false;
  }
  if (!files::writeFileAtomic(path, bytes)) return false;
  files::removeInterruptedWritesOf(path);
  if (showStatus) editor.port.setStatus(0, "Saved: " + path);
  return true;
}

int saveAsPatternFor(const std::string& defaultPath) {
  const std::string ext = text::toLower(files::extension(files::fileName(defaultPath)));
  if (ext.empty() || ext == "zorlan") return 0;
  if (ext == "xml") return 1;
  return 2;
}

std::string applySaveExtension(const std::string& path, int patternIndex) {
  if (patternIndex == 0 && !hasExtension(path, "zorlan")) return path + ".zorlan";
  if (patternIndex == 1 && !hasExtension(path, "xml")) return path + ".xml";
  return path;
}

bool saveGameAs(Editor& editor, const std::string& defaultPath) {
  const std::string start = defaultPath.empty() ? requesterFolder(editor.prefs, editor.folders) : defaultPath;
  FileRequest request{"Save Game", start, kSavePattern, saveAsPatternFor(defaultPath)};
  const FileChoice choice = editor.port.saveFileRequester(request);
  if (!choice.chosen || choice.path.empty()) return false;
  if (!confirmOverwrite(editor, choice.path)) return false;
  const std::string path = applySaveExtension(choice.path, choice.patternIndex);
  if (path != choice.path && !confirmOverwrite(editor, path)) return false;
  editor.prefs.lastPath = files::folderPart(path);
  std::string why;
  if (!writeGameFile(editor, path, true, &why)) {
    showSaveFailure(editor, path, why);
    return false;
  }
  editor.prefs.lastFile = path;
  editor.game.path = path;
  editor.game.fileName = files::fileName(path);
  editor.game.diskStamp = files::fileStamp(path);
  updateWindowTitle(editor, true);
  return true;
}

bool saveCurrentGame(Editor& editor) {
  if (!gameOpen(editor)) return false;
  bool saved = false;
  if (!editor.game.path.empty()) {
    const std::string& path = editor.game.path;
    // Only a file there to lose is asked about; a write over anything else fails by itself.
    if (files::fileSize(path) >= 0 && files::fileStamp(path) != editor.game.diskStamp &&
        editor.port.ask(kEditorName,
                        "The file has been changed by another program since it was opened or saved here:\r\n" + path +
                            "\r\n\r\nDo you want to overwrite it with this game?\r\n(No keeps the file, and the "
                            "game stays open to save it under another name.)",
                        QuestionButtons::YesNo) != Answer::Yes) {
      return false;
    }
    std::string why;
    saved = writeGameFile(editor, editor.game.path, true, &why);
    if (saved) editor.game.diskStamp = files::fileStamp(path);
    if (!saved) showSaveFailure(editor, editor.game.path, why);
  } else {
    saved = saveGameAs(editor, "");
  }
  if (saved) clearModified(editor);
  return saved;
}

bool saveAsCommand(Editor& editor) {
  if (!gameOpen(editor)) return false;
  if (!saveGameAs(editor, editor.game.path)) return false;
  addRecentFile(editor.prefs, editor.game.path);
  editor.port.setRecentFiles(editor.prefs.recentFiles);
  clearModified(editor);
  return true;
}

bool confirmDiscardChanges(Editor& editor) {
  if (!gameOpen(editor)) return true;
  if (editor.game.modified) {
    const Answer answer = editor.port.ask(
        kEditorName, "This game has been modified.\r\nDo you want to save your changes?", QuestionButtons::YesNoCancel);
    if (answer == Answer::Cancel) return false;
    if (answer == Answer::Yes && !saveCurrentGame(editor)) return false;
  }
  closeGame(editor);
  return true;
}

bool confirmCloseGame(Editor& editor) {
  if (!gameOpen(editor)) return true;
  if (!confirmDiscardChanges(editor)) return false;
  editor.port.setStatus(0, "");
  updateWindowTitle(editor, true);
  editor.port.redrawCanvas();
  return true;
}

void adoptGameDocument(Editor& editor, std::unique_ptr<xml::Document> doc, xml::Node* root,
                       const std::string& path) {
  GameFileState& game = editor.game;
  game.document = std::move(doc);
  game.root = root;
  game.path = path;
  game.fileName = files::fileName(path);
  game.diskStamp = files::fileStamp(path);
  game.nearest = 1;
  game.gflagTestMode = 0;
  game.setflags.clear();
  game.maxGFlags = 32;
  game.gflagNames.clear();
  for (SoundSlot& slot : game.sounds) slot = SoundSlot{};
  game.zones.clear();
  game.modified = false;
  editor.port.setStatus(1, "");
}

bool closeGame(Editor& editor) {
  if (gameOpen(editor)) {
    closeZone(editor);
    editor.game.zones.clear();
    editor.game.root = nullptr;
    editor.game.document.reset();
    editor.game.path.clear();
    editor.game.modified = false;
    editor.port.setStatus(1, "");
    updateWindowTitle(editor, false);
  }
  return true;
}

void markModified(Editor& editor) {
  if (editor.game.modified) return;
  editor.game.modified = true;
  editor.port.setStatus(1, "Unsaved changes.");
  updateWindowTitle(editor, false);
}

void clearModified(Editor& editor) {
  editor.game.modified = false;
  editor.port.setStatus(1, "");
  updateWindowTitle(editor, false);
}

std::string windowTitle(const Editor& editor) {
  std::string title = kEditorName;
  if (!gameOpen(editor)) return title;
  const GameFileState& game = editor.game;
  const std::string& shown = !game.gtitle.empty() ? game.gtitle : !game.fileName.empty() ? game.fileName : "New Game";
  title += " - " + shown;
  if (editor.zone.openZoneNode) {
    title += " (" + (editor.zone.view.name.empty() ? editor.zone.openZoneNode->attr("id") : editor.zone.view.name) + ")";
  }
  if (game.modified) title += "*";
  return title;
}

void updateWindowTitle(Editor& editor, bool refreshPanel) {
  editor.port.setTitle(windowTitle(editor));
  if (refreshPanel) editor.port.refreshPanel();
}

xml::Node* getEditorNode(Editor& editor) {
  if (!gameOpen(editor)) return nullptr;
  xml::Node* node = editor.game.root->childByPath("zorled");
  if (!node) {
    node = editor.game.document->createElement("zorled");
    xml::Document::appendChild(editor.game.root, node);
  }
  return node;
}

xml::Node* findClassNode(const Editor& editor, const std::string& className) {
  if (className.empty() || !gameOpen(editor)) return nullptr;
  for (xml::Node* child = editor.game.root->firstElement(); child; child = child->nextElement()) {
    if (child->name == "class" && child->attr("name") == className) return child;
  }
  return nullptr;
}

std::string nodeToXmlString(const xml::Node* element, const std::string& replacement, bool stripChildren) {
  if (!element) return "";
  const bool replace = !replacement.empty() && !element->firstChild;
  if (!replace && (!stripChildren || !element->firstChild)) {
    // The element as it is (nothing to strip). Written into a string of about its
    // size, and trimmed only where there is something to trim: an undo step keeps
    // this text for every object of a big selection.
    std::string out;
    if (!element->firstChild) {
      std::size_t bytes = 2 * element->name.size() + 8;
      for (const xml::Attribute& a : element->attributes) bytes += a.name.size() + a.value.size() + 4;
      out.reserve(bytes + bytes / 8);
    }
    xml::Document::writeNode(element, out, nullptr);
    auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    if (!out.empty() && (blank(out.front()) || blank(out.back()))) return text::trim(out);
    return out;
  }
  // A shallow copy: the element with its attributes (copied as a list, in one pass),
  // and the replacement text.
  xml::Document scratch;
  xml::Node* copy = scratch.copyNode(element);
  while (copy->firstChild) scratch.removeNode(copy->firstChild);
  if (!replacement.empty() && (stripChildren || replace)) {
    xml::Document::appendChild(copy, scratch.createText(replacement));
  }
  return text::trim(xml::Document::serializeNode(copy));
}

}  // namespace zor::editor
