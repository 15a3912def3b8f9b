// The sound layer the game plays through: numbered sounds (effects decoded
// whole, tracks decoded whole, one streamed track), a mixer of 32 channels and
// volumes from 0 to 100. The SDL layer implements it; tests fake it. Without a
// working output every call is silent and every load fails.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace zor {

class SoundOutput {
 public:
  static constexpr int32_t kChannels = 32;
  static constexpr int32_t kFrequency = 44100;
  // Numbers below this one are the caller's own (the effect slots); loads that
  // hand out a new number start here. 0 is never handed out.
  static constexpr int32_t kFirstNewSound = 100;
  // A sound file larger than this is not loaded.
  static constexpr std::size_t kMaxSoundFileBytes = 64u * 1024u * 1024u;
  // The volume a sound plays at until it is given another.
  static constexpr int32_t kDefaultVolume = 100;

  virtual ~SoundOutput() = default;

  // Opens the sound output; false when there is none (the game then runs silent).
  virtual bool start() = 0;

  // Whether a sound of that number is loaded.
  virtual bool soundExists(int32_t sound) const = 0;
  // Loads and decodes a WAV or Ogg Vorbis file whole under a fixed number
  // (0 <= number < kFirstNewSound), replacing the sound held there (its channels
  // are stopped first). False, changing nothing, when it cannot be loaded.
  virtual bool loadSoundAt(int32_t number, const std::string& path) = 0;
  // The same under a new number, which is returned; 0 when it cannot be loaded.
  virtual int32_t loadSound(const std::string& path) = 0;
  // A whole WAV or Ogg Vorbis file held in memory (copied); a new number or 0.
  virtual int32_t loadSoundFromMemory(const void* data, std::size_t size) = 0;
  // Opens an Ogg Vorbis file for streaming while it plays; a new number or 0.
  // One streamed sound plays at a time.
  virtual int32_t loadStreamedSound(const std::string& path) = 0;

  // Plays a sound once or looped on a free channel. Any channel still playing
  // the same sound is stopped first. volume is 0..100 (clamped); below 0 the
  // sound's own volume (the last one set, else kDefaultVolume) is used, and a
  // volume given here becomes the sound's own.
  virtual void play(int32_t sound, bool looped, int32_t volume) = 0;
  // The sound's own volume, applied at once to every channel playing it.
  virtual void setVolume(int32_t sound, int32_t volume) = 0;
  virtual void stop(int32_t sound) = 0;
  virtual bool isPlaying(int32_t sound) const = 0;
  // Stops every channel playing the sound, then frees it; its number is free again.
  virtual void freeSound(int32_t sound) = 0;
  // Stops every channel and the streamed sound.
  virtual void stopAll() = 0;
};

// The path of an existing file or folder whose name matches `path` with the
// letter case of each component ignored (ASCII): a component that exists as
// written is taken as it is, else the first entry of its folder (in byte
// order) whose name matches ignoring case. When no such path exists the path
// is returned as it is, so that opening it fails as usual.
std::string findPathIgnoringCase(const std::string& path);

}  // namespace zor
