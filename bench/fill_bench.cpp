// The software fill over a 1920x1080 frame, beside a plain memset of the same frame.
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "game/render/fill.h"

namespace {

using zor::BufferFillState;
using zor::FrameBuffer;

constexpr int kW = 1920;
constexpr int kH = 1080;

void BM_MemsetFrame(benchmark::State& state) {
  FrameBuffer fb(kW, kH);
  int v = 0;
  for (auto _ : state) {
    std::memset(fb.pixels(), v++ & 0xFF, sizeof(uint32_t) * kW * kH);
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * int64_t{kW} * kH * 4);
}
BENCHMARK(BM_MemsetFrame);

// The frame cleared by one full-width box: the one-run path.
void BM_FillWholeFrame(benchmark::State& state) {
  FrameBuffer fb(kW, kH);
  BufferFillState st;
  int32_t c = 0;
  for (auto _ : state) {
    zor::drawFilledBoxInBuffer(fb, st, 0, 0, kW, kH, c++);
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * int64_t{kW} * kH * 4);
}
BENCHMARK(BM_FillWholeFrame);

// Many boxes of the given size spread over the frame (partly clipped at the edges), as a
// scene of blocks and letters draws them.
void BM_FillManyBoxes(benchmark::State& state) {
  const int side = static_cast<int>(state.range(0));
  const int count = static_cast<int>(state.range(1));
  FrameBuffer fb(kW, kH);
  BufferFillState st;
  uint32_t seed = 12345;
  std::vector<int32_t> xs(count), ys(count);
  for (int i = 0; i < count; ++i) {
    seed = seed * 1103515245u + 12345u;
    xs[i] = static_cast<int32_t>(seed >> 8) % (kW + side) - side / 2;
    seed = seed * 1103515245u + 12345u;
    ys[i] = static_cast<int32_t>(seed >> 8) % (kH + side) - side / 2;
  }
  int64_t pixels = 0;
  for (auto _ : state) {
    for (int i = 0; i < count; ++i) pixels += zor::drawFilledBoxInBuffer(fb, st, xs[i], ys[i], side, side, i);
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * count);
  benchmark::DoNotOptimize(pixels);
}
BENCHMARK(BM_FillManyBoxes)->Args({4, 10000})->Args({32, 2000})->Args({200, 200});

void BM_FillDiscs(benchmark::State& state) {
  FrameBuffer fb(kW, kH);
  const int r = static_cast<int>(state.range(0));
  for (auto _ : state) {
    for (int i = 0; i < 100; ++i) zor::drawCircle(fb, (i * 97) % kW, (i * 53) % kH, r, i);
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * 100);
}
BENCHMARK(BM_FillDiscs)->Arg(5)->Arg(60);

}  // namespace
