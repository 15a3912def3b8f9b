// Presentation statements: `effect` makes blocks blink for a while, `srt` moves
// the speedrun clock up or down the screen.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "format/vocabulary.h"
#include "format/values.h"
// Up: screen effects change the screen's state and draw from the game's random generator.
#include "game/game.h"
#include "game/render/game_screen.h"
#include "game/script/interpreter.h"
#include "game/script/queue_runner.h"
#include "game/world/objects.h"
#include "platform/text.h"

namespace zor {

namespace {

constexpr uint32_t kBlinkBit = 1;
constexpr float kClockRest = 0.8f;
// Fractions of the view height beyond this put the clock far off the screen;
// they are held here so that its pixel row stays a finite, convertible value.
constexpr float kClockFractionLimit = 1000.0f;

uint32_t effectSet(const std::string& types) {
  uint32_t bits = 0;
  for (const std::string& word : text::split(types, ',')) {
    if (word == "flash") bits |= kBlinkBit;
  }
  return bits;
}

// The timer is 16 bits wide: longer durations are held at the longest one
// rather than wrapping (a negative value still means endless).
int16_t timerOf(int32_t frames) {
  return static_cast<int16_t>(std::clamp<int32_t>(frames, std::numeric_limits<int16_t>::min(),
                                                  std::numeric_limits<int16_t>::max()));
}

// The objects of `oname`: blanks removed, lower-cased; empty is the script's
// object; otherwise names in order, stopping at the first that finds nothing.
std::vector<ObjectRecord*> effectObjects(StatementContext& ctx) {
  std::vector<ObjectRecord*> out;
  const std::string names = text::toLower(text::removeAll(ctx.statement.attr(format::attr::ObjectName), " "));
  if (names.empty()) {
    if (ctx.object) out.push_back(ctx.object);
    return out;
  }
  for (const std::string& name : text::split(names, ',')) {
    ObjectRecord* o = findObject(ctx.game.world, name);
    if (!o) break;
    out.push_back(o);
  }
  return out;
}

StatementResult runEffect(StatementContext& ctx) {
  const uint32_t bits = effectSet(text::toLower(text::removeAll(ctx.statement.attr("type"), " ")));
  if (bits == 0) return StatementResult::Continue;
  const int16_t timer = timerOf(readDuration(ctx.game.random.table, &ctx.statement, -1));
  for (ObjectRecord* o : effectObjects(ctx)) {
    o->effectBits |= bits;
    o->effectTimer = timer;
  }
  return StatementResult::Continue;
}

// Only the clock's target row changes; the frame loop glides the drawn row there.
StatementResult runSrt(StatementContext& ctx) {
  const std::string& y = ctx.statement.attr("y");
  float fraction = y == "-" ? kClockRest : format::readFloat(y);
  if (std::isnan(fraction)) fraction = 0.0f;
  fraction = std::clamp(fraction, -kClockFractionLimit, kClockFractionLimit);
  Game& game = ctx.game;
  game.script.runClockPosition = fraction;
  game.screen.runClockTargetY = runClockRestY(game.screen.info, game.screen.smallTextSize, fraction);
  return StatementResult::Continue;
}

}  // namespace

void registerEffectStatements(StatementTable& table) {
  table.define("effect", runEffect);
  table.define("srt", runSrt);
}

}  // namespace zor
