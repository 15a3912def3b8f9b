// One world step (motion, bodies, the pair pass, areas, camera and fade) for
// zones of 1,000, 10,000 and 100,000 blocks, 9 % of them dynamic (crates and
// class walkers in equal numbers) standing on floors over three levels, among
// static blocks in rows above the floors. The blocks keep the same density, so
// the zone grows in width. The zone goes through the zone load as a game file
// does: sorted by depth, and laid out in memory in that order. The "per_block"
// counter is the step's time divided by the number of blocks: it should stay
// flat as the zone grows; "vs_1000" is it divided by that of the 1,000-block
// zone measured before it in the same run.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <string>

#include "format/vocabulary.h"
#include "game/game.h"
#include "game/load/game_file.h"
#include "game/load/zone_loader.h"
#include "game/script/interpreter.h"
#include "game/world/world_step.h"
#include "platform/xml.h"

namespace {

std::string benchGame(int blocks) {
  const int dynamic = blocks * 9 / 100;
  const int statics = blocks - dynamic - 3;
  // Static blocks stand 40 apart in three levels, dynamic ones 60 apart in
  // three levels; the floors cover both.
  const int half = std::max(statics / 3 * 40, dynamic * 60) / 2 + 1000;
  const std::string h = std::to_string(half);
  const std::string zoneHalf = std::to_string(half + 5000);
  std::string s;
  s += "<zorlan version=\"1\">\n";
  s += "  <class name=\"walker\" acc=\"0.2,6\" speed=\"1.5\" cover=\"400\" eflags=\"jumping,smart\" hops=\"20\""
       " w=\"16\" h=\"16\" flg=\"dynamic,solid,hasface\"/>\n";
  s += "  <zone id=\"first\" xlim=\"-" + zoneHalf + "," + zoneHalf + "\" ylim=\"-500,5000\">\n";
  s += "    <levels><level z=\"0\" unlocked=\"1\"/><level z=\"100\"/><level z=\"200\"/></levels>\n";
  s += "    <entrance x=\"0\" y=\"0\" level=\"0\"/>\n";
  s += "    <area xlim=\"-500,500\" ylim=\"-100,400\" level=\"0\" zoom=\"80,120\"/>\n";
  // Floors: one long floor per level, then static blocks in rows above them.
  for (int level = 0; level < 3; ++level) {
    s += "    <block x=\"-" + h + "\" y=\"-20\" w=\"" + std::to_string(2 * half) + "\" h=\"20\" level=\"" + std::to_string(level) +
         "\" flg=\"solid\"/>\n";
  }
  for (int b = 0; b < statics; ++b) {
    const int level = b % 3;
    const int column = b / 3;
    const std::string x = std::to_string(-(statics / 3 * 40) / 2 + column * 40);
    const std::string y = std::to_string(60 + (column % 7) * 30);
    s += "    <block x=\"" + x + "\" y=\"" + y + "\" w=\"30\" h=\"10\" level=\"" + std::to_string(level) +
         "\" flg=\"solid\"/>\n";
  }
  for (int d = 0; d < dynamic; ++d) {
    const int level = d % 3;
    const std::string x = std::to_string(-(dynamic * 60) / 2 + d * 60);
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

std::unique_ptr<zor::Game> loadBenchGame(int blocks) {
  auto game = std::make_unique<zor::Game>();
  zor::xml::ParseError error;
  if (!game->data.document.parse(benchGame(blocks), &error)) return nullptr;
  game->data.gameFilePath = "bench.xml";
  zor::readGameData(*game);
  game->random.table.fill(game->random.generator);
  game->app.frameTime = 1000;
  if (!zor::loadZone(*game, "first", true)) return nullptr;
  game->script.zoneEntryQuiet = false;
  // Let everything settle on its floor first.
  for (int i = 0; i < 120; ++i) zor::stepWorld(*game);
  return game;
}

// Seconds per block of the last measured 1,000-block zone; 0 before one.
double perBlockOf1000 = 0.0;

void BM_WorldStep(benchmark::State& state) {
  const int blocks = static_cast<int>(state.range(0));
  auto game = loadBenchGame(blocks);
  if (!game) {
    state.SkipWithError("the bench zone could not be loaded");
    return;
  }
  const auto start = std::chrono::steady_clock::now();
  for (auto _ : state) {
    zor::stepWorld(*game);
    benchmark::DoNotOptimize(game->world.player->x);
  }
  const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
  const double perBlock =
      state.iterations() > 0 ? elapsed.count() / static_cast<double>(state.iterations()) / blocks : 0.0;
  if (blocks == 1000) perBlockOf1000 = perBlock;
  int dynamic = 0;
  for (const zor::ObjectRecord& o : game->world.objects) {
    if (o.has(zor::format::flag::Dynamic) && &o != game->world.player) ++dynamic;
  }
  state.counters["objects"] = static_cast<double>(game->world.objects.size());
  state.counters["dynamic_pct"] = 100.0 * dynamic / blocks;
  state.counters["per_block"] = benchmark::Counter(static_cast<double>(blocks),
                                                   benchmark::Counter::kIsIterationInvariantRate |
                                                       benchmark::Counter::kInvert);
  if (perBlockOf1000 > 0.0) state.counters["vs_1000"] = perBlock / perBlockOf1000;
}
BENCHMARK(BM_WorldStep)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMicrosecond);

}  // namespace
