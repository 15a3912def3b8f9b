// The sprite fill: filled boxes and discs drawn through SDL's renderer by
// stretching cached one-pixel and circle textures of the wanted colour. Fifteen
// slots hold fixed colours, eight more are reused in turn for any other colour.
#pragma once

#include <SDL.h>

#include <array>
#include <cstdint>

#include "platform/framebuffer.h"

namespace zor {

class SpriteFill final : public ShapeFill {
 public:
  static constexpr int kSlotCount = 23;
  static constexpr int kFixedSlots = 15;   // slots 0..14
  static constexpr int kRoundRobin = 8;    // slots 15..22
  static constexpr int kCircleSize = 512;  // circle textures are 512x512, disc radius 255

  struct Slot {
    int32_t colour = 0;
    SDL_Texture* box = nullptr;     // 1x1
    SDL_Texture* circle = nullptr;  // kCircleSize square
  };

  // Draws on the renderer's current target, whose picture is width x height pixels.
  // Call rebuildColourSprites before drawing.
  SpriteFill(SDL_Renderer* renderer, int32_t width, int32_t height);
  ~SpriteFill() override;
  SpriteFill(const SpriteFill&) = delete;
  SpriteFill& operator=(const SpriteFill&) = delete;

  // Stretches the box texture of the colour over the rectangle (clipped to the picture).
  int32_t drawFilledBox(int32_t x, int32_t y, int32_t width, int32_t height, int32_t colour);
  // Stretches the circle texture of the colour over the square of side 2 * radius + 1
  // centred on (x, y).
  int32_t drawFilledCircle(int32_t x, int32_t y, int32_t radius, int32_t colour);
  // Frees and remakes every slot's textures, the fixed colours in 0..14 and black in
  // 15..22. Returns 1, or 0 when a slot could not be made (the rest are then left empty).
  int32_t rebuildColourSprites();

  int32_t fillBox(int32_t x, int32_t y, int32_t width, int32_t height, int32_t colour) override {
    return drawFilledBox(x, y, width, height, colour);
  }
  int32_t fillDisc(int32_t x, int32_t y, int32_t radius, int32_t colour) override {
    return drawFilledCircle(x, y, radius, colour);
  }
  int32_t prepareAfterOpen(bool) override { return rebuildColourSprites(); }

  // The cache as it stands, for inspection.
  const Slot& slot(int i) const { return slots_[i]; }
  int32_t lastBoxColour() const { return lastBoxColour_; }
  int32_t lastCircleColour() const { return lastCircleColour_; }
  int boxCounter() const { return boxCounter_; }
  int circleCounter() const { return circleCounter_; }

  // The fixed colour of slot i (0..14), red in the low byte.
  static int32_t fixedColour(int i);

 private:
  enum class Kind { Box, Circle };
  SDL_Texture* lookup(Kind kind, int32_t colour);
  bool createTextures(Slot& s);
  bool drawBoxSprite(SDL_Texture* t, int32_t colour);
  bool drawCircleSprite(SDL_Texture* t, int32_t colour);
  bool redrawSlot(int index, int32_t colour);
  void forgetShortcuts();
  void freeSlots();
  void fillRect(int64_t x0, int64_t y0, int64_t x1, int64_t y1, int32_t colour);

  SDL_Renderer* renderer_;
  int32_t width_;
  int32_t height_;
  std::array<Slot, kSlotCount> slots_{};
  int32_t lastBoxColour_ = -1;
  SDL_Texture* boxQuad_ = nullptr;
  int32_t lastCircleColour_ = -1;
  SDL_Texture* circleQuad_ = nullptr;
  int boxCounter_ = 0;
  int circleCounter_ = 0;
  FrameBuffer scratch_;  // circle pixels are made here before they go to a texture
};

}  // namespace zor
