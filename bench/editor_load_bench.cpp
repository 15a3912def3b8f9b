// The editor opening the game load benchmark's file (one zone of 20,000
// blocks): load with its checks, then one zone's records, beside the game's own
// load of the same file. The game's load benchmark is compiled in here whole, so
// that its file generator is the one used and its benchmarks run in the same
// report.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include <unistd.h>

#include "editor/core/editor.h"
#include "editor/core/silent_port.h"
#include "editor/core/zone_records.h"
#include "game/game.h"
#include "game/load/game_file.h"
#include "game/load/zone_loader.h"
#include "platform/files.h"
#include "platform/xml.h"

#include "bench/load_bench.cpp"  // NOLINT: the game's benchmarks and bigGameFile()

namespace {

// The benchmark file on disk, written once.
const std::string& bigGamePath() {
  static const std::string path = [] {
    char name[] = "/tmp/zor-editor-bench-XXXXXX.zorlan";
    const int fd = mkstemps(name, 7);
    if (fd >= 0) close(fd);
    zor::files::writeFileAtomic(name, bigGameFile());
    std::atexit([] { zor::files::deleteFile(bigGamePath()); });
    return std::string(name);
  }();
  return path;
}

// The editor: load and check the file, read the header and zone list, open one zone.
void BM_EditorLoadAndOpenZone(benchmark::State& state) {
  const std::string& path = bigGamePath();
  zor::editor::SilentPort port;
  for (auto _ : state) {
    zor::editor::Editor editor(port);
    if (!zor::editor::loadGameFileForEditing(editor, path)) state.SkipWithError("load failed");
    if (!zor::editor::openZone(editor, editor.game.document->findById(zor::bench::kLevelZone))) state.SkipWithError("no zone");
    benchmark::DoNotOptimize(editor.zone.objects.size());
  }
}
BENCHMARK(BM_EditorLoadAndOpenZone)->Unit(benchmark::kMillisecond);

// Only the zone records, on a loaded game (what a zone change costs the editor).
void BM_EditorOpenZone(benchmark::State& state) {
  zor::editor::SilentPort port;
  zor::editor::Editor editor(port);
  if (!zor::editor::loadGameFileForEditing(editor, bigGamePath())) state.SkipWithError("load failed");
  int z = 0;
  for (auto _ : state) {
    zor::editor::openZone(editor, editor.game.zones[static_cast<std::size_t>(z)].node);
    z = (z + 1) % static_cast<int>(editor.game.zones.size());
  }
}
BENCHMARK(BM_EditorOpenZone)->Unit(benchmark::kMillisecond);

// The game's own load of the same file: parse, the game-wide part, one zone.
void BM_GameLoadAndZone(benchmark::State& state) {
  const std::string& path = bigGamePath();
  for (auto _ : state) {
    auto* game = new zor::Game;
    zor::xml::ParseError error;
    if (!game->data.document.load(path, &error)) state.SkipWithError("parse failed");
    zor::readGameData(*game);
    zor::loadZone(*game, zor::bench::kLevelZone, false);
    state.PauseTiming();
    delete game;
    state.ResumeTiming();
  }
}
BENCHMARK(BM_GameLoadAndZone)->Unit(benchmark::kMillisecond);

}  // namespace
