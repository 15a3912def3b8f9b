#include "game/script/music_statements.h"

#include <string>

#include "format/values.h"
#include "format/vocabulary.h"
#include "game/audio/effects.h"
#include "game/audio/music.h"
// Up: music statements drive the game's sound table.
#include "game/game.h"
#include "game/script/interpreter.h"
#include "platform/text.h"

namespace zor {

namespace {

// music: `vol` becomes the volume target (0, also when absent, means 100);
// `track` names the track, empty keeps the one that plays, "-" is silence;
// `fast` starts a new track at the target instead of fading it in.
StatementResult runMusic(StatementContext& ctx) {
  Game& game = ctx.game;
  const xml::Node& st = ctx.statement;
  game.sounds.musicVolume = format::readInt(st.attr("vol"));

  std::string track = st.attr("track");
  if (track.empty()) {
    const MusicTrack& cur = game.sounds.current();
    if (cur.sound != 0) track = cur.name;
  } else if (track == "-") {
    track.clear();
  }
  const bool fast = format::readBool(text::toLower(st.attr("fast")));
  playMusic(game, track, fast ? 0 : 1);
  return StatementResult::Continue;
}

// sound: plays each slot of the `num` list (taken modulo 24) once, at `vol`
// when that is above 0, else at the slot's own volume. A negative remainder
// names no slot and plays nothing.
StatementResult runSound(StatementContext& ctx) {
  Game& game = ctx.game;
  const xml::Node& st = ctx.statement;
  const int32_t volume = format::readInt(st.attr("vol"));
  for (const std::string& entry : text::split(st.attr("num"), ',')) {
    const int32_t slot = format::readInt(entry) % format::kSoundSlotCount;
    if (slot < 0) continue;
    if (volume > 0) {
      playEffectAt(game, slot, volume);
    } else {
      playEffect(game, slot);
    }
  }
  return StatementResult::Continue;
}

}  // namespace

void registerMusicStatements(StatementTable& table) {
  table.define("music", runMusic);
  table.define("sound", runSound);
}

}  // namespace zor
