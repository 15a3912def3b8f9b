// Drawing a zone of 2,000 blocks (boxes of many sizes and depths, checkpoints, moving
// blocks with their paths, areas and an entrance) into an 880 x 660 canvas image,
// beside a plain memset of the same image; the ratio of their medians is printed.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include <unistd.h>

#include "bench/median_ratios.h"
#include "editor/core/canvas_controller.h"
#include "editor/core/canvas_drawing.h"
#include "editor/core/editor.h"
#include "editor/core/silent_port.h"
#include "platform/files.h"

namespace {

using namespace zor::editor;

constexpr int32_t kWidth = 880;
constexpr int32_t kHeight = 660;

std::string zoneWith2000Blocks() {
  std::string xml = "<zorlan version=\"1\"><zone id=\"bench\" xlim=\"-2000,2000\" ylim=\"-200,1200\"><levels>"
                    "<level z=\"0\" color=\"3060C0\"/><level z=\"100\" color=\"406080\"/></levels>"
                    "<entrance x=\"0\" y=\"0\" z=\"0\"/>";
  uint32_t seed = 12345;
  auto next = [&seed](int range) {
    seed = seed * 1103515245u + 12345u;
    return static_cast<int>((seed >> 8) % static_cast<uint32_t>(range));
  };
  for (int i = 0; i < 2000; ++i) {
    const int x = next(3000) - 1500, y = next(1000) - 100, z = next(400) - 100;
    const int w = 5 + next(120), h = 5 + next(80);
    std::string flg;
    std::string extra;
    if (i % 50 == 0) flg = "checkpoint";
    if (i % 40 == 1) {
      flg = "motion";
      extra = " xlim=\"" + std::to_string(x) + "," + std::to_string(x + 200) + "\" ylim=\"" + std::to_string(y) +
              "\" phase=\"" + std::to_string(next(360)) + "\"";
    }
    if (i % 97 == 2) flg = "hasface,invisible";
    xml += "<block color=\"" + std::string(i % 3 ? "F0A020" : "20C040") + "\" x=\"" + std::to_string(x) + "\" y=\"" +
           std::to_string(y) + "\" w=\"" + std::to_string(w) + "\" h=\"" + std::to_string(h) + "\" z=\"" +
           std::to_string(z) + "\"" + (flg.empty() ? "" : " flg=\"" + flg + "\"") + extra + "/>";
    if (i % 100 == 3)
      xml += "<area xlim=\"" + std::to_string(x) + "," + std::to_string(x + w) + "\" ylim=\"" + std::to_string(y) + "," +
             std::to_string(y + h) + "\" z=\"" + std::to_string(z) + "\"/>";
  }
  return xml + "</zone></zorlan>";
}

struct Scene {
  SilentPort port;
  Editor editor{port};
  CanvasImage image;
  FixedWidthText text;
  std::string path;
  Scene() {
    char name[] = "/tmp/zor-canvas-bench-XXXXXX.zorlan";
    const int fd = mkstemps(name, 7);
    if (fd >= 0) close(fd);
    path = name;
    zor::files::writeFileAtomic(path, zoneWith2000Blocks());
    loadGameFileForEditing(editor, path);
    openZone(editor, editor.game.zones.at(0).node);
    canvasResized(editor, kWidth, kHeight);
    editor.zone.view.camz = -400.0f;  // most of the zone in view
  }
  ~Scene() { zor::files::deleteFile(path); }
};

void BM_DrawZone2000Blocks(benchmark::State& state) {
  Scene scene;
  if (scene.editor.zone.objects.size() < 2000) {
    state.SkipWithError("the zone was not read");
    return;
  }
  for (auto _ : state) {
    drawZone(scene.editor, scene.image, scene.text, true);
    benchmark::DoNotOptimize(scene.image.pixels());
  }
  state.counters["objects"] = static_cast<double>(scene.editor.zone.objects.size());
  // The pixels the boxes of the blocks cover on the image, in images: the least any
  // painter's drawing writes beside the background.
  const Projection p = canvasProjection(scene.editor);
  double covered = 0.0;
  for (const auto& o : scene.editor.zone.objects) {
    const float zrel = p.relativeDepth(o->z);
    if (o->kind != kind::Block || !Projection::inView(zrel)) continue;
    const int64_t l = std::max<int64_t>(p.screenX(o->x, zrel), 0), r = std::min<int64_t>(p.screenX(o->x + o->w, zrel), kWidth);
    const int64_t t = std::max<int64_t>(p.screenY(o->y + o->h, zrel), 0), b = std::min<int64_t>(p.screenY(o->y, zrel), kHeight);
    if (r > l && b > t) covered += static_cast<double>((r - l) * (b - t));
  }
  state.counters["box_images"] = covered / (static_cast<double>(kWidth) * kHeight);
}
BENCHMARK(BM_DrawZone2000Blocks)->Unit(benchmark::kMicrosecond);

void BM_MemsetCanvas(benchmark::State& state) {
  CanvasImage image(kWidth, kHeight);
  for (auto _ : state) {
    std::memset(image.pixels(), 0x5A, static_cast<size_t>(kWidth) * kHeight * sizeof(uint32_t));
    benchmark::DoNotOptimize(image.pixels());
  }
}
BENCHMARK(BM_MemsetCanvas)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
  return zor::bench::runWithMedianRatios(
      argc, argv, {{"canvas draw of 2000 blocks / memset of the 880x660 buffer", "BM_DrawZone2000Blocks", 1.0,
                    "BM_MemsetCanvas", 1.0, 3.0}});
}
