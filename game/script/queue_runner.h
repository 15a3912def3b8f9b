// The script queue and its per-frame service, beat timers, and the durations
// that statements read.
//
// The queue is a list with a cursor (CurrentList). Its operations:
//   Append          after the cursor entry (in front of the first without one);
//                   the new entry becomes the cursor;
//   Push to front   the cursor is dropped, the entry goes first and becomes the cursor;
//   Reset / Step / Remove at cursor / Clear   as CurrentList's clearCurrent,
//                   advance, removeCurrent and clear.
// The service leaves the cursor on the last entry after a full pass, so entries
// that the world step appends later in the frame go to the tail; an entry that
// a running script appends lands right behind the entry being run.
#pragma once

#include <cstddef>
#include <cstdint>

#include "game/world/records.h"
#include "platform/random.h"
#include "platform/xml.h"

namespace zor {

struct Game;
struct ScriptState;

// How many queue entries one frame's service runs at most. A chain that keeps
// queueing due entries (a `loop` without a delay, a sub that calls itself)
// goes on in the next frame instead of holding the frame for ever.
inline constexpr int kMaxScriptRunsPerFrame = 4096;
// While the zone settles, the end of every script looks at every object for
// ones to delete; a frame's runs stop (the rest running next frame) once these
// looks have visited this many objects, so that a chain of scripts in a zone of
// a hundred thousand blocks still lets the frame end.
inline constexpr int64_t kMaxSettlingVisitsPerFrame = 8000000;
// How many entries the queue holds at most. Further entries are not added, so
// that a sub that calls itself twice cannot grow the queue (and the frame's
// walks over it) without bound. A game's scripts keep a few dozen queued.
inline constexpr std::size_t kMaxQueueEntries = 10000;

// Empties the queue (a zone load, the quit, `killqueue`).
void clearScriptQueue(ScriptState& state);

// Append: {script, object, delay} after the cursor entry. A negative delay is 0.
// Neither adds anything to a queue of kMaxQueueEntries entries.
void appendScript(ScriptState& state, const xml::Node* script, ObjectRecord* object, int32_t delay);
// Push to the front: {script, object, delay} becomes the first entry and the cursor.
void pushScriptToFront(ScriptState& state, const xml::Node* script, ObjectRecord* object,
                       int32_t delay);

// Frames of a statement's duration: its `frames` attribute, else `secs` times
// 60, else the default. A value is a number, or "r" (or "R") and two numbers
// "a,b" for a value drawn between them with one draw from the random table.
// Rounded to the nearest frame, a half to the even neighbour. Values beyond the
// int32 range are clamped; not-a-number gives 0. No element: the default.
int32_t readDuration(RandomTable& table, const xml::Node* element, int32_t defaultFrames);

// The queue service, once in every frame in which the player-control step runs,
// before that step handles a pending death and reads movement:
//  1. resume check: a timed wait counts down and resumes the suspended script
//     when it runs out; else a prompt resumes on a new press of ACTION, JUMP or
//     PAUSE (the press is then used up for this frame); else the credits roll
//     resumes its script once it has run out;
//  2. every queue delay above 0 drops by 1;
//  3. due beat timers queue their scripts and are rescheduled;
//  4. due entries run in queue order, pass after pass, until a pass runs
//     nothing, a script is suspended, kMaxScriptRunsPerFrame have run, or
//     (while the zone settles) kMaxSettlingVisitsPerFrame is reached;
//  5. a `killqueue` request empties the queue and queues its sub.
// It reads the frame clock (game.app.frameTime), the control table and the
// credits roll.
void serviceScriptQueue(Game& game);

// Recomputes beat trigger times from the music's start time: with onlyCurrent,
// the timer under the beat list's cursor gets the first beat time after the
// frame clock; otherwise every timer gets the first beat time at or after it.
// Without a known track length every timer is deleted instead.
void scheduleBeats(Game& game, bool onlyCurrent);

}  // namespace zor
