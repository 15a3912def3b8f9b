// Statement families that act on the zone's objects: state (`flipcolor`,
// `drop`, `kill`, `slay`, `setflags`, `unsetflags`, `hide`, `unhide`),
// parameters (`setcolor`, `setfreq`, `setgrav`, `setcount`, `cycle`,
// `swaplims`, `minpos`, `setcheck`), movement (`look`, `shift`, `move`) and
// `explode`.
#pragma once

#include <cstdint>

namespace zor {

class StatementTable;

void registerObjectStateStatements(StatementTable& table);
void registerObjectParameterStatements(StatementTable& table);
void registerObjectMovementStatements(StatementTable& table);
void registerExplodeStatement(StatementTable& table);

// The most particles one `explode` creates; larger counts are cut to this.
inline constexpr int32_t kMaxExplodeParticles = 1000;
// The ceilings on what explosions make, so that a script exploding in a loop
// without delay can neither fill memory nor hold a frame:
// - no particles once the world holds this many objects (particles stay in the
//   object list until the next zone load, and every frame steps and draws them);
inline constexpr int32_t kMaxObjectsForParticles = 5000;
// - at most this many particles in one frame;
inline constexpr int32_t kMaxParticlesPerFrame = 2000;
// - at most this many particle-making `explode` statements in one frame (each
//   one sorts the whole object list again).
inline constexpr int32_t kMaxExplosionsPerFrame = 100;

}  // namespace zor
