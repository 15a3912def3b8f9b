// The editor opening the game load benchmark's file (20,000 blocks over 8
// zones): load with its checks, then one zone's records, beside the game's own
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
#include "editor/core/zone_records.h"
#include "game/game.h"
#include "game/load/game_file.h"
#include "game/load/zone_loader.h"
#include "platform/files.h"
#include "platform/xml.h"

#include "bench/load_bench.cpp"  // NOLINT: the game's benchmarks and bigGameFile()

namespace {

class SilentPort : public zor::editor::EditorPort {
 public:
  void setStatus(int, const std::string&) override {}
  void setTitle(const std::string&) override {}
  void messageBox(const std::string&, const std::string&, zor::editor::MessageIcon) override {}
  zor::editor::Answer ask(const std::string&, const std::string&, zor::editor::QuestionButtons) override {
    return zor::editor::Answer::No;
  }
  int runChooser(const zor::editor::ChooserRequest&) override { return -1; }
  bool promptForText(const std::string&, const std::string&, const std::string&, int, std::string*) override {
    return false;
  }
  zor::editor::FileChoice openFileRequester(const zor::editor::FileRequest&) override { return {}; }
  zor::editor::FileChoice saveFileRequester(const zor::editor::FileRequest&) override { return {}; }
  void setClipboardText(const std::string&) override {}
  std::string clipboardText() override { return ""; }
  void startTimer(int, int) override {}
  void stopTimer(int) override {}
  int startProcess(const std::vector<std::string>&, const std::string&, bool) override { return -1; }
  int64_t now() override { return 0; }
  void showMainWindow(bool) override {}
  void redrawCanvas() override {}
  void focusCanvas() override {}
  void refreshPanel() override {}
  void setRecentFiles(const std::vector<std::string>&) override {}
  void endProgram(int) override {}
};

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
  SilentPort port;
  for (auto _ : state) {
    zor::editor::Editor editor(port);
    if (!zor::editor::loadGameFileForEditing(editor, path)) state.SkipWithError("load failed");
    if (!zor::editor::openZone(editor, editor.game.document->findById("zone3"))) state.SkipWithError("no zone");
    benchmark::DoNotOptimize(editor.zone.objects.size());
  }
}
BENCHMARK(BM_EditorLoadAndOpenZone)->Unit(benchmark::kMillisecond);

// Only the zone records, on a loaded game (what a zone change costs the editor).
void BM_EditorOpenZone(benchmark::State& state) {
  SilentPort port;
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
    zor::loadZone(*game, "zone3", false);
    state.PauseTiming();
    delete game;
    state.ResumeTiming();
  }
}
BENCHMARK(BM_GameLoadAndZone)->Unit(benchmark::kMillisecond);

}  // namespace
