// One world step (motion, bodies, the pair pass, areas, camera and fade) for
// the measuring zone (level_file.h: a level of constant density, 9 % of its
// blocks dynamic, 10 % moving platforms, one area per 50 blocks) of 1,000,
// 10,000 and 100,000 blocks. The zone goes through the zone load as a game file
// does. The "per_block" counter is the step's time divided by the number of
// blocks: it should stay flat as the zone grows. BM_StepPerBlockVs1000 takes
// turns between the zone and the 1,000-block zone, batch by batch, and prints
// the median ratio of their times per block ("vs_1000"; the goal is 1.5 or less).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "bench/level_file.h"
#include "format/vocabulary.h"
#include "game/game.h"
#include "game/load/game_file.h"
#include "game/load/zone_loader.h"
#include "game/script/interpreter.h"
#include "game/world/world_step.h"
#include "platform/xml.h"

namespace {

std::unique_ptr<zor::Game> loadBenchGame(int blocks) {
  auto game = std::make_unique<zor::Game>();
  zor::xml::ParseError error;
  if (!game->data.document.parse(zor::bench::levelGameFile(blocks), &error)) return nullptr;
  game->data.gameFilePath = "bench.xml";
  zor::readGameData(*game);
  game->random.table.fill(game->random.generator);
  game->app.frameTime = 1000;
  if (!zor::loadZone(*game, zor::bench::kLevelZone, true)) return nullptr;
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

using Clock = std::chrono::steady_clock;

// Seconds per block of `steps` steps.
double perBlockOf(zor::Game& game, int steps, int blocks) {
  const auto start = Clock::now();
  for (int i = 0; i < steps; ++i) {
    zor::stepWorld(game);
    benchmark::DoNotOptimize(game.world.player->x);
  }
  const std::chrono::duration<double> elapsed = Clock::now() - start;
  return elapsed.count() / steps / blocks;
}

double median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  const size_t n = v.size();
  return n == 0 ? 0.0 : n % 2 == 1 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2.0;
}

// The zone against the 1,000-block zone, in turns of batches of about the same
// time, so that both see the same machine; the median of the batches' ratios.
void BM_StepPerBlockVs1000(benchmark::State& state) {
  const int blocks = static_cast<int>(state.range(0));
  auto small = loadBenchGame(1000);
  auto game = loadBenchGame(blocks);
  if (!game || !small) {
    state.SkipWithError("the bench zone could not be loaded");
    return;
  }
  const int steps = std::max(3, 3000000 / blocks);
  std::vector<double> ratios, perBlock;
  for (auto _ : state) {
    const double floor = perBlockOf(*small, 3000, 1000);
    const double ours = perBlockOf(*game, steps, blocks);
    ratios.push_back(ours / floor);
    perBlock.push_back(ours);
    state.SetIterationTime(ours * steps * blocks);
  }
  state.counters["vs_1000"] = median(ratios);
  state.counters["per_block_ns"] = median(perBlock) * 1e9;
  state.counters["step_ms"] = median(perBlock) * blocks * 1e3;
}
BENCHMARK(BM_StepPerBlockVs1000)->Arg(10000)->Arg(100000)->Iterations(15)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace
