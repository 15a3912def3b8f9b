#include "game/app/game_wiring.h"

#include "game/game.h"
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
    if (cues.click && g.hooks.playEffect) g.hooks.playEffect(g, 9);
    if (cues.go && g.hooks.playEffect) g.hooks.playEffect(g, 7);
  };
}

}  // namespace zor
