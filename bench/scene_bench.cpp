// Drawing and showing a realistic zone at 1920x1080: 2,000 blocks along a long
// zone (most of them out of view), loaded from a game file so that the objects
// are in the order a loaded zone has them, with word boxes, titles and the
// letterbox, shown through the game's SDL screen. Beside them, the floor: a
// memset of a frame that is not in the cache. Each result prints its ratio to
// the floor (x_floor).
//
// SDL's video driver is whatever SDL_VIDEODRIVER says: run it with
// SDL_VIDEODRIVER=dummy, and under Xvfb (xvfb-run -a -s "-screen 0 1920x1080x24").
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "bench/level_file.h"
#include "game/game.h"
#include "game/load/game_file.h"
#include "game/load/zone_loader.h"
#include "game/render/game_screen.h"
#include "game/render/overlays.h"
#include "game/render/scene.h"
#include "game/render/titles.h"
#include "game/script/interpreter.h"
#include "game/world/world_step.h"
#include "platform/sdl/sdl_events.h"
#include "platform/sdl/sdl_screen.h"
#include "platform/xml.h"

#include <SDL.h>

namespace {

constexpr int kW = 1920;
constexpr int kH = 1080;
constexpr int kBlocks = 2000;
constexpr size_t kFrameBytes = size_t{kW} * kH * 4;

// A fixed sequence, so that every run draws the same zone.
struct Lcg {
  uint32_t seed = 2024;
  int next(int range) {
    seed = seed * 1103515245u + 12345u;
    return static_cast<int>((seed >> 8) % static_cast<uint32_t>(range));
  }
};

std::string colour(Lcg& r) {
  return std::to_string(r.next(256)) + "," + std::to_string(r.next(256)) + "," + std::to_string(r.next(256));
}

// A zone 60,000 units long over three levels: floor pieces, platforms, crates and
// walkers, checkpoints, and scenery far behind. The lines are shuffled, as a zone
// that grew in an editor lists its blocks in no particular depth order.
std::string benchGame() {
  Lcg r;
  std::vector<std::string> blocks;
  auto level = [&](int l) { return " level=\"" + std::to_string(l) + "\""; };
  for (int k = 0; k < 360; ++k) {  // floor pieces
    blocks.push_back("<block x=\"" + std::to_string(-30000 + (k / 3) * 500) + "\" y=\"-20\" w=\"420\" h=\"20\"" +
                     level(k % 3) + " color=\"" + colour(r) + "\" flg=\"solid\"/>");
  }
  for (int k = 0; k < 1180; ++k) {  // platforms, some with faces, some cycling
    const char* flags[] = {"solid", "solid", "solid,hasface,evil", "solid,cyclic", "solid,bouncy"};
    blocks.push_back("<block x=\"" + std::to_string(r.next(60000) - 30000) + "\" y=\"" +
                     std::to_string(40 + r.next(600)) + "\" w=\"" + std::to_string(30 + r.next(120)) + "\" h=\"" +
                     std::to_string(10 + r.next(40)) + "\"" + level(r.next(3)) + " color=\"" + colour(r) + "," +
                     colour(r) + "\" flg=\"" + flags[k % 5] + "\"/>");
  }
  for (int k = 0; k < 100; ++k) {  // crates and walkers
    const std::string x = std::to_string(-29000 + k * 580);
    if (k % 2 == 0) {
      blocks.push_back("<block x=\"" + x + "\" y=\"0\" w=\"20\" h=\"20\"" + level(k % 3) + " flg=\"dynamic,solid\"/>");
    } else {
      blocks.push_back("<block class=\"walker\" x=\"" + x + "\" y=\"0\"" + level(k % 3) + "/>");
    }
  }
  for (int k = 0; k < 40; ++k) {  // checkpoints
    blocks.push_back("<block x=\"" + std::to_string(-29500 + k * 1500) + "\" y=\"40\" w=\"30\" h=\"30\"" +
                     level(k % 3) + " flg=\"checkpoint\"/>");
  }
  for (int k = 0; k < kBlocks - 360 - 1180 - 100 - 40; ++k) {  // scenery behind the levels
    const int z = 400 + r.next(1600);
    blocks.push_back("<block x=\"" + std::to_string(r.next(90000) - 45000) + "\" y=\"" +
                     std::to_string(r.next(800) - 100) + "\" z=\"" + std::to_string(z) + "\" w=\"" +
                     std::to_string(200 + r.next(600)) + "\" h=\"" + std::to_string(100 + r.next(500)) +
                     "\" color=\"" + colour(r) + "\" flg=\"scenic\"/>");
  }
  for (size_t i = blocks.size(); i > 1; --i) std::swap(blocks[i - 1], blocks[static_cast<size_t>(r.next(static_cast<int>(i)))]);

  std::string s = "<zorlan version=\"1\">\n";
  s += "  <class name=\"walker\" acc=\"0.2,6\" speed=\"1.5\" cover=\"400\" eflags=\"jumping,smart\" hops=\"20\""
       " w=\"16\" h=\"16\" flg=\"dynamic,solid,hasface\"/>\n";
  s += "  <zone id=\"first\" xlim=\"-31000,31000\" ylim=\"-500,5000\">\n";
  s += "    <levels><level z=\"0\" unlocked=\"1\"/><level z=\"100\"/><level z=\"200\"/></levels>\n";
  s += "    <entrance x=\"0\" y=\"0\" level=\"0\"/>\n";
  for (const std::string& b : blocks) s += "    " + b + "\n";
  s += "  </zone>\n</zorlan>\n";
  return s;
}

// The zone loaded and settled, on the game's SDL screen.
struct Scene {
  std::unique_ptr<zor::Game> game = std::make_unique<zor::Game>();
  zor::SdlEvents events;
  zor::SdlScreen screen{events, zor::SdlScreen::Backend::Buffer};
  std::string error;

