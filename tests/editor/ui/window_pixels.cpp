// Reads the pixels of an X window as it is shown: writes them as a PNG picture and
// prints the colour (RRGGBB) at each point asked for, one per line.
// Usage: window_pixels WINDOW-ID OUT.png [X Y]...
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "platform/png_writer.h"

int main(int argc, char** argv) {
  if (argc < 3 || argc % 2 == 0) {
    std::fprintf(stderr, "usage: window_pixels WINDOW-ID OUT.png [X Y]...\n");
    return 2;
  }
  Display* display = XOpenDisplay(nullptr);
  if (!display) {
    std::fprintf(stderr, "window_pixels: no display\n");
    return 1;
  }
  const Window window = static_cast<Window>(std::strtoul(argv[1], nullptr, 0));
  XWindowAttributes attributes;
  if (!XGetWindowAttributes(display, window, &attributes)) return 1;
  XImage* image = XGetImage(display, window, 0, 0, static_cast<unsigned>(attributes.width),
                            static_cast<unsigned>(attributes.height), AllPlanes, ZPixmap);
  if (!image) {
    std::fprintf(stderr, "window_pixels: the window could not be read\n");
    return 1;
  }
  const int w = image->width, h = image->height;
  std::vector<uint32_t> pixels(static_cast<size_t>(w) * static_cast<size_t>(h));
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const unsigned long p = XGetPixel(image, x, y);
      // Red in the low byte, as the PNG writer takes it.
      const uint32_t r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
      pixels[static_cast<size_t>(y) * static_cast<size_t>(w) + static_cast<size_t>(x)] = r | (g << 8) | (b << 16);
    }
  if (!zor::png::writePng(argv[2], pixels.data(), w, h, w, zor::png::PixelShifts{})) {
    std::fprintf(stderr, "window_pixels: %s could not be written\n", argv[2]);
    return 1;
  }
  for (int i = 3; i + 1 < argc; i += 2) {
    const int x = std::atoi(argv[i]), y = std::atoi(argv[i + 1]);
    if (x < 0 || y < 0 || x >= w || y >= h) {
      std::printf("outside\n");
      continue;
    }
    const uint32_t c = pixels[static_cast<size_t>(y) * static_cast<size_t>(w) + static_cast<size_t>(x)];
    std::printf("%02X%02X%02X\n", c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
  }
  XDestroyImage(image);
  XCloseDisplay(display);
  return 0;
}
