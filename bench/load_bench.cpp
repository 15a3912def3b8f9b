// Start-up and zone-load cost on a large game file (20,000 blocks over 8
// zones), beside what expat alone takes to parse the same bytes.
#include <benchmark/benchmark.h>
#include <expat.h>

#include <cstdint>
#include <string>

#include "bench/big_game_file.h"
#include "game/game.h"
#include "game/load/game_file.h"
#include "game/load/zone_loader.h"
#include "platform/xml.h"

namespace {

void onStart(void*, const XML_Char*, const XML_Char**) {}
void onEnd(void*, const XML_Char*) {}

// expat alone, with empty callbacks: the floor for any parse.
void BM_ExpatOnly(benchmark::State& state) {
  const std::string& text = bigGameFile();
  for (auto _ : state) {
    XML_Parser parser = XML_ParserCreate(nullptr);
    XML_SetElementHandler(parser, onStart, onEnd);
    const auto status = XML_Parse(parser, text.data(), static_cast<int>(text.size()), 1);
    benchmark::DoNotOptimize(status);
    XML_ParserFree(parser);
  }
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
  game->hooks.fatalError = [](zor::Game&, const std::string&) {};
  game->hooks.elapsedMs = [] { return uint32_t{0}; };
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
    zor::loadZone(*game, "zone3", 0);
    if (game->failed) state.SkipWithError(game->failMessage.c_str());
    state.PauseTiming();
    delete game;
    state.ResumeTiming();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                          static_cast<int64_t>(text.size()));
}
BENCHMARK(BM_ParseAndLoadZone)->Unit(benchmark::kMillisecond);

// A zone change alone on a parsed document (what a warp costs).
void BM_LoadZone(benchmark::State& state) {
  zor::Game* game = newGame();
  zor::xml::ParseError error;
  if (!game->data.document.parse(bigGameFile(), &error)) state.SkipWithError("parse failed");
  zor::readGameData(*game);
  int z = 0;
  for (auto _ : state) {
    zor::loadZone(*game, "zone" + std::to_string(z), 0);
    z = (z + 1) % kZones;
  }
  if (game->failed) state.SkipWithError(game->failMessage.c_str());
  delete game;
}
BENCHMARK(BM_LoadZone)->Unit(benchmark::kMillisecond);

}  // namespace
