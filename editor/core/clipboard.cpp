#include "editor/core/clipboard.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <iterator>
#include <memory>
#include <vector>

#include "editor/core/edit_commands.h"
#include "editor/core/editing.h"
#include "editor/core/editor.h"
#include "editor/core/selection.h"
#include "editor/core/undo.h"
#include "format/values.h"
#include "platform/text.h"

namespace zor::editor {

namespace {

constexpr const char* kNotValid = "Clipboard data is not valid.";
constexpr const char* kBadXml = "Clipboard XML is not valid.";
constexpr const char* kNoMainNode = "Clipboard XML lacks a main node.";
constexpr const char* kNotExpected = "Clipboard XML is not in the expected format.";

// The shortest text that reads back as the same float.
std::string floatText(float v) {
  if (!std::isfinite(v)) return "0";
  char buffer[64];
  auto r = std::to_chars(buffer, buffer + sizeof buffer, v);
  if (r.ec != std::errc()) return "0";
  return std::string(buffer, r.ptr);
}

// The kind of a pasted child by its name, 0 for a name that is not pasted.
int32_t pastedKind(const std::string& name) {
  const std::string lower = text::toLower(name);
  if (lower == "block") return kind::Block;
  if (lower == "area") return kind::Area;
  if (lower.compare(0, 8, "entrance") == 0) return kind::Entrance;
  return 0;
}

ClipboardContent refuse(const char* why) {
  ClipboardContent c;
  c.refusal = why;
  return c;
}

// Moves a pasted object, whose records are the last of the list from `first` on, to
// the view. Moving a moving block or an area reads it again, which looks for its
// records in the list: meanwhile the list holds only these, the rest set aside.
void movePasted(Editor& editor, EditorObject* record, std::size_t first, float dx, float dy) {
  auto& list = editor.zone.objects;
  std::vector<std::unique_ptr<EditorObject>> rest;
  rest.swap(list);
  list.assign(std::make_move_iterator(rest.begin() + static_cast<std::ptrdiff_t>(first)),
              std::make_move_iterator(rest.end()));
  rest.resize(first);
  moveObject(editor, record, dx, dy);
  for (auto& o : list) rest.push_back(std::move(o));
  list.swap(rest);
}

}  // namespace

ClipboardContent readClipboardText(const std::string& clip) {
  if (clip.size() > kMaxClipboardBytes) return refuse(kNotValid);
  auto document = std::make_unique<xml::Document>();
  if (!document->parse(clip, nullptr)) return refuse(kBadXml);
  const xml::Node* main = document->root();
  if (main == nullptr) return refuse(kNoMainNode);
  if (main->name != "zorcopy") return refuse(kNotExpected);
  int pasted = 0;
  for (const xml::Node* c = main->firstElement(); c; c = c->nextElement()) {
    if (pastedKind(c->name) == 0) return refuse(kNotExpected);
    ++pasted;
  }
  if (pasted == 0) return refuse(kNotExpected);
  ClipboardContent content;
  content.camx = format::readFloat(main->attr("camx"));
  content.camy = format::readFloat(main->attr("camy"));
  if (!std::isfinite(content.camx) || !std::isfinite(content.camy)) return refuse(kNotExpected);
  content.document = std::move(document);
  return content;
}

std::string copySelection(Editor& editor) {
  ZoneState& zone = editor.zone;
  if (zone.openZoneNode == nullptr) return "";
  const std::vector<EditorObject*> selection = selectedEditableObjects(editor);
  if (selection.empty()) return "";
  float minX = 0.0f, maxX = 0.0f, minY = 0.0f, maxY = 0.0f;
  bool first = true;
  for (const EditorObject* o : selection) {
    if (first) {
      minX = o->x, maxX = o->x + o->w, minY = o->y, maxY = o->y + o->h;
      first = false;
    } else {
      minX = std::min(minX, o->x), maxX = std::max(maxX, o->x + o->w);
      minY = std::min(minY, o->y), maxY = std::max(maxY, o->y + o->h);
    }
  }
  xml::Document scratch;
  xml::Node* root = scratch.createElement("zorcopy");
  root->setAttr("camx", floatText(-(minX + maxX) / 2.0f));
  root->setAttr("camy", floatText(-(minY + maxY) / 2.0f));
  root->setAttr("camz", floatText(zone.view.camz));
  for (const EditorObject* o : selection) xml::Document::appendChild(root, scratch.copyNode(o->node));
  const std::string out = xml::Document::serializeNode(root);
  if (out.empty()) return "";
  // What no paste would take back is not copied, and so not cut.
  if (out.size() > kMaxClipboardBytes) {
    editor.port.setStatus(0, "Too much to copy: the clipboard text would be larger than 4 MiB.");
    return "";
  }
  if (!editor.port.setClipboardText(out)) return "";
  const int n = static_cast<int>(selection.size());
  std::string status;
  if (n > 1) {
    status = "Copied " + text::formatInt(n) + " objects to clipboard.";
  } else {
    const int32_t k = selection.front()->kind;
    status = std::string("Copied ") + (k == kind::Block ? "block" : k == kind::Area ? "area" : "entrance") +
             " to clipboard.";
  }
  editor.port.setStatus(0, status);
  return out;
}

int pasteFromClipboard(Editor& editor) {
  ZoneState& zone = editor.zone;
  if (zone.openZoneNode == nullptr || zone.view.mode != 0) return 0;
  const std::string clip = editor.port.clipboardText();
  if (clip.empty()) return 0;
  const ClipboardContent content = readClipboardText(clip);
  if (!content.document) {
    editor.port.messageBox(kEditorName, content.refusal, MessageIcon::Warning);
    return 0;
  }
  const xml::Node* main = content.document->root();

  xml::Node* at = zone.objects.empty() ? nullptr : zone.objects.back()->node;
  xml::Node* parent = at != nullptr && at->parent != nullptr ? at->parent : zone.openZoneNode;
  deselectAll(editor);
  collectObjectNames(editor);
  int n = 0;
  for (const xml::Node* c = main->firstElement(); c; c = c->nextElement()) {
    const int32_t k = pastedKind(c->name);
    xml::Node* copy = editor.game.document->copyNode(c);
    if (copy == nullptr) continue;
    xml::Document::insertBefore(parent, copy, at != nullptr ? at->next : nullptr);
    at = copy;
    if (k == kind::Block) {
      zone.showBlocks = true;
      const std::string oname = copy->attr("oname");
      if (!oname.empty()) copy->setAttr("oname", makeUniqueObjectName(editor, oname, kind::Block));
    } else if (k == kind::Area) {
      zone.showAreas = true;
    } else {
      zone.showEntrances = true;
      copy->setName(makeUniqueObjectName(editor, std::string(copy->name), kind::Entrance));
    }
    const std::size_t first = zone.objects.size();
    EditorObject* record = parseNewObject(editor, copy, objflag::BeingPlaced);
    if (record == nullptr) continue;
    movePasted(editor, record, first, content.camx, content.camy);
    selectObject(editor, record);
    ++n;
  }
  if (n == 0) return 0;
  syncAreasToNamedBlocks(editor);
  sortObjects(zone);
  markModified(editor);
  zone.view.mode = 3;
  refreshPanel(editor);
  editor.port.redrawCanvas();
  return n;
}

}  // namespace zor::editor