  Scene() : Scene(benchGame(), "first") {}
  Scene(const std::string& gameText, const char* zoneId) {
    zor::Game& g = *game;
    zor::xml::ParseError parseError;
    if (!g.data.document.parse(gameText, &parseError)) {
      error = "the bench game does not parse";
      return;
    }
    g.data.gameFilePath = "bench.xml";
    zor::readGameData(g);
    g.random.table.fill(g.random.generator);
    g.app.frameTime = 1000;
    if (!zor::loadZone(g, zoneId, true)) {
      error = "the bench zone could not be loaded";
      return;
    }
    g.script.zoneEntryQuiet = false;
    for (int i = 0; i < 60; ++i) zor::stepWorld(g);

    screen.setFramePacing(false);
    g.screen.output = &screen;
    g.screen.info.width = kW;
    g.screen.info.height = kH;
    if (!zor::openGameScreen(g, 1)) {
      error = std::string("the screen could not be opened: ") + SDL_GetError();
      return;
    }

    // Signs along the way, one following the player, and two titles.
    const char* words[] = {"THIS WAY", "MIND THE GAP", "CHECKPOINT AHEAD", "ALMOST THERE"};
    for (int k = 0; k < 8; ++k) {
      zor::WordBox b;
      b.text = words[k % 4];
      b.size = 12.0f;
      b.width = b.size * 1.2f * static_cast<float>(b.text.size());
      b.height = b.size * 1.8f;
      b.x = -600.0f + 150.0f * static_cast<float>(k);
      b.y = 120.0f;
      b.z = static_cast<float>((k % 3) * 100) - 1.0f;
      b.colour = 0x000000;
      b.backColour = 0xFFFFFF;
      if (k == 0) b.object = g.world.player;
      g.script.wordBoxes.addLast(b);
    }
    g.script.wordBoxes.sort([](const zor::WordBox& a, const zor::WordBox& b) { return a.z > b.z; });
    for (const char* text : {"THE LONG ROAD", "PRESS JUMP TO BEGIN"}) {
      zor::TitleRecord t;
      t.text = text;
      t.x = 0.5f;
      t.y = g.script.titles.empty() ? 0.1f : 0.85f;
      t.h = 0.06f;
      t.colour = 0xFFFFFF;
      t.boxColour = 0x202020;
      t.centred = true;
      t.alpha = t.targetAlpha = 1.0f;
      g.script.titles.addLast(t);
    }
    zor::layoutTitles(g, nullptr);
    zor::updateDrawingState(g);
  }
};

// The floor: one frame's memset, over frames that together are far larger than the cache.
double floorMicroseconds() {
  static const double floor = [] {
    constexpr int kFrames = 12;
    std::vector<std::vector<uint8_t>> frames(kFrames, std::vector<uint8_t>(kFrameBytes, 1));
    const int rounds = 60 * kFrames;
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < rounds; ++i) {
      std::memset(frames[static_cast<size_t>(i % kFrames)].data(), i & 0xFF, kFrameBytes);
      benchmark::ClobberMemory();
    }
    return std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count() / rounds;
  }();
  return floor;
}

