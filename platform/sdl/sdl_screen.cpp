#include "platform/sdl/sdl_screen.h"

#include <algorithm>

#include "platform/sdl/sdl_events.h"

namespace zor {

namespace {

int32_t depthOf(Uint32 format) {
  return SDL_BYTESPERPIXEL(format) == 4 ? 32 : static_cast<int32_t>(SDL_BITSPERPIXEL(format));
}

// The picture scaled as large as it fits into the output, centred, its shape kept.
SDL_Rect fitInto(int pictureW, int pictureH, int outW, int outH) {
  if (pictureW <= 0 || pictureH <= 0 || outW <= 0 || outH <= 0) return SDL_Rect{0, 0, outW, outH};
  double scale = std::min(static_cast<double>(outW) / pictureW, static_cast<double>(outH) / pictureH);
  int w = std::clamp(static_cast<int>(pictureW * scale), 1, outW);
  int h = std::clamp(static_cast<int>(pictureH * scale), 1, outH);
  return SDL_Rect{(outW - w) / 2, (outH - h) / 2, w, h};
}

}  // namespace

SdlScreen::SdlScreen(SdlEvents& events, Backend backend) : events_(events), backend_(backend) {}

SdlScreen::~SdlScreen() {
  close();
  if (videoStarted_) SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

bool SdlScreen::init() {
  if (!videoStarted_) videoStarted_ = SDL_InitSubSystem(SDL_INIT_VIDEO) == 0;
  return videoStarted_;
}

std::vector<DisplayMode> SdlScreen::displayModes() {
  std::vector<DisplayMode> modes;
  if (!init()) return modes;
  int n = SDL_GetNumDisplayModes(0);
  for (int i = 0; i < n; ++i) {
    SDL_DisplayMode m{};
    if (SDL_GetDisplayMode(0, i, &m) == 0) modes.push_back({m.w, m.h, depthOf(m.format), m.refresh_rate});
  }
  return modes;
}

int32_t SdlScreen::desktopDepth() {
  SDL_DisplayMode m{};
  if (!init() || SDL_GetDesktopDisplayMode(0, &m) != 0) return 0;
  return depthOf(m.format);
}

bool SdlScreen::openWindowed(int32_t width, int32_t height, const std::string& title) {
  return open(width, height, title, true);
}

bool SdlScreen::openFullScreen(int32_t width, int32_t height, const std::string& title) {
  return open(width, height, title, false);
}

bool SdlScreen::open(int32_t width, int32_t height, const std::string& title, bool windowed) {
  close();
  if (!init()) return false;
  if (width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide) return false;
  const Uint32 flags = SDL_WINDOW_HIDDEN | (windowed ? 0u : static_cast<Uint32>(SDL_WINDOW_FULLSCREEN_DESKTOP));
  window_ = SDL_CreateWindow(title.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, width, height, flags);
  if (window_ == nullptr) return false;
  width_ = width;
  height_ = height;
  inWindow_ = windowed;
  title_ = title;
  const Uint32 target = backend_ == Backend::Sprites ? Uint32{SDL_RENDERER_TARGETTEXTURE} : 0u;
  const Uint32 attempts[] = {SDL_RENDERER_ACCELERATED | SDL_RENDERER_PRESENTVSYNC, SDL_RENDERER_PRESENTVSYNC, 0};
  for (Uint32 tries : attempts) {
    renderer_ = SDL_CreateRenderer(window_, -1, tries | target);
    if (renderer_ != nullptr) break;
  }
  if (renderer_ == nullptr || !createPicture()) {
    close();
    return false;
  }
  SDL_ShowWindow(window_);
  if (windowed) SDL_RaiseWindow(window_);
  else SDL_ShowCursor(SDL_DISABLE);
  lastFlip_ = 0;
  return true;
}

bool SdlScreen::createPicture() {
  const int access = backend_ == Backend::Sprites ? SDL_TEXTUREACCESS_TARGET : SDL_TEXTUREACCESS_STREAMING;
  picture_ = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_ARGB8888, access, width_, height_);
  if (picture_ == nullptr) return false;
  SDL_SetTextureBlendMode(picture_, SDL_BLENDMODE_NONE);
  SDL_SetTextureScaleMode(picture_, SDL_ScaleModeNearest);
  if (backend_ == Backend::Buffer) {
    // ARGB8888 words hold blue in the lowest byte.
    buffer_ = FrameBuffer(width_, height_, pixel_format::BlueFirst32);
    return buffer_.hasPixels();
  }
  sprites_ = std::make_unique<SpriteFill>(renderer_, width_, height_);
  clear(0);
  return true;
}

void SdlScreen::close() {
  if (window_ == nullptr && renderer_ == nullptr) return;
  stopDrawing();
  sprites_.reset();  // its textures go before the renderer
  if (picture_ != nullptr) SDL_DestroyTexture(picture_);
  if (renderer_ != nullptr) SDL_DestroyRenderer(renderer_);
  if (window_ != nullptr) SDL_DestroyWindow(window_);
  picture_ = nullptr;
  renderer_ = nullptr;
  window_ = nullptr;
  buffer_ = FrameBuffer();
  if (!inWindow_) SDL_ShowCursor(SDL_ENABLE);
  inWindow_ = false;
  width_ = height_ = 0;
}

bool SdlScreen::toggleFullScreen() {
  if (!isOpen()) return false;
  const int32_t w = width_, h = height_;
  const bool toWindow = !inWindow_;
  const std::string title = title_;
  close();
  return open(w, h, title, toWindow);
}

bool SdlScreen::isActive() {
  if (window_ == nullptr) return false;
  events_.pump();
  const Uint32 flags = SDL_GetWindowFlags(window_);
  if (flags & (SDL_WINDOW_MINIMIZED | SDL_WINDOW_HIDDEN)) return false;
  // Without a display nothing can take the focus away, and nothing gives it either.
  const char* driver = SDL_GetCurrentVideoDriver();
  if (driver != nullptr && (SDL_strcmp(driver, "dummy") == 0 || SDL_strcmp(driver, "offscreen") == 0)) return true;
  return (flags & SDL_WINDOW_INPUT_FOCUS) != 0;
}

WindowEvent SdlScreen::nextWindowEvent() { return events_.next(); }

void SdlScreen::clear(int32_t colour) {
  if (!isOpen()) return;
  if (backend_ == Backend::Buffer) {
    clearBuffer(buffer_, colour);
    return;
  }
  SDL_Texture* previous = SDL_GetRenderTarget(renderer_);
  SDL_SetRenderTarget(renderer_, picture_);
  SDL_SetRenderDrawColor(renderer_, colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF, 0xFF);
  SDL_RenderClear(renderer_);
  SDL_SetRenderTarget(renderer_, previous);
}

bool SdlScreen::startDrawing() {
  if (!isOpen()) return false;
  if (backend_ == Backend::Sprites && SDL_SetRenderTarget(renderer_, picture_) != 0) return false;
  drawing_ = true;
  return true;
}

void SdlScreen::stopDrawing() {
  if (drawing_ && backend_ == Backend::Sprites && renderer_ != nullptr) SDL_SetRenderTarget(renderer_, nullptr);
  drawing_ = false;
}

FrameBuffer* SdlScreen::drawingBuffer() {
  return isOpen() && backend_ == Backend::Buffer ? &buffer_ : nullptr;
}

bool SdlScreen::grab(int32_t x, int32_t y, int32_t width, int32_t height, FrameBuffer& out) {
  if (!isOpen() || x < 0 || y < 0 || width <= 0 || height <= 0 || int64_t{x} + width > width_ ||
      int64_t{y} + height > height_)
    return false;
  if (backend_ == Backend::Buffer) {
    FrameBuffer copy(width, height, buffer_.format());
    for (int32_t row = 0; row < height; ++row)
      std::copy_n(buffer_.row(y + row) + x, width, copy.row(row));
    out = std::move(copy);
    return true;
  }
  FrameBuffer copy(width, height, pixel_format::BlueFirst32);
  SDL_Texture* previous = SDL_GetRenderTarget(renderer_);
  SDL_SetRenderTarget(renderer_, picture_);
  SDL_Rect r{x, y, width, height};
  const bool ok = SDL_RenderReadPixels(renderer_, &r, SDL_PIXELFORMAT_ARGB8888, copy.pixels(), width * 4) == 0;
  SDL_SetRenderTarget(renderer_, previous);
  if (!ok) return false;
  uint32_t* p = copy.pixels();
  for (size_t i = 0, n = size_t(width) * size_t(height); i < n; ++i) p[i] &= 0x00FFFFFFu;
  out = std::move(copy);
  return true;
}

void SdlScreen::waitForFramePeriod() {
  const uint64_t freq = SDL_GetPerformanceFrequency();
  const uint64_t period = std::max<uint64_t>(freq / 60, 1);
  uint64_t now = SDL_GetPerformanceCounter();
  if (lastFlip_ == 0) {
    lastFlip_ = now;
    return;
  }
  const uint64_t due = lastFlip_ + period;
  if (now < due) {
    SDL_Delay(static_cast<Uint32>((due - now) * 1000 / freq));
    now = SDL_GetPerformanceCounter();
  }
  // Keep the 60-a-second cadence unless a whole period was missed.
  lastFlip_ = now < due + period ? due : now;
}

void SdlScreen::flip() {
  if (!isOpen()) return;
  stopDrawing();
  if (backend_ == Backend::Buffer)
    SDL_UpdateTexture(picture_, nullptr, buffer_.pixels(), buffer_.pitch() * 4);
  SDL_SetRenderTarget(renderer_, nullptr);
  SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 0xFF);
  SDL_RenderClear(renderer_);
  int outW = 0, outH = 0;
  if (SDL_GetRendererOutputSize(renderer_, &outW, &outH) != 0) {
    outW = width_;
    outH = height_;
  }
  SDL_Rect dst = fitInto(width_, height_, outW, outH);
  SDL_RenderCopy(renderer_, picture_, nullptr, &dst);
  if (inWindow_) waitForFramePeriod();
  SDL_RenderPresent(renderer_);
}

}  // namespace zor
