// The game screen: a window the size of the 16:9 view, or the full screen with
// the view centred between black bars, and everything that follows from its
// size (view, bars, centre, projection scale, border width, text sizes, the
// speedrun clock's rest position and the fill calibration). The geometry is
// plain arithmetic; opening and closing go through the ScreenOutput interface
// that the platform layer implements.
#pragma once

#include <cstdint>

#include "game/render/fill.h"
#include "game/render/scene_index.h"
#include "platform/framebuffer.h"

namespace zor {

struct Game;

// The screen geometry, all in pixels.
struct ScreenInfo {
  // The chosen display mode (from the preferences, changed by the menus).
  int32_t width = 640;
  int32_t height = 480;
  int32_t depth = 32;
  // Size and depth of the surface actually opened.
  int32_t pixelWidth = 0;
  int32_t pixelHeight = 0;
  int32_t pixelDepth = 0;
  // The 16:9 area the scene is drawn in.
  int32_t viewWidth = 0;
  int32_t viewHeight = 0;
  // Bars left and right of the view, and above and below it (full screen only).
  int32_t leftBar = 0;
  int32_t topBar = 0;
  // The view's centre in surface pixels: the projection centre.
  int32_t centreX = 0;
  int32_t centreY = 0;
};

// Glyph heights of the pixel font, each a multiple of 5.
struct TextSizes {
  int32_t large = 0;   // menu title, run countdown
  int32_t medium = 0;  // menu lines
  int32_t small = 0;   // help lines, run clock
};

struct GameScreen {
  ScreenInfo info;
  float focalValue = 0.0f;
  int32_t borderWidth = 0;
  int32_t largeTextSize = 0;
  int32_t mediumTextSize = 0;
  int32_t smallTextSize = 0;

  int32_t gameScreenOpen = 0;  // a surface is open
  int32_t inWindow = 0;        // the open surface is a window
  int32_t windowedPacing = 0;  // the frame loop paces itself for a window

  // The speedrun clock's rest position and its current position (surface pixels).
  float runClockTargetY = 0.0f;
  float runClockY = 0.0f;

  // The platform's screen; not owned. Null until start-up sets it.
  ScreenOutput* output = nullptr;
  // The software fill over the screen's pixel memory (used unless the screen
  // draws shapes through its sprite back-end).
  BufferShapeFill bufferFill;
  // Where the objects lie along x for this frame's scene walk (made with the drawing state).
  SceneIndex sceneIndex;

  // The shape back-end for the frame being drawn: the screen's sprite fill when
  // it has one, else the software fill over its pixel memory (null when there is
  // none). Call after startDrawing.
  ShapeFill* shapeFill();
};

// value rounded up to a multiple of step (step > 0): value + (step - r) when the
// remainder r (truncated toward zero) is not 0, else value.
int32_t roundUpToMultiple(int32_t value, int32_t step);

// The largest 16:9 area of width x height (integer divisions): the view height is
// width * 9 / 16 when that fits in height, else the height, with the width
// height * 16 / 9. Sizes of 0 or less give an empty view.
void viewSizeFor(int32_t width, int32_t height, int32_t& viewWidth, int32_t& viewHeight);
// viewHeight * 150 / 360 in single precision.
float focalValueFor(int32_t viewHeight);
// truncate(focal * 0.01 + the double just above 0.3).
int32_t borderWidthFor(float focalValue);
// View height / 9, / 24 and / 36, each rounded up to a multiple of 5.
TextSizes textSizesFor(int32_t viewHeight);
// Rest position of the speedrun clock: top bar + (view height - 1.8 s) * position + 0.4 s,
// s being the small text size; in single precision.
float runClockRestY(const ScreenInfo& info, int32_t smallTextSize, float position);

// Everything the opening of a surface derives from the chosen mode, assuming the
// surface opens (the window holds the view alone; the full screen has the mode's size).
struct ScreenLayout {
  ScreenInfo info;  // width, height, depth as given; the rest derived
  float focalValue = 0.0f;
  int32_t borderWidth = 0;
  TextSizes text;
};
ScreenLayout layoutScreen(int32_t width, int32_t height, int32_t depth, bool windowed, int32_t desktopDepth);

// Opens the game's surface: a window (windowed 1) or the full screen (0) in the
// mode of game.screen.info. Closes an open one first. Sets the Windowed
// preference to the mode asked for. Returns gameScreenOpen: 1 on success, 0 on
// failure (nothing is shown; the derived values of a previous opening stay).
int32_t openGameScreen(Game& game, int32_t windowed);
// Closes whatever is open; harmless when nothing is.
void closeGameScreen(Game& game);
// Sets the speedrun clock to its rest position for the current screen.
void updateRunClockTarget(Game& game);

}  // namespace zor
