// A small drawing world for the scene tests: a 160x90 screen whose projection
// scale is 100, so that at depth 100 in front of the camera one world unit is
// one pixel and the world origin lands on the view centre (80, 45).
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <sstream>
#include <string>

#include "format/vocabulary.h"
#include "game/game.h"
#include "game/render/fill.h"
#include "platform/framebuffer.h"

namespace zor::scene_test {

namespace flag = format::flag;

inline constexpr int32_t kClear = 0x123456;       // what the buffer holds before drawing
inline constexpr int32_t kBackground = 0x00C000;  // the world's background colour
inline constexpr int32_t kBlack = 0x000000;
inline constexpr int32_t kWhite = 0xFFFFFF;
inline constexpr int32_t kRed = 0x0000FF;
inline constexpr int32_t kBlue = 0xFF0000;
inline constexpr int32_t kYellow = 0x00FFFF;

// The tests' screen: 160x90 pixels, centred, with a thin border.
inline void useSmallScreen(Game& game) {
  ScreenInfo& i = game.screen.info;
  i.pixelWidth = 160;
  i.pixelHeight = 90;
  i.viewWidth = 160;
  i.viewHeight = 90;
  i.centreX = 80;
  i.centreY = 45;
  game.screen.focalValue = 100.0f;
  game.screen.borderWidth = 2;
}

struct SceneFixture {
  Game game;
  FrameBuffer fb{160, 90};
  BufferShapeFill fill{&fb};

  SceneFixture() {
    useSmallScreen(game);
    game.world.backgroundColour = kBackground;
    game.world.levels.push_back(LevelRecord{100.0f});
    ObjectRecord player;
    player.name = "you";
    player.x = -5000.0f;  // far off the screen unless a test moves it
    player.z = 100.0f;
    player.level = 0;
    player.colour1 = 0x0060FF;
    game.world.player = &game.world.objects.addLast(player);
    clearBuffer(fb, kClear);
  }

  ObjectRecord& player() { return *game.world.player; }

  // A block at the end of the object list (tests add them far to near).
  ObjectRecord& addBlock(float x, float y, float w, float h, float z, int32_t colour, uint32_t flags = 0) {
    ObjectRecord o;
    o.x = x;
    o.y = y;
    o.w = w;
    o.h = h;
    o.z = z;
    o.colour1 = colour;
    o.colour2 = colour;
    o.flags = flags;
    o.level = 0;
    return game.world.objects.addLast(o);
  }

  int32_t at(int x, int y) const { return pointColour(fb, x, y); }
};

// Compares every pixel with the expected colour; describes the first mismatches.
inline ::testing::AssertionResult pixelsMatch(const FrameBuffer& fb,
                                              const std::function<int32_t(int, int)>& expected) {
  int bad = 0;
  std::ostringstream out;
  for (int y = 0; y < fb.height(); ++y) {
    for (int x = 0; x < fb.width(); ++x) {
      const int32_t want = expected(x, y);
      const int32_t got = pointColour(fb, x, y);
      if (want != got) {
        if (bad < 5) out << " (" << x << "," << y << ") got 0x" << std::hex << got << " want 0x" << want << std::dec;
        ++bad;
      }
    }
  }
  if (bad == 0) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << bad << " pixels differ:" << out.str();
}

// A small repeatable random source for the tests' zones.
struct Lcg {
  uint32_t seed;
  int next(int range) {
    seed = seed * 1103515245u + 12345u;
    return static_cast<int>((seed >> 8) % static_cast<uint32_t>(range));
  }
  float between(float lo, float hi) { return lo + (hi - lo) * static_cast<float>(next(100000)) / 100000.0f; }
};

inline bool inRect(int x, int y, int rx, int ry, int rw, int rh) {
  return x >= rx && x < rx + rw && y >= ry && y < ry + rh;
}

}  // namespace zor::scene_test