void reportAgainstFloor(benchmark::State& state, std::chrono::steady_clock::duration spent) {
  const double perFrame =
      std::chrono::duration<double, std::micro>(spent).count() / static_cast<double>(state.iterations());
  state.counters["x_floor"] = perFrame / floorMicroseconds();
  state.counters["floor_us"] = floorMicroseconds();
  state.counters["frame_us"] = perFrame;
}

void BM_MemsetFrameNotInCache(benchmark::State& state) {
  constexpr int kFrames = 12;
  std::vector<std::vector<uint8_t>> frames(kFrames, std::vector<uint8_t>(kFrameBytes, 1));
  int i = 0;
  const auto start = std::chrono::steady_clock::now();
  for (auto _ : state) {
    std::memset(frames[static_cast<size_t>(i % kFrames)].data(), i & 0xFF, kFrameBytes);
    ++i;
    benchmark::ClobberMemory();
  }
  reportAgainstFloor(state, std::chrono::steady_clock::now() - start);
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(kFrameBytes));
}
BENCHMARK(BM_MemsetFrameNotInCache)->Unit(benchmark::kMicrosecond);

// The scene alone: the clear and the far-to-near walk.
void BM_DrawScene(benchmark::State& state) {
  Scene scene;
  if (!scene.error.empty()) {
    state.SkipWithError(scene.error.c_str());
    return;
  }
  zor::Game& g = *scene.game;
  const auto start = std::chrono::steady_clock::now();
  for (auto _ : state) {
    scene.screen.clear(g.world.backgroundColour);
    scene.screen.startDrawing();
    zor::drawScene(g);
    scene.screen.stopDrawing();
    benchmark::ClobberMemory();
  }
  reportAgainstFloor(state, std::chrono::steady_clock::now() - start);
  state.counters["objects"] = static_cast<double>(g.world.objects.size());
}
BENCHMARK(BM_DrawScene)->Unit(benchmark::kMicrosecond);

// Showing a drawn frame.
void BM_Present(benchmark::State& state) {
  Scene scene;
  if (!scene.error.empty()) {
    state.SkipWithError(scene.error.c_str());
    return;
  }
  const auto start = std::chrono::steady_clock::now();
  for (auto _ : state) scene.screen.flip();
  reportAgainstFloor(state, std::chrono::steady_clock::now() - start);
  state.SetLabel(scene.screen.drawsOnWindowSurface() ? "on the window's surface" : "scaled");
}
BENCHMARK(BM_Present)->Unit(benchmark::kMicrosecond);

// The game's screen showing a 1280x720 picture in the full screen: scaled into the
// window's surface in software.
void BM_PresentScaledFullScreen(benchmark::State& state) {
  zor::SdlEvents events;
  zor::SdlScreen screen(events, zor::SdlScreen::Backend::Buffer);
  screen.setFramePacing(false);
  if (!screen.openFullScreen(1280, 720, "Zorlan")) {
    state.SkipWithError("the screen could not be opened");
    return;
  }
  zor::clearBuffer(*screen.drawingBuffer(), 0x336699);
  const auto start = std::chrono::steady_clock::now();
  for (auto _ : state) screen.flip();
  reportAgainstFloor(state, std::chrono::steady_clock::now() - start);
  int w = 0, h = 0;
  SDL_GetWindowSize(screen.window(), &w, &h);
  state.SetLabel("into " + std::to_string(w) + "x" + std::to_string(h));
}
BENCHMARK(BM_PresentScaledFullScreen)->Unit(benchmark::kMicrosecond);

