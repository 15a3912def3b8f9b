// The game's screen over SDL2: a window of the picture's size, or the whole
// desktop with the picture scaled into it. A window never reaches past the usable
// desktop: a picture larger than that is scaled into the largest window of its
// shape that fits.
//
// With the software fill the picture is a frame buffer in the window's own pixel
// format. While the window shows it unscaled, the buffer is the window's surface
// itself, so flip only hands it to the display; when the window's size differs
// from the picture (full screen, a window shrunk to fit, or the window manager
// making the window full screen) flip scales it into the surface, with black bars.
// No renderer is made for it. With the sprite fill the picture is a render-target
// texture of SDL's renderer.
#pragma once

#include <SDL.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/framebuffer.h"
#include "platform/window_placement.h"
#include "platform/sdl/sdl_sprite_fill.h"

namespace zor {

class SdlEvents;

class SdlScreen final : public ScreenOutput {
 public:
  enum class Backend { Buffer, Sprites };
  // The back-end a build uses for the game: the sprite fill with ZOR_SPRITE_FILL, else the buffer.
  static constexpr Backend kGameBackend =
#if defined(ZOR_SPRITE_FILL) && ZOR_SPRITE_FILL
      Backend::Sprites;
#else
      Backend::Buffer;
#endif

  explicit SdlScreen(SdlEvents& events, Backend backend = kGameBackend);
  ~SdlScreen() override;
  SdlScreen(const SdlScreen&) = delete;
  SdlScreen& operator=(const SdlScreen&) = delete;

  // Starts SDL's video; false when it cannot ("Screen could not be initialized!").
  bool init();
  Backend backend() const { return backend_; }

  std::vector<DisplayMode> displayModes() override;
  int32_t desktopDepth() override;
  bool openWindowed(int32_t width, int32_t height, const std::string& title) override;
  bool openFullScreen(int32_t width, int32_t height, const std::string& title) override;
  void close() override;
  bool isOpen() const override { return window_ != nullptr; }
  bool inWindow() const override { return window_ != nullptr && inWindow_; }
  // Under the dummy or offscreen video driver a shown window counts as active.
  bool isActive() override;
  WindowEvent nextWindowEvent() override;
  // Reopens at the same size in the other mode (window or full screen); false on failure,
  // and then nothing is open.
  bool toggleFullScreen();

  int32_t outputWidth() const override { return isOpen() ? width_ : 0; }
  int32_t outputHeight() const override { return isOpen() ? height_ : 0; }
  void clear(int32_t colour) override;
  bool startDrawing() override;
  void stopDrawing() override;
  FrameBuffer* drawingBuffer() override;
  // Valid until the screen closes; a new one comes with every opening.
  ShapeFill* spriteFill() override { return sprites_.get(); }
  bool grab(int32_t x, int32_t y, int32_t width, int32_t height, FrameBuffer& out) override;
  void flip() override;

  SDL_Window* window() const { return window_; }
  // The sprite fill's renderer; null with the software fill, which needs none.
  SDL_Renderer* renderer() const { return renderer_; }
  // Flip keeps a cadence of 60 a second in a window unless this is off (benchmarks).
  void setFramePacing(bool on) { pacing_ = on; }
  // Whether the frame buffer is the window's own surface (shown without a copy).
  bool drawsOnWindowSurface() const { return attached_; }

  static constexpr int32_t kMaxSide = 16384;

 private:
  bool open(int32_t width, int32_t height, const std::string& title, bool windowed);
  bool createPicture();
  bool setUpBuffer();
  void detachFromSurface();
  void presentBuffer();
  void presentSprites();
  void fitWindowInsideFrame();
  void waitForFramePeriod();

  SdlEvents& events_;
  Backend backend_;
  bool videoStarted_ = false;
  SDL_Window* window_ = nullptr;
  SDL_Renderer* renderer_ = nullptr;
  SDL_Texture* picture_ = nullptr;
  FrameBuffer buffer_;               // borrows the window's surface or own_
  std::vector<uint32_t> own_;        // the picture while the window cannot hold it unscaled
  SDL_Surface* source_ = nullptr;    // own_ as an SDL surface, for scaling into the window
  Uint32 bufferFormat_ = 0;          // SDL's name for the buffer's pixel format
  int32_t bufferPitch_ = 0;          // in pixels
  bool attached_ = false;
  bool pacing_ = true;
  std::unique_ptr<SpriteFill> sprites_;
  int32_t width_ = 0;
  int32_t height_ = 0;
  bool inWindow_ = false;
  bool frameFitted_ = false;  // the window was fitted with the window manager's frame
  bool drawing_ = false;
  std::string title_;
  uint64_t lastFlip_ = 0;  // performance-counter time of the last flip in a window
};

}  // namespace zor
