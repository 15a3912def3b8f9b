// Statements that give scripts time (wait, freeze, prompt, after, loop, beat),
// manage the queue and the beat timers (killqueue, killbeats), and end a
// script or count deaths (die, adddeath, unscript); and the beat scheduling
// that the queue service and the music share.
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

#include "format/vocabulary.h"
#include "format/values.h"
// Up: beats follow the music's clock and the game data; waits read the session and
// the program's state.
#include "game/game.h"
#include "game/load/element_ids.h"
#include "game/script/interpreter.h"
#include "game/script/queue_runner.h"
#include "game/world/objects.h"
#include "platform/text.h"

namespace zor {
namespace {

// Truncates toward zero into the int32 range; not-a-number gives 0.
int32_t truncateToInt(double v) {
  if (std::isnan(v)) return 0;
  if (v >= 2147483647.0) return std::numeric_limits<int32_t>::max();
  if (v <= -2147483648.0) return std::numeric_limits<int32_t>::min();
  return static_cast<int32_t>(v);
}

int32_t duration(StatementContext& ctx) { return readDuration(ctx.game.random.table, &ctx.statement, 0); }

StatementResult runWait(StatementContext& ctx) {
  const int32_t d = duration(ctx);
  if (d <= 0) return StatementResult::Continue;
  ctx.game.script.scriptWaitFrames = d;
  return StatementResult::Suspend;
}

StatementResult runFreeze(StatementContext& ctx) {
  const int32_t d = duration(ctx);
  if (d <= 0) return StatementResult::Continue;
  ctx.game.script.scriptWaitFrames = d;
  ctx.game.script.scriptFreeze = true;
  return StatementResult::Suspend;
}

StatementResult runPrompt(StatementContext& ctx) {
  ctx.game.script.scriptFreeze = true;
  ctx.game.script.promptPending = true;
  return StatementResult::Suspend;
}

StatementResult runDie(StatementContext& ctx) {
  ctx.game.world.playerDead = true;
  ctx.game.app.playerBlinkPending = 1;
  return StatementResult::End;
}

StatementResult runAddDeath(StatementContext& ctx) {
  const std::string& num = ctx.statement.attr("num");
  const int64_t add = num.empty() ? 1 : format::readInt(num);
  int64_t deaths = static_cast<int64_t>(ctx.game.session.deaths) + add;
  if (deaths > std::numeric_limits<int32_t>::max()) deaths = std::numeric_limits<int32_t>::max();
  if (deaths < std::numeric_limits<int32_t>::min()) deaths = std::numeric_limits<int32_t>::min();
  ctx.game.session.deaths = static_cast<int32_t>(deaths);
  return StatementResult::Continue;
}

StatementResult runAfter(StatementContext& ctx) {
  appendScript(ctx.game.script, &ctx.statement, ctx.object, duration(ctx));
  return StatementResult::Continue;
}

StatementResult runLoop(StatementContext& ctx) {
  int32_t up = format::readInt(ctx.statement.attr("up"));
  if (up <= 0) up = 1;
  const xml::Node* target = ctx.script;
  for (int32_t i = 0; i < up && target; ++i) {
    target = target->parent;
    if (target && !target->isElement()) target = nullptr;  // above the root element
  }
  const int32_t d = duration(ctx);
  if (target) appendScript(ctx.game.script, target, ctx.object, d);
  return StatementResult::Continue;
}

StatementResult runBeat(StatementContext& ctx) {
  Game& game = ctx.game;
  const xml::Node& st = ctx.statement;
  const float bpm = format::readFloat(st.attr("bpm"));
  if (bpm > 0.0f) {  // also refuses not-a-number
    BeatTimer timer;
    timer.interval = 60000.0f / bpm;
    const std::string& dels = st.attr("dels");
    const std::string& delb = st.attr("delb");
    if (!dels.empty()) {
      timer.delay = truncateToInt(static_cast<double>(format::readFloat(dels) * 1000.0f));
    } else if (!delb.empty()) {
      timer.delay = truncateToInt(static_cast<double>(timer.interval * format::readFloat(delb)));
    }
    const std::string& sub = st.attr("sub");
    const xml::Node* named = sub.empty() ? nullptr : findElementById(game.data, sub);
    if (named) {
      timer.script = named;
    } else if (st.childCount() > 0) {
      timer.script = &st;
    }
    if (timer.script) game.script.beats.addLast(timer);
  }
  scheduleBeats(game, false);
  return StatementResult::Continue;
}

StatementResult runKillBeats(StatementContext& ctx) {
  ctx.game.script.beats.clear();
  return StatementResult::Continue;
}

StatementResult runKillQueue(StatementContext& ctx) {
  ScriptState& s = ctx.game.script;
  s.killQueueRequested = true;
  const std::string& sub = ctx.statement.attr("sub");
  if (!sub.empty()) s.killQueueSub = findElementById(ctx.game.data, sub);
  return StatementResult::Continue;
}

StatementResult runUnscript(StatementContext& ctx) {
  ObjectRecord* o = findObject(ctx.game.world, text::toLower(ctx.statement.attr(format::attr::ObjectName)));
  if (!o) o = ctx.object;
  if (!o) return StatementResult::Continue;
  o->standOnScript = nullptr;
  o->dieScript = nullptr;
  o->standOnTimes = 0;
  return StatementResult::Continue;
}

// Beat k of a timer: musicStart + delay + k * interval, rounded to the nearest
// millisecond (a half to even). Worked in doubles: the clock runs for days.
double beatTime(double base, double interval, double k) { return std::nearbyint(base + k * interval); }

// The first beat time after `now` (strictly later when `after`, else at or
// after). Never loops for long: k is found by division and then nudged.
int32_t nextBeat(const Game& game, const BeatTimer& t, bool after) {
  const double base = static_cast<double>(game.musicStartTime) + static_cast<double>(t.delay);
  const double now = static_cast<double>(game.app.frameTime);
  double interval = static_cast<double>(t.interval);
  if (std::isnan(interval) || interval <= 0.0) interval = 1.0;
  // Below one millisecond every whole millisecond from the first beat on is a
  // beat time, exactly as with an interval of one.
  if (interval < 1.0) interval = 1.0;
  auto early = [&](double time) { return after ? time <= now : time < now; };

  double result;
  if (!early(beatTime(base, interval, 0.0))) {
    result = beatTime(base, interval, 0.0);
  } else if (std::isinf(interval)) {
    result = std::numeric_limits<double>::infinity();  // no later beat
  } else {
    double k = std::floor((now - base) / interval);
    if (k < 0.0) k = 0.0;
    int steps = 0;
    while (k > 0.0 && !early(beatTime(base, interval, k - 1.0)) && steps < 4) {
      k -= 1.0;
      ++steps;
    }
    steps = 0;
    while (early(beatTime(base, interval, k)) && steps < 4) {
      k += 1.0;
      ++steps;
    }
    result = beatTime(base, interval, k);
    if (early(result)) result = after ? now + 1.0 : now;  // rounding gave no answer; the next millisecond
  }
  if (result >= 2147483647.0) return std::numeric_limits<int32_t>::max();
  if (result <= -2147483648.0) return std::numeric_limits<int32_t>::min();
  return static_cast<int32_t>(result);
}

}  // namespace

void scheduleBeats(Game& game, bool onlyCurrent) {
  ScriptState& s = game.script;
  if (game.trackLength == 0) {
    s.beats.clear();
    return;
  }
  if (onlyCurrent) {
    if (BeatTimer* t = s.beats.current()) t->next = nextBeat(game, *t, true);
    return;
  }
  for (BeatTimer& t : s.beats) t.next = nextBeat(game, t, false);
}

void registerTimingStatements(StatementTable& table) {
  table.define("wait", runWait);
  table.define("freeze", runFreeze);
  table.define("prompt", runPrompt);
  table.define("die", runDie);
  table.define("adddeath", runAddDeath);
  table.define("after", runAfter);
  table.define("loop", runLoop);
  table.define("beat", runBeat);
  table.define("killbeats", runKillBeats);
  table.define("killqueue", runKillQueue);
  table.define("unscript", runUnscript);
}

}  // namespace zor
