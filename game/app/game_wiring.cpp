#include "game/app/game_wiring.h"

#include "game/audio/music.h"
#include "game/game.h"
#include "game/menu/speedrun_screens.h"
#include "game/persist/run_file.h"
#include "game/persist/speedrun.h"
#include "game/render/overlays.h"
#include "game/render/scene.h"
#include "game/render/titles.h"
#include "game/script/interpreter.h"
#include "game/world/player_control.h"
#include "game/world/world_step.h"

namespace zor {

void wireGameHooks(Game& game) {
  GameHooks& h = game.hooks;
  installScriptHooks(game);
  installWorldHooks(game);
  installPlayerControlHook(game);
  h.layoutTitles = [](Game& g, TitleRecord* title) { layoutTitles(g, title); };
  h.drawScene = [](Game& g) { drawScene(g); };
  h.drawOverlays = [](Game& g) {
    ShapeFill* fill = g.screen.shapeFill();
    if (fill) drawOverlays(g, *fill, RunDisplay{});
  };
  h.advanceOverlays = [](Game& g) {
    const CountdownCues cues = advanceOverlays(g);
    if (cues.click && g.hooks.playEffect) g.hooks.playEffect(g, format::effect::Click);
    if (cues.go && g.hooks.playEffect) g.hooks.playEffect(g, format::effect::Check);
    // "GO": the zone's track, held since the run started, begins now.
    if (cues.go) startCurrentTrack(g);
  };
  // Speedruns, their screens and run files (hooks already given, as tests do, are kept).
  h.drawOverlays = [](Game& g) {
    ShapeFill* fill = g.screen.shapeFill();
    if (!fill) return;
    RunDisplay run;
    run.replaying = g.random.replaying;
    run.replayLost = g.random.replaying && g.run.replayCursor < 0;
    run.speedrun = currentSpeedrunRecord(g);
    drawOverlays(g, *fill, run);
  };
  if (!h.backupSaveForRun) h.backupSaveForRun = [](Game& g) { backupSaveForRun(g); };
  if (!h.startSpeedrun) h.startSpeedrun = [](Game& g, int replay) { startSpeedrun(g, replay); };
  if (!h.endSpeedrun) h.endSpeedrun = [](Game& g, int keepZone) { endSpeedrun(g, keepZone); };
  if (!h.readSpeedrunFile) h.readSpeedrunFile = [](Game& g, const std::string& path) { return readSpeedrunFile(g, path); };
  if (!h.saveRunFile) h.saveRunFile = [](Game& g, bool stopMarker) { return saveRunFile(g, stopMarker); };
  if (!h.stepRunInput) h.stepRunInput = [](Game& g) { stepRunInput(g); };
  if (!h.showSpeedrunsMenu) h.showSpeedrunsMenu = [](Game& g, const std::string& note) { showSpeedrunsMenu(g, note); };
  if (!h.showDeleteRecordsMenu) h.showDeleteRecordsMenu = [](Game& g) { showDeleteRecordsMenu(g); };
  if (!h.showZoneRecordsMenu) h.showZoneRecordsMenu = [](Game& g) { showZoneRecordsMenu(g); };
  if (!h.showRunResultsMenu) h.showRunResultsMenu = [](Game& g) { showRunResultsMenu(g); };
  if (!h.showRunPauseMenu) h.showRunPauseMenu = [](Game& g) { showRunPauseMenu(g); };
}

}  // namespace zor
