// The `screen` statement: flashes, hall of mirrors, colour conversions of the
// whole scene, camera shake, swish, background colour, halt and static.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>

#include "format/values.h"
#include "format/vocabulary.h"
#include "game/script/interpreter.h"
#include "game/script/script_state.h"
#include "game/world/objects.h"
#include "game/world/world.h"
#include "platform/text.h"

namespace zor {

namespace {

namespace flag = format::flag;

// Shake amounts beyond this would throw the camera so far that its position
// could overflow to infinity and never come back.
constexpr float kMaxShakeAmount = 10000.0f;
constexpr int32_t kGreyLitColour = 0xA0A0A0;

int32_t red(int32_t c) { return c & 0xFF; }
int32_t green(int32_t c) { return (c >> 8) & 0xFF; }
int32_t blue(int32_t c) { return (c >> 16) & 0xFF; }
int32_t makeRgb(int32_t r, int32_t g, int32_t b) { return r | (g << 8) | (b << 16); }

int32_t greyOf(int32_t c) {
  const float g = 0.30f * static_cast<float>(red(c)) + 0.59f * static_cast<float>(green(c)) +
                  0.11f * static_cast<float>(blue(c));
  const int32_t v = static_cast<int32_t>(std::nearbyint(g));  // 0 to 255, nearest, ties to even
  return makeRgb(v, v, v);
}

// F + trunc((X - F) * amount), kept to a byte. The product is clamped before it
// is cut, so that any amount, infinite or not a number, gives a defined value.
int32_t fadeChannel(int32_t x, int32_t f, float amount) {
  float d = static_cast<float>(x - f) * amount;
  if (std::isnan(d)) d = 0.0f;
  d = std::clamp(d, -1024.0f, 1024.0f);
  return std::clamp(f + static_cast<int32_t>(d), 0, 255);
}

int32_t fadeColour(int32_t c, int32_t f, float amount) {
  return makeRgb(fadeChannel(red(c), red(f), amount), fadeChannel(green(c), green(f), amount),
                 fadeChannel(blue(c), blue(f), amount));
}

void greyIfColour(int32_t& c) {
  if (c >= 0) c = greyOf(c);
}
void invertIfColour(int32_t& c) {
  if (c >= 0) c = 0xFFFFFF - c;
}

int32_t playerLevelColour(const World& world, int32_t fallback) {
  if (!world.player) return fallback;
  const LevelRecord* level = levelAt(world, world.player->level);
  return level ? level->colour : fallback;
}

void makeGrey(World& world, ScriptState& script) {
  greyIfColour(world.fadeTargetColour);
  greyIfColour(world.fadeFromColour);
  greyIfColour(world.pauseColour);
  for (ObjectRecord& o : world.objects) {
    greyIfColour(o.colour1);
    greyIfColour(o.colour2);
    if (o.has(flag::Checkpoint)) {
      if (o.litColour < 0) {
        o.litColour = kGreyLitColour;
      } else {
        o.litColour = greyOf(o.litColour);
      }
    }
  }
  for (LevelRecord& l : world.levels) greyIfColour(l.colour);
  for (WordBox& b : script.wordBoxes) {
    greyIfColour(b.colour);
    greyIfColour(b.backColour);
  }
  for (AreaRecord& a : world.areas) greyIfColour(a.colour);
}

// The pause colour is left alone, and so is a checkpoint without a lit colour.
void invertColours(World& world, ScriptState& script) {
  invertIfColour(world.fadeTargetColour);
  invertIfColour(world.fadeFromColour);
  for (ObjectRecord& o : world.objects) {
    if (o.has(flag::Checkpoint)) {
      if (o.litColour < 0) continue;
      invertIfColour(o.litColour);
    }
    invertIfColour(o.colour1);
    invertIfColour(o.colour2);
  }
  for (LevelRecord& l : world.levels) invertIfColour(l.colour);
  for (WordBox& b : script.wordBoxes) {
    invertIfColour(b.colour);
    invertIfColour(b.backColour);
  }
  for (AreaRecord& a : world.areas) invertIfColour(a.colour);
}

void fadeColours(World& world, ScriptState& script, float amount, int32_t toward) {
  auto fadeIfColour = [&](int32_t& c) {
    if (c >= 0) c = fadeColour(c, toward, amount);
  };
  world.fadeTargetColour = fadeColour(world.fadeTargetColour, toward, amount);
  world.fadeFromColour = fadeColour(world.fadeFromColour, toward, amount);
  for (ObjectRecord& o : world.objects) {
    fadeIfColour(o.colour1);
    fadeIfColour(o.colour2);
    if (o.has(flag::Checkpoint)) fadeIfColour(o.litColour);
  }
  for (LevelRecord& l : world.levels) fadeIfColour(l.colour);
  for (WordBox& b : script.wordBoxes) {
    fadeIfColour(b.colour);
    fadeIfColour(b.backColour);
  }
  for (AreaRecord& a : world.areas) fadeIfColour(a.colour);
}

// |v|, with not-a-number read as 0.
float magnitude(float v) { return std::isnan(v) ? 0.0f : std::fabs(v); }

void startShake(ScreenEffectState& fx, const std::string& value) {
  const float amount = magnitude(format::readFloat(text::field(value, ',', 0)) * 0.01f);
  fx.shakeAmount = std::min(amount, kMaxShakeAmount);
  if (value.find(',') == std::string::npos) {
    fx.shakeDecay = 1.0f;
    return;
  }
  float decay = magnitude(format::readFloat(text::field(value, ',', 1)));
  if (decay > 1.0f) decay = 1.0f / decay;
  fx.shakeDecay = decay;
}

void makeStatic(World& world, ScriptState& script) {
  // A plain walk: the object list's current position stays where it was.
  world.stepCache.wakeAll();
  for (ObjectRecord& o : world.objects) {
    o.flags &= ~flag::Dynamic;
    if (!o.has(flag::Spatial)) o.freq = 0.0f;
  }
  script.playerFrozen = true;
  script.screenEffects.shakeAmount = 0.0f;
  script.screenEffects.shakeDecay = 0.1f;
  script.camera.snap = true;
}

StatementResult runScreen(StatementContext& ctx) {
  World& world = ctx.world;
  ScriptState& script = ctx.scriptState;
  ScreenEffectState& fx = script.screenEffects;
  const xml::Node& node = ctx.statement;

  const std::string flash = text::toLower(node.attr("flash"));
  if (!flash.empty()) fx.pendingFlash = format::readColour(flash);

  const std::string hom = text::toLower(node.attr("hom"));
  if (!hom.empty()) fx.homActive = format::readInt(hom);

  if (format::readInt(text::toLower(node.attr("gray"))) != 0) makeGrey(world, script);
  if (format::readInt(text::toLower(node.attr("invert"))) != 0) invertColours(world, script);

  const std::string fade = text::toLower(node.attr("fade"));
  if (!fade.empty()) {
    const float amount = format::readFloat(text::field(fade, ',', 0));
    const int32_t toward = fade.find(',') == std::string::npos ? 0 : format::readColour(text::field(fade, ',', 1));
    fadeColours(world, script, amount, toward);
  }

  const std::string& shake = node.attr("shake");
  if (!shake.empty()) startShake(fx, shake);

  const std::string& swish = node.attr("swish");
  if (!swish.empty()) fx.swishTarget = std::min(magnitude(format::readFloat(swish)), 10.0f);

  const std::string& bg = node.attr("bg");
  if (bg == "-") {
    world.fadeTargetColour = playerLevelColour(world, world.fadeTargetColour);
  } else if (!bg.empty()) {
    world.fadeTargetColour = format::readColour(bg);
  }

  const std::string& halt = node.attr("halt");
  if (halt == "1") {
    world.fadeAmount = 0.0f;
    fx.haltActive = true;
    script.scriptFreeze = true;
  } else if (halt == "0") {
    world.fadeTargetColour = playerLevelColour(world, world.fadeTargetColour);
    world.fadeAmount = 0.0f;
    fx.haltActive = false;
    script.scriptFreeze = false;
  }

  if (format::readBool(text::toLower(node.attr("static")))) makeStatic(world, script);
  return StatementResult::Continue;
}

}  // namespace

void registerScreenStatement(StatementTable& table) { table.define("screen", runScreen); }

}  // namespace zor
