// A sound layer in memory: it loads the files it is told exist, keeps each
// sound's own volume, and plays sounds on 32 channels that never finish by
// themselves. Tests read the channels' volumes and a log of the calls.
#pragma once

#include <algorithm>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "platform/sound.h"

namespace zor::testing {

struct FakeSoundOutput : SoundOutput {
  struct Sound {
    std::string path;
    bool streamed = false;
    int32_t volume = kDefaultVolume;
  };
  struct Channel {
    int32_t sound = -1;  // -1: free
    bool looped = false;
    int32_t volume = 0;
  };

  bool canStart = true;
  std::set<std::string> loadable;  // paths that load
  std::map<int32_t, Sound> sounds;
  Channel channels[kChannels];
  std::vector<std::string> log;
  std::vector<std::string> loadsTried;
  std::vector<std::pair<int, std::string>> slotLoads;  // loads into fixed numbers: number, path

  int starts = 0;
  bool start() override {
    ++starts;
    return canStart;
  }
  bool soundExists(int32_t sound) const override { return sounds.count(sound) != 0; }
  bool loadSoundAt(int32_t number, const std::string& path) override {
    loadsTried.push_back(path);
    slotLoads.emplace_back(number, path);
    if (number < 0 || number >= kFirstNewSound || loadable.count(path) == 0) return false;
    if (soundExists(number)) freeSound(number);
    sounds[number] = Sound{path, false, kDefaultVolume};
    return true;
  }
  int32_t loadSound(const std::string& path) override {
    loadsTried.push_back(path);
    if (loadable.count(path) == 0) return 0;
    const int32_t n = newNumber();
    sounds[n] = Sound{path, false, kDefaultVolume};
    log.push_back("load " + path);
    return n;
  }
  int32_t loadSoundFromMemory(const void*, std::size_t size) override {
    if (size == 0) return 0;
    const int32_t n = newNumber();
    sounds[n] = Sound{"<memory>", false, kDefaultVolume};
    return n;
  }
  int32_t loadStreamedSound(const std::string& path) override {
    loadsTried.push_back(path);
    if (loadable.count(path) == 0) return 0;
    const int32_t n = newNumber();
    sounds[n] = Sound{path, true, kDefaultVolume};
    return n;
  }
  void play(int32_t sound, bool looped, int32_t volume) override {
    auto it = sounds.find(sound);
    if (it == sounds.end()) return;
    if (volume >= 0) it->second.volume = std::clamp(volume, 0, 100);
    stopChannels(sound);
    for (Channel& c : channels) {
      if (c.sound != -1) continue;
      c = Channel{sound, looped, it->second.volume};
      log.push_back("play " + std::to_string(sound) + (looped ? " looped " : " once ") +
                    std::to_string(it->second.volume));
      return;
    }
  }
  void setVolume(int32_t sound, int32_t volume) override {
    auto it = sounds.find(sound);
    if (it == sounds.end()) return;
    it->second.volume = std::clamp(volume, 0, 100);
    for (Channel& c : channels) {
      if (c.sound == sound) c.volume = it->second.volume;
    }
  }
  void stop(int32_t sound) override {
    if (stopChannels(sound)) log.push_back("stop " + std::to_string(sound));
  }
  bool isPlaying(int32_t sound) const override {
    return std::any_of(std::begin(channels), std::end(channels), [&](const Channel& c) { return c.sound == sound; });
  }
  void freeSound(int32_t sound) override {
    if (isPlaying(sound)) log.push_back("freed while playing " + std::to_string(sound));
    sounds.erase(sound);
  }
  void stopAll() override {
    for (Channel& c : channels) c = Channel{};
    log.push_back("stop all");
  }

  // Every effect slot holds a sound (as start-up loads them).
  void fillEffectSlots(int32_t count = 24) {
    for (int32_t slot = 0; slot < count; ++slot) sounds[slot] = Sound{"slot" + std::to_string(slot), false, kDefaultVolume};
  }
  // The effect slots played, in order (sounds numbered below kFirstNewSound).
  std::vector<int> playedEffects() const {
    std::vector<int> out;
    for (const std::string& entry : log) {
      if (entry.rfind("play ", 0) != 0) continue;
      const int n = std::stoi(entry.substr(5));
      if (n < kFirstNewSound) out.push_back(n);
    }
    return out;
  }

  // The volume of the channel playing the sound; -1 when none does.
  int32_t channelVolume(int32_t sound) const {
    for (const Channel& c : channels) {
      if (c.sound == sound) return c.volume;
    }
    return -1;
  }
  int playingCount() const {
    return static_cast<int>(
        std::count_if(std::begin(channels), std::end(channels), [](const Channel& c) { return c.sound != -1; }));
  }
  // The number a path was loaded under; 0 when it is not loaded.
  int32_t soundOf(const std::string& path) const {
    for (const auto& [n, s] : sounds) {
      if (s.path == path) return n;
    }
    return 0;
  }

 private:
  int32_t newNumber() const {
    int32_t n = kFirstNewSound;
    while (sounds.count(n)) ++n;
    return n;
  }
  bool stopChannels(int32_t sound) {
    bool any = false;
    for (Channel& c : channels) {
      if (c.sound == sound) {
        c = Channel{};
        any = true;
      }
    }
    return any;
  }
};

}  // namespace zor::testing
