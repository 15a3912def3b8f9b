// The editor opening a game file of one zone made like a real level (the shared
// measuring file: 1,000 / 10,000 / 20,000 / 100,000 blocks): load with its
// checks, the zone's records and the first paint of the canvas, beside the
// game's own load of the same file and zone. Also the re-reading of every block
// that a class edit causes. Ratios of medians are printed at the end.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <string>

#include <unistd.h>

#include "bench/level_file.h"
#include "bench/median_ratios.h"
#include "editor/core/canvas_controller.h"
#include "editor/core/canvas_drawing.h"
#include "editor/core/editor.h"
#include "editor/core/silent_port.h"
#include "editor/core/zone_records.h"
#include "game/game.h"
#include "game/load/game_file.h"
#include "game/load/zone_loader.h"
#include "platform/files.h"
#include "platform/xml.h"

namespace {

using namespace zor::editor;

constexpr int32_t kCanvasWidth = 880;
constexpr int32_t kCanvasHeight = 660;

// The measuring file of `blocks` blocks on disk, written once, removed at exit.
const std::string& levelPath(int blocks) {
  static std::map<int, std::string> paths;
  auto it = paths.find(blocks);
  if (it != paths.end()) return it->second;
  char name[] = "/tmp/zor-editor-bench-XXXXXX.zorlan";
  const int fd = mkstemps(name, 7);
  if (fd >= 0) close(fd);
  zor::files::writeFileAtomic(name, zor::bench::levelGameFile(blocks));
  if (paths.empty()) {
    std::atexit([] {
      for (const auto& [n, path] : paths) zor::files::deleteFile(path);
    });
  }
  return paths.emplace(blocks, std::string(name)).first->second;
}

void levelSizes(benchmark::internal::Benchmark* b) {
  for (int n : {1000, 10000, 20000, 100000}) b->Arg(n);
}

// What the user waits for: the file loaded and checked, the zone's records, the
// canvas painted once.
void BM_EditorOpenAndPaint(benchmark::State& state) {
  const std::string& path = levelPath(static_cast<int>(state.range(0)));
  SilentPort port;
  CanvasImage image;
  FixedWidthText text;
  for (auto _ : state) {
    auto editor = std::make_unique<Editor>(port);
    if (!loadGameFileForEditing(*editor, path)) state.SkipWithError("load failed");
    if (!openZone(*editor, editor->game.document->findById(zor::bench::kLevelZone))) state.SkipWithError("no zone");
    canvasResized(*editor, kCanvasWidth, kCanvasHeight);
    drawZone(*editor, image, text, true);
    benchmark::DoNotOptimize(image.pixels());
    state.PauseTiming();
    editor.reset();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_EditorOpenAndPaint)->Apply(levelSizes)->Unit(benchmark::kMillisecond);

// The editor's own part on a loaded document: the zone's records and the first paint
// (what a change of zone costs).
void BM_EditorOpenZoneAndPaint(benchmark::State& state) {
  SilentPort port;
  Editor editor(port);
  CanvasImage image;
  FixedWidthText text;
  if (!loadGameFileForEditing(editor, levelPath(static_cast<int>(state.range(0))))) {
    state.SkipWithError("load failed");
    return;
  }
  zor::xml::Node* zone = editor.game.document->findById(zor::bench::kLevelZone);
  for (auto _ : state) {
    openZone(editor, zone);
    canvasResized(editor, kCanvasWidth, kCanvasHeight);
    drawZone(editor, image, text, true);
    benchmark::DoNotOptimize(image.pixels());
  }
}
BENCHMARK(BM_EditorOpenZoneAndPaint)->Apply(levelSizes)->Unit(benchmark::kMillisecond);

// The game's load of the same file: parse, the game-wide part, the zone.
void BM_GameLoadAndZone(benchmark::State& state) {
  const std::string& path = levelPath(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    auto game = std::make_unique<zor::Game>();
    zor::xml::ParseError error;
    if (!game->data.document.load(path, &error)) state.SkipWithError("parse failed");
    zor::readGameData(*game);
    zor::loadZone(*game, zor::bench::kLevelZone, false);
    state.PauseTiming();
    game.reset();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_GameLoadAndZone)->Apply(levelSizes)->Unit(benchmark::kMillisecond);

// Editing or deleting a class: every block of the open zone read again.
void BM_EditorReparseAllBlocks(benchmark::State& state) {
  SilentPort port;
  Editor editor(port);
  if (!loadGameFileForEditing(editor, levelPath(static_cast<int>(state.range(0)))) ||
      !openZone(editor, editor.game.document->findById(zor::bench::kLevelZone))) {
    state.SkipWithError("load failed");
    return;
  }
  for (auto _ : state) {
    reparseAllBlocks(editor);
    benchmark::DoNotOptimize(editor.zone.objects.size());
  }
}
BENCHMARK(BM_EditorReparseAllBlocks)->Apply(levelSizes)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  std::vector<zor::bench::MedianRatio> ratios;
  for (const char* n : {"1000", "10000", "20000", "100000"}) {
    ratios.push_back({std::string("editor open + first paint / game load, ") + n + " blocks",
                      std::string("BM_EditorOpenAndPaint/") + n, 1.0, std::string("BM_GameLoadAndZone/") + n, 1.0,
                      2.0});
  }
  for (const char* n : {"10000", "20000", "100000"}) {
    ratios.push_back({std::string("editor open + first paint per block, ") + n + " / 1000 blocks",
                      std::string("BM_EditorOpenAndPaint/") + n, std::atof(n), "BM_EditorOpenAndPaint/1000", 1000.0,
                      1.5});
  }
  for (const char* n : {"10000", "20000", "100000"}) {
    ratios.push_back({std::string("zone records + first paint (file loaded) per block, ") + n + " / 1000 blocks",
                      std::string("BM_EditorOpenZoneAndPaint/") + n, std::atof(n), "BM_EditorOpenZoneAndPaint/1000",
                      1000.0, 1.5});
  }
  ratios.push_back({"reparseAllBlocks, 20000 blocks", "BM_EditorReparseAllBlocks/20000", 1.0, "", 1.0, 10.0});
  ratios.push_back({"reparseAllBlocks per block, 100000 / 1000 blocks", "BM_EditorReparseAllBlocks/100000", 100000.0,
                    "BM_EditorReparseAllBlocks/1000", 1000.0, 1.5});
  return zor::bench::runWithMedianRatios(argc, argv, ratios);
}
