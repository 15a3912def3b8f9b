#include "game/audio/sound_hooks.h"

#include "game/audio/effects.h"
#include "game/audio/music.h"
#include "game/game.h"
#include "platform/sound.h"

namespace zor {

void installSoundHooks(Game& game, SoundOutput& output, const std::string& programFolder) {
  game.sounds.output = &output;
  game.sounds.programFolder = programFolder;
  GameHooks& h = game.hooks;
  h.initSound = [](Game& g) { return g.sounds.output != nullptr && g.sounds.output->start(); };
  h.soundSlotInUse = [](Game& g, int slot) { return effectSlotInUse(g, slot); };
  h.loadSoundSlot = [](Game& g, int slot, const std::string& path) { return loadEffectSlot(g, slot, path); };
  h.loadStreamedSound = [](Game& g, const std::string& path) -> int32_t {
    return g.sounds.output ? g.sounds.output->loadStreamedSound(findPathIgnoringCase(path)) : 0;
  };
  h.playEffect = [](Game& g, int slot) { playEffect(g, slot); };
  h.playMusic = [](Game& g, const std::string& track, int startSilent) { playMusic(g, track, startSilent); };
  h.setMusicVolume = [](Game& g, int volume) { g.sounds.musicVolume = volume; };
  h.updateMusicFade = [](Game& g) { updateMusicFade(g); };
  h.startPauseMusic = [](Game& g) { startPauseMusic(g); };
  h.restoreMusic = [](Game& g) { restoreMusic(g); };
  h.applyMusicSwitch = [](Game& g) { applyMusicSwitch(g); };
  h.freeMusicCache = [](Game& g) { freeMusicCache(g); };
}

}  // namespace zor