// For comparison, SDL's own first renderer showing a picture of w x h in a window of
// 1920x1080 (or the full screen): a streaming texture in ARGB8888 (arg 0) or in the
// window's format (arg 1), updated from memory, copied and presented.
void BM_PresentThroughRenderer(benchmark::State& state) {
  const int w = static_cast<int>(state.range(1)), h = static_cast<int>(state.range(2));
  const bool fullScreen = w != kW;
  SDL_InitSubSystem(SDL_INIT_VIDEO);
  SDL_Window* window = SDL_CreateWindow("Zorlan", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, kW, kH,
                                        fullScreen ? Uint32{SDL_WINDOW_FULLSCREEN_DESKTOP} : 0u);
  SDL_Renderer* renderer = window != nullptr ? SDL_CreateRenderer(window, -1, 0) : nullptr;
  const Uint32 format = state.range(0) == 1 ? SDL_GetWindowPixelFormat(window) : Uint32{SDL_PIXELFORMAT_ARGB8888};
  SDL_Texture* texture =
      renderer != nullptr ? SDL_CreateTexture(renderer, format, SDL_TEXTUREACCESS_STREAMING, w, h) : nullptr;
  if (texture == nullptr) {
    state.SkipWithError(SDL_GetError());
  } else {
    std::vector<uint32_t> pixels(static_cast<size_t>(w) * static_cast<size_t>(h), 0x336699u);
    const auto start = std::chrono::steady_clock::now();
    for (auto _ : state) {
      SDL_UpdateTexture(texture, nullptr, pixels.data(), w * 4);
      SDL_RenderClear(renderer);
      SDL_RenderCopy(renderer, texture, nullptr, nullptr);
      SDL_RenderPresent(renderer);
    }
    reportAgainstFloor(state, std::chrono::steady_clock::now() - start);
    SDL_RendererInfo info{};
    SDL_GetRendererInfo(renderer, &info);
    state.SetLabel(std::string(info.name) + ", " + SDL_GetPixelFormatName(format));
  }
  if (texture != nullptr) SDL_DestroyTexture(texture);
  if (renderer != nullptr) SDL_DestroyRenderer(renderer);
  if (window != nullptr) SDL_DestroyWindow(window);
  SDL_QuitSubSystem(SDL_INIT_VIDEO);
}
BENCHMARK(BM_PresentThroughRenderer)
    ->Args({0, kW, kH})
    ->Args({1, kW, kH})
    ->Args({1, 1280, 720})
    ->Unit(benchmark::kMicrosecond);

// A whole frame pass as the game plays it: world step, drawing state, clear, scene,
// overlays (titles, letterbox) and the present.
void BM_FramePass(benchmark::State& state) {
  Scene scene;
  if (!scene.error.empty()) {
    state.SkipWithError(scene.error.c_str());
    return;
  }
  zor::Game& g = *scene.game;
  const zor::RunDisplay run;
  const auto start = std::chrono::steady_clock::now();
  for (auto _ : state) {
    zor::stepWorld(g);
    scene.screen.clear(g.world.backgroundColour);
    zor::updateDrawingState(g);
    scene.screen.startDrawing();
    zor::drawScene(g);
    if (zor::ShapeFill* fill = g.screen.shapeFill()) zor::drawOverlays(g, *fill, run);
    scene.screen.stopDrawing();
    zor::advanceOverlays(g);
    scene.screen.flip();
  }
  reportAgainstFloor(state, std::chrono::steady_clock::now() - start);
  state.counters["of_60Hz_frame_pct"] = state.counters["frame_us"] / 16666.7 * 100.0;
}
BENCHMARK(BM_FramePass)->Unit(benchmark::kMicrosecond);

double medianOf(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  const size_t n = v.size();
  return n == 0 ? 0.0 : n % 2 == 1 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2.0;
}

