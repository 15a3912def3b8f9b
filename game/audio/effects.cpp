#include "game/audio/effects.h"

#include "format/vocabulary.h"
#include "game/game.h"
#include "platform/sound.h"

namespace zor {

namespace {

bool validSlot(int32_t slot) { return slot >= 0 && slot < format::kSoundSlotCount; }

}  // namespace

void playEffect(Game& game, int32_t slot) {
  if (!validSlot(slot)) return;
  playEffectAt(game, slot, game.sounds.soundVolumes[slot]);
}

void playEffectAt(Game& game, int32_t slot, int32_t volume) {
  SoundOutput* out = game.sounds.output;
  if (out == nullptr || game.prefs.sound == 0 || !validSlot(slot)) return;
  out->play(slot, false, volume < 0 ? 0 : volume);
}

bool loadEffectSlot(Game& game, int32_t slot, const std::string& path) {
  SoundOutput* out = game.sounds.output;
  if (out == nullptr || !validSlot(slot) || path.empty()) return false;
  return out->loadSoundAt(slot, findPathIgnoringCase(path));
}

bool effectSlotInUse(const Game& game, int32_t slot) {
  const SoundOutput* out = game.sounds.output;
  return out != nullptr && validSlot(slot) && out->soundExists(slot);
}

}  // namespace zor
