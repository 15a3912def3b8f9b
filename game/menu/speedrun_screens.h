// The menu screens around speedruns: the list of unlocked speedruns, the
// confirmation before records are deleted, one speedrun's records with its
// START line, the results after a run and the pause screen during a run.
#pragma once

#include <string>

namespace zor {

struct Game;

void showSpeedrunsMenu(Game& game, const std::string& note);
void showDeleteRecordsMenu(Game& game);
void showZoneRecordsMenu(Game& game);
// Also closes the run's time: the countdown is taken off the frame counter
// and, unless the run is a replay, the speedrun's records are updated.
void showRunResultsMenu(Game& game);
void showRunPauseMenu(Game& game);

}  // namespace zor
