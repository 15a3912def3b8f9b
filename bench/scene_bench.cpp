// Drawing a zone of 2,000 blocks at 1920x1080 through the software fill, beside a
// plain memset of the same frame.
#include <benchmark/benchmark.h>

#include <cstring>

#include "format/vocabulary.h"
#include "game/game.h"
#include "game/render/fill.h"
#include "game/render/scene.h"
#include "platform/framebuffer.h"

namespace {

namespace flag = zor::format::flag;

constexpr int kW = 1920;
constexpr int kH = 1080;
constexpr int kBlocks = 2000;

struct Zone {
  zor::Game game;
  zor::FrameBuffer fb{kW, kH};
  zor::BufferShapeFill fill{&fb};

  Zone() {
    zor::ScreenInfo& i = game.screen.info;
    i.pixelWidth = i.viewWidth = kW;
    i.pixelHeight = i.viewHeight = kH;
    i.centreX = kW / 2;
    i.centreY = kH / 2;
    game.screen.focalValue = 450.0f;
    game.screen.borderWidth = 4;
    game.world.backgroundColour = 0xF0E0D0;
    game.world.levels.push_back(zor::LevelRecord{300.0f});
    game.world.cameraPosition = {0.0f, 100.0f, 0.0f};

    zor::ObjectRecord player;
    player.name = "you";
    player.x = -10.0f;
    player.y = 80.0f;
    player.z = 300.0f;
    player.level = 0;
    player.flags = flag::HasFace;
    player.colour1 = 0x0060FF;
    game.world.player = &game.world.objects.addLast(player);

    // A horizon far away, then blocks from far to near spread over what the camera sees.
    zor::ObjectRecord horizon;
    horizon.z = 3000.0f;
    horizon.y = -200.0f;
    horizon.colour1 = 0x80A060;
    horizon.flags = flag::Horizon;
    game.world.objects.addLast(horizon);

    uint32_t seed = 2024;
    auto next = [&seed](int range) {
      seed = seed * 1103515245u + 12345u;
      return static_cast<int>((seed >> 8) % static_cast<uint32_t>(range));
    };
    for (int k = 0; k < kBlocks; ++k) {
      zor::ObjectRecord o;
      o.z = 1500.0f - 1400.0f * static_cast<float>(k) / kBlocks;
      const float reach = o.z * 2.2f;
      o.x = static_cast<float>(next(static_cast<int>(2 * reach))) - reach;
      o.y = static_cast<float>(next(static_cast<int>(reach))) - reach * 0.4f;
      o.w = static_cast<float>(10 + next(60));
      o.h = static_cast<float>(10 + next(40));
      o.colour1 = static_cast<int32_t>(next(0xFFFFFF));
      o.colour2 = static_cast<int32_t>(next(0xFFFFFF));
      o.level = static_cast<int8_t>(k % 3 == 0 ? 0 : -1);
      switch (k % 10) {
        case 0: o.flags = flag::Solid | flag::HasFace | flag::Evil; break;
        case 1: o.flags = flag::Checkpoint; o.w = o.h; break;
        case 2: o.flags = flag::Cyclic; o.waveValue = 0.3f; break;
        case 3: o.flags = flag::Scenic; o.trans = 0.4f; break;
        default: o.flags = flag::Solid; break;
      }
      game.world.objects.addLast(o);
    }
    game.world.currentCheckpoint = nullptr;
    zor::updateDrawingState(game);
  }
};

void BM_MemsetFrame(benchmark::State& state) {
  zor::FrameBuffer fb(kW, kH);
  int v = 0;
  for (auto _ : state) {
    std::memset(fb.pixels(), v++ & 0xFF, sizeof(uint32_t) * kW * kH);
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * int64_t{kW} * kH * 4);
}
BENCHMARK(BM_MemsetFrame)->Unit(benchmark::kMicrosecond);

// The frame as the loop draws it: cleared to the background, then the scene.
void BM_DrawZone2000Blocks(benchmark::State& state) {
  Zone zone;
  for (auto _ : state) {
    zor::drawFilledBoxInBuffer(zone.fb, zone.fill.state, 0, 0, kW, kH, zone.game.world.backgroundColour);
    zor::drawScene(zone.game, zone.fill);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_DrawZone2000Blocks)->Unit(benchmark::kMicrosecond);

// The per-frame drawing state of the same zone (swish, word boxes, blink walk).
void BM_UpdateDrawingState2000Blocks(benchmark::State& state) {
  Zone zone;
  for (auto _ : state) {
    zor::updateDrawingState(zone.game);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_UpdateDrawingState2000Blocks)->Unit(benchmark::kMicrosecond);

}  // namespace
