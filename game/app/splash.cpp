#include "game/app/splash.h"

#include <array>

#include "platform/app_platform.h"
#include "game/app/frame_loop.h"
#include "game/audio/jingle.h"
#include "game/game.h"
#include "game/render/pixel_font.h"
#include "platform/input_source.h"
#include "platform/sound.h"

namespace zor {

namespace {

constexpr uint32_t kWaitStepMs = 20;
constexpr int32_t kLogoBack = 0x502010;   // deep blue (red in the low byte)
constexpr int32_t kLogoFrame = 0xF0C040;  // light blue
constexpr int32_t kLogoText = 0xFFFFFF;

using KeyStates = std::array<bool, key::Count>;

KeyStates readKeys(const ControlInput& in) {
  KeyStates s{};
  for (int k = 0; k < key::Count; ++k) s[static_cast<size_t>(k)] = in.keyDown(k);
  return s;
}

bool anyReleased(const KeyStates& before, const KeyStates& now) {
  for (size_t k = 0; k < before.size(); ++k) {
    if (before[k] && !now[k]) return true;
  }
  return false;
}

// Waits until the time has passed or a key is let go; at least one pass. A quit
// (the close box, Ctrl+Q, a signal) ends the wait at once.
void waitPhase(Game& game, AppPlatform& platform, int32_t ms) {
  const uint32_t deadline = platform.elapsedMs() + static_cast<uint32_t>(ms < 0 ? 0 : ms);
  KeyStates keys = readKeys(platform.input());
  for (;;) {
    platform.examineKeyboard();
    if (takeQuitRequests(game, platform)) return;
    const KeyStates now = readKeys(platform.input());
    platform.sleepMs(kWaitStepMs);
    const bool released = anyReleased(keys, now);
    keys = now;
    if (static_cast<int32_t>(platform.elapsedMs() - deadline) > 0 || released) return;
  }
}

void drawLogo(ShapeFill& fill, const LogoPlacement& p) {
  const int32_t u = p.width / kLogoWidth > 0 ? p.width / kLogoWidth : 1;
  fill.fillBox(p.x, p.y, p.width, p.height, kLogoFrame);
  fill.fillBox(p.x + 2 * u, p.y + 2 * u, p.width - 4 * u, p.height - 4 * u, kLogoBack);
  // "ZORLAN" is 35 font pixels wide: 6 letters of 5, 5 gaps of 1.
  const int32_t fontPixel = p.width / 40 > 0 ? p.width / 40 : 1;
  const int32_t size = 5 * fontPixel;
  drawPixelText(fill, p.x + p.width / 2, p.y + (p.height - size) / 2, "ZORLAN", kLogoText, size, 1, -1);
}

}  // namespace

LogoPlacement placeLogo(int32_t outputWidth, int32_t outputHeight) {
  LogoPlacement p;
  p.width = kLogoWidth * outputWidth / 240;
  p.height = kLogoHeight * p.width / kLogoWidth;
  p.x = outputWidth / 2 - p.width / 2;
  p.y = outputHeight / 2 - p.height / 2;
  return p;
}

void showSplash(Game& game, AppPlatform& platform, int32_t showMs, int32_t blankMs) {
  ScreenOutput& out = platform.screen();
  out.clear(0);
  out.flip();
  out.clear(0);
  if (!out.startDrawing()) return;
  if (ShapeFill* fill = game.screen.shapeFill()) drawLogo(*fill, placeLogo(out.outputWidth(), out.outputHeight()));
  out.stopDrawing();

  SoundOutput* sound = game.sounds.output;
  int32_t jingle = 0;
  if (game.prefs.sound == 1 && sound != nullptr) {
    const std::string wav = makeSplashJingle();
    jingle = sound->loadSoundFromMemory(wav.data(), wav.size());
    if (jingle != 0) sound->play(jingle, false, SoundOutput::kDefaultVolume);
  }
  out.flip();
  waitPhase(game, platform, showMs);

  if (game.app.quitRequested == 0) {
    out.clear(0);
    out.flip();
    waitPhase(game, platform, blankMs);
  }
  if (jingle != 0) sound->freeSound(jingle);
}

}  // namespace zor
