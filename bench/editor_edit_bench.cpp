// Commands on every object of a big zone, as the user gives them on the canvas
// (the shared measuring file of 1,000 / 10,000 / 20,000 / 100,000 blocks):
// Select All, Duplicate, Delete of everything and the Undo of each; Paste of a tenth
// of the zone's objects into it; a property typed for all its blocks and its Undo;
// and Ctrl+Arrow on a block of 100,000 attributes. The medians are printed against their goals,
// with the time per object at 100,000 beside that at 1,000.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdlib>
#include <map>
#include <memory>
#include <string>

#include <unistd.h>

#include "bench/level_file.h"
#include "bench/median_ratios.h"
#include "editor/core/canvas_controller.h"
#include "editor/core/clipboard.h"
#include "editor/core/edit_commands.h"
#include "editor/core/editor.h"
#include "editor/core/property_panels.h"
#include "editor/core/selection.h"
#include "editor/core/silent_port.h"
#include "editor/core/zone_records.h"
#include "platform/files.h"

namespace {

using namespace zor::editor;

const std::string& filePath(const std::string& key, const std::string& (*text)(int), int n) {
  static std::map<std::string, std::string> paths;
  auto it = paths.find(key);
  if (it != paths.end()) return it->second;
  char name[] = "/tmp/zor-edit-bench-XXXXXX.zorlan";
  const int fd = mkstemps(name, 7);
  if (fd >= 0) close(fd);
  zor::files::writeFileAtomic(name, text(n));
  if (paths.empty()) {
    std::atexit([] {
      for (const auto& [k, path] : paths) zor::files::deleteFile(path);
    });
  }
  return paths.emplace(key, std::string(name)).first->second;
}

const std::string& levelText(int blocks) {
  static std::map<int, std::string> texts;
  auto it = texts.find(blocks);
  if (it == texts.end()) it = texts.emplace(blocks, zor::bench::levelGameFile(blocks)).first;
  return it->second;
}

// One zone holding one block of `attributes` attributes besides its box.
const std::string& manyAttributesText(int attributes) {
  static std::string text;
  if (text.empty()) {
    text = "<zorlan version=\"1\"><zone id=\"wide\"><levels><level z=\"0\" color=\"FFFFFF\"/></levels>"
           "<block oname=\"wide\" x=\"0\" y=\"0\" w=\"40\" h=\"20\" color=\"808080\" flg=\"solid\"";
    for (int i = 0; i < attributes; ++i) text += " a" + std::to_string(i) + "=\"" + std::to_string(i) + "\"";
    text += "/></zone></zorlan>";
  }
  return text;
}

class NoWindow : public CanvasWindow {
 public:
  void grabPointer(bool) override {}
  bool hasKeyboardFocus() override { return true; }
};

// A silent desktop with a clipboard.
class ClipboardPort : public SilentPort {
 public:
  bool setClipboardText(const std::string& text) override {
    clipboard_ = text;
    return true;
  }
  std::string clipboardText() override { return clipboard_; }

