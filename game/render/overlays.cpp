#include "game/render/overlays.h"

#include <cmath>

#include "game/game.h"
#include "game/persist/speedrun.h"
#include "game/render/pixel_font.h"
#include "game/render/time_text.h"
#include "game/render/titles.h"
#include "platform/text.h"

namespace zor {

namespace {

constexpr int32_t kBlack = 0x000000;
constexpr int32_t kMenuHighlight = 0x80C0FF;
constexpr int32_t kClockReplay = 0xD0D0D0;
constexpr int32_t kClockDesync = 0xA0A0FF;
constexpr int32_t kClockAhead = 0xC0FFC0;
constexpr int32_t kClockBehind = 0xC0C0FF;
constexpr const char* kVersion = "1.3";
constexpr char kTimesSign = static_cast<char>(0xD7);

// The doubles just above 0.15 and 0.35: with them a row that would land exactly
// on a half rounds up.
constexpr double kTitleRow = 0.15000000000000002;
constexpr double kFirstLineRow = 0.35000000000000003;
constexpr double kHelpRow = 0.8;
constexpr int kMenuRows = 5;

// Nearest pixel, halves to even; NaN and far values are held safely.
int32_t roundToPixel(double v) { return truncateToPixel(std::nearbyint(v)); }

int32_t inverseOf(int32_t colour) { return 0xFFFFFF - colour; }

int32_t titleRowOf(const ScreenInfo& info) {
  return roundToPixel(info.topBar + kTitleRow * info.viewHeight);
}

}  // namespace

void drawLetterboxBars(ShapeFill& fill, const ScreenInfo& info) {
  const int32_t W = info.pixelWidth;
  const int32_t H = info.pixelHeight;
  if (info.topBar > 0) {
    // The lower bar starts right under the view, so an odd margin leaves no
    // uncovered row.
    const int64_t viewBottom = int64_t{info.topBar} + info.viewHeight;
    fill.fillBox(0, 0, W, info.topBar, kBlack);
    if (viewBottom < H)
      fill.fillBox(0, static_cast<int32_t>(viewBottom), W, static_cast<int32_t>(H - viewBottom), kBlack);
  } else if (info.leftBar > 0) {
    const int64_t viewRight = int64_t{info.leftBar} + info.viewWidth;
    fill.fillBox(0, 0, info.leftBar, H, kBlack);
    if (viewRight < W)
      fill.fillBox(static_cast<int32_t>(viewRight), 0, static_cast<int32_t>(W - viewRight), H, kBlack);
  }
}

std::string countdownText(int32_t frameCounter, bool replaying) {
  if (frameCounter < 0) return {};
  const int32_t s = frameCounter / 60;
  if (s < 3) return text::formatInt(3 - s);
  if (s == 3) return replaying ? "WATCH" : "GO";
  return {};
}

RunClockLook runClockLook(int32_t frameCounter, int32_t deaths, const RunDisplay& run) {
  RunClockLook look;
  look.text.assign(1, ' ');
  look.text += formatMinutesSeconds(int64_t{frameCounter} - kRunCountdownFrames);
  look.text += ' ';
  if (deaths != 0) look.text += text::formatInt(deaths) + kTimesSign + "D ";
  if (run.replaying) {
    look.boxColour = kClockReplay;
    if (run.replayLost) {
      look.text = " DESYNC ";
      look.boxColour = kClockDesync;
    }
    return look;
  }
  const SpeedrunRecord* sr = run.speedrun;
  const bool ahead = sr == nullptr || sr->bestTime == -1 || deaths < sr->fewestDeaths ||
                     int64_t{frameCounter} < int64_t{sr->bestTime} + kRunCountdownFrames;
  look.boxColour = ahead ? kClockAhead : kClockBehind;
  return look;
}

void drawRunCountdownAndClock(ShapeFill& fill, const ScreenInfo& info, const TextSizes& sizes,
                              int32_t backgroundColour, float runClockY, int32_t frameCounter,
                              int32_t deaths, const RunDisplay& run, int32_t noiseMask) {
  if (frameCounter < 0) return;
  const std::string word = countdownText(frameCounter, run.replaying);
  if (!word.empty()) {
    drawPixelText(fill, info.centreX, titleRowOf(info), word, inverseOf(backgroundColour), sizes.large, 1, -1,
                  noiseMask);
  }
  if (frameCounter / 60 > 2) {
    const RunClockLook look = runClockLook(frameCounter, deaths, run);
    drawPixelText(fill, info.centreX, truncateToPixel(runClockY), look.text, kBlack, sizes.small, 1,
                  look.boxColour, noiseMask);
  }
}

CountdownCues advanceRunClock(float& runClockY, float runClockTargetY, int32_t frameCounter) {
  CountdownCues cues;
  if (frameCounter < 0) return cues;
  const int32_t s = frameCounter / 60;
  if (s < 3 && frameCounter % 60 == 0) cues.click = true;
  if (frameCounter == kRunCountdownFrames) cues.go = true;
  if (s > 2) runClockY += (runClockTargetY - runClockY) * 0.05f;
  return cues;
}

void drawDebugOverlay(ShapeFill& fill, const ScreenInfo& info, int32_t backgroundColour,
                      const std::string& timeText, int32_t deaths, int32_t framesLastSecond,
                      int32_t noiseMask) {
  const std::string lines[4] = {
      "T " + timeText,
      "D " + text::formatInt(deaths),
      std::string("V ") + kVersion,
      "F " + text::formatInt(framesLastSecond),
  };
  const int32_t colour = inverseOf(backgroundColour);
  for (int i = 0; i < 4; ++i) {
    drawPixelText(fill, 10, info.topBar + 10 + 15 * i, lines[i], colour, 10, 0, -1, noiseMask);
  }
}

int32_t menuRowLine(const MenuState& menu, int32_t row) {
  const int64_t n = row < menu.firstSelectable ? int64_t{row} : int64_t{menu.scroll} + row;
  if (n < 0 || n >= menu.lineCount()) return -1;
  return static_cast<int32_t>(n);
}

void drawMenuFrame(ShapeFill& fill, const ScreenInfo& info, const TextSizes& sizes, const MenuState& menu,
                   int32_t noiseMask) {
  drawPixelText(fill, info.centreX, titleRowOf(info), menu.title, kBlack, sizes.large, 1, -1, noiseMask);

  const int32_t count = menu.lineCount();
  const double lineStep = info.viewHeight / 12.0;
  for (int i = 0; i < kMenuRows; ++i) {
    const int32_t n = menuRowLine(menu, i);
    if (n < 0) continue;  // past the last line, or a negative scroll: no line
    const MenuLine& line = menu.lines[static_cast<size_t>(n)];
    const int32_t y = roundToPixel(info.topBar + kFirstLineRow * info.viewHeight + lineStep * i);
    drawPixelText(fill, info.centreX, y, line.text, kBlack, sizes.medium, 1,
                  n == menu.selected ? kMenuHighlight : -1, noiseMask);

    const std::string blanks(line.text.size(), ' ');
    if (i == menu.firstSelectable && menu.scroll > 0) {
      drawPixelText(fill, info.centreX, y, "^ " + blanks + "  ", kMenuHighlight, sizes.medium, 1, -1, noiseMask);
    } else if (i == kMenuRows - 1 && count > n + 1) {
      drawPixelText(fill, info.centreX, y, "  " + blanks + " \\", kMenuHighlight, sizes.medium, 1, -1, noiseMask);
    }
  }

  if (menu.selected >= 0 && menu.selected < count) {
    const std::string& help = menu.lines[static_cast<size_t>(menu.selected)].help;
    if (!help.empty()) {
      drawPixelText(fill, info.centreX, roundToPixel(info.topBar + kHelpRow * info.viewHeight), help, kBlack,
                    sizes.small, 1, -1, noiseMask);
    }
  }

  drawLetterboxBars(fill, info);
}

TextSizes textSizesOf(const Game& game) {
  TextSizes s;
  s.large = game.screen.largeTextSize;
  s.medium = game.screen.mediumTextSize;
  s.small = game.screen.smallTextSize;
  return s;
}

void drawOverlays(Game& game, ShapeFill& fill, const RunDisplay& run) {
  const ScreenInfo& info = game.screen.info;
  const int32_t noise = game.app.noiseMask;
  const int32_t background = game.world.backgroundColour;

  drawTitles(fill, game.script.titles, info, game.world.fadeTargetColour, noise);
  if (game.app.runNumber != 0 && game.app.menuState == menu_state::Playing) {
    drawRunCountdownAndClock(fill, info, textSizesOf(game), background, game.screen.runClockY,
                             game.session.frameCounter, game.session.deaths, run, noise);
  }
  drawLetterboxBars(fill, info);
  if (game.app.debugOverlay == 1) {
    drawDebugOverlay(fill, info, background, formatFrameTime(game.session.frameCounter, game.app.runNumber != 0),
                     game.session.deaths, game.app.framesLastSecond, noise);
  }
}

CountdownCues advanceOverlays(Game& game) {
  stepTitleFades(game.script.titles);
  scrollCredits(game.script, game.controls, game.screen.info);
  if (game.app.runNumber != 0 && game.app.menuState == menu_state::Playing) {
    return advanceRunClock(game.screen.runClockY, game.screen.runClockTargetY, game.session.frameCounter);
  }
  return {};
}

void drawMenuFrame(Game& game, ShapeFill& fill, const MenuState& menu) {
  drawMenuFrame(fill, game.screen.info, textSizesOf(game), menu, game.app.noiseMask);
}

}  // namespace zor
