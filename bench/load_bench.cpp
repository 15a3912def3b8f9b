// Start-up and zone-load cost on the measuring game file (one zone made like a
// real level: see level_file.h), beside what expat alone takes to parse the
// same bytes: the 20,000-block file a user may open, and the series of 1,000,
// 10,000 and 100,000 blocks. Each prints its ratio to expat (the median of its
// runs, expat measured in the same runs; the goal is 1.5 or less).
#include <benchmark/benchmark.h>
#include <expat.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "bench/level_file.h"
#include "game/game.h"
#include "game/load/game_file.h"
#include "game/load/zone_loader.h"
#include "platform/xml.h"

namespace {

constexpr int kBigBlocks = 20000;

const std::string& gameFileOf(int blocks) {
  static std::map<int, std::string> files;
  auto it = files.find(blocks);
  if (it == files.end()) it = files.emplace(blocks, zor::bench::levelGameFile(blocks)).first;
  return it->second;
}

const std::string& bigGameFile() { return gameFileOf(kBigBlocks); }

void onStart(void*, const XML_Char*, const XML_Char**) {}
void onEnd(void*, const XML_Char*) {}

// expat alone, with empty callbacks: the floor for any parse.
bool expatOnly(const std::string& text) {
  XML_Parser parser = XML_ParserCreate(nullptr);
  XML_SetElementHandler(parser, onStart, onEnd);
  const auto status = XML_Parse(parser, text.data(), static_cast<int>(text.size()), 1);
  benchmark::DoNotOptimize(status);
  XML_ParserFree(parser);
  return status == XML_STATUS_OK;
}

void BM_ExpatOnly(benchmark::State& state) {
  const std::string& text = bigGameFile();
  for (auto _ : state) expatOnly(text);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                          static_cast<int64_t>(text.size()));
}
BENCHMARK(BM_ExpatOnly)->Unit(benchmark::kMillisecond);

// Our tree over expat.
void BM_ParseDocument(benchmark::State& state) {
  const std::string& text = bigGameFile();
  for (auto _ : state) {
    zor::xml::Document doc;
    zor::xml::ParseError error;
    benchmark::DoNotOptimize(doc.parse(text, &error));
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                          static_cast<int64_t>(text.size()));
}
BENCHMARK(BM_ParseDocument)->Unit(benchmark::kMillisecond);

zor::Game* newGame() {
  auto* game = new zor::Game;
  return game;
}

// Start-up's share plus one zone: parse, read the game-wide part, load a zone.
void BM_ParseAndLoadZone(benchmark::State& state) {
  const std::string& text = bigGameFile();
  for (auto _ : state) {
    zor::Game* game = newGame();
    zor::xml::ParseError error;
    if (!game->data.document.parse(text, &error)) state.SkipWithError("parse failed");
    zor::readGameData(*game);
    zor::loadZone(*game, zor::bench::kLevelZone, false);
    if (game->failed) state.SkipWithError(game->failMessage.c_str());
    state.PauseTiming();
    delete game;
    state.ResumeTiming();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                          static_cast<int64_t>(text.size()));
}
BENCHMARK(BM_ParseAndLoadZone)->Unit(benchmark::kMillisecond);

using Clock = std::chrono::steady_clock;

double msSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double median(std::vector<double> v) {
  if (v.empty()) return 0.0;
  std::sort(v.begin(), v.end());
  const size_t n = v.size();
  return n % 2 == 1 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2.0;
}

// expat alone and our work on the same bytes, taken in turn in every
// repetition so that both see the same machine. Counters: the median time of
// each and the ratio of ours to expat's (the goal is 1.5 or less).
// `ParseOnly` stops after the tree; otherwise the game-wide part is read and the
// zone loaded as at start-up.
void againstExpat(benchmark::State& state, bool parseOnly) {
  const int blocks = static_cast<int>(state.range(0));
  const std::string& text = gameFileOf(blocks);
  std::vector<double> expatMs, oursMs;
  for (auto _ : state) {
    Clock::time_point start = Clock::now();
    if (!expatOnly(text)) state.SkipWithError("expat failed");
    const double expat = msSince(start);

    zor::Game* game = newGame();
    start = Clock::now();
    zor::xml::ParseError error;
    if (!game->data.document.parse(text, &error)) state.SkipWithError("parse failed");
    if (!parseOnly) {
      zor::readGameData(*game);
      zor::loadZone(*game, zor::bench::kLevelZone, false);
      if (game->failed) state.SkipWithError(game->failMessage.c_str());
    }
    const double ours = msSince(start);
    delete game;

    expatMs.push_back(expat);
    oursMs.push_back(ours);
    state.SetIterationTime((expat + ours) / 1000.0);
  }
  const double e = median(expatMs), o = median(oursMs);
  state.counters["expat_ms"] = e;
  state.counters["ours_ms"] = o;
  state.counters["ratio"] = e > 0.0 ? o / e : 0.0;
  state.counters["bytes"] = static_cast<double>(text.size());
}

void BM_ParseAgainstExpat(benchmark::State& state) { againstExpat(state, true); }
BENCHMARK(BM_ParseAgainstExpat)->Arg(kBigBlocks)->Iterations(15)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_ParseAndLoadAgainstExpat(benchmark::State& state) { againstExpat(state, false); }
BENCHMARK(BM_ParseAndLoadAgainstExpat)
    ->Arg(kBigBlocks)
    ->Iterations(15)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ParseAndLoadAgainstExpat)
    ->Arg(1000)
    ->Arg(10000)
    ->Iterations(15)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ParseAndLoadAgainstExpat)->Arg(100000)->Iterations(7)->UseManualTime()->Unit(benchmark::kMillisecond);

// A zone load alone on a parsed document (what a warp or a reload costs).
void BM_LoadZone(benchmark::State& state) {
  zor::Game* game = newGame();
  zor::xml::ParseError error;
  if (!game->data.document.parse(bigGameFile(), &error)) state.SkipWithError("parse failed");
  zor::readGameData(*game);
  for (auto _ : state) zor::loadZone(*game, zor::bench::kLevelZone, false);
  if (game->failed) state.SkipWithError(game->failMessage.c_str());
  delete game;
}
BENCHMARK(BM_LoadZone)->Unit(benchmark::kMillisecond);

}  // namespace
