// Start-up and zone-load cost on a large game file (20,000 blocks over 8
// zones, with block scripts, areas, classes and word boxes), beside what expat
// alone takes to parse the same bytes.
#include <benchmark/benchmark.h>
#include <expat.h>

#include <chrono>
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
    s += "  <!-- Enemies: blocks that name a class take its attributes. -->\n";
    s += "  <class name=\"walker\" acc=\"0.2,6\" speed=\"1.5\" eflags=\"jumping,approach\" w=\"20\""
         " h=\"20\" flg=\"dynamic,deadly,hasface\"/>\n";
    s += "  <class name=\"hopper\" acc=\"0.3,8\" speed=\"2\" eflags=\"leaping,smart\" hops=\"30\" w=\"16\""
         " h=\"16\" color=\"30D030,80FF80\" flg=\"dynamic,deadly,hasface,evil\"/>\n";
    s += "  <class name=\"crate\" w=\"30\" h=\"30\" color=\"A07040\" flg=\"dynamic,solid\"/>\n";
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
            s += "    <block oname=\"w" + std::to_string(b) + "\" class=\"" +
                 (b % 2 ? "walker" : "hopper") + "\" x=\"" + x + "\" y=\"" + y + "\" level=\"" + level +
                 "\">\n      <die><sound num=\"4\"/><setgflags gflags=\"k" + std::to_string(b % 32) +
                 "\"/></die>\n    </block>\n";
            break;
          case 4:
            if (b % 20 == 4) {  // a switch with a script and a sign
              s += "    <block oname=\"s" + std::to_string(b) + "\" x=\"" + x + "\" y=\"" + y +
                   "\" w=\"20\" h=\"10\" level=\"" + level +
                   "\" color=\"F0A020,FFE060\" flg=\"solid\">\n"
                   "      <standon times=\"1\">\n"
                   "        <setcolor oname=\"s" + std::to_string(b) + "\" color=\"40C040\"/>\n"
                   "        <wordbox text=\"The door opens &amp; the way is clear\" x=\"" + x + "\" y=\"" +
                   y + "\" size=\"12\" color=\"FFFFFF\" back=\"000000\" flg=\"disappearing\"/>\n"
                   "        <wait secs=\"1.5\"/>\n"
                   "        <hidewb/>\n"
                   "      </standon>\n"
                   "    </block>\n";
              break;
            }
            [[fallthrough]];
          default:
            s += "    <block x=\"" + x + "\" y=\"" + y + "\" z=\"" + std::to_string(300 + b % 700) +
                 "\" w=\"120\" h=\"40\" color=\"FFFFFF\" flg=\"scenic,noborder\"/>\n";
            break;
        }
      }
      for (int a = 0; a < 40; ++a) {
        const std::string x = std::to_string(a * 240 - 4800);
        s += "    <area xlim=\"" + x + "," + std::to_string(a * 240 - 4700) + "\" ylim=\"0,100\" level=\"" +
             std::to_string(a % 3) + "\">\n      <enter times=\"1\">\n"
             "        <title tname=\"hint\" text=\"AREA " + std::to_string(a) +
             "\" x=\"0.5\" y=\"0.25\" h=\"0.05\" color=\"FFFFFF\" alpha=\"1\" cen=\"1\"/>\n"
             "        <wordbox text=\"Mind the gap\" x=\"" + x + "\" y=\"80\" size=\"10\"/>\n"
             "        <wait secs=\"2\"/>\n        <cleartitles/>\n      </enter>\n    </area>\n";
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
    zor::loadZone(*game, "zone3", false);
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

// expat alone and our work on the same bytes, taken in turn in every
// repetition so that both see the same machine. Counters: the mean time of
// each per repetition and the ratio of ours to expat's (the goal is 1.5 or less).
// `ParseOnly` stops after the tree; otherwise the game-wide part is read and a
// zone loaded as at start-up.
void againstExpat(benchmark::State& state, bool parseOnly) {
  const std::string& text = bigGameFile();
  double expatMs = 0.0;
  double oursMs = 0.0;
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
      zor::loadZone(*game, "zone3", false);
      if (game->failed) state.SkipWithError(game->failMessage.c_str());
    }
    const double ours = msSince(start);
    delete game;

    expatMs += expat;
    oursMs += ours;
    state.SetIterationTime((expat + ours) / 1000.0);
  }
  state.counters["expat_ms"] = benchmark::Counter(expatMs, benchmark::Counter::kAvgIterations);
  state.counters["ours_ms"] = benchmark::Counter(oursMs, benchmark::Counter::kAvgIterations);
  state.counters["ratio"] = expatMs > 0.0 ? oursMs / expatMs : 0.0;
}

void BM_ParseAgainstExpat(benchmark::State& state) { againstExpat(state, true); }
BENCHMARK(BM_ParseAgainstExpat)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_ParseAndLoadAgainstExpat(benchmark::State& state) { againstExpat(state, false); }
BENCHMARK(BM_ParseAndLoadAgainstExpat)->UseManualTime()->Unit(benchmark::kMillisecond);

// A zone change alone on a parsed document (what a warp costs).
void BM_LoadZone(benchmark::State& state) {
  zor::Game* game = newGame();
  zor::xml::ParseError error;
  if (!game->data.document.parse(bigGameFile(), &error)) state.SkipWithError("parse failed");
  zor::readGameData(*game);
  int z = 0;
  for (auto _ : state) {
    zor::loadZone(*game, "zone" + std::to_string(z), false);
    z = (z + 1) % kZones;
  }
  if (game->failed) state.SkipWithError(game->failMessage.c_str());
  delete game;
}
BENCHMARK(BM_LoadZone)->Unit(benchmark::kMillisecond);

}  // namespace
