#include "game/script/queue_runner.h"

#include <cmath>
#include <cstdint>
#include <limits>

#include "format/values.h"
// Up: the queue runner runs scripts for the whole game and reads the controls and the
// program's state.
#include "game/game.h"
#include "game/input/controls.h"
#include "game/script/interpreter.h"

namespace zor {
namespace {

// Nearest integer, a half to the even neighbour, clamped to the int32 range;
// not-a-number gives 0.
int32_t roundFrames(float v) {
  if (std::isnan(v)) return 0;
  const float r = std::nearbyint(v);  // the default rounding mode: halves to even
  if (r >= 2147483648.0f) return std::numeric_limits<int32_t>::max();
  if (r < -2147483648.0f) return std::numeric_limits<int32_t>::min();
  return static_cast<int32_t>(r);
}

// Step 1: the suspended script's resume check; one branch per frame.
void resumeCheck(Game& game) {
  ScriptState& s = game.script;
  Controls& c = game.controls;
  if (s.scriptWaitFrames != 0) {
    if (s.scriptWaitFrames <= 1) {  // a count that somehow went below 1 ends the wait too
      s.scriptWaitFrames = 0;
      s.scriptFreeze = false;
      runScript(game, s.runningScript, nullptr);
    } else {
      s.scriptWaitFrames -= 1;
    }
  } else if (s.promptPending) {
    if (c.pressed(control::Action) || c.pressed(control::Jump) || c.pressed(control::Pause)) {
      s.scriptFreeze = false;
      s.promptPending = false;
      runScript(game, s.runningScript, nullptr);
      // The press that answered the prompt does nothing else in this frame.
      c.markHeld(control::Action);
      c.markHeld(control::Jump);
      c.markHeld(control::Pause);
    }
  } else if (s.credits.running && s.credits.remaining <= 0.0f) {
    s.credits.running = false;
    runScript(game, s.runningScript, nullptr);
  }
}

// Step 3: every due beat timer queues its script and is rescheduled.
void fireBeats(Game& game) {
  ScriptState& s = game.script;
  const int64_t now = game.app.frameTime;
  if (!s.beats.first()) return;
  for (;;) {
    BeatTimer* t = s.beats.current();
    if (now >= t->next) {
      appendScript(s, t->script, nullptr, 0);
      scheduleBeats(game, true);
      if (s.beats.empty()) return;  // no track length: every timer went
    }
    if (!s.beats.advance()) return;
  }
}

// Step 4: runs due entries, pass after pass.
void runDueEntries(Game& game) {
  ScriptState& s = game.script;
  CurrentList<ScriptQueueEntry>& q = s.queue;
  int runs = 0;
  int64_t settlingVisits = 0;
  bool ranAny = true;
  while (ranAny) {
    ranAny = false;
    q.clearCurrent();
    while (q.advance()) {
      if (s.runningScript) return;
      ScriptQueueEntry* e = q.current();
      if (e->delay != 0) continue;
      // The rest runs next frame.
      if (runs >= kMaxScriptRunsPerFrame || settlingVisits >= kMaxSettlingVisitsPerFrame) return;
      ++runs;
      if (s.zoneEntryQuiet) settlingVisits += static_cast<int64_t>(game.world.objects.size());
      if (++s.queueSerial == 0) s.queueSerial = 1;  // 0 marks entries that never ran
      e->serial = s.queueSerial;
      const auto running = q.currentIterator();
      const uint32_t clears = s.queueClears;
      runScript(game, e->script, e->object);
      // Back on the entry that ran (the script may have moved the cursor; only
      // emptying the queue removes entries while a script runs), then remove
      // it; the pass goes on with the entry after it.
      if (s.queueClears != clears) return;  // the queue was emptied under us
      q.setCurrent(running);
      q.removeCurrent();
      ranAny = true;
    }
  }
}

}  // namespace

void clearScriptQueue(ScriptState& state) {
  state.queue.clear();
  state.queueClears += 1;
}

void appendScript(ScriptState& state, const xml::Node* script, ObjectRecord* object, int32_t delay) {
  if (state.queue.size() >= kMaxQueueEntries) return;
  state.queue.add(ScriptQueueEntry{script, object, delay < 0 ? 0 : delay});
}

void pushScriptToFront(ScriptState& state, const xml::Node* script, ObjectRecord* object,
                       int32_t delay) {
  if (state.queue.size() >= kMaxQueueEntries) return;
  state.queue.addFirst(ScriptQueueEntry{script, object, delay < 0 ? 0 : delay});
}

int32_t readDuration(RandomTable& table, const xml::Node* element, int32_t defaultFrames) {
  if (!element) return defaultFrames;
  float factor = 1.0f;
  std::string_view text = element->attr("frames");
  if (text.empty()) {
    text = element->attr("secs");
    factor = 60.0f;
  }
  if (text.empty()) return defaultFrames;
  const format::DurationValue d = format::readDurationValue(text);
  float frames;
  if (d.random) {
    frames = (d.a + (d.b - d.a) * table.next()) * factor;
  } else {
    frames = d.value * factor;
  }
  return roundFrames(frames);
}

void serviceScriptQueue(Game& game) {
  ScriptState& s = game.script;
  s.particlesThisFrame = 0;
  s.explosionsThisFrame = 0;
  resumeCheck(game);
  for (ScriptQueueEntry& e : s.queue) {
    if (e.delay > 0) e.delay -= 1;
  }
  fireBeats(game);
  runDueEntries(game);
  if (s.killQueueRequested) {
    clearScriptQueue(s);
    s.killQueueRequested = false;
    if (s.killQueueSub) {
      pushScriptToFront(s, s.killQueueSub, nullptr, 0);
      s.killQueueSub = nullptr;
    }
  }
}

}  // namespace zor
