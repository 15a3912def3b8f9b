// One world step (motion, bodies, the pair pass, areas, camera and fade) for a
// zone with 2,000 blocks, 200 of them dynamic: 100 crates and 100 class
// walkers standing on floors over three levels, among 1,800 static blocks.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "game/game.h"
#include "game/load/game_file.h"
#include "game/load/zone_loader.h"
#include "game/script/interpreter.h"
#include "game/world/world_step.h"
#include "platform/xml.h"

namespace {

constexpr int kBlocks = 2000;
constexpr int kDynamic = 200;

std::string benchGame() {
  std::string s;
  s += "<zorlan version=\"1\">\n";
  s += "  <class name=\"walker\" acc=\"0.2,6\" speed=\"1.5\" cover=\"400\" eflags=\"jumping,smart\" hops=\"20\""
       " w=\"16\" h=\"16\" flg=\"dynamic,solid,hasface\"/>\n";
  s += "  <zone id=\"first\" xlim=\"-20000,20000\" ylim=\"-500,5000\">\n";
  s += "    <levels><level z=\"0\" unlocked=\"1\"/><level z=\"100\"/><level z=\"200\"/></levels>\n";
  s += "    <entrance x=\"0\" y=\"0\" level=\"0\"/>\n";
  s += "    <area xlim=\"-500,500\" ylim=\"-100,400\" level=\"0\" zoom=\"80,120\"/>\n";
  // Floors: one long floor per level, then static blocks in rows above them.
  for (int level = 0; level < 3; ++level) {
    s += "    <block x=\"-15000\" y=\"-20\" w=\"30000\" h=\"20\" level=\"" + std::to_string(level) +
         "\" flg=\"solid\"/>\n";
  }
  const int statics = kBlocks - kDynamic - 3;
  for (int b = 0; b < statics; ++b) {
    const int level = b % 3;
    const int column = b / 3;
    const std::string x = std::to_string(-12000 + column * 40);
    const std::string y = std::to_string(60 + (column % 7) * 30);
    s += "    <block x=\"" + x + "\" y=\"" + y + "\" w=\"30\" h=\"10\" level=\"" + std::to_string(level) +
         "\" flg=\"solid\"/>\n";
  }
  for (int d = 0; d < kDynamic; ++d) {
    const int level = d % 3;
    const std::string x = std::to_string(-6000 + d * 60);
    if (d % 2 == 0) {
      s += "    <block x=\"" + x + "\" y=\"0\" w=\"20\" h=\"20\" level=\"" + std::to_string(level) +
           "\" flg=\"dynamic,solid\"/>\n";
    } else {
      s += "    <block class=\"walker\" x=\"" + x + "\" y=\"0\" level=\"" + std::to_string(level) + "\"/>\n";
    }
  }
  s += "  </zone>\n</zorlan>\n";
  return s;
}

std::unique_ptr<zor::Game> loadBenchGame() {
  auto game = std::make_unique<zor::Game>();
  zor::xml::ParseError error;
  if (!game->data.document.parse(benchGame(), &error)) return nullptr;
  game->data.gameFilePath = "bench.xml";
  zor::readGameData(*game);
  game->random.table.fill(game->random.generator);
  game->hooks.elapsedMs = [] { return 1000u; };
  zor::installScriptHooks(*game);
  zor::installWorldHooks(*game);
  if (!zor::loadZone(*game, "first", 1)) return nullptr;
  game->script.zoneEntryQuiet = false;
  // Let everything settle on its floor first.
  for (int i = 0; i < 120; ++i) zor::stepWorld(*game);
  return game;
}

void BM_WorldStep(benchmark::State& state) {
  auto game = loadBenchGame();
  if (!game) {
    state.SkipWithError("the bench zone could not be loaded");
    return;
  }
  for (auto _ : state) {
    zor::stepWorld(*game);
    benchmark::DoNotOptimize(game->world.player->x);
  }
  state.counters["objects"] = static_cast<double>(game->world.objects.size());
}
BENCHMARK(BM_WorldStep)->Unit(benchmark::kMicrosecond);

}  // namespace
