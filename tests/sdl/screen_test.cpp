// The SDL screen under the dummy video driver: opening in both modes, drawing
// through both back-ends, reading the picture back, flipping and window events.
#include "platform/sdl/sdl_screen.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include "game/render/fill.h"
#include "platform/sdl/sdl_events.h"
#include "sdl_test_support.h"

namespace zor {
namespace {

class ScreenTest : public ::testing::Test {
 protected:
  testing_support::DummyVideo dummy_;
  SdlEvents events_;
};

TEST(ScreenBackend, TheBuildOptionPicksTheGamesBackEnd) {
#if defined(ZOR_SPRITE_FILL) && ZOR_SPRITE_FILL
  EXPECT_EQ(SdlScreen::kGameBackend, SdlScreen::Backend::Sprites);
#else
  EXPECT_EQ(SdlScreen::kGameBackend, SdlScreen::Backend::Buffer);
#endif
}

TEST_F(ScreenTest, ListsTheDisplayModes) {
  SdlScreen screen(events_, SdlScreen::Backend::Buffer);
  ASSERT_TRUE(screen.init()) << SDL_GetError();
  auto modes = screen.displayModes();
  ASSERT_FALSE(modes.empty());
  for (const DisplayMode& m : modes) {
    EXPECT_GT(m.width, 0);
    EXPECT_GT(m.height, 0);
  }
  EXPECT_GT(screen.desktopDepth(), 0);
}

TEST_F(ScreenTest, WindowDrawsThroughTheFrameBufferAndFlips) {
  SdlScreen screen(events_, SdlScreen::Backend::Buffer);
  ASSERT_TRUE(screen.openWindowed(320, 180, "Zorlan")) << SDL_GetError();
  EXPECT_TRUE(screen.isOpen());
  EXPECT_TRUE(screen.inWindow());
  EXPECT_EQ(screen.outputWidth(), 320);
  EXPECT_EQ(screen.outputHeight(), 180);
  EXPECT_EQ(screen.spriteFill(), nullptr);
  int w = 0, h = 0;
  SDL_GetWindowSize(screen.window(), &w, &h);
  EXPECT_EQ(w, 320);
  EXPECT_EQ(h, 180);

  FrameBuffer* fb = screen.drawingBuffer();
  ASSERT_NE(fb, nullptr);
  EXPECT_EQ(fb->width(), 320);
  EXPECT_EQ(fb->height(), 180);
  BufferShapeFill fill(fb);
  screen.clear(0x336699);
  ASSERT_TRUE(screen.startDrawing());
  EXPECT_EQ(fill.prepareAfterOpen(true), 1);
  EXPECT_EQ(fill.state.wholeFillDisabled, 0);
  screen.clear(0x336699);
  EXPECT_EQ(fill.fillBox(10, 20, 30, 40, 0x0000FF), 1);
  screen.stopDrawing();
  for (int i = 0; i < 3; ++i) screen.flip();

  FrameBuffer grabbed;
  ASSERT_TRUE(screen.grab(5, 15, 50, 50, grabbed));
  EXPECT_EQ(grabbed.width(), 50);
  EXPECT_EQ(pointColour(grabbed, 0, 0), 0x336699);
  EXPECT_EQ(pointColour(grabbed, 5, 5), 0x0000FF);
  EXPECT_EQ(pointColour(grabbed, 34, 44), 0x0000FF);
  EXPECT_EQ(pointColour(grabbed, 35, 44), 0x336699);
  EXPECT_FALSE(screen.grab(300, 0, 21, 10, grabbed));
  EXPECT_FALSE(screen.grab(-1, 0, 10, 10, grabbed));

  screen.close();
  EXPECT_FALSE(screen.isOpen());
  EXPECT_EQ(screen.drawingBuffer(), nullptr);
  EXPECT_FALSE(screen.startDrawing());
  screen.flip();  // harmless when closed
  screen.close();
}

TEST_F(ScreenTest, SpriteBackEndDrawsOnItsPicture) {
  SdlScreen screen(events_, SdlScreen::Backend::Sprites);
  ASSERT_TRUE(screen.openWindowed(160, 90, "Zorlan")) << SDL_GetError();
  EXPECT_EQ(screen.drawingBuffer(), nullptr);
  ShapeFill* fill = screen.spriteFill();
  ASSERT_NE(fill, nullptr);
  screen.clear(0x00FF00);
  ASSERT_TRUE(screen.startDrawing());
  EXPECT_EQ(fill->prepareAfterOpen(true), 1);
  fill->fillBox(-5, 10, 20, 4, 0x0000FF);
  fill->fillDisc(80, 45, 0, 0xFFFFFF);
  screen.stopDrawing();
  screen.flip();

  FrameBuffer grabbed;
  ASSERT_TRUE(screen.grab(0, 0, 160, 90, grabbed));
  EXPECT_EQ(pointColour(grabbed, 0, 10), 0x0000FF);
  EXPECT_EQ(pointColour(grabbed, 14, 13), 0x0000FF);
  EXPECT_EQ(pointColour(grabbed, 15, 13), 0x00FF00);
  EXPECT_EQ(pointColour(grabbed, 80, 45), 0xFFFFFF);
  EXPECT_EQ(pointColour(grabbed, 81, 45), 0x00FF00);
  // The picture stays as drawn across flips until cleared.
  screen.flip();
  ASSERT_TRUE(screen.grab(0, 10, 1, 1, grabbed));
  EXPECT_EQ(pointColour(grabbed, 0, 0), 0x0000FF);
}

TEST_F(ScreenTest, FullScreenScalesThePictureAndTogglesToAWindow) {
  for (auto backend : {SdlScreen::Backend::Buffer, SdlScreen::Backend::Sprites}) {
    SdlScreen screen(events_, backend);
    ASSERT_TRUE(screen.openFullScreen(640, 480, "Zorlan")) << SDL_GetError();
    EXPECT_TRUE(screen.isOpen());
    EXPECT_FALSE(screen.inWindow());
    EXPECT_EQ(screen.outputWidth(), 640);
    EXPECT_EQ(screen.outputHeight(), 480);
    EXPECT_NE(SDL_GetWindowFlags(screen.window()) & SDL_WINDOW_FULLSCREEN_DESKTOP, 0u);
    screen.clear(0x112233);
    screen.flip();

    ASSERT_TRUE(screen.toggleFullScreen());
    EXPECT_TRUE(screen.inWindow());
    EXPECT_EQ(screen.outputWidth(), 640);
    ASSERT_TRUE(screen.toggleFullScreen());
    EXPECT_FALSE(screen.inWindow());
  }
}

TEST_F(ScreenTest, FlipScalesThePictureIntoTheDisplayKeepingItsShape) {
  SdlScreen screen(events_, SdlScreen::Backend::Buffer);
  ASSERT_TRUE(screen.openFullScreen(320, 180, "Zorlan")) << SDL_GetError();
  int ow = 0, oh = 0;
  SDL_GetWindowSize(screen.window(), &ow, &oh);
  ASSERT_GT(ow, 0);
  // Flip scales the picture into the window's own surface.
  FrameBuffer* fb = screen.drawingBuffer();
  ASSERT_NE(fb, nullptr);
  clearBuffer(*fb, 0x0000FF);
  drawBox(*fb, 0, 0, 1, 1, 0x00FF00);
  screen.flip();
  SDL_Surface* shown = SDL_GetWindowSurface(screen.window());
  ASSERT_NE(shown, nullptr);
  ASSERT_EQ(shown->w, ow);
  auto at = [&](int x, int y) {
    Uint8 r, g, b;
    Uint32 p = *reinterpret_cast<const Uint32*>(static_cast<const Uint8*>(shown->pixels) + y * shown->pitch + x * 4);
    SDL_GetRGB(p, shown->format, &r, &g, &b);
    return r | (g << 8) | (b << 16);
  };
  const double scale = std::min(ow / 320.0, oh / 180.0);
  const int w = static_cast<int>(320 * scale), h = static_cast<int>(180 * scale);
  const int left = (ow - w) / 2, top = (oh - h) / 2;
  EXPECT_EQ(at(left, top), 0x00FF00);
  EXPECT_EQ(at(left + w - 1, top + h - 1), 0x0000FF);
  EXPECT_EQ(at(left + static_cast<int>(scale) + 1, top), 0x0000FF);
  if (top > 0) {
    EXPECT_EQ(at(left, top - 1), 0x000000);  // bars are black
  }
  if (left > 0) {
    EXPECT_EQ(at(left - 1, top), 0x000000);
  }
}

// The colour at a point of the window's surface as last shown.
int32_t shownColour(SDL_Window* window, int x, int y) {
  SDL_Surface* shown = SDL_GetWindowSurface(window);
  if (shown == nullptr || x < 0 || y < 0 || x >= shown->w || y >= shown->h) return -1;
  Uint8 r, g, b;
  Uint32 p = *reinterpret_cast<const Uint32*>(static_cast<const Uint8*>(shown->pixels) + y * shown->pitch + x * 4);
  SDL_GetRGB(p, shown->format, &r, &g, &b);
  return r | (g << 8) | (b << 16);
}

TEST_F(ScreenTest, AnUnscaledWindowIsDrawnOnItsOwnSurface) {
  SdlScreen screen(events_, SdlScreen::Backend::Buffer);
  ASSERT_TRUE(screen.openWindowed(320, 180, "Zorlan")) << SDL_GetError();
  EXPECT_EQ(screen.renderer(), nullptr);  // no renderer is started for the software fill
  ASSERT_TRUE(screen.drawsOnWindowSurface());
  SDL_Surface* shown = SDL_GetWindowSurface(screen.window());
  ASSERT_NE(shown, nullptr);
  FrameBuffer* fb = screen.drawingBuffer();
  ASSERT_NE(fb, nullptr);
  EXPECT_EQ(static_cast<void*>(fb->pixels()), shown->pixels);
  clearBuffer(*fb, 0x123456);
  screen.flip();
  EXPECT_EQ(shownColour(screen.window(), 319, 179), 0x123456);
}

TEST_F(ScreenTest, AWindowNeverReachesPastTheUsableDesktop) {
  SdlScreen screen(events_, SdlScreen::Backend::Buffer);
  ASSERT_TRUE(screen.init());
  SDL_Rect usable{};
  ASSERT_EQ(SDL_GetDisplayUsableBounds(0, &usable), 0) << SDL_GetError();
  // Twice the desktop's width and height: the picture keeps its size, the window fits.
  const int32_t pw = usable.w * 2, ph = usable.h * 2;
  ASSERT_TRUE(screen.openWindowed(pw, ph, "Zorlan")) << SDL_GetError();
  EXPECT_EQ(screen.outputWidth(), pw);
  EXPECT_EQ(screen.outputHeight(), ph);
  int x = 0, y = 0, w = 0, h = 0;
  SDL_GetWindowPosition(screen.window(), &x, &y);
  SDL_GetWindowSize(screen.window(), &w, &h);
  EXPECT_EQ(w, usable.w);
  EXPECT_EQ(h, usable.h);
  EXPECT_GE(x, usable.x);
  EXPECT_GE(y, usable.y);
  EXPECT_LE(x + w, usable.x + usable.w);
  EXPECT_LE(y + h, usable.y + usable.h);
  // The picture is scaled into the window: its bottom-right quarter lands at the window's.
  FrameBuffer* fb = screen.drawingBuffer();
  ASSERT_NE(fb, nullptr);
  clearBuffer(*fb, 0x0000FF);
  drawBox(*fb, pw / 2, ph / 2, pw / 2, ph / 2, 0x00FF00);
  screen.flip();
  EXPECT_EQ(shownColour(screen.window(), w - 1, h - 1), 0x00FF00);
  EXPECT_EQ(shownColour(screen.window(), w / 2 - 2, h / 2 - 2), 0x0000FF);
  EXPECT_EQ(shownColour(screen.window(), 0, 0), 0x0000FF);
}

TEST_F(ScreenTest, AWindowMadeFullScreenFromOutsideIsFilledLikeTheGamesFullScreen) {
  SdlScreen screen(events_, SdlScreen::Backend::Buffer);
  ASSERT_TRUE(screen.openWindowed(320, 240, "Zorlan")) << SDL_GetError();
  FrameBuffer* fb = screen.drawingBuffer();
  ASSERT_NE(fb, nullptr);
  clearBuffer(*fb, 0x0000FF);
  drawBox(*fb, 0, 0, 1, 1, 0x00FF00);
  screen.flip();

  // The window manager makes the window as large as the display.
  ASSERT_EQ(SDL_SetWindowFullscreen(screen.window(), SDL_WINDOW_FULLSCREEN_DESKTOP), 0) << SDL_GetError();
  events_.pump();
  screen.flip();
  int ow = 0, oh = 0;
  SDL_GetWindowSize(screen.window(), &ow, &oh);
  ASSERT_GT(ow, 320);
  EXPECT_FALSE(screen.drawsOnWindowSurface());
  const double scale = std::min(ow / 320.0, oh / 240.0);
  const int w = static_cast<int>(320 * scale), h = static_cast<int>(240 * scale);
  const int left = (ow - w) / 2, top = (oh - h) / 2;
  EXPECT_EQ(shownColour(screen.window(), left, top), 0x00FF00);
  EXPECT_EQ(shownColour(screen.window(), left + w - 1, top + h - 1), 0x0000FF);
  if (left > 0) {
    EXPECT_EQ(shownColour(screen.window(), left - 1, top), 0x000000);
  }
  if (top > 0) {
    EXPECT_EQ(shownColour(screen.window(), left, top - 1), 0x000000);
  }
  // The picture kept what was drawn, and drawing goes on into it.
  EXPECT_EQ(pointColour(*screen.drawingBuffer(), 0, 0), 0x00FF00);
  drawBox(*screen.drawingBuffer(), 319, 239, 1, 1, 0xFF0000);
  screen.flip();
  EXPECT_EQ(shownColour(screen.window(), left + w - 1, top + h - 1), 0xFF0000);

  // Back to the window's own size: drawn on the window's surface again, nothing lost.
  ASSERT_EQ(SDL_SetWindowFullscreen(screen.window(), 0), 0) << SDL_GetError();
  SDL_SetWindowSize(screen.window(), 320, 240);
  events_.pump();
  screen.flip();
  EXPECT_TRUE(screen.drawsOnWindowSurface());
  EXPECT_EQ(shownColour(screen.window(), 0, 0), 0x00FF00);
  EXPECT_EQ(shownColour(screen.window(), 319, 239), 0xFF0000);
  EXPECT_EQ(pointColour(*screen.drawingBuffer(), 1, 1), 0x0000FF);
}

TEST_F(ScreenTest, RefusesSizesItCannotHold) {
  SdlScreen screen(events_, SdlScreen::Backend::Buffer);
  for (auto [w, h] : {std::pair{0, 100}, {100, -1}, {SdlScreen::kMaxSide + 1, 10}, {INT32_MAX, INT32_MAX}}) {
    EXPECT_FALSE(screen.openWindowed(w, h, "Zorlan")) << w << "x" << h;
    EXPECT_FALSE(screen.isOpen());
    EXPECT_EQ(screen.outputWidth(), 0);
  }
}

TEST_F(ScreenTest, ReopeningReplacesTheOpenScreen) {
  SdlScreen screen(events_, SdlScreen::Backend::Sprites);
  ASSERT_TRUE(screen.openWindowed(100, 50, "A"));
  ASSERT_TRUE(screen.openWindowed(200, 80, "B"));
  EXPECT_EQ(screen.outputWidth(), 200);
  EXPECT_STREQ(SDL_GetWindowTitle(screen.window()), "B");
  ASSERT_NE(screen.spriteFill(), nullptr);
  EXPECT_EQ(screen.spriteFill()->prepareAfterOpen(true), 1);
}

TEST_F(ScreenTest, WindowEventsArriveInOrder) {
  SdlScreen screen(events_, SdlScreen::Backend::Buffer);
  ASSERT_TRUE(screen.openWindowed(64, 36, "Zorlan"));
  while (screen.nextWindowEvent() != WindowEvent::None) {
  }
  auto push = [&](Uint8 kind) {
    SDL_Event e{};
    e.type = SDL_WINDOWEVENT;
    e.window.windowID = SDL_GetWindowID(screen.window());
    e.window.event = kind;
    SDL_PushEvent(&e);
  };
  push(SDL_WINDOWEVENT_FOCUS_LOST);
  push(SDL_WINDOWEVENT_FOCUS_GAINED);
  push(SDL_WINDOWEVENT_CLOSE);
  SDL_Event quit{};
  quit.type = SDL_QUIT;
  SDL_PushEvent(&quit);
  EXPECT_EQ(screen.nextWindowEvent(), WindowEvent::FocusLost);
  EXPECT_EQ(screen.nextWindowEvent(), WindowEvent::FocusGained);
  EXPECT_EQ(screen.nextWindowEvent(), WindowEvent::Close);
  EXPECT_EQ(screen.nextWindowEvent(), WindowEvent::Close);
  EXPECT_EQ(screen.nextWindowEvent(), WindowEvent::None);
}

TEST_F(ScreenTest, ACloseRequestSurvivesReopeningTheScreen) {
  SdlScreen screen(events_, SdlScreen::Backend::Buffer);
  ASSERT_TRUE(screen.openWindowed(64, 36, "Zorlan"));
  SDL_Event quit{};
  quit.type = SDL_QUIT;
  SDL_PushEvent(&quit);
  events_.pump();
  ASSERT_TRUE(screen.toggleFullScreen());
  bool closed = false;
  for (WindowEvent e; (e = screen.nextWindowEvent()) != WindowEvent::None;) closed |= e == WindowEvent::Close;
  EXPECT_TRUE(closed);
}

TEST_F(ScreenTest, KeptEventsAreBoundedButACloseIsNeverLost) {
  SDL_InitSubSystem(SDL_INIT_EVENTS);
  for (size_t i = 0; i < SdlEvents::kMaxPending * 3; ++i) {
    SDL_Event e{};
    e.type = SDL_WINDOWEVENT;
    e.window.event = SDL_WINDOWEVENT_FOCUS_LOST;
    SDL_PushEvent(&e);
  }
  SDL_Event quit{};
  quit.type = SDL_QUIT;
  SDL_PushEvent(&quit);
  events_.pump();
  size_t n = 0;
  WindowEvent last = WindowEvent::None;
  for (WindowEvent e; (e = events_.next()) != WindowEvent::None; ++n) last = e;
  EXPECT_EQ(n, SdlEvents::kMaxPending);
  EXPECT_EQ(last, WindowEvent::Close);
  SDL_QuitSubSystem(SDL_INIT_EVENTS);
}

TEST_F(ScreenTest, ActiveWhileAWindowIsShown) {
  SdlScreen screen(events_, SdlScreen::Backend::Buffer);
  EXPECT_FALSE(screen.isActive());
  ASSERT_TRUE(screen.openWindowed(64, 36, "Zorlan"));
  EXPECT_TRUE(screen.isActive());  // the dummy driver gives no focus, and takes none away
  SDL_HideWindow(screen.window());
  EXPECT_FALSE(screen.isActive());
  screen.close();
  EXPECT_FALSE(screen.isActive());
}

}  // namespace
}  // namespace zor
