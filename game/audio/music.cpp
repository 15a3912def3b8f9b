#include "game/audio/music.h"

#include <algorithm>

#include "game/audio/ogg_length.h"
#include "game/game.h"
#include "game/script/queue_runner.h"
#include "platform/files.h"
#include "platform/sound.h"
#include "platform/text.h"

namespace zor {

namespace {

uint32_t nowMs(const Game& game) { return elapsedMs(game); }

// A level as heard: level x Music.
int32_t audible(const Game& game, int32_t level) { return level * (game.prefs.music != 0 ? 1 : 0); }

void setTrackVolume(Game& game, const MusicTrack& t, int32_t level) {
  if (game.sounds.output && t.sound != 0) game.sounds.output->setVolume(t.sound, audible(game, level));
}

void stopIfPlaying(Game& game, int32_t sound) {
  SoundOutput* out = game.sounds.output;
  if (out && sound != 0 && out->isPlaying(sound)) out->stop(sound);
}

void emptySlot(MusicTrack& t) {
  t.sound = 0;
  t.name.clear();
  t.path.clear();
}

void switchSlots(SoundTable& s) {
  s.previousTrack = s.currentTrack;
  s.currentTrack = 1 - s.currentTrack;
}

// Where the file of a track lies: beside the game file, or under the program's
// "zordata" for the built-in game.
std::string trackPath(const Game& game, const std::string& name) {
  const std::string& gameFile = game.data.gameFilePath;
  if (!gameFile.empty()) return files::folderPart(gameFile) + "./" + name;
  return game.sounds.programFolder + "zordata/" + name;
}

// The cached sound of a track, loaded and decoded whole the first time; 0 when
// it cannot be loaded.
int32_t cachedTrack(Game& game, const std::string& name, const std::string& path) {
  SoundTable& s = game.sounds;
  auto it = s.musicCache.find(name);
  if (it != s.musicCache.end() && it->second != 0) return it->second;
  if (s.output == nullptr) return 0;
  const int32_t sound = s.output->loadSound(path);
  if (sound != 0) s.musicCache[name] = sound;
  return sound;
}

}  // namespace

std::string normaliseTrackName(const std::string& name) { return text::toLower(text::replaceAll(name, "\\", "/")); }

int32_t playMusic(Game& game, const std::string& requested, int32_t startSilent) {
  SoundTable& s = game.sounds;
  if (game.prefs.disableMusic != 0) return 0;
  if (s.musicVolume <= 0 || s.musicVolume > 100) s.musicVolume = 100;

  std::string name = normaliseTrackName(requested);
  // The track that plays goes on; the one fading out comes back.
  if (name == s.current().name) return 1;
  if (name == s.previous().name) {
    switchSlots(s);
    return 1;
  }
  if (name == "-") name.clear();

  // The track still fading out stops; the current one starts fading out.
  MusicTrack& old = s.previous();
  stopIfPlaying(game, old.sound);
  emptySlot(old);
  switchSlots(s);
  if (name.empty()) return 0;

  MusicTrack& slot = s.current();
  slot.path = findPathIgnoringCase(trackPath(game, name));
  const int32_t sound = cachedTrack(game, name, slot.path);
  if (sound == 0) return 0;

  slot.name = name;
  slot.sound = sound;
  slot.volume = static_cast<uint8_t>(startSilent != 0 ? 0 : s.musicVolume);
  setTrackVolume(game, slot, slot.volume);

  game.musicStartTime = nowMs(game);
  const bool once = measureCurrentTrack(game) != 0;
  s.output->play(sound, !once, audible(game, slot.volume));
  return 1;
}

void updateMusicFade(Game& game) {
  SoundTable& s = game.sounds;
  SoundOutput* out = s.output;

  MusicTrack& cur = s.current();
  if (cur.sound != 0) {
    // A track of known length starts again once it has played its length.
    const uint32_t now = game.app.frameTime;
    if (game.trackLength > 0 && static_cast<int32_t>(now - game.musicStartTime) >= game.trackLength) {
      if (out) out->play(cur.sound, false, audible(game, cur.volume));
      game.musicStartTime = now;
      scheduleBeats(game, false);
    }
    const int32_t target = std::clamp(s.musicVolume, 0, 100);
    if (cur.volume < target) {
      cur.volume = static_cast<uint8_t>(cur.volume + 1);
      setTrackVolume(game, cur, cur.volume);
    } else if (cur.volume > target) {
      cur.volume = static_cast<uint8_t>(cur.volume - 1);
      setTrackVolume(game, cur, cur.volume);
    }
  }

  MusicTrack& prev = s.previous();
  if (prev.sound != 0) {
    const int32_t level = static_cast<int32_t>(prev.volume) - 1;
    if (level > 0) {
      prev.volume = static_cast<uint8_t>(level);
      setTrackVolume(game, prev, level);
    } else {
      prev.volume = 0;
      stopIfPlaying(game, prev.sound);
      emptySlot(prev);
    }
  }
}

int32_t measureCurrentTrack(Game& game) {
  const MusicTrack& cur = game.sounds.current();
  game.trackLength = cur.sound != 0 ? readOggDuration(cur.path) : 0;
  scheduleBeats(game, false);
  return game.trackLength;
}

void startPauseMusic(Game& game) {
  if (game.prefs.disableMusic != 0) return;
  SoundTable& s = game.sounds;
  const int32_t pause = game.app.pauseMusic;
  if (pause != 0 && s.output) {
    const int32_t volume = audible(game, kPauseMusicVolume);
    s.output->setVolume(pause, volume);
    s.output->play(pause, true, volume);
  }
  setTrackVolume(game, s.current(), 0);
  setTrackVolume(game, s.previous(), 0);
}

void restoreMusic(Game& game) {
  if (game.prefs.disableMusic != 0) return;
  SoundTable& s = game.sounds;
  stopIfPlaying(game, game.app.pauseMusic);
  setTrackVolume(game, s.current(), s.current().volume);
  setTrackVolume(game, s.previous(), s.previous().volume);
}

void applyMusicSwitch(Game& game) {
  SoundTable& s = game.sounds;
  if (game.app.menuState == menu_state::Playing) {
    setTrackVolume(game, s.current(), s.current().volume);
    setTrackVolume(game, s.previous(), s.previous().volume);
  } else if (game.app.pauseMusic != 0 && s.output) {
    s.output->setVolume(game.app.pauseMusic, audible(game, kPauseMusicVolume));
  }
}

void startCurrentTrack(Game& game) {
  SoundTable& s = game.sounds;
  const MusicTrack& cur = s.current();
  if (cur.sound == 0 || s.output == nullptr) return;
  if (game.trackLength != 0) {
    s.output->play(cur.sound, false, audible(game, cur.volume));
    game.musicStartTime = nowMs(game);
    scheduleBeats(game, false);  // the beats follow the new start
  } else {
    s.output->play(cur.sound, true, audible(game, cur.volume));
  }
}

void stopCurrentTrack(Game& game) { stopIfPlaying(game, game.sounds.current().sound); }

void freeMusicCache(Game& game) {
  SoundTable& s = game.sounds;
  if (s.output) {
    s.output->stopAll();
    for (const auto& [name, sound] : s.musicCache) {
      if (sound != 0) s.output->freeSound(sound);
    }
  }
  s.musicCache.clear();
  for (MusicTrack& t : s.tracks) {
    emptySlot(t);
    t.volume = 0;
  }
  game.trackLength = 0;
}

}  // namespace zor
