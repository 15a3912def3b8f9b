#include "platform/sdl/sdl_screen.h"

#include <algorithm>

#include "platform/sdl/sdl_events.h"

namespace zor {

namespace {

int32_t depthOf(Uint32 format) {
  return SDL_BYTESPERPIXEL(format) == 4 ? 32 : static_cast<int32_t>(SDL_BITSPERPIXEL(format));
}

SDL_Rect toSdl(const ScreenRect& r) { return SDL_Rect{r.x, r.y, r.width, r.height}; }

// The frame-buffer layout that matches an SDL pixel format, 0 when none does.
uint32_t bufferLayoutOf(Uint32 format) {
  if (format == SDL_PIXELFORMAT_RGB888) return pixel_format::BlueFirst32;
  if (format == SDL_PIXELFORMAT_BGR888) return pixel_format::RedFirst32;
  return 0;
}

ScreenRect usableDesktop(SDL_Window* window) {
  int display = window != nullptr ? SDL_GetWindowDisplayIndex(window) : 0;
  if (display < 0) display = 0;
  SDL_Rect r{};
  if (SDL_GetDisplayUsableBounds(display, &r) != 0) return ScreenRect{};
  return ScreenRect{r.x, r.y, r.w, r.h};
}

}  // namespace

SdlScreen::SdlScreen(SdlEvents& events, Backend backend) : events_(events), backend_(backend) {}

SdlScreen::~SdlScreen() {
  close();
  if (videoStarted_) SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

bool SdlScreen::init() {
  // The software fill's picture goes straight to the window system. Left to itself SDL
  // would put a renderer (OpenGL where there is one) behind the window's surface, which
  // under a software OpenGL costs start-up time and memory for no gain. The environment
  // variable of the same name still decides when set.
  if (backend_ == Backend::Buffer) SDL_SetHintWithPriority(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0", SDL_HINT_DEFAULT);
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
  if (windowed) {
    const ScreenRect usable = usableDesktop(nullptr);
    const ScreenRect place = placeWindow(width, height, usable);
    const bool known = usable.width > 0 && usable.height > 0;
    window_ = SDL_CreateWindow(title.c_str(), known ? place.x : int{SDL_WINDOWPOS_CENTERED},
                               known ? place.y : int{SDL_WINDOWPOS_CENTERED}, place.width, place.height,
                               SDL_WINDOW_HIDDEN);
  } else {
    window_ = SDL_CreateWindow(title.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, width, height,
                               SDL_WINDOW_HIDDEN | SDL_WINDOW_FULLSCREEN_DESKTOP);
  }
  if (window_ == nullptr) return false;
  width_ = width;
  height_ = height;
  inWindow_ = windowed;
  title_ = title;
  if (backend_ == Backend::Sprites) {
    const Uint32 attempts[] = {SDL_RENDERER_ACCELERATED | SDL_RENDERER_PRESENTVSYNC, SDL_RENDERER_PRESENTVSYNC, 0};
    for (Uint32 tries : attempts) {
      renderer_ = SDL_CreateRenderer(window_, -1, tries | SDL_RENDERER_TARGETTEXTURE);
      if (renderer_ != nullptr) break;
    }
    if (renderer_ == nullptr || !createPicture()) {
      close();
      return false;
    }
  }
  SDL_ShowWindow(window_);
  frameFitted_ = false;
  if (windowed) {
    fitWindowInsideFrame();
    SDL_RaiseWindow(window_);
  } else {
    SDL_ShowCursor(SDL_DISABLE);
  }
  if (backend_ == Backend::Buffer && !setUpBuffer()) {
    close();
    return false;
  }
  lastFlip_ = 0;
  return true;
}

void SdlScreen::fitWindowInsideFrame() {
  // The window manager tells the frame's size some time after the window is
  // shown (SDL learns it from the events); until then this is tried at each flip.
  if (frameFitted_ || window_ == nullptr || !inWindow_) return;
  int top = 0, left = 0, bottom = 0, right = 0;
  if (SDL_GetWindowBordersSize(window_, &top, &left, &bottom, &right) != 0) return;
  if (top == 0 && left == 0 && bottom == 0 && right == 0) return;
  frameFitted_ = true;
  const ScreenRect place = placeWindow(width_, height_, usableDesktop(window_), left, top, right, bottom);
  int x = 0, y = 0, w = 0, h = 0;
  SDL_GetWindowPosition(window_, &x, &y);
  SDL_GetWindowSize(window_, &w, &h);
  if (w != place.width || h != place.height) SDL_SetWindowSize(window_, place.width, place.height);
  if (x != place.x || y != place.y) SDL_SetWindowPosition(window_, place.x, place.y);
}

bool SdlScreen::setUpBuffer() {
  SDL_Surface* shown = SDL_GetWindowSurface(window_);
  if (shown == nullptr) return false;
  const uint32_t layout = bufferLayoutOf(shown->format->format);
  // A window without a plain 32-bit format gets the most common one, converted when shown.
  bufferFormat_ = layout != 0 ? shown->format->format : Uint32{SDL_PIXELFORMAT_RGB888};
  const uint32_t bufferLayout = layout != 0 ? layout : pixel_format::BlueFirst32;
  if (layout != 0 && shown->w == width_ && shown->h == height_ && shown->pitch % 4 == 0) {
    bufferPitch_ = shown->pitch / 4;
    if (SDL_MUSTLOCK(shown) == 0) {
      buffer_ = FrameBuffer::borrow(static_cast<uint32_t*>(shown->pixels), width_, height_, bufferPitch_,
                                    bufferLayout);
      attached_ = buffer_.hasPixels();
      if (attached_) {
        clearBuffer(buffer_, 0);
        return true;
      }
    }
  }
  bufferPitch_ = width_;
  own_.assign(static_cast<size_t>(width_) * static_cast<size_t>(height_), 0u);
  buffer_ = FrameBuffer::borrow(own_.data(), width_, height_, bufferPitch_, bufferLayout);
  return buffer_.hasPixels();
}

void SdlScreen::detachFromSurface() {
  if (!attached_) return;
  // The surface's memory lives until SDL is next asked for the window's surface.
  own_.assign(buffer_.pixels(), buffer_.pixels() + static_cast<size_t>(bufferPitch_) * static_cast<size_t>(height_));
  buffer_ = FrameBuffer::borrow(own_.data(), width_, height_, bufferPitch_, buffer_.format());
  attached_ = false;
}

bool SdlScreen::createPicture() {
  // The window's own format where the renderer takes it, so that showing needs no conversion.
  Uint32 format = SDL_PIXELFORMAT_ARGB8888;
  SDL_RendererInfo info{};
  const Uint32 windowFormat = SDL_GetWindowPixelFormat(window_);
  if (bufferLayoutOf(windowFormat) != 0 && SDL_GetRendererInfo(renderer_, &info) == 0) {
    for (Uint32 i = 0; i < info.num_texture_formats; ++i)
      if (info.texture_formats[i] == windowFormat) format = windowFormat;
  }
  picture_ = SDL_CreateTexture(renderer_, format, SDL_TEXTUREACCESS_TARGET, width_, height_);
  if (picture_ == nullptr) return false;
  SDL_SetTextureBlendMode(picture_, SDL_BLENDMODE_NONE);
  SDL_SetTextureScaleMode(picture_, SDL_ScaleModeNearest);
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
  if (source_ != nullptr) SDL_FreeSurface(source_);
  if (window_ != nullptr) SDL_DestroyWindow(window_);
  picture_ = nullptr;
  renderer_ = nullptr;
  source_ = nullptr;
  window_ = nullptr;
  buffer_ = FrameBuffer();
  own_ = std::vector<uint32_t>();
  attached_ = false;
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
  if (!pacing_) return;
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
  fitWindowInsideFrame();
  if (backend_ == Backend::Buffer) presentBuffer();
  else presentSprites();
}

void SdlScreen::presentBuffer() {
  int windowW = 0, windowH = 0;
  SDL_GetWindowSize(window_, &windowW, &windowH);
  if (attached_ && (windowW != width_ || windowH != height_)) detachFromSurface();
  if (attached_) {
    waitForFramePeriod();
    if (SDL_UpdateWindowSurface(window_) == 0) return;
    detachFromSurface();  // the surface went away under us: show the picture again below
  }
  SDL_Surface* shown = SDL_GetWindowSurface(window_);
  if (shown == nullptr) return;
  if (shown->w == width_ && shown->h == height_ && shown->format->format == bufferFormat_ &&
      shown->pitch == bufferPitch_ * 4 && SDL_MUSTLOCK(shown) == 0) {
    // The window holds the picture unscaled again: draw on its surface from now on.
    auto* pixels = static_cast<uint32_t*>(shown->pixels);
    std::copy(own_.begin(), own_.end(), pixels);
    buffer_ = FrameBuffer::borrow(pixels, width_, height_, bufferPitch_, buffer_.format());
    attached_ = true;
    if (source_ != nullptr) SDL_FreeSurface(source_);
    source_ = nullptr;
    own_ = std::vector<uint32_t>();
  } else {
    if (source_ == nullptr) {
      source_ = SDL_CreateRGBSurfaceWithFormatFrom(own_.data(), width_, height_, 32, bufferPitch_ * 4, bufferFormat_);
      if (source_ == nullptr) return;
      SDL_SetSurfaceBlendMode(source_, SDL_BLENDMODE_NONE);
    }
    const ScreenRect fit = fitPicture(width_, height_, shown->w, shown->h);
    // Black bars around the picture.
    const Uint32 black = SDL_MapRGB(shown->format, 0, 0, 0);
    const SDL_Rect bars[] = {{0, 0, shown->w, fit.y},
                             {0, fit.y + fit.height, shown->w, shown->h - fit.y - fit.height},
                             {0, fit.y, fit.x, fit.height},
                             {fit.x + fit.width, fit.y, shown->w - fit.x - fit.width, fit.height}};
    for (const SDL_Rect& bar : bars)
      if (bar.w > 0 && bar.h > 0) SDL_FillRect(shown, &bar, black);
    SDL_Rect dst = toSdl(fit);
    if (fit.width == width_ && fit.height == height_) SDL_BlitSurface(source_, nullptr, shown, &dst);
    else SDL_BlitScaled(source_, nullptr, shown, &dst);
  }
  waitForFramePeriod();
  SDL_UpdateWindowSurface(window_);
}

void SdlScreen::presentSprites() {
  SDL_SetRenderTarget(renderer_, nullptr);
  SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 0xFF);
  SDL_RenderClear(renderer_);
  int outW = 0, outH = 0;
  if (SDL_GetRendererOutputSize(renderer_, &outW, &outH) != 0) {
    outW = width_;
    outH = height_;
  }
  SDL_Rect dst = toSdl(fitPicture(width_, height_, outW, outH));
  SDL_RenderCopy(renderer_, picture_, nullptr, &dst);
  if (inWindow_) waitForFramePeriod();
  SDL_RenderPresent(renderer_);
}

}  // namespace zor
