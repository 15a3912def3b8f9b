// The title statements: `title` finds or makes a named screen title and sets
// its text, place, size, colour, opacity and fade; `cleartitles` removes every
// title.
#pragma once

#include <cstddef>

namespace zor {

class StatementTable;

// The most titles on the screen. A `title` that would make one more changes
// nothing, so that a script making titles in a loop cannot pile them up (each
// one is faded, laid out and drawn every frame). A game shows a handful.
inline constexpr std::size_t kMaxTitles = 256;

// Binds "title" and "cleartitles".
void registerTitleStatements(StatementTable& table);

}  // namespace zor
