// Start-up and zone-load cost on a large game file (20,000 blocks over 8
// zones), beside what expat alone takes to parse the same bytes.
#include <benchmark/benchmark.h>
#include <expat.h>

#include <cstdint>
#include <string>

#include "game/game.h"
#include "game/load/game_file.h"
#include "game/load/zone_loader.h"
#include "platform/xml.h"

namespace {

constexpr int kZones = 8;
constexpr int kBlocksPerZone = 2500;

const std::string& bigGameFile() {
  static const std::string text = [] {
    std::string s;
    s.reserve(4u << 20);
    s += "<zorlan version=\"1\" gtitle=\"Bench\">\n";
    s += "  <class name=\"walker\" acc=\"0.2,6\" speed=\"1.5\" eflags=\"jumping,approach\" w=\"20\""
         " h=\"20\" flg=\"dynamic,deadly,hasface\"/>\n";
    s += "  <speedrun name=\"Bench\" zone=\"zone0\"><start><title text=\"GO\"/></start></speedrun>\n";
    for (int z = 0; z < kZones; ++z) {
      const std::string id = "zone" + std::to_string(z);
      s += "  <zone id=\"" + id + "\" name=\"Zone " + std::to_string(z) +
           "\" xlim=\"-5000,5000\" ylim=\"-500,3000\">\n";
      s += "    <levels><level z=\"0\" color=\"9EC8F0\" unlocked=\"1\"/><level z=\"100\" "
           "color=\"A8E0A0\"/><level z=\"200\" color=\"E8C890\"/></levels>\n";
      s += "    <entrance x=\"0\" y=\"0\" level=\"0\"/>\n";
      s += "    <start><title tname=\"t\" text=\"" + id + "\" x=\"0.5\" y=\"0.1\" h=\"0.05\"/></start>\n";
      for (int b = 0; b < kBlocksPerZone; ++b) {
        const std::string x = std::to_string((b % 500) * 40 - 5000);
        const std::string y = std::to_string((b / 500) * 60);
        const std::string level = std::to_string(b % 3);
        switch (b % 5) {
          case 0:
            s += "    <block x=\"" + x + "\" y=\"" + y + "\" w=\"40\" h=\"20\" level=\"" + level +
                 "\" color=\"506070\" flg=\"solid\"/>\n";
            break;
          case 1:
            s += "    <block x=\"" + x + "\" y=\"" + y + "\" w=\"60\" h=\"12\" level=\"" + level +
                 "\" color=\"B0B0B0,FFFFFF\" flg=\"solid,cyclic,motion\" xlim=\"" + x + "," +
                 std::to_string((b % 500) * 40 - 4800) + "\" ylim=\"" + y + "\" freq=\"0.2\"/>\n";
            break;
          case 2:
            s += "    <block x=\"" + x + "\" y=\"" + y + "\" w=\"30\" h=\"10\" level=\"" + level +
                 "\" color=\"E02020\" flg=\"solid, deadly\" wave=\"square\" phase=\"90\"/>\n";
            break;
          case 3:
            s += "    <block oname=\"w" + std::to_string(b) + "\" class=\"walker\" x=\"" + x +
                 "\" y=\"" + y + "\" level=\"" + level + "\"/>\n";
            break;
          default:
            s += "    <block x=\"" + x + "\" y=\"" + y + "\" z=\"" + std::to_string(300 + b % 700) +
                 "\" w=\"120\" h=\"40\" color=\"FFFFFF\" flg=\"scenic,noborder\"/>\n";
            break;
        }
      }
      s += "    <area xlim=\"100,200\" ylim=\"0,100\" level=\"0\"><enter><warp zone=\"zone" +
           std::to_string((z + 1) % kZones) + "\"/></enter></area>\n";
      s += "  </zone>\n";
    }
    s += "</zorlan>\n";
    return s;
  }();
  return text;
}

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
