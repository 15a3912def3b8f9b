// The audio statements: `music` (track, volume target, fade or at once) and
// `sound` (plays effect slots).
#pragma once

namespace zor {

class StatementTable;

void registerMusicStatements(StatementTable& table);  // music, sound

}  // namespace zor
