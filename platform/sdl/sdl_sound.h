// The sound layer over SDL2_mixer: 44100 Hz 16-bit stereo output, 32 mixing
// channels, WAV and Ogg Vorbis decoded whole into chunks, and one streamed
// track as the mixer's music. Volumes 0..100 map onto the mixer's 0..128.
//
// Every change to what the audio thread mixes goes through the mixer's own
// calls (which take its lock); the channel bookkeeping here is read and written
// on the calling thread only.
#pragma once

#include <SDL_mixer.h>

#include <array>
#include <cstdint>
#include <map>
#include <string>

#include "platform/sound.h"

namespace zor {

class SdlSound final : public SoundOutput {
 public:
  SdlSound();
  // Stops everything, frees every sound and closes the output.
  ~SdlSound() override;
  SdlSound(const SdlSound&) = delete;
  SdlSound& operator=(const SdlSound&) = delete;

  // Starts SDL's audio and opens the mixer; false (and silent) without a device.
  bool start() override;
  bool started() const { return started_; }

  bool soundExists(int32_t sound) const override;
  bool loadSoundAt(int32_t number, const std::string& path) override;
  int32_t loadSound(const std::string& path) override;
  int32_t loadSoundFromMemory(const void* data, std::size_t size) override;
  int32_t loadStreamedSound(const std::string& path) override;

  void play(int32_t sound, bool looped, int32_t volume) override;
  void setVolume(int32_t sound, int32_t volume) override;
  void stop(int32_t sound) override;
  bool isPlaying(int32_t sound) const override;
  void freeSound(int32_t sound) override;
  void stopAll() override;

  // The mixer's volume (0..MIX_MAX_VOLUME) of a volume 0..100, rounded.
  static int toMixerVolume(int32_t volume);
  // The mixer's own volume of the first channel playing the sound (or of the
  // music when the sound is the streamed one playing); -1 when it does not play.
  int mixerVolumeOf(int32_t sound) const;
  // How many channels play the sound now.
  int channelsPlaying(int32_t sound) const;

 private:
  struct Entry {
    Mix_Chunk* chunk = nullptr;  // decoded whole
    Mix_Music* music = nullptr;  // streamed
    int32_t volume = kDefaultVolume;
  };
  static constexpr int32_t kNoSound = -1;

  Mix_Chunk* decode(const void* data, std::size_t size) const;
  Mix_Chunk* decodeFile(const std::string& path) const;
  int32_t newNumber() const;
  void release(Entry& entry);
  void shutDown();

  bool started_ = false;
  std::map<int32_t, Entry> sounds_;
  // The sound each channel was last started with; kNoSound when none.
  std::array<int32_t, kChannels> channelSound_{};
  int32_t musicSound_ = kNoSound;  // the streamed sound last started
};

}  // namespace zor
