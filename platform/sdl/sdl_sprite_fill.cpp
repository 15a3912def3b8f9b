#include "platform/sdl/sdl_sprite_fill.h"

#include <algorithm>

namespace zor {

namespace {

constexpr uint32_t kOpaque = 0xFF000000u;
// Rectangles handed to the renderer stay within this range, where its float arithmetic is exact.
constexpr int64_t kRendererLimit = int64_t{1} << 24;

struct Rgb {
  int r, g, b;
};
constexpr Rgb kFixed[SpriteFill::kFixedSlots] = {
    {0, 0, 0},     {255, 255, 255}, {255, 0, 0},     {255, 128, 0},   {255, 255, 0},
    {0, 255, 0},   {0, 255, 255},   {0, 0, 255},     {255, 0, 255},   {192, 192, 192},
    {128, 128, 128}, {64, 64, 64},  {160, 160, 160}, {80, 80, 80},    {255, 96, 0},  // the player's colour
};

}  // namespace

int32_t SpriteFill::fixedColour(int i) {
  const Rgb& c = kFixed[i];
  return c.r | (c.g << 8) | (c.b << 16);
}

SpriteFill::SpriteFill(SDL_Renderer* renderer, int32_t width, int32_t height)
    : renderer_(renderer), width_(std::max(width, 0)), height_(std::max(height, 0)) {
  for (int i = 0; i < kFixedSlots; ++i) slots_[i].colour = fixedColour(i);
}

SpriteFill::~SpriteFill() { freeSlots(); }

void SpriteFill::freeSlots() {
  for (Slot& s : slots_) {
    if (s.box != nullptr) SDL_DestroyTexture(s.box);
    if (s.circle != nullptr) SDL_DestroyTexture(s.circle);
    s.box = s.circle = nullptr;
  }
}

void SpriteFill::forgetShortcuts() {
  lastBoxColour_ = -1;
  boxQuad_ = nullptr;
  lastCircleColour_ = -1;
  circleQuad_ = nullptr;
}

bool SpriteFill::createTextures(Slot& s) {
  SDL_Texture* box = s.box;
  SDL_Texture* circle = s.circle;
  if (box == nullptr) {
    box = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STATIC, 1, 1);
    if (box != nullptr) {
      SDL_SetTextureBlendMode(box, SDL_BLENDMODE_NONE);  // its one pixel is always opaque
      SDL_SetTextureScaleMode(box, SDL_ScaleModeNearest);
    }
  }
  if (circle == nullptr && box != nullptr) {
    circle = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STATIC, kCircleSize,
                               kCircleSize);
    if (circle != nullptr) {
      SDL_SetTextureBlendMode(circle, SDL_BLENDMODE_BLEND);  // the keyed pixels are transparent
      SDL_SetTextureScaleMode(circle, SDL_ScaleModeNearest);
    }
  }
  if (box == nullptr || circle == nullptr) {
    if (box != nullptr && box != s.box) SDL_DestroyTexture(box);
    return false;
  }
  s.box = box;
  s.circle = circle;
  return true;
}

bool SpriteFill::drawBoxSprite(SDL_Texture* t, int32_t colour) {
  if (t == nullptr || colour < 0) return false;
  // The key colour 0xFFFFFF - colour never equals the colour, so the pixel stays opaque.
  uint32_t pixel = kOpaque | pixelFromColour(colour, pixel_format::BlueFirst32);
  return SDL_UpdateTexture(t, nullptr, &pixel, sizeof pixel) == 0;
}

bool SpriteFill::drawCircleSprite(SDL_Texture* t, int32_t colour) {
  if (t == nullptr || colour < 0) return false;
  if (!scratch_.hasPixels()) scratch_ = FrameBuffer(kCircleSize, kCircleSize, pixel_format::BlueFirst32);
  if (!scratch_.hasPixels()) return false;
  const int32_t key = 0xFFFFFF - (colour & 0xFFFFFF);
  clearBuffer(scratch_, key);
  drawCircle(scratch_, kCircleSize / 2, kCircleSize / 2, kCircleSize / 2 - 1, colour);
  const uint32_t keyPixel = pixelFromColour(key, scratch_.format());
  uint32_t* p = scratch_.pixels();
  for (size_t i = 0, n = size_t{kCircleSize} * kCircleSize; i < n; ++i) p[i] = p[i] == keyPixel ? 0u : (p[i] | kOpaque);
  return SDL_UpdateTexture(t, nullptr, p, kCircleSize * 4) == 0;
}

bool SpriteFill::redrawSlot(int index, int32_t colour) {
  Slot& s = slots_[index];
  if (colour < 0) return false;
  if (!createTextures(s)) return false;
  if (!drawBoxSprite(s.box, colour)) return false;
  if (!drawCircleSprite(s.circle, colour)) {
    drawBoxSprite(s.box, s.colour);  // keep the slot showing its own colour
    return false;
  }
  s.colour = colour;
  forgetShortcuts();
  return true;
}

