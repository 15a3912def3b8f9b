// The sprite fill, drawn by SDL's software renderer into an offscreen surface and
// read back, against the software fill given the same calls.
#include "platform/sdl/sdl_sprite_fill.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <vector>

#include "game/render/fill.h"

namespace zor {
namespace {

constexpr int W = 96;
constexpr int H = 64;
constexpr int32_t kBackground = 0x203040;

class SpriteFillTest : public ::testing::Test {
 protected:
  void SetUp() override {
    surface_ = SDL_CreateRGBSurfaceWithFormat(0, W, H, 32, SDL_PIXELFORMAT_ARGB8888);
    ASSERT_NE(surface_, nullptr) << SDL_GetError();
    renderer_ = SDL_CreateSoftwareRenderer(surface_);
    ASSERT_NE(renderer_, nullptr) << SDL_GetError();
    fill_ = std::make_unique<SpriteFill>(renderer_, W, H);
    ASSERT_EQ(fill_->rebuildColourSprites(), 1) << SDL_GetError();
    reset();
  }
  void TearDown() override {
    fill_.reset();
    if (renderer_) SDL_DestroyRenderer(renderer_);
    if (surface_) SDL_FreeSurface(surface_);
  }
  // Both pictures back to the background.
  void reset() {
    SDL_FillRect(surface_, nullptr, pixelFromColour(kBackground, pixel_format::BlueFirst32) | 0xFF000000u);
    reference_ = FrameBuffer(W, H, pixel_format::BlueFirst32);
    clearBuffer(reference_, kBackground);
    software_.setOutput(&reference_);
  }
  int32_t at(int x, int y) {
    SDL_RenderFlush(renderer_);
    return pixel(x, y);
  }
  int32_t pixel(int x, int y) const {
    const uint32_t* row = reinterpret_cast<const uint32_t*>(static_cast<const uint8_t*>(surface_->pixels) +
                                                            static_cast<size_t>(y) * surface_->pitch);
    return colourFromPixel(row[x], pixel_format::BlueFirst32);
  }
  // Pixels where the two pictures differ.
  std::vector<std::pair<int, int>> differences() {
    std::vector<std::pair<int, int>> d;
    SDL_RenderFlush(renderer_);
    for (int y = 0; y < H; ++y)
      for (int x = 0; x < W; ++x)
        if (pixel(x, y) != pointColour(reference_, x, y)) d.push_back({x, y});
    return d;
  }

