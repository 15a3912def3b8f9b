#include "game/menu/speedrun_screens.h"

#include <algorithm>

#include "game/game.h"
#include "game/menu/menu_screens.h"
#include "game/persist/speedrun.h"
#include "game/render/time_text.h"
#include "platform/text.h"

namespace zor {

namespace {

constexpr int32_t kSpeedrunsBackground = 0xF0F0F0;
constexpr uint32_t kConfirmDelayMs = 800;
constexpr int kBullEffect = format::effect::Bull;
const std::string kDeathsMark = "\xD7" "D";

std::string recordText(int32_t time, int32_t deaths) {
  return formatMinutesSeconds(time) + " / " + text::formatInt(deaths) + kDeathsMark;
}

}  // namespace

void showSpeedrunsMenu(Game& game, const std::string& note) {
  game.app.menuBackground = kSpeedrunsBackground;
  std::vector<const SpeedrunRecord*> unlocked;
  for (const SpeedrunRecord& run : game.data.speedruns) {
    if (run.bestTime != 0) unlocked.push_back(&run);
  }
  MenuState& menu = beginScreen(game, menu_screen::Speedruns, "SPEEDRUNS", static_cast<int32_t>(unlocked.size()) + 2);
  setLine(menu, 0, "SELECT ZONE:", menu_action::None);
  int32_t n = 1;
  for (const SpeedrunRecord* run : unlocked) setLine(menu, n++, run->name, menu_action::PickSpeedrun, note);
  setLine(menu, n, "BACK", menu_action::Back, note);
  menu.selected = 1;
  menu.firstSelectable = 1;
}

void showDeleteRecordsMenu(Game& game) {
  game.menu.inputDelay = game.app.frameTime + kConfirmDelayMs;
  playMenuEffect(game, kBullEffect);
  const SpeedrunRecord* run = currentSpeedrunRecord(game);
  MenuState& menu = beginScreen(game, menu_screen::ConfirmDelete, "CONFIRM", run ? 5 : 4);
  int32_t n = 0;
  setLine(menu, n++, "DELETE RECORDS?", menu_action::None);
  setLine(menu, n++, "NO", menu_action::Back);
  if (run) setLine(menu, n++, "YES: " + run->name, menu_action::DeleteRecords);
  setLine(menu, n++, "YES: ALL ZONES", menu_action::DeleteAllRecords);
  setLine(menu, n, "BACK", menu_action::Back);
  menu.selected = 1;
  menu.firstSelectable = 1;
}

void showZoneRecordsMenu(Game& game) {
  const SpeedrunRecord* run = currentSpeedrunRecord(game);
  if (run == nullptr) {
    showSpeedrunsMenu(game, "");
    return;
  }
  game.app.menuBackground = run->colour;
  MenuState& menu = beginScreen(game, menu_screen::ZoneRecords, run->name, 5);
  setLine(menu, 0, "ZONE RECORDS:", menu_action::None);
  setLine(menu, 1, run->bestTime > 0 ? recordText(run->bestTime, run->bestTimeDeaths) : "?:??", menu_action::None);
  setLine(menu, 2, run->fewestDeathsTime > 0 ? recordText(run->fewestDeathsTime, run->fewestDeaths) : "? DEATHS",
          menu_action::None);
  setLine(menu, 3, "START", menu_action::StartRun);
  setLine(menu, 4, "BACK", menu_action::Back);
  menu.selected = 3;
  menu.firstSelectable = 3;
}

void showRunResultsMenu(Game& game) {
  SpeedrunState& run = game.run;
  Session& session = game.session;
  const bool replaying = game.random.replaying;
  MenuState& menu =
      beginScreen(game, menu_screen::Results, run.runFinished == 1 ? "FINISH" : "STOPPED", 5);
  menu.selected = 3;
  menu.firstSelectable = 3;
  if (run.recording) {
    menu.inputDelay = game.app.frameTime + kConfirmDelayMs;
    run.events.push_back(RunEvent{session.frameCounter, 0, run_event::Up});
  }
  session.frameCounter = static_cast<int32_t>(static_cast<uint32_t>(session.frameCounter) -
                                              static_cast<uint32_t>(kRunCountdownFrames));
  const int32_t time = session.frameCounter;
  const int32_t deaths = session.deaths;

  std::string timeLine = "TIME: " + formatMinutesSeconds(time);
  std::string deathsLine = text::formatInt(deaths) + " DEATH" + (deaths == 1 ? "" : "S");
  RecordUpdate update;
  // A run that ended inside its countdown has no time to hold as a record (a
  // best time of 0 or below would lock the speedrun or read as "no record").
  if (!replaying && time > 0) {
    if (SpeedrunRecord* def = currentSpeedrunRecord(game)) update = updateSpeedrunRecords(*def, time, deaths);
  }
  if (update.timeMarked) timeLine = "* " + timeLine + " *";
  if (update.deathsMarked) deathsLine = "* " + deathsLine + " *";
  std::string help;
  if (update.outcome == RecordOutcome::Complete) help = "* COMPLETE! *";
  if (update.outcome == RecordOutcome::NewRecord) help = "* NEW RECORD! *";

  setLine(menu, 0, "RESULTS", menu_action::None);
  setLine(menu, 1, timeLine, menu_action::None);
  setLine(menu, 2, deathsLine, menu_action::None);
  if (replaying) {
    const std::string& path = run.replayFilePath;
    setLine(menu, 3, text::toUpper(path.substr(path.rfind('/') + 1)), menu_action::None, help);
  } else {
    setLine(menu, 3, "SAVE RUN", menu_action::SaveRun, help);
  }
  setLine(menu, 4, "CONTINUE", menu_action::Back, help);
}

void showRunPauseMenu(Game& game) {
  const bool replaying = game.random.replaying;
  MenuState& menu = beginScreen(game, menu_screen::RunPause, "SPEEDRUN", replaying ? 2 : 3);
  int32_t n = 0;
  setLine(menu, n++, "CONTINUE", menu_action::Back);
  if (!replaying) setLine(menu, n++, "SAVE RUN", menu_action::SaveRun);
  setLine(menu, n, "END RUN", menu_action::EndRun);
}

}  // namespace zor
