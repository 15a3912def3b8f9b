// Operations on the world's objects and levels that loading, the world step,
// scripts and drawing share.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "game/world/world.h"

namespace zor {

struct ScriptState;

// Creates an object with the defaults of a new block (at the respawn point,
// 40 below it, the zone's gravity, facing the player), inserts it after the
// list's current object (at the head when there is none) and makes it current.
// objectCount is left alone, and nothing is sorted.
ObjectRecord& addObject(World& world, const std::string& name);

// "" and "-" give null and "you" the player, without moving the cursor. Any
// other name is compared exactly with the objects from the first on; the cursor
// is left on the match, or on the last object when there is none.
ObjectRecord* findObject(World& world, std::string_view name);

// Deletes every object for which `victim` is true. Every reference to a victim
// is cleared first: supports (the object standing on it becomes airborne),
// faced objects, word boxes (detached and marked for removal), queued scripts,
// the camera's look-at object, the checkpoint, the last bounced-on object, the
// object of a suspended script and the player pointer. objectCount is not
// changed; no object is current afterwards.
void deleteObjectsWhere(World& world, ScriptState& script, const std::function<bool(const ObjectRecord&)>& victim);

// Everything standing on base, directly or through a stack, falls free: its
// support is cleared, it becomes airborne and its vy is 0.0005 below the vy of
// the object it stood on. Nothing happens for null.
void releaseStackedObjects(World& world, ObjectRecord* base);

// Index of the level nearest to z (the lower index on a tie); 0 for an empty table.
int32_t findNearestLevel(const World& world, float z);

// The level at index, or null when the index is outside the table.
const LevelRecord* levelAt(const World& world, int index);
LevelRecord* levelAt(World& world, int index);

// A level index that is safe to use: indexes within the table stay, indexes
// past its end are taken modulo the level count, negative ones give the level
// nearest to z. -1 for an empty table.
int32_t resolveLevelIndex(const World& world, int32_t level, float z);

// Orders positions 1 to objectCount of the object list: by z descending, then
// priority descending, then y descending, ties in their earlier order (three
// stable sorts). A NaN key counts as minus infinity, so the order stays total.
void sortObjects(World& world);

// Lays positions 1 to objectCount of the object list out in memory (see
// ObjectLayout), so that the walks over the list go forward through memory, and
// changes every reference to a moved object (the same references that
// deleteObjectsWhere clears) to its new place. The player and the objects of a
// persist group (which may have come from the zone before, and stay the same
// records) keep their places. Only for a moment when nothing else holds the
// address of another object: the end of the zone load's sort. The list order
// stays; no result of the game depends on where the records lie.
void layOutObjects(World& world, ScriptState& script, ObjectLayout layout = ObjectLayout::MovingApart);

// sortObjects and then layOutObjects, going over the objects once.
void sortAndLayOutObjects(World& world, ScriptState& script, ObjectLayout layout = ObjectLayout::MovingApart);

}  // namespace zor