// The frame pass of the measuring zone (level_file.h) of 1,000, 10,000 and
// 100,000 blocks, without the present: world step, drawing state, clear, scene
// and overlays. Counters: the median time of a frame over batches of 20 frames
// (frame_ms; the goal at 100,000 blocks is 5 ms or less) and its ratio to the
// floor, a memset of the frame (x_floor).
void BM_LevelFramePass(benchmark::State& state) {
  const int blocks = static_cast<int>(state.range(0));
  Scene scene(zor::bench::levelGameFile(blocks), zor::bench::kLevelZone);
  if (!scene.error.empty()) {
    state.SkipWithError(scene.error.c_str());
    return;
  }
  zor::Game& g = *scene.game;
  const zor::RunDisplay run;
  constexpr int kBatch = 20;
  std::vector<double> frameMs;
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < kBatch; ++i) {
      zor::stepWorld(g);
      scene.screen.clear(g.world.backgroundColour);
      zor::updateDrawingState(g);
      scene.screen.startDrawing();
      zor::drawScene(g);
      if (zor::ShapeFill* fill = g.screen.shapeFill()) zor::drawOverlays(g, *fill, run);
      scene.screen.stopDrawing();
      zor::advanceOverlays(g);
    }
    const std::chrono::duration<double, std::milli> spent = std::chrono::steady_clock::now() - start;
    frameMs.push_back(spent.count() / kBatch);
    state.SetIterationTime(spent.count() / 1000.0);
  }
  const double median = medianOf(frameMs);
  state.counters["frame_ms"] = median;
  state.counters["x_floor"] = median * 1000.0 / floorMicroseconds();
  state.counters["objects"] = static_cast<double>(g.world.objects.size());
}
BENCHMARK(BM_LevelFramePass)->Arg(1000)->Arg(10000)->Arg(100000)->Iterations(15)->UseManualTime()->Unit(benchmark::kMillisecond);

// The drawing state alone (the far-to-near walk that keeps the x index) of the
// measuring zone, and the indexed scene walk into a fill that draws nothing.
void BM_LevelDrawingState(benchmark::State& state) {
  Scene scene(zor::bench::levelGameFile(static_cast<int>(state.range(0))), zor::bench::kLevelZone);
  if (!scene.error.empty()) {
    state.SkipWithError(scene.error.c_str());
    return;
  }
  for (auto _ : state) {
    zor::updateDrawingState(*scene.game);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_LevelDrawingState)->Arg(100000)->Unit(benchmark::kMicrosecond);

// The walk alone, through the frame's x index or over every object, into a fill that
// draws nothing.
struct NothingFill final : zor::ShapeFill {
  int32_t fillBox(int32_t, int32_t, int32_t, int32_t, int32_t) override { return 1; }
  int32_t fillDisc(int32_t, int32_t, int32_t, int32_t) override { return 1; }
  int32_t prepareAfterOpen(bool) override { return 1; }
};

void BM_SceneWalk(benchmark::State& state) {
  Scene scene;
  if (!scene.error.empty()) {
    state.SkipWithError(scene.error.c_str());
    return;
  }
  NothingFill fill;
  const auto walk = state.range(0) == 1 ? zor::SceneWalk::Indexed : zor::SceneWalk::Whole;
  for (auto _ : state) {
    zor::drawScene(*scene.game, fill, walk);
    benchmark::ClobberMemory();
  }
  state.SetLabel(walk == zor::SceneWalk::Indexed ? "indexed" : "every object");
}
BENCHMARK(BM_SceneWalk)->Arg(1)->Arg(0)->Unit(benchmark::kMicrosecond);

// The per-frame drawing state alone (swish, word boxes, blink walk).
void BM_UpdateDrawingState(benchmark::State& state) {
  Scene scene;
  if (!scene.error.empty()) {
    state.SkipWithError(scene.error.c_str());
    return;
  }
  for (auto _ : state) {
    zor::updateDrawingState(*scene.game);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_UpdateDrawingState)->Unit(benchmark::kMicrosecond);

}  // namespace
