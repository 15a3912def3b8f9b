#include "platform/sdl/sdl_sound.h"

#include <SDL.h>

#include <algorithm>
#include <filesystem>
#include <string>

#include "platform/files.h"

namespace zor {

namespace {

constexpr int kChunkSize = 1024;  // sample frames per mixing pass

bool isRegularFile(const std::string& path) {
  std::error_code ec;
  return !path.empty() && std::filesystem::is_regular_file(path, ec) && !ec;
}

}  // namespace

SdlSound::SdlSound() { channelSound_.fill(kNoSound); }

SdlSound::~SdlSound() { shutDown(); }

bool SdlSound::start() {
  if (started_) return true;
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return false;
  Mix_Init(MIX_INIT_OGG);  // WAV works without it; an Ogg then fails to load
  if (Mix_OpenAudio(kFrequency, AUDIO_S16SYS, 2, kChunkSize) != 0) {
    Mix_Quit();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    return false;
  }
  if (Mix_AllocateChannels(kChannels) != kChannels) {
    Mix_CloseAudio();
    Mix_Quit();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    return false;
  }
  Mix_Volume(-1, MIX_MAX_VOLUME);
  channelSound_.fill(kNoSound);
  started_ = true;
  return true;
}

void SdlSound::shutDown() {
  if (!started_) return;
  Mix_HaltChannel(-1);
  Mix_HaltMusic();
  for (auto& [number, entry] : sounds_) release(entry);
  sounds_.clear();
  channelSound_.fill(kNoSound);
  musicSound_ = kNoSound;
  Mix_CloseAudio();
  Mix_Quit();
  SDL_QuitSubSystem(SDL_INIT_AUDIO);
  started_ = false;
}

int SdlSound::toMixerVolume(int32_t volume) {
  const int32_t v = std::clamp(volume, 0, 100);
  return (v * MIX_MAX_VOLUME + 50) / 100;
}

bool SdlSound::soundExists(int32_t sound) const { return sounds_.count(sound) != 0; }

Mix_Chunk* SdlSound::decode(const void* data, std::size_t size) const {
  if (!started_ || data == nullptr || size == 0 || size > kMaxSoundFileBytes) return nullptr;
  SDL_RWops* rw = SDL_RWFromConstMem(data, static_cast<int>(size));
  if (rw == nullptr) return nullptr;
  return Mix_LoadWAV_RW(rw, 1);  // decodes whole; the bytes are not kept
}

Mix_Chunk* SdlSound::decodeFile(const std::string& path) const {
  if (!started_ || !isRegularFile(path)) return nullptr;
  std::string bytes;
  if (!files::readFile(path, bytes, kMaxSoundFileBytes)) return nullptr;
  return decode(bytes.data(), bytes.size());
}

int32_t SdlSound::newNumber() const {
  int32_t n = kFirstNewSound;
  // The numbers in use are few; the first free one above the fixed ones.
  for (auto it = sounds_.lower_bound(kFirstNewSound); it != sounds_.end() && it->first == n; ++it) ++n;
  return n;
}

bool SdlSound::loadSoundAt(int32_t number, const std::string& path) {
  if (number < 0 || number >= kFirstNewSound) return false;
  Mix_Chunk* chunk = decodeFile(path);
  if (chunk == nullptr) return false;
  if (soundExists(number)) freeSound(number);
  sounds_[number].chunk = chunk;
  return true;
}

int32_t SdlSound::loadSound(const std::string& path) {
  Mix_Chunk* chunk = decodeFile(path);
  if (chunk == nullptr) return 0;
  const int32_t n = newNumber();
  sounds_[n].chunk = chunk;
  return n;
}

int32_t SdlSound::loadSoundFromMemory(const void* data, std::size_t size) {
  Mix_Chunk* chunk = decode(data, size);
  if (chunk == nullptr) return 0;
  const int32_t n = newNumber();
  sounds_[n].chunk = chunk;
  return n;
}

int32_t SdlSound::loadStreamedSound(const std::string& path) {
  if (!started_ || !isRegularFile(path)) return 0;
  Mix_Music* music = Mix_LoadMUS(path.c_str());
  if (music == nullptr) return 0;
  const int32_t n = newNumber();
  sounds_[n].music = music;
  return n;
}

void SdlSound::play(int32_t sound, bool looped, int32_t volume) {
  auto it = sounds_.find(sound);
  if (!started_ || it == sounds_.end()) return;
  Entry& e = it->second;
  if (volume >= 0) e.volume = std::clamp(volume, 0, 100);
  const int mixerVolume = toMixerVolume(e.volume);

  if (e.music) {
    Mix_HaltMusic();
    Mix_VolumeMusic(mixerVolume);
    musicSound_ = Mix_PlayMusic(e.music, looped ? -1 : 0) == 0 ? sound : kNoSound;
    return;
  }

  stop(sound);
  // The channel's volume is set before the sound starts on it.
  for (int c = 0; c < kChannels; ++c) {
    if (Mix_Playing(c)) continue;
    Mix_Volume(c, mixerVolume);
    if (Mix_PlayChannel(c, e.chunk, looped ? -1 : 0) == c) channelSound_[static_cast<size_t>(c)] = sound;
    return;
  }
  // Every channel is busy: the sound is not heard.
}

void SdlSound::setVolume(int32_t sound, int32_t volume) {
  auto it = sounds_.find(sound);
  if (!started_ || it == sounds_.end()) return;
  Entry& e = it->second;
  e.volume = std::clamp(volume, 0, 100);
  const int mixerVolume = toMixerVolume(e.volume);
  if (e.music) {
    if (musicSound_ == sound) Mix_VolumeMusic(mixerVolume);
    return;
  }
  for (int c = 0; c < kChannels; ++c) {
    if (channelSound_[static_cast<size_t>(c)] == sound && Mix_Playing(c)) Mix_Volume(c, mixerVolume);
  }
}

void SdlSound::stop(int32_t sound) {
  if (!started_ || sound == kNoSound) return;
  if (sound == musicSound_) {
    Mix_HaltMusic();
    musicSound_ = kNoSound;
    return;
  }
  for (int c = 0; c < kChannels; ++c) {
    if (channelSound_[static_cast<size_t>(c)] != sound) continue;
    Mix_HaltChannel(c);
    channelSound_[static_cast<size_t>(c)] = kNoSound;
  }
}

bool SdlSound::isPlaying(int32_t sound) const { return channelsPlaying(sound) > 0; }

int SdlSound::channelsPlaying(int32_t sound) const {
  if (!started_ || sound == kNoSound) return 0;
  if (sound == musicSound_) return Mix_PlayingMusic() ? 1 : 0;
  int n = 0;
  for (int c = 0; c < kChannels; ++c) {
    if (channelSound_[static_cast<size_t>(c)] == sound && Mix_Playing(c)) ++n;
  }
  return n;
}

int SdlSound::mixerVolumeOf(int32_t sound) const {
  if (!started_ || sound == kNoSound) return -1;
  if (sound == musicSound_) return Mix_PlayingMusic() ? Mix_VolumeMusic(-1) : -1;
  for (int c = 0; c < kChannels; ++c) {
    if (channelSound_[static_cast<size_t>(c)] == sound && Mix_Playing(c)) return Mix_Volume(c, -1);
  }
  return -1;
}

void SdlSound::release(Entry& entry) {
  // The mixer stops what still plays the sound before it lets go of it.
  if (entry.chunk) Mix_FreeChunk(entry.chunk);
  if (entry.music) Mix_FreeMusic(entry.music);
  entry.chunk = nullptr;
  entry.music = nullptr;
}

void SdlSound::freeSound(int32_t sound) {
  auto it = sounds_.find(sound);
  if (it == sounds_.end()) return;
  stop(sound);  // every channel using it first
  release(it->second);
  sounds_.erase(it);
}

void SdlSound::stopAll() {
  if (!started_) return;
  Mix_HaltChannel(-1);
  Mix_HaltMusic();
  channelSound_.fill(kNoSound);
  musicSound_ = kNoSound;
}

}  // namespace zor
