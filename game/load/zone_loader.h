// Building the world from one zone of the game file, and entering a zone at
// the start of play.
#pragma once

#include <string>

namespace zor {

struct Game;

// The most levels a zone may have: level indexes are signed bytes. Levels past
// this many are ignored.
inline constexpr int kMaxLevels = 127;

// Rebuilds the world from the zone with the given id (trimmed, lower case).
// Keeps the zone's persist group, carries the player's motion and the camera
// offset over a zone change, reads the zone, orders the objects, places the
// player and runs the zone's start script. closeMenu returns to play.
// Returns false after a fatal error (zone not found, zone without levels);
// the world is then left as it was.
bool loadZone(Game& game, const std::string& id, bool closeMenu);

// Starts play in a zone afresh: resets the player's colour, loads the zone
// without carry-over, waits until ACTION is let go and restores the music and
// the input states.
void enterZone(Game& game, const std::string& id, const std::string& entrance);

}  // namespace zor
