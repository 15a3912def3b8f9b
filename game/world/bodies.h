// The first half of the world step: moving bodies (supports, class behaviour,
// slides, gravity), the pair pass that resolves collisions between objects,
// the player rules after it, and the small operations on bodies that player
// control, zone loading and scripts share.
#pragma once

#include <cstdint>
#include <vector>

#include "game/world/records.h"
#include "platform/xml.h"

namespace zor {

struct Game;
struct ScriptState;
struct Session;
struct World;

// How many pair passes one frame runs at most. A pass is repeated while it
// changes the player's contact bits; ordinary scenes settle in two or three.
inline constexpr int kMaxPairPasses = 256;

// How the pair pass finds the objects that a dynamic object meets: through an
// index by place, or by testing every later object (the plain reference the
// index must agree with, contact for contact).
enum class PairSearch { Indexed, Exhaustive };

// One solid contact of the pair pass: `a` was pushed out of `b`.
struct PairContact {
  const ObjectRecord* a;
  const ObjectRecord* b;
};

// One frame of bodies and collisions, right after the object motion update
// (stepWorld runs both through stepMotionAndBodies): the bounce colour timer, the bodies phase, the pair pass and
// the player rules after it. Does nothing without a player. With `contacts`,
// every solid contact is appended in the order it happens. It takes the Game
// because a player death in the pass runs the zone's death script at once.
void stepBodies(Game& game, PairSearch search = PairSearch::Indexed, std::vector<PairContact>* contacts = nullptr);

// The object motion update followed by stepBodies with the indexed search, as
// stepWorld runs them, with the same results; one walk over the list does the
// motion of every object and the bodies phase of those that are not dynamic.
void stepMotionAndBodies(Game& game, std::vector<PairContact>* contacts = nullptr);

// Kills one object: everything standing on it falls free, and its flags become
// `killed`, `noborder` and `invisible` (keeping `hasface`). With withSound, an
// object not killed before plays the die effect (when soundOn) and queues its
// die script. Nothing happens for null.
void killObject(World& world, ScriptState& script, bool soundOn, ObjectRecord* object, int withSound);

// 1 when a solid object other than the given one, on exactly that level,
// overlaps the object's box (touching does not count); else 0.
int objectOverlapsLevel(const World& world, const ObjectRecord& object, int level);

// Puts the player back at the respawn point (standing still, airborne,
// visible), unlocks its level, finds the leap levels, clears the script that
// holds the player (always with resetAll, else unless it is the zone's death
// script), and counts attemptsDelta attempts in the session.
void respawnPlayer(World& world, ScriptState& script, Session& session, int attemptsDelta, int resetAll);

// A death taken by the player-control step: counts it, respawns the player,
// queues the after-death script, latches the direction keys, flashes black and
// plays the die effect (when soundOn).
void handlePlayerDeath(World& world, ScriptState& script, Session& session, bool soundOn);

// The nearest unlocked levels above and below the player's, and a background
// fade toward the colour of the player's level.
void findLeapLevels(World& world);

// The player dies: the zone's death script runs at once when there is one,
// else the death waits for the player-control step (playerDead). The player
// blinks either way. Takes the Game for the death script.
void playerDeath(Game& game);

// Queues {script, object, delay 0} after the script queue's current entry.
// Nothing happens for a null script.
void queueScript(ScriptState& state, const xml::Node* script, ObjectRecord* object);

// Asks for an effect slot to be played at its volume (world.requests.effects)
// when sound effects are on (soundOn, the preference); slots outside 0..23 ask
// for nothing.
void playSoundEffect(World& world, bool soundOn, int slot);

}  // namespace zor
