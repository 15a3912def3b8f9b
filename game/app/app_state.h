// The program shell's state: the frame loop's counters and pacing, the requests
// that parts of a frame leave for its end, the menu state the loop switches on,
// whether sound output works, and the list of screen sizes.
#pragma once

#include "game/menu/menu_screen_ids.h"
#include "platform/random.h"

#include <cstdint>
#include <vector>

namespace zor {

// menuState values.
namespace menu_state {
inline constexpr int32_t Playing = 0;
inline constexpr int32_t Opening = 1;  // one more game frame runs and is drawn, not shown
inline constexpr int32_t Shown = 2;
}  // namespace menu_state

struct ScreenSize {
  int32_t width = 0;
  int32_t height = 0;
};

struct AppState {
  // Frame loop.
  int32_t quitRequested = 0;
  uint32_t frameTime = 0;    // elapsed milliseconds at the start of the pass
  uint32_t secondStart = 0;  // frameTime when the current one-second window began
  int32_t framesThisSecond = 0;
  int32_t framesLastSecond = 0;
  int32_t frameSleep = 12;  // milliseconds slept after a full-screen game frame
  int32_t runningThisFrame = 0;
  int32_t debugOverlay = 0;
  int32_t noiseMask = 0;  // 1..16777216; bits of the pixel font's noise glyph
  // The noise glyph draws from its own generator, never from the world's seeded
  // one, so that replays do not depend on when the mask was renewed.
  RandomGenerator noiseGenerator;
  bool tabDown = false;   // Tab as seen at the end of the last game frame

  // Requests set during a frame and applied at its end.
  int32_t playerBlinkPending = 0;
  int32_t screenshotRequested = 0;
  int32_t controlsActive = 0;  // the player had control in this frame

  // Menu.
  int32_t menuState = menu_state::Playing;
  int32_t menuScreen = 0;
  int32_t menuBackground = 0xFFFFFF;

  // Speedrun: not 0 while a run is going on.
  int32_t runNumber = 0;

  // Sound output works for this run (decided once at start-up).
  bool soundWorks = false;
  int32_t pauseMusic = 0;  // streamed sound number of the pause music; 0 for none

  // Screen sizes the display offers, ordered by width, then by height.
  std::vector<ScreenSize> screenSizes;

  // The quit path has begun; a fatal error on the way out ends the program at once.
  bool quitting = false;
  // The process's exit status once the quit path has run.
  int exitStatus = 0;

  // Ends the current one-second frame-rate window at the pass's time.
  void endSecondWindow() {
    framesLastSecond = framesThisSecond;
    framesThisSecond = 0;
    secondStart = frameTime;
  }
  // Starts a new one-second window at `now`, so that a long pause (a zone load,
  // a new screen) does not count as a slow second.
  void resetFrameRateWindow(uint32_t now) {
    frameTime = now;
    endSecondWindow();
  }
  // Leaves any menu for play; with resetScreen the menu screen goes back to 0 too.
  void closeMenu(bool resetScreen) {
    menuState = menu_state::Playing;
    if (resetScreen) menuScreen = 0;
  }
};

}  // namespace zor
