// Start-up to the first shown frame, and peak memory, of a window of the given size:
// either the game's screen (the same path the game takes) or a minimal SDL program
// that opens the same window and shows one filled frame through its surface.
//
//   window_start screen|minimal|renderer [width height [fullscreen]]
//
// Run it under Xvfb (xvfb-run -a) or with SDL_VIDEODRIVER=dummy; it prints
// milliseconds from the program's start to the first frame shown, and the peak
// resident size.
#include <SDL.h>
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/sdl/sdl_events.h"
#include "platform/sdl/sdl_screen.h"

namespace {

const auto kStart = std::chrono::steady_clock::now();

double msSinceStart() {
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - kStart).count();
}

double peakMiB() {
  rusage u{};
  getrusage(RUSAGE_SELF, &u);
  return static_cast<double>(u.ru_maxrss) / 1024.0;
}

int minimal(int w, int h, bool fullScreen, bool withRenderer) {
  // Without a renderer, the window's surface is plain memory shown by the window system.
  if (!withRenderer) SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
  if (SDL_Init(SDL_INIT_VIDEO) != 0) return 1;
  const Uint32 flags = fullScreen ? Uint32{SDL_WINDOW_FULLSCREEN_DESKTOP} : 0u;
  SDL_Window* window =
      SDL_CreateWindow("Zorlan", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, w, h, flags);
  if (window == nullptr) return 1;
  if (withRenderer) {
    // What an SDL program gets by default: SDL's first renderer, with a streaming texture.
    SDL_Renderer* r = SDL_CreateRenderer(window, -1, SDL_RENDERER_ACCELERATED | SDL_RENDERER_PRESENTVSYNC);
    if (r == nullptr) return 1;
    SDL_Texture* t = SDL_CreateTexture(r, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STREAMING, w, h);
    void* pixels = nullptr;
    int pitch = 0;
    SDL_LockTexture(t, nullptr, &pixels, &pitch);
    std::memset(pixels, 0x40, static_cast<size_t>(pitch) * static_cast<size_t>(h));
    SDL_UnlockTexture(t);
    SDL_RenderCopy(r, t, nullptr, nullptr);
    SDL_RenderPresent(r);
  } else {
    SDL_Surface* s = SDL_GetWindowSurface(window);
    if (s == nullptr) return 1;
    SDL_FillRect(s, nullptr, SDL_MapRGB(s->format, 0x40, 0x40, 0x40));
    SDL_UpdateWindowSurface(window);
  }
  std::printf("first frame %.1f ms, peak %.1f MiB\n", msSinceStart(), peakMiB());
  SDL_DestroyWindow(window);
  SDL_Quit();
  return 0;
}

int gameScreen(int w, int h, bool fullScreen) {
  zor::SdlEvents events;
  zor::SdlScreen screen(events);
  const bool open = fullScreen ? screen.openFullScreen(w, h, "Zorlan") : screen.openWindowed(w, h, "Zorlan");
  if (!open) return 1;
  screen.clear(0x404040);
  screen.flip();
  std::printf("first frame %.1f ms, peak %.1f MiB (%s)\n", msSinceStart(), peakMiB(),
              screen.drawsOnWindowSurface() ? "drawn on the window's surface" : "scaled into the window");
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string mode = argc > 1 ? argv[1] : "screen";
  const int w = argc > 3 ? std::atoi(argv[2]) : 1920;
  const int h = argc > 3 ? std::atoi(argv[3]) : 1080;
  const bool fullScreen = argc > 4 && std::strcmp(argv[4], "fullscreen") == 0;
  if (mode == "minimal") return minimal(w, h, fullScreen, false);
  if (mode == "renderer") return minimal(w, h, fullScreen, true);
  return gameScreen(w, h, fullScreen);
}