int32_t SpriteFill::rebuildColourSprites() {
  forgetShortcuts();
  boxCounter_ = circleCounter_ = 0;
  freeSlots();
  for (int i = kFixedSlots; i < kSlotCount; ++i) slots_[i].colour = 0;
  for (Slot& s : slots_) {
    s.box = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STATIC, 1, 1);
    if (s.box == nullptr) return 0;
    SDL_SetTextureBlendMode(s.box, SDL_BLENDMODE_NONE);
    SDL_SetTextureScaleMode(s.box, SDL_ScaleModeNearest);
    if (!drawBoxSprite(s.box, s.colour)) return 0;
    s.circle = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STATIC, kCircleSize,
                                 kCircleSize);
    if (s.circle == nullptr) return 0;
    SDL_SetTextureBlendMode(s.circle, SDL_BLENDMODE_BLEND);
    SDL_SetTextureScaleMode(s.circle, SDL_ScaleModeNearest);
    if (!drawCircleSprite(s.circle, s.colour)) return 0;
  }
  return 1;
}

SDL_Texture* SpriteFill::lookup(Kind kind, int32_t colour) {
  const bool box = kind == Kind::Box;
  if (colour == (box ? lastBoxColour_ : lastCircleColour_)) return box ? boxQuad_ : circleQuad_;
  for (const Slot& s : slots_) {
    if (s.colour != colour) continue;
    if (box) {
      lastBoxColour_ = colour;
      return boxQuad_ = s.box;
    }
    lastCircleColour_ = colour;
    return circleQuad_ = s.circle;
  }
  int& counter = box ? boxCounter_ : circleCounter_;
  const int index = kFixedSlots + counter;
  if (!redrawSlot(index, colour)) return nullptr;  // slot and counter stay as they were
  counter = (counter + 1) % kRoundRobin;
  if (box) {
    lastBoxColour_ = colour;
    return boxQuad_ = slots_[index].box;
  }
  lastCircleColour_ = colour;
  return circleQuad_ = slots_[index].circle;
}

void SpriteFill::fillRect(int64_t x0, int64_t y0, int64_t x1, int64_t y1, int32_t colour) {
  SDL_Rect r{static_cast<int>(x0), static_cast<int>(y0), static_cast<int>(x1 - x0), static_cast<int>(y1 - y0)};
  SDL_SetRenderDrawBlendMode(renderer_, SDL_BLENDMODE_NONE);
  SDL_SetRenderDrawColor(renderer_, colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF, 0xFF);
  SDL_RenderFillRect(renderer_, &r);
}

int32_t SpriteFill::drawFilledBox(int32_t x, int32_t y, int32_t width, int32_t height, int32_t colour) {
  SDL_Texture* quad = lookup(Kind::Box, colour);
  if (quad == nullptr) return 0;
  // Clipped here, so that no coordinate the renderer sees can overflow.
  const int64_t x0 = std::max<int64_t>(x, 0), y0 = std::max<int64_t>(y, 0);
  const int64_t x1 = std::min<int64_t>(int64_t{x} + width, width_);
  const int64_t y1 = std::min<int64_t>(int64_t{y} + height, height_);
  if (x1 <= x0 || y1 <= y0) return 0;
  SDL_Rect r{static_cast<int>(x0), static_cast<int>(y0), static_cast<int>(x1 - x0), static_cast<int>(y1 - y0)};
  SDL_RenderCopy(renderer_, quad, nullptr, &r);
  return 0;
}

int32_t SpriteFill::drawFilledCircle(int32_t x, int32_t y, int32_t radius, int32_t colour) {
  SDL_Texture* quad = lookup(Kind::Circle, colour);
  if (quad == nullptr || radius < 0) return 0;
  const int64_t d = 2 * int64_t{radius} + 1;
  const int64_t left = int64_t{x} - radius, top = int64_t{y} - radius;
  if (left + d <= 0 || top + d <= 0 || left >= width_ || top >= height_) return 0;
  if (left >= -kRendererLimit && top >= -kRendererLimit && left + d <= kRendererLimit && top + d <= kRendererLimit) {
    SDL_Rect r{static_cast<int>(left), static_cast<int>(top), static_cast<int>(d), static_cast<int>(d)};
    SDL_RenderCopy(renderer_, quad, nullptr, &r);
    return 0;
  }
  // Too large to stretch a texture over: the visible rows of the same disc as spans.
  const int64_t rowFrom = std::max<int64_t>(top, 0), rowTo = std::min<int64_t>(top + d, height_);
  for (int64_t row = rowFrom; row < rowTo; ++row) {
    int64_t a, b;
    if (!discRowSpan(x, y, radius, row, a, b)) continue;
    a = std::max<int64_t>(a, 0);
    b = std::min<int64_t>(b, int64_t{width_} - 1);
    if (b >= a) fillRect(a, row, b + 1, row + 1, colour);
  }
  return 0;
}

}  // namespace zor
