// The script interpreter's per-zone state: the queue of pending scripts, beat
// timers, titles, word boxes, the running script, the camera overrides and the
// screen effects that scripts set. Zone loading resets it.
#pragma once

#include <cstdint>
#include <string>

#include "game/world/records.h"
#include "platform/current_list.h"
#include "platform/xml.h"

namespace zor {

class StatementTable;

// A pending script call.
struct ScriptQueueEntry {
  const xml::Node* script = nullptr;
  ObjectRecord* object = nullptr;  // the object the script runs for; null for none
  int32_t delay = 0;               // frames
  uint32_t serial = 0;             // set by the queue service while the entry runs
};

// A beat timer: fires its script in time with the music.
struct BeatTimer {
  const xml::Node* script = nullptr;
  int32_t delay = 0;        // milliseconds after the music start
  float interval = 0.0f;    // milliseconds
  int32_t next = 0;         // next trigger on the frame clock, milliseconds
};

// An on-screen title.
struct TitleRecord {
  std::string tname;
  std::string text;
  float x = 0.0f, y = 0.0f, h = 0.0f;  // fractions of the view
  int32_t pixelX = 0, pixelY = 0, size = 0;
  int32_t colour = 0;
  int32_t boxColour = -1;  // -1 none
  bool centred = false;
  float alpha = 0.0f, targetAlpha = 0.0f, alphaStep = 0.0f;
};

// Word-box flags.
namespace wordbox {
inline constexpr int32_t Disappearing = 1;
inline constexpr int32_t Remove = 2;
inline constexpr int32_t Seen = 4;
inline constexpr int32_t Hidden = 8;
}  // namespace wordbox

// A sign standing in the world, optionally following an object.
struct WordBox {
  std::string text;  // upper case
  float x = 0.0f, y = 0.0f;  // lower-left corner
  float z = 0.0f;
  float width = 0.0f, height = 0.0f;  // world size of the whole box
  float size = 0.0f;                  // letter height
  int32_t colour = 0;
  int32_t backColour = -1;  // -1: no panel, no frame
  int32_t flags = 0;        // wordbox::Disappearing, Remove, Seen, Hidden
  ObjectRecord* object = nullptr;  // followed object; null for none
};

// The credits roll that `set` starts: the remaining distance and its limit in
// view heights, the speeds in view heights per frame, and whether it runs (the
// script that started it waits until it ends).
struct CreditsRoll {
  float remaining = 0.0f;
  float limit = 0.0f;
  float speed = 0.0f;
  float fastSpeed = 0.0f;
  bool running = false;
};

// The camera overrides that the `camera` statement sets and the world step's
// camera reads. The end of a script clears the distance, the look-at object and
// the slow divisor unless the overrides are locked.
struct CameraOverride {
  float scriptDistance = 0.0f;     // distance in front of the followed object; 0: none
  ObjectRecord* lookAt = nullptr;  // followed instead of the player; null for none
  float slowDivisor = 0.0f;        // the camera moves 1/divisor of the way per step; 0: none
  bool snap = false;               // the camera sits on its target every step
  bool locked = false;             // the end of a script leaves the overrides in place
};

// How the whole scene is presented, as the `screen` statement sets it; read by
// the frame loop and the scene drawing.
struct ScreenEffectState {
  int32_t pendingFlash = -1;  // a colour started at the end of the frame; -1 for none
  int32_t homActive = 0;      // not 0: frames are drawn without clearing the screen
  bool haltActive = false;    // the scene is not drawn
  float shakeAmount = 0.0f;   // no shake while 0.0005 or less
  float shakeDecay = 0.0f;    // applied to the amount after each shaken frame
  float swishTarget = 0.0f;   // 0 to 10
  float swishAmount = 0.0f;   // eased toward swishTarget every drawn frame
  float swishAngle = 0.0f;    // radians, one degree less every frame
};

struct ScriptState {
  CurrentList<ScriptQueueEntry> queue;
  CurrentList<BeatTimer> beats;
  CurrentList<TitleRecord> titles;
  CurrentList<WordBox> wordBoxes;  // far to near (z descending)

  // The script in progress (null when none) and where it was suspended.
  const xml::Node* runningScript = nullptr;
  const xml::Node* resumeStatement = nullptr;
  ObjectRecord* scriptResumeObject = nullptr;  // the object saved at suspension
  int32_t scriptWaitFrames = 0;
  bool scriptFreeze = false;
  bool promptPending = false;
  bool playerFrozen = false;
  bool jumpsAllowed = true;
  bool killQueueRequested = false;
  const xml::Node* killQueueSub = nullptr;
  // True while runScript walks a script's statements.
  bool walkingScript = false;
  // The statements scripts run; null for the game's built-in table (tests may
  // point it at a table of their own).
  const StatementTable* statements = nullptr;
  // Changes each time the queue is emptied at once (clearScriptQueue), so that
  // the service knows the entry it ran is gone.
  uint32_t queueClears = 0;
  // Last serial given to a running queue entry.
  uint32_t queueSerial = 0;
  // Counts the calls of runScript: a script may change any object, and the
  // drawing state looks at every object again after one ran.
  uint64_t scriptRuns = 0;
  // The particles and the particle-making `explode` statements of this frame
  // (counted from the frame's queue service on), held to their ceilings.
  int32_t particlesThisFrame = 0;
  int32_t explosionsThisFrame = 0;
  // While set, the end of a script deletes every object flagged `killed`.
  bool zoneEntryQuiet = false;

  // Camera overrides of the `camera` statement.
  CameraOverride camera;

  // Credits roll of the `set` statement.
  CreditsRoll credits;

  // Screen effects of the `screen` statement.
  ScreenEffectState screenEffects;
  // The player is left out of this frame's scene (hidden or dying), as decided
  // before this frame's blink toggle.
  bool scenePlayerHidden = false;

  bool frameCounting = true;       // the `timer` setting
  float runClockPosition = 0.8f;   // speedrun clock height, fraction of the view
  // y + h of the title the last `title` statement handled; lives for the whole
  // process (zone loads and `cleartitles` keep it).
  float lastTitleBottom = 0.0f;
};

}  // namespace zor