  SDL_Surface* surface_ = nullptr;
  SDL_Renderer* renderer_ = nullptr;
  std::unique_ptr<SpriteFill> fill_;
  FrameBuffer reference_;
  BufferShapeFill software_;
};

TEST_F(SpriteFillTest, BoxesMatchTheSoftwareFillExactly) {
  struct Box {
    int32_t x, y, w, h, colour;
  } boxes[] = {
      {3, 4, 10, 7, 0x0000FF},        {-5, 10, 20, 4, 0x00FF00},           {90, 50, 30, 30, 0xFF0000},
      {0, 0, W, 1, 0x123456},          {-10, H / 2, W + 20, H, 0x010101},   {W / 2, -10, W, H + 20, 0x020202},
      {W, 0, 5, 5, 0xFFFFFF},          {0, H, 5, 5, 0xFFFFFF},              {10, 10, 0, 5, 0xFFFFFF},
      {10, 10, -5, 5, 0xFFFFFF},       {INT32_MIN, 3, INT32_MAX, 2, 0x808080},
      {INT32_MAX, 3, INT32_MAX, 2, 0xFFFFFF}, {-1, -1, INT32_MIN, 4, 0xFFFFFF},
      {-1000000000, 40, 2000000000, 3, 0x00A0FF}, {40, 20, 1, 1, 0x0060FF},
  };
  for (const Box& b : boxes) {
    fill_->fillBox(b.x, b.y, b.w, b.h, b.colour);
    software_.fillBox(b.x, b.y, b.w, b.h, b.colour);
    ASSERT_TRUE(differences().empty()) << b.x << "," << b.y << " " << b.w << "x" << b.h;
  }
}

TEST_F(SpriteFillTest, DiscOfRadiusZeroIsOnePixel) {
  fill_->fillDisc(20, 30, 0, 0x00FF00);
  software_.fillDisc(20, 30, 0, 0x00FF00);
  EXPECT_EQ(at(20, 30), 0x00FF00);
  EXPECT_TRUE(differences().empty());
}

TEST_F(SpriteFillTest, DiscsAgreeWithTheSoftwareFillButForRimPixels) {
  struct Disc {
    int32_t x, y, r;
  } discs[] = {{40, 30, 1}, {40, 30, 2}, {10, 10, 5}, {48, 32, 20}, {48, 32, 31},
               {0, 0, 12},  {95, 63, 9}, {-6, 30, 10}, {48, -5, 14}, {48, 32, 300}};
  for (const Disc& c : discs) {
    reset();
    fill_->fillDisc(c.x, c.y, c.r, 0xFF00FF);
    software_.fillDisc(c.x, c.y, c.r, 0xFF00FF);
    auto diff = differences();
    // Stretching the 512-pixel circle may take or leave a pixel where the rim crosses it;
    // nothing away from the rim may differ, and only a small share of the rim.
    for (auto [x, y] : diff) {
      double dist = std::hypot(x - c.x, y - c.y);
      EXPECT_LE(std::abs(dist - (c.r + 0.5)), 1.0) << "disc " << c.x << "," << c.y << " r " << c.r << " at " << x << "," << y;
    }
    EXPECT_LE(static_cast<double>(diff.size()), 1 + 2 * M_PI * (c.r + 0.5) / 8) << "r " << c.r;
  }
}

TEST_F(SpriteFillTest, HugeDiscsAreDrawnExactlyWithoutOverflow) {
  struct Disc {
    int32_t x, y, r;
  } discs[] = {{48, 32, INT32_MAX},   {INT32_MIN, INT32_MIN, INT32_MAX}, {-(1 << 28) + 40, 32, 1 << 28},
               {48, INT32_MAX, INT32_MAX}, {INT32_MAX, 0, 5},              {48, 32, 1 << 24}};
  for (const Disc& c : discs) {
    reset();
    fill_->fillDisc(c.x, c.y, c.r, 0x00FFFF);
    software_.fillDisc(c.x, c.y, c.r, 0x00FFFF);
    EXPECT_TRUE(differences().empty()) << c.x << "," << c.y << " r " << c.r;
  }
  reset();
  fill_->fillDisc(48, 32, -1, 0x00FFFF);
  EXPECT_TRUE(differences().empty());
}

TEST_F(SpriteFillTest, FixedColoursUseTheirOwnSlots) {
  EXPECT_EQ(SpriteFill::fixedColour(14), 0x0060FF);  // (255, 96, 0)
  EXPECT_EQ(SpriteFill::fixedColour(3), 0x0080FF);
  for (int i = 0; i < SpriteFill::kFixedSlots; ++i) {
    fill_->fillBox(i * 6, 0, 5, 5, SpriteFill::fixedColour(i));
    EXPECT_EQ(at(i * 6 + 2, 2), SpriteFill::fixedColour(i)) << i;
  }
  EXPECT_EQ(fill_->boxCounter(), 0);
  for (int i = SpriteFill::kFixedSlots; i < SpriteFill::kSlotCount; ++i) EXPECT_EQ(fill_->slot(i).colour, 0);
}

TEST_F(SpriteFillTest, NinthNewColourReusesSlotFifteen) {
  for (int i = 0; i < 9; ++i) {
    int32_t colour = 0x010203 * (i + 1);
    fill_->fillBox(i * 10, 10, 8, 8, colour);
    EXPECT_EQ(fill_->boxCounter(), (i + 1) % 8);
  }
  EXPECT_EQ(fill_->slot(15).colour, 0x010203 * 9);
  EXPECT_EQ(fill_->slot(16).colour, 0x010203 * 2);
  EXPECT_EQ(fill_->slot(22).colour, 0x010203 * 8);
  // Every box keeps the colour it was drawn in, although slot 15 changed colour after the first.
  for (int i = 0; i < 9; ++i) EXPECT_EQ(at(i * 10 + 4, 14), 0x010203 * (i + 1)) << i;
}

TEST_F(SpriteFillTest, ReassignedSlotNeverLeavesAShortcutToTheWrongColour) {
  const int32_t a = 0x112233, b = 0x445566;
  fill_->fillBox(0, 0, 4, 4, a);  // slot 15, box counter 1
  EXPECT_EQ(fill_->lastBoxColour(), a);
  fill_->fillDisc(40, 40, 3, b);  // circles count on their own: slot 15 again, now b
  EXPECT_EQ(fill_->slot(15).colour, b);
  EXPECT_EQ(fill_->lastBoxColour(), -1);
  EXPECT_EQ(fill_->lastCircleColour(), b);
  fill_->fillBox(10, 0, 4, 4, a);  // a must be drawn in a again (now slot 16)
  EXPECT_EQ(at(11, 1), a);
  EXPECT_EQ(fill_->slot(16).colour, a);
  EXPECT_EQ(at(40, 40), b);
  fill_->fillDisc(60, 40, 3, a);  // found in slot 16: no reassignment
  EXPECT_EQ(fill_->circleCounter(), 1);
  EXPECT_EQ(at(60, 40), a);
}

TEST_F(SpriteFillTest, NegativeColourDrawsNothingAndKeepsTheCache) {
  fill_->fillBox(0, 0, 4, 4, 0x654321);
  const int counter = fill_->boxCounter();
  fill_->fillBox(10, 10, 8, 8, -1);
  fill_->fillDisc(30, 30, 5, INT32_MIN);
  EXPECT_EQ(fill_->boxCounter(), counter);
  EXPECT_EQ(fill_->circleCounter(), 0);
  EXPECT_EQ(fill_->slot(16).colour, 0);
  EXPECT_EQ(at(12, 12), kBackground);
  EXPECT_EQ(at(30, 30), kBackground);
}

TEST_F(SpriteFillTest, RebuildResetsTheRoundRobinSlots) {
  fill_->fillBox(0, 0, 4, 4, 0x654321);
  fill_->fillDisc(20, 20, 4, 0x123456);
  EXPECT_EQ(fill_->prepareAfterOpen(false), 1);
  EXPECT_EQ(fill_->boxCounter(), 0);
  EXPECT_EQ(fill_->circleCounter(), 0);
  EXPECT_EQ(fill_->lastBoxColour(), -1);
  EXPECT_EQ(fill_->lastCircleColour(), -1);
  for (int i = 0; i < SpriteFill::kSlotCount; ++i) {
    EXPECT_EQ(fill_->slot(i).colour, i < SpriteFill::kFixedSlots ? SpriteFill::fixedColour(i) : 0) << i;
    EXPECT_NE(fill_->slot(i).box, nullptr);
    EXPECT_NE(fill_->slot(i).circle, nullptr);
  }
  fill_->fillBox(50, 50, 3, 3, 0x654321);
  EXPECT_EQ(at(51, 51), 0x654321);
}

}  // namespace
}  // namespace zor
