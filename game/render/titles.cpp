#include "game/render/titles.h"

#include <iterator>

#include "format/values.h"
#include "game/game.h"
#include "game/input/controls.h"
#include "game/render/fill.h"
#include "game/render/pixel_font.h"
#include "game/render/time_text.h"
#include "platform/text.h"

namespace zor {

namespace {

// trunc(fraction * extent) + offset, safe for any float.
int32_t fractionToPixel(float fraction, int32_t extent, int32_t offset) {
  return truncateToPixel(fraction * static_cast<float>(extent)) + offset;
}

void leaveCursorOnLast(CurrentList<TitleRecord>& titles) {
  if (!titles.empty()) titles.setCurrent(std::prev(titles.end()));
}

int32_t blendByte(int32_t target, int32_t own, int shift, float alpha) {
  const int32_t b = (target >> shift) & 0xFF;
  const int32_t t = (own >> shift) & 0xFF;
  // The difference is within -255..255; alpha is below 1 here, so the blend stays
  // within the two bytes for alpha in 0..1. Other alphas are held to the byte.
  int32_t v = b + truncateToPixel(static_cast<float>(t - b) * alpha);
  if (v < 0) v = 0;
  if (v > 255) v = 255;
  return v << shift;
}

}  // namespace

void layoutTitle(TitleRecord& title, const ScreenInfo& info) {
  title.pixelX = fractionToPixel(title.x, info.viewWidth, info.leftBar);
  title.pixelY = fractionToPixel(title.y, info.viewHeight, info.topBar);
  constexpr int32_t kLargestUnits = 0x7FFFFFFF / 5;
  int32_t units = truncateToPixel(title.h * static_cast<float>(info.viewHeight) * 0.2f);
  if (units > kLargestUnits) units = kLargestUnits;
  title.size = 5 * (units < 0 ? 0 : units);
  if (title.size < 1) title.size = 1;
}

void layoutTitles(CurrentList<TitleRecord>& titles, const ScreenInfo& info, TitleRecord* title) {
  if (title != nullptr) {
    layoutTitle(*title, info);
    return;
  }
  for (TitleRecord& t : titles) layoutTitle(t, info);
  titles.first();
}

void layoutTitles(Game& game, TitleRecord* title) { layoutTitles(game.script.titles, game.screen.info, title); }

int32_t titleDrawColour(int32_t colour, int32_t fadeTarget, float alpha) {
  if (alpha >= 1.0f) return colour;
  return blendByte(fadeTarget, colour, 0, alpha) | blendByte(fadeTarget, colour, 8, alpha) |
         blendByte(fadeTarget, colour, 16, alpha);
}

bool titleShown(const TitleRecord& title, const ScreenInfo& info) {
  if (!(title.alpha > 0.0f)) return false;
  const int64_t y = title.pixelY;
  const int64_t size = title.size;
  return y + 2 * size > info.topBar && y - size < int64_t{info.topBar} + info.viewHeight;
}

void drawTitles(ShapeFill& fill, const CurrentList<TitleRecord>& titles, const ScreenInfo& info,
                int32_t fadeTarget, int32_t noiseMask) {
  for (const TitleRecord& t : titles) {
    if (!titleShown(t, info)) continue;
    drawPixelText(fill, t.pixelX, t.pixelY, t.text, titleDrawColour(t.colour, fadeTarget, t.alpha), t.size,
                  t.centred ? 1 : 0, t.boxColour, noiseMask);
  }
}

void stepTitleAlpha(TitleRecord& title) {
  if (title.alpha < title.targetAlpha) {
    title.alpha += title.alphaStep;
    if (title.alpha > title.targetAlpha) title.alpha = title.targetAlpha;
  } else if (title.alpha > title.targetAlpha) {
    title.alpha -= title.alphaStep;
    if (title.alpha < title.targetAlpha) title.alpha = title.targetAlpha;
  }
}

void stepTitleFades(CurrentList<TitleRecord>& titles) {
  for (TitleRecord& t : titles) stepTitleAlpha(t);
  leaveCursorOnLast(titles);
}

float scrollCredits(ScriptState& script, const Controls& controls, const ScreenInfo& info) {
  if (script.credits.remaining > 0.0f) {
    float step;
    if (controls.held(control::LeapOut)) {
      step = controls.held(control::LeapIn) ? 0.0f : -script.credits.fastSpeed;
    } else if (controls.held(control::Action) || controls.held(control::Jump) || controls.held(control::LeapIn)) {
      step = script.credits.fastSpeed;
    } else {
      step = script.credits.speed;
    }
    if (step != 0.0f) {
      script.credits.remaining -= step;
      if (script.credits.remaining > script.credits.limit) {
        step += script.credits.remaining - script.credits.limit;
        script.credits.remaining = script.credits.limit;
      }
      for (TitleRecord& t : script.titles) {
        t.y -= step;
        t.pixelY = fractionToPixel(t.y, info.viewHeight, info.topBar);
      }
      leaveCursorOnLast(script.titles);
    }
    return step;
  }
  if (script.credits.remaining < 0.0f) script.credits.remaining = 0.0f;
  return 0.0f;
}

void applyTitleAlpha(TitleRecord& title, std::string_view value) {
  const int commas = text::countChar(value, ',');
  auto fieldAt = [&](std::size_t i) { return format::readFloat(text::field(value, ',', i)); };
  auto magnitude = [](float v) { return v < 0.0f ? -v : v; };
  if (commas == 2) {
    title.alpha = fieldAt(0);
    title.targetAlpha = fieldAt(1);
    title.alphaStep = magnitude(fieldAt(2));
  } else if (commas == 1) {
    title.targetAlpha = fieldAt(0);
    title.alphaStep = magnitude(fieldAt(1));
  } else {
    title.alpha = fieldAt(0);
    title.targetAlpha = title.alpha;
    title.alphaStep = 0.0f;
  }
}

std::string substituteTitlePlaceholders(std::string_view textIn, int32_t frameCount, int32_t deathCount,
                                        bool speedrunRunning) {
  std::string s(textIn);
  if (s.find('%') == std::string::npos) return s;
  s = text::replaceAll(s, "%TIME%", formatFrameTime(frameCount, speedrunRunning));
  s = text::replaceAll(s, "%DEATHS%", text::formatInt(deathCount));
  s = text::replaceAll(s, "%FRAMES%", text::formatInt(frameCount));
  return s;
}

}  // namespace zor
