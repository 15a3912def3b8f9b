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

}  // namespace zor
