#include "game/render/game_screen.h"

#include <cmath>
#include <limits>

#include "game/game.h"
#include "game/render/titles.h"
#include "platform/app_platform.h"

namespace zor {

namespace {

constexpr const char* kProductName = "Zorlan";
// Closing the full screen releases the display; give it a moment before the next mode.
constexpr uint32_t kFullScreenReopenWaitMs = 200;

int32_t clampToInt32(int64_t v) {
  if (v > std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
  if (v < std::numeric_limits<int32_t>::min()) return std::numeric_limits<int32_t>::min();
  return static_cast<int32_t>(v);
}

}  // namespace

ShapeFill* GameScreen::shapeFill() {
  if (output == nullptr) return nullptr;
  if (ShapeFill* sprites = output->spriteFill()) return sprites;
  FrameBuffer* buffer = output->drawingBuffer();
  if (buffer == nullptr) return nullptr;
  bufferFill.setOutput(buffer);
  return &bufferFill;
}

int32_t roundUpToMultiple(int32_t value, int32_t step) {
  if (step <= 0) return value;
  const int64_t r = static_cast<int64_t>(value) % step;
  if (r == 0) return value;
  return clampToInt32(static_cast<int64_t>(value) + (step - r));
}

void viewSizeFor(int32_t width, int32_t height, int32_t& viewWidth, int32_t& viewHeight) {
  if (width <= 0 || height <= 0) {
    viewWidth = 0;
    viewHeight = 0;
    return;
  }
  const int64_t byWidth = static_cast<int64_t>(width) * 9 / 16;
  if (byWidth <= height) {
    viewWidth = width;
    viewHeight = static_cast<int32_t>(byWidth);
  } else {
    viewHeight = height;
    viewWidth = clampToInt32(static_cast<int64_t>(height) * 16 / 9);
  }
}

float focalValueFor(int32_t viewHeight) { return static_cast<float>(viewHeight) * 150.0f / 360.0f; }

int32_t borderWidthFor(float focalValue) {
  // The constant is the double just above 0.3, as the border width has always used.
  const double v = static_cast<double>(focalValue) * 0.01 + 0.30000000000000004;
  if (!(v > -2147483648.0 && v < 2147483648.0)) return 0;
  return static_cast<int32_t>(v);  // toward zero
}

TextSizes textSizesFor(int32_t viewHeight) {
  TextSizes t;
  t.large = roundUpToMultiple(viewHeight / 9, 5);
  t.medium = roundUpToMultiple(viewHeight / 24, 5);
  t.small = roundUpToMultiple(viewHeight / 36, 5);
  return t;
}

float runClockRestY(const ScreenInfo& info, int32_t smallTextSize, float position) {
  const float s = static_cast<float>(smallTextSize);
  return static_cast<float>(info.topBar) +
         (static_cast<float>(info.viewHeight) - s * 9.0f / 5.0f) * position + s * 2.0f / 5.0f;
}

ScreenLayout layoutScreen(int32_t width, int32_t height, int32_t depth, bool windowed, int32_t desktopDepth) {
  ScreenLayout l;
  ScreenInfo& s = l.info;
  s.width = width;
  s.height = height;
  s.depth = depth;
  viewSizeFor(width, height, s.viewWidth, s.viewHeight);
  l.focalValue = focalValueFor(s.viewHeight);
  l.borderWidth = borderWidthFor(l.focalValue);
  if (windowed) {
    s.pixelWidth = s.viewWidth;
    s.pixelHeight = s.viewHeight;
    s.pixelDepth = desktopDepth;
    s.leftBar = 0;
    s.topBar = 0;
  } else {
    s.pixelWidth = width;
    s.pixelHeight = height;
    s.pixelDepth = depth;
    s.leftBar = (s.pixelWidth - s.viewWidth) / 2;
    s.topBar = (s.pixelHeight - s.viewHeight) / 2;
  }
  s.centreX = s.viewWidth / 2 + s.leftBar;
  s.centreY = s.viewHeight / 2 + s.topBar;
  l.text = textSizesFor(s.viewHeight);
  return l;
}

void updateRunClockTarget(Game& game) {
  GameScreen& screen = game.screen;
  screen.runClockTargetY = runClockRestY(screen.info, screen.smallTextSize, game.script.runClockPosition);
}

int32_t openGameScreen(Game& game, int32_t windowed) {
  GameScreen& screen = game.screen;
  ScreenInfo& info = screen.info;

  // An open surface is closed first; the display needs a moment before full screen.
  if (screen.gameScreenOpen) {
    closeGameScreen(game);
    if (!windowed && game.platform) game.platform->sleepMs(kFullScreenReopenWaitMs);
  }
  // Nothing is open now.
  screen.windowedPacing = 0;
  screen.inWindow = 0;
  screen.gameScreenOpen = 0;
  info.leftBar = 0;
  info.topBar = 0;

  // The view, the projection scale and the border width.
  const int32_t desktopDepth = (windowed && screen.output) ? screen.output->desktopDepth() : 0;
  const ScreenLayout layout = layoutScreen(info.width, info.height, info.depth, windowed != 0, desktopDepth);
  info.viewWidth = layout.info.viewWidth;
  info.viewHeight = layout.info.viewHeight;
  screen.focalValue = layout.focalValue;
  screen.borderWidth = layout.borderWidth;

  ScreenOutput* out = screen.output;
  if (windowed) {
    // A window that holds the view alone.
    const std::string title = game.data.title.empty() ? std::string(kProductName) : game.data.title;
    info.pixelWidth = layout.info.pixelWidth;
    info.pixelHeight = layout.info.pixelHeight;
    info.pixelDepth = layout.info.pixelDepth;
    if (out && info.pixelWidth > 0 && info.pixelHeight > 0 &&
        out->openWindowed(info.pixelWidth, info.pixelHeight, title)) {
      screen.windowedPacing = 1;
      screen.inWindow = 1;
      screen.gameScreenOpen = 1;
    }
    game.prefs.windowed = 1;
  } else {
    // The whole display in the chosen mode, the view between bars.
    info.pixelWidth = layout.info.pixelWidth;
    info.pixelHeight = layout.info.pixelHeight;
    info.pixelDepth = layout.info.pixelDepth;
    screen.inWindow = 0;
    if (out && info.pixelWidth > 0 && info.pixelHeight > 0 &&
        out->openFullScreen(info.pixelWidth, info.pixelHeight, kProductName)) {
      info.leftBar = layout.info.leftBar;
      info.topBar = layout.info.topBar;
      screen.gameScreenOpen = 1;
    }
    game.prefs.windowed = 0;
  }

  // Everything else that follows from the opened surface.
  if (screen.gameScreenOpen) {
    info.centreX = info.viewWidth / 2 + info.leftBar;
    info.centreY = info.viewHeight / 2 + info.topBar;
    screen.largeTextSize = layout.text.large;
    screen.mediumTextSize = layout.text.medium;
    screen.smallTextSize = layout.text.small;
    layoutTitles(game, nullptr);
    updateRunClockTarget(game);
    screen.runClockY = screen.runClockTargetY;

    // Fill calibration: the sprite back-end rebuilds its colour sprites; the
    // software fill measures the screen's buffer when asked to.
    if (ShapeFill* sprites = out->spriteFill()) {
      sprites->prepareAfterOpen(game.prefs.screenWrapCheck != 0);
    } else if (game.prefs.screenWrapCheck != 0 && out->startDrawing()) {
      screen.bufferFill.setOutput(out->drawingBuffer());
      screen.bufferFill.prepareAfterOpen(true);
      out->stopDrawing();
    } else {
      screen.bufferFill.state = BufferFillState{};
    }
  }

  // The frame-rate count starts again.
  if (game.platform) game.app.resetFrameRateWindow(game.platform->elapsedMs());
  return screen.gameScreenOpen;
}

void closeGameScreen(Game& game) {
  GameScreen& screen = game.screen;
  if (screen.gameScreenOpen && screen.output) screen.output->close();
  screen.inWindow = 0;
  screen.gameScreenOpen = 0;
  screen.bufferFill.setOutput(nullptr);
}

}  // namespace zor
