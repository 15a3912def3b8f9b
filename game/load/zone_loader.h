// Building the world from one zone of the game file, and entering a zone at
// the start of play. The zone is read into records first (game/model/
// zone_model.h), which are then applied to the running world.
#pragma once

#include <string>

#include "game/model/zone_model.h"  // kMaxLevels

namespace zor {

struct Game;

// Rebuilds the world from the zone with the given id (trimmed, lower case).
// Keeps the zone's persist group, carries the player's motion and the camera
// offset over a zone change, reads the zone, orders the objects, places the
// player and runs the zone's start script. closeMenu returns to play.
// Returns false after a fatal error (zone not found, zone without levels);
// the world is then left as it was.
bool loadZone(Game& game, const std::string& id, bool closeMenu);

// Empties the zone's lists (areas, word boxes, script queue, titles, beat
// timers) and resets the per-zone state of the world and the scripts: zone
// flags, zone scripts, camera overrides, credits roll, screen effects, freeze,
// frame counting, run clock, and one default level, respawn point, limits,
// zoom and gravity. objectCount becomes the number of objects in the list.
// Zone loading calls it after the persist group was kept; quitting calls it
// after the objects were dropped.
void resetZoneState(Game& game);

// Where the zone to enter comes from. A zone asked for (the command line, a
// speedrun, a new game) must have levels, or the program ends with "Zone 'id'
// contains no levels!"; a saved position naming an element without levels starts
// at "first" at its default entrance.
enum class ZoneRequest { Asked, SavedPosition };

// Starts play in a zone afresh: resets the player's colour, loads the zone
// without carry-over, waits until ACTION is let go and restores the music and
// the input states.
void enterZone(Game& game, const std::string& id, const std::string& entrance,
               ZoneRequest request = ZoneRequest::Asked);

}  // namespace zor
