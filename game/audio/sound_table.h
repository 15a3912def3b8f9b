// The game's sound state: the volumes of the 24 effect slots, the two music
// track slots that cross-fade, the music volume target, the cache of decoded
// tracks, and the sound layer everything plays through.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <unordered_map>

#include "format/vocabulary.h"

namespace zor {

class SoundOutput;

// One of the two music slots.
struct MusicTrack {
  std::string name;    // the normalised track name; empty when the slot is free
  std::string path;    // the file the sound was loaded from
  uint8_t volume = 0;  // the slot's own fade level, 0..100; heard as volume x Music
  int32_t sound = 0;   // the sound layer's number; 0 when the slot holds none
};

struct SoundTable {
  // 0..100 for each effect slot. Start-up sets the built-in volumes
  // (setBuiltInSoundVolumes); a game file's custom sounds (`loadsounds`) change them.
  int32_t soundVolumes[format::kSoundSlotCount] = {
      50, 50, 50, 50, 50, 50, 50, 50, 50, 50, 50, 50,
      50, 50, 50, 50, 50, 50, 50, 50, 50, 50, 50, 50,
  };

  // Where sounds play; null plays nothing.
  SoundOutput* output = nullptr;
  // Put before "zordata/" for the music of the built-in game: "" for the
  // current folder, else a folder ending in "/".
  std::string programFolder;

  // Music: a switch makes the current slot the previous one, which fades out,
  // and the other slot current.
  std::array<MusicTrack, 2> tracks;
  int32_t currentTrack = 0;
  int32_t previousTrack = 1;
  // The level the current track fades toward, 1..100 once a track was asked for.
  int32_t musicVolume = 0;
  // Decoded tracks by normalised name; each is loaded once a run, freed at quit.
  std::unordered_map<std::string, int32_t> musicCache;

  // Makes `out` the sound layer (it must outlive the game's quit path, which
  // frees the music through it); `folder` ("" for the current folder, else
  // ending in "/") holds the built-in game's "zordata".
  void attach(SoundOutput& out, const std::string& folder = std::string()) {
    output = &out;
    programFolder = folder;
  }

  MusicTrack& current() { return tracks[static_cast<std::size_t>(currentTrack & 1)]; }
  MusicTrack& previous() { return tracks[static_cast<std::size_t>(previousTrack & 1)]; }
  const MusicTrack& current() const { return tracks[static_cast<std::size_t>(currentTrack & 1)]; }
  const MusicTrack& previous() const { return tracks[static_cast<std::size_t>(previousTrack & 1)]; }
};

}  // namespace zor