 private:
  std::string clipboard_;
};

// An editor with the file loaded and its one zone open, the canvas sized.
struct Session {
  ClipboardPort port;
  Editor editor{port};
  NoWindow window;
  explicit Session(const std::string& path, const char* zone) {
    if (loadGameFileForEditing(editor, path)) openZone(editor, editor.game.document->findById(zone));
    canvasResized(editor, 880, 660);
  }
  bool open() const { return editor.zone.openZoneNode != nullptr; }
  void key(int32_t code, bool ctrl = false) {
    CanvasKeyEvent e;
    e.key = code;
    e.modifiers.ctrl = ctrl;
    canvasKey(editor, window, e);
  }
};

const std::string& levelPath(int blocks) { return filePath("level" + std::to_string(blocks), levelText, blocks); }

void levelSizes(benchmark::internal::Benchmark* b) {
  for (int n : {1000, 10000, 20000, 100000}) b->Arg(n);
  b->Unit(benchmark::kMillisecond)->Iterations(2);
}

// What is done before the measured step (untimed) and the step itself.
enum class Step { SelectAll, Duplicate, UndoDuplicate, DeleteAll, UndoDelete, Paste, ApplyProperty, UndoProperty };

// Every tenth block, area and entrance copied; nothing selected then.
void copyATenth(Editor& editor) {
  deselectAll(editor);
  int i = 0;
  for (const auto& o : editor.zone.objects)
    if (o->kind >= kind::Block && o->kind <= kind::Entrance && i++ % 10 == 0) selectObject(editor, o.get());
  copySelection(editor);
  deselectAll(editor);
}

// Every block selected, and the panel's transparency typed for all of them.
void typeForAllBlocks(Editor& editor) {
  deselectAll(editor);
  for (const auto& o : editor.zone.objects)
    if (o->kind == kind::Block) selectObject(editor, o.get());
  editor.panel = fillPanel(editor);
  editor.panel.fields[blockfield::Trans] = "0.25";
}

void runStep(benchmark::State& state, Step step) {
  const std::string& path = levelPath(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    state.PauseTiming();
    auto s = std::make_unique<Session>(path, zor::bench::kLevelZone);
    if (!s->open()) {
      state.SkipWithError("load failed");
      break;
    }
    if (step != Step::SelectAll && step < Step::Paste) s->key(key::letter('A'), true);
    if (step == Step::UndoDuplicate) s->key(key::letter('D'), true);
    if (step == Step::UndoDelete) s->key(key::Delete);
    if (step == Step::Paste) copyATenth(s->editor);
    if (step == Step::ApplyProperty || step == Step::UndoProperty) typeForAllBlocks(s->editor);
    if (step == Step::UndoProperty) applyFieldToSelection(s->editor, s->editor.panel, blockfield::Trans);
    state.ResumeTiming();
    switch (step) {
      case Step::SelectAll: s->key(key::letter('A'), true); break;
      case Step::Duplicate: s->key(key::letter('D'), true); break;
      case Step::DeleteAll: s->key(key::Delete); break;
      case Step::Paste: pasteFromClipboard(s->editor); break;
      case Step::ApplyProperty: applyFieldToSelection(s->editor, s->editor.panel, blockfield::Trans); break;
      case Step::UndoDuplicate:
      case Step::UndoDelete:
      case Step::UndoProperty: undoLastStep(s->editor); break;
    }
    benchmark::DoNotOptimize(s->editor.zone.objects.size());
    state.PauseTiming();
    s.reset();
    state.ResumeTiming();
  }
}

void BM_SelectAll(benchmark::State& state) { runStep(state, Step::SelectAll); }
void BM_Duplicate(benchmark::State& state) { runStep(state, Step::Duplicate); }
void BM_UndoDuplicate(benchmark::State& state) { runStep(state, Step::UndoDuplicate); }
void BM_DeleteAll(benchmark::State& state) { runStep(state, Step::DeleteAll); }
void BM_UndoDeleteAll(benchmark::State& state) { runStep(state, Step::UndoDelete); }
void BM_PasteATenth(benchmark::State& state) { runStep(state, Step::Paste); }
void BM_ApplyPropertyToAllBlocks(benchmark::State& state) { runStep(state, Step::ApplyProperty); }
void BM_UndoPropertyOfAllBlocks(benchmark::State& state) { runStep(state, Step::UndoProperty); }
BENCHMARK(BM_SelectAll)->Apply(levelSizes);
BENCHMARK(BM_Duplicate)->Apply(levelSizes);
BENCHMARK(BM_UndoDuplicate)->Apply(levelSizes);
BENCHMARK(BM_DeleteAll)->Apply(levelSizes);
BENCHMARK(BM_UndoDeleteAll)->Apply(levelSizes);
BENCHMARK(BM_PasteATenth)->Apply(levelSizes);
BENCHMARK(BM_ApplyPropertyToAllBlocks)->Apply(levelSizes);
BENCHMARK(BM_UndoPropertyOfAllBlocks)->Apply(levelSizes);

// Ctrl+Right on the one selected block of 100,000 attributes: one move each.
void BM_CtrlArrowOnWideBlock(benchmark::State& state) {
  Session s(filePath("wide", manyAttributesText, 100000), "wide");
  if (!s.open() || s.editor.zone.objects.empty()) {
    state.SkipWithError("load failed");
    return;
  }
  selectObject(s.editor, s.editor.zone.objects.front().get());
  for (auto _ : state) s.key(key::Right, true);
}
BENCHMARK(BM_CtrlArrowOnWideBlock)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  std::vector<zor::bench::MedianRatio> ratios;
  for (const char* name : {"BM_SelectAll", "BM_Duplicate", "BM_UndoDuplicate", "BM_DeleteAll", "BM_UndoDeleteAll",
                           "BM_PasteATenth", "BM_ApplyPropertyToAllBlocks", "BM_UndoPropertyOfAllBlocks"}) {
    const std::string n = name;
    ratios.push_back({n.substr(3) + ", 100000 blocks", n + "/100000", 1.0, "", 1.0, 1000.0});
    ratios.push_back({n.substr(3) + ", 20000 blocks", n + "/20000", 1.0, "", 1.0, 1000.0});
    ratios.push_back({n.substr(3) + " per block, 100000 / 1000 blocks", n + "/100000", 100000.0, n + "/1000", 1000.0,
                      1.5});
  }
  ratios.push_back({"Ctrl+Arrow on a block of 100000 attributes", "BM_CtrlArrowOnWideBlock", 1.0, "", 1.0, 50.0});
  return zor::bench::runWithMedianRatios(argc, argv, ratios);
}
