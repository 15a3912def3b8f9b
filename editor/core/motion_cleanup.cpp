#include "editor/core/motion_cleanup.h"

#include <algorithm>
#include <string>

#include "editor/core/editor.h"
#include "editor/core/property_panels.h"
#include "editor/core/selection.h"

namespace zor::editor {
namespace {

// Indexes of the block panel's flag boxes.
constexpr int kCyclicFlag = 1;
constexpr int kMotionFlag = 3;

void cleanBlock(Editor& editor, EditorObject& block, const PanelState& panel) {
  std::string report;
  if (!panel.flags[kCyclicFlag]) {
    for (const char* a : {"wave", "freq", "fall", "smp", "duty", "count", "phase", "grav"}) block.node->removeAttr(a);
    report = "cyclic and ";
  }
  if (panel.flags[kMotionFlag]) {
    block.node->removeAttr("x");
    block.node->removeAttr("y");
    report += "x/y";
  } else {
    block.node->removeAttr("xlim");
    block.node->removeAttr("ylim");
    report += "motion";
  }
  editor.port.setStatus(0, "Cleared " + report + " attributes.");
  refreshPanel(editor);
  markModified(editor);
}

bool cleanArea(Editor& editor, EditorObject& area, const PanelState& panel) {
  const std::string& name = panel.fields[areafield::Oname];
  if (name.empty()) return false;
  const auto& objects = editor.zone.objects;
  const bool followsBlock = std::any_of(objects.begin(), objects.end(), [&name](const auto& o) {
    return o->kind == kind::Block && o->node && o->node->attr("oname") == name;
  });
  if (!followsBlock) return false;
  area.node->removeAttr("xlim");
  area.node->removeAttr("ylim");
  parseArea(editor, area.node, false, 0);
  refreshPanel(editor);
  markModified(editor);
  return true;
}

}  // namespace

bool cleanMotionAttributes(Editor& editor) {
  const std::vector<EditorObject*> records = selectedRecords(editor);
  bool changed = false;
  if (records.size() == 1 && records[0]->node) {
    const PanelState panel = fillPanel(editor);
    if (records[0]->kind == kind::Block && panel.kind == PanelKind::Block) {
      cleanBlock(editor, *records[0], panel);
      changed = true;
    } else if (records[0]->kind == kind::Area && panel.kind == PanelKind::Area) {
      changed = cleanArea(editor, *records[0], panel);
    }
  }
  editor.port.focusCanvas();
  return changed;
}

}  // namespace zor::editor
