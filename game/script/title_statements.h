// The title statements: `title` finds or makes a named screen title and sets
// its text, place, size, colour, opacity and fade; `cleartitles` removes every
// title.
#pragma once

namespace zor {

class StatementTable;

// Binds "title" and "cleartitles".
void registerTitleStatements(StatementTable& table);

}  // namespace zor
