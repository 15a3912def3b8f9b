// The sound layer over SDL2_mixer under SDL's dummy and disk audio drivers:
// loading, channels and their mixer volumes, freeing while playing, no device;
// and the game heard through the disk driver.
#include "platform/sdl/sdl_sound.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <thread>

#include "game/app/startup.h"
#include "game/audio/effects.h"
#include "game/audio/music.h"
#include "game/game.h"
#include "game/script/interpreter.h"
#include "platform/files.h"
#include "tests/game/app/fake_app_platform.h"
#include "tests/game/app/temp_folder.h"

namespace zor {
namespace {

using testing::TempFolder;

const std::string kData = std::string(ZOR_FIXTURES) + "/../../zordata/";

// Sets an environment variable for the scope and puts the old value back.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const std::string& value) : name_(name) {
    if (const char* v = std::getenv(name)) saved_ = v;
    setenv(name, value.c_str(), 1);
  }
  ~ScopedEnv() {
    if (saved_) setenv(name_, saved_->c_str(), 1);
    else unsetenv(name_);
  }
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

 private:
  const char* name_;
  std::optional<std::string> saved_;
};

// A mono 16-bit PCM WAV of `frames` samples of a square wave.
std::string squareWav(uint32_t frames) {
  auto le = [](std::string& s, uint32_t v, int n) {
    for (int i = 0; i < n; ++i) s += static_cast<char>((v >> (8 * i)) & 0xFF);
  };
  std::string w = "RIFF";
  le(w, 36 + frames * 2, 4);
  w += "WAVEfmt ";
  le(w, 16, 4);
  le(w, 1, 2);
  le(w, 1, 2);
  le(w, 44100, 4);
  le(w, 88200, 4);
  le(w, 2, 2);
  le(w, 16, 2);
  w += "data";
  le(w, frames * 2, 4);
  for (uint32_t i = 0; i < frames; ++i) le(w, (i / 50) % 2 ? 8000u : static_cast<uint32_t>(-8000), 2);
  return w;
}

struct SdlSoundTest : ::testing::Test {
  ScopedEnv driver{"SDL_AUDIODRIVER", "dummy"};
  SdlSound sound;
  void SetUp() override { ASSERT_TRUE(sound.start()) << SDL_GetError(); }
};

TEST(SdlSoundVolume, HundredStepsMapOntoTheMixersScale) {
  const struct {
    int32_t volume;
    int mixer;
  } cases[] = {{0, 0}, {1, 1}, {10, 13}, {20, 26}, {35, 45}, {50, 64}, {99, 127}, {100, 128}, {-5, 0}, {250, 128}};
  for (const auto& c : cases) EXPECT_EQ(SdlSound::toMixerVolume(c.volume), c.mixer) << c.volume;
}

TEST_F(SdlSoundTest, LoadsOurEffectsAndTracks) {
  for (const char* name : {"jump", "warp", "splout"}) {
    EXPECT_TRUE(sound.loadSoundAt(3, kData + "sounds/" + name + ".wav")) << name;
    EXPECT_TRUE(sound.soundExists(3));
  }
  const int32_t track = sound.loadSound(kData + "music/second.ogg");
  EXPECT_GE(track, SoundOutput::kFirstNewSound);
  const int32_t pause = sound.loadStreamedSound(kData + "music/pause.ogg");
  EXPECT_GE(pause, SoundOutput::kFirstNewSound);
  EXPECT_NE(track, pause);
  const std::string wav = squareWav(100);
  const int32_t memory = sound.loadSoundFromMemory(wav.data(), wav.size());
  EXPECT_NE(memory, 0);
  EXPECT_NE(memory, track);
  EXPECT_NE(memory, pause);
}

TEST_F(SdlSoundTest, UnloadableInputLoadsNothing) {
  TempFolder folder;
  std::filesystem::create_directory(folder / "dir.wav");
  files::writeFileAtomic(folder / "junk.wav", std::string(5000, 'x'));
  const std::string wav = squareWav(1000);
  files::writeFileAtomic(folder / "cut.wav", wav.substr(0, 30));
  files::writeFileAtomic(folder / "empty.ogg", "");
  for (const std::string& path : {folder / "missing.wav", folder / "dir.wav", folder / "junk.wav",
                                  folder / "cut.wav", folder / "empty.ogg", std::string()}) {
    EXPECT_FALSE(sound.loadSoundAt(0, path)) << path;
    EXPECT_EQ(sound.loadSound(path), 0) << path;
    EXPECT_EQ(sound.loadStreamedSound(path), 0) << path;
  }
  EXPECT_FALSE(sound.soundExists(0));
  EXPECT_EQ(sound.loadSoundFromMemory("RIFFxxxx", 8), 0);
  EXPECT_EQ(sound.loadSoundFromMemory(nullptr, 0), 0);
  // Numbers outside the fixed range are refused.
  EXPECT_FALSE(sound.loadSoundAt(-1, kData + "sounds/jump.wav"));
  EXPECT_FALSE(sound.loadSoundAt(SoundOutput::kFirstNewSound, kData + "sounds/jump.wav"));
  // A failed load keeps what the number held.
  ASSERT_TRUE(sound.loadSoundAt(2, kData + "sounds/up.wav"));
  EXPECT_FALSE(sound.loadSoundAt(2, folder / "junk.wav"));
  EXPECT_TRUE(sound.soundExists(2));
}

TEST_F(SdlSoundTest, ChannelVolumesFollowPlayAndSetVolume) {
  ASSERT_TRUE(sound.loadSoundAt(0, kData + "sounds/jump.wav"));
  ASSERT_TRUE(sound.loadSoundAt(1, kData + "sounds/bounce.wav"));
  sound.play(0, true, 35);
  sound.play(1, true, 100);
  EXPECT_EQ(sound.mixerVolumeOf(0), 45);
  EXPECT_EQ(sound.mixerVolumeOf(1), 128);
  sound.setVolume(0, 0);
  EXPECT_EQ(sound.mixerVolumeOf(0), 0);
  EXPECT_TRUE(sound.isPlaying(0));
  EXPECT_EQ(sound.mixerVolumeOf(1), 128);
  // Playing a sound again restarts it on one channel; its own volume is kept
  // when none is given.
  sound.play(1, true, -1);
  EXPECT_EQ(sound.channelsPlaying(1), 1);
  EXPECT_EQ(sound.mixerVolumeOf(1), 128);
  sound.stop(1);
  EXPECT_FALSE(sound.isPlaying(1));
  EXPECT_TRUE(sound.isPlaying(0));
  sound.stopAll();
  EXPECT_FALSE(sound.isPlaying(0));
}

TEST_F(SdlSoundTest, TheStreamedTrackPlaysAsTheMixersMusic) {
  const int32_t pause = sound.loadStreamedSound(kData + "music/pause.ogg");
  ASSERT_NE(pause, 0);
  sound.setVolume(pause, 35);
  sound.play(pause, true, 35);
  EXPECT_TRUE(sound.isPlaying(pause));
  EXPECT_EQ(sound.mixerVolumeOf(pause), 45);
  EXPECT_EQ(Mix_VolumeMusic(-1), 45);
  sound.setVolume(pause, 0);
  EXPECT_EQ(Mix_VolumeMusic(-1), 0);
  sound.stop(pause);
  EXPECT_FALSE(sound.isPlaying(pause));
}

TEST_F(SdlSoundTest, FreeingASoundStopsItsChannelsFirst) {
  const std::string wav = squareWav(44100);
  const int32_t jingle = sound.loadSoundFromMemory(wav.data(), wav.size());
  ASSERT_NE(jingle, 0);
  sound.play(jingle, true, 100);
  ASSERT_TRUE(sound.isPlaying(jingle));
  sound.freeSound(jingle);
  EXPECT_FALSE(sound.soundExists(jingle));
  EXPECT_FALSE(sound.isPlaying(jingle));
  for (int c = 0; c < SoundOutput::kChannels; ++c) EXPECT_EQ(Mix_Playing(c), 0) << c;
  // Its number is handed out again; the mixer keeps working.
  const int32_t again = sound.loadSoundFromMemory(wav.data(), wav.size());
  EXPECT_EQ(again, jingle);
  sound.play(again, true, 50);
  EXPECT_TRUE(sound.isPlaying(again));

  const int32_t pause = sound.loadStreamedSound(kData + "music/pause.ogg");
  sound.play(pause, true, 35);
  sound.freeSound(pause);
  EXPECT_EQ(Mix_PlayingMusic(), 0);
}

TEST_F(SdlSoundTest, ThirtyTwoChannelsAtOnceAndNoMore) {
  const std::string wav = squareWav(44100);
  std::vector<int32_t> sounds;
  for (int i = 0; i < SoundOutput::kChannels + 3; ++i) {
    sounds.push_back(sound.loadSoundFromMemory(wav.data(), wav.size()));
    sound.play(sounds.back(), true, 10);
  }
  int playing = 0;
  for (int32_t s : sounds) playing += sound.channelsPlaying(s);
  EXPECT_EQ(playing, SoundOutput::kChannels);
  EXPECT_FALSE(sound.isPlaying(sounds.back()));
}

TEST(SdlSoundWithoutDevice, EverythingIsSilent) {
  ScopedEnv driver("SDL_AUDIODRIVER", "no-such-driver");
  SdlSound sound;
  EXPECT_FALSE(sound.start());
  EXPECT_FALSE(sound.loadSoundAt(0, kData + "sounds/jump.wav"));
  EXPECT_EQ(sound.loadSound(kData + "music/first.ogg"), 0);
  EXPECT_EQ(sound.loadStreamedSound(kData + "music/pause.ogg"), 0);
  sound.play(0, false, 50);
  sound.setVolume(0, 50);
  sound.stop(0);
  sound.freeSound(0);
  sound.stopAll();
  EXPECT_FALSE(sound.isPlaying(0));
}

// The game's volume rules as the mixer applies them.
TEST_F(SdlSoundTest, GameVolumeRulesOnTheMixersChannels) {
  TempFolder folder;
  std::filesystem::create_directories(folder / "zordata/music");
  std::filesystem::copy_file(kData + "music/second.ogg", folder / "zordata/music/second.ogg");
  Game game;
  game.sounds.attach(sound, folder.path());
  setBuiltInSoundVolumes(game.sounds);
  ASSERT_TRUE(loadEffectSlot(game, 5, kData + "sounds/warp.wav"));
  ASSERT_TRUE(loadEffectSlot(game, 8, kData + "sounds/rubber.wav"));

  // Effects: the slot's volume, or the statement's own.
  playEffect(game, 5);
  EXPECT_EQ(sound.mixerVolumeOf(5), SdlSound::toMixerVolume(20));
  playEffectAt(game, 8, 100);
  EXPECT_EQ(sound.mixerVolumeOf(8), 128);
  game.prefs.sound = 0;
  sound.stopAll();
  playEffect(game, 5);
  EXPECT_FALSE(sound.isPlaying(5));

  // Music: level x Music.
  game.sounds.musicVolume = 80;
  ASSERT_EQ(playMusic(game, "music/SECOND.ogg", 0), 1);
  const int32_t track = game.sounds.current().sound;
  EXPECT_EQ(game.trackLength, 38400);
  EXPECT_EQ(sound.mixerVolumeOf(track), SdlSound::toMixerVolume(80));
  game.prefs.music = 0;
  applyMusicSwitch(game);
  EXPECT_EQ(sound.mixerVolumeOf(track), 0);
  game.prefs.music = 1;
  applyMusicSwitch(game);
  EXPECT_EQ(sound.mixerVolumeOf(track), SdlSound::toMixerVolume(80));

  // The pause track at 35 x Music over muted music.
  game.app.pauseMusic = sound.loadStreamedSound(kData + "music/pause.ogg");
  ASSERT_NE(game.app.pauseMusic, 0);
  startPauseMusic(game);
  EXPECT_EQ(sound.mixerVolumeOf(game.app.pauseMusic), 45);
  EXPECT_EQ(sound.mixerVolumeOf(track), 0);
  game.app.menuState = menu_state::Shown;
  game.prefs.music = 0;
  applyMusicSwitch(game);
  EXPECT_EQ(sound.mixerVolumeOf(game.app.pauseMusic), 0);
  game.prefs.music = 1;
  applyMusicSwitch(game);
  EXPECT_EQ(sound.mixerVolumeOf(game.app.pauseMusic), 45);
  game.app.menuState = menu_state::Playing;
  restoreMusic(game);
  EXPECT_FALSE(sound.isPlaying(game.app.pauseMusic));
  EXPECT_EQ(sound.mixerVolumeOf(track), SdlSound::toMixerVolume(80));

  // Quit: every channel stops before the cached tracks are freed.
  freeMusicCache(game);
  EXPECT_FALSE(sound.soundExists(track));
  for (int c = 0; c < SoundOutput::kChannels; ++c) EXPECT_EQ(Mix_Playing(c), 0) << c;
}

// Reads the raw 16-bit output the disk driver wrote; true when a sample is not 0.
bool heardSomething(const std::string& path) {
  std::string raw;
  files::readFile(path, raw, 64u << 20);
  for (std::size_t i = 0; i + 1 < raw.size(); i += 2) {
    if (raw[i] != 0 || raw[i + 1] != 0) return true;
  }
  return false;
}

// Waits (at most a few seconds) until the disk driver wrote `bytes`.
void waitForOutput(const std::string& path, int64_t bytes) {
  for (int i = 0; i < 500 && files::fileSize(path) < bytes; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
}

TEST(SdlSoundDisk, AnEffectIsHeard) {
  TempFolder folder;
  ScopedEnv driver("SDL_AUDIODRIVER", "disk");
  ScopedEnv file("SDL_DISKAUDIOFILE", folder / "out.raw");
  {
    SdlSound sound;
    ASSERT_TRUE(sound.start()) << SDL_GetError();
    ASSERT_TRUE(sound.loadSoundAt(0, kData + "sounds/jump.wav"));
    sound.play(0, false, 35);
    waitForOutput(folder / "out.raw", 4 * 44100);
  }
  EXPECT_TRUE(heardSomething(folder / "out.raw"));
}

TEST(SdlSoundDisk, SilenceIsSilent) {
  TempFolder folder;
  ScopedEnv driver("SDL_AUDIODRIVER", "disk");
  ScopedEnv file("SDL_DISKAUDIOFILE", folder / "out.raw");
  {
    SdlSound sound;
    ASSERT_TRUE(sound.start()) << SDL_GetError();
    ASSERT_TRUE(sound.loadSoundAt(0, kData + "sounds/jump.wav"));
    sound.play(0, true, 0);
    waitForOutput(folder / "out.raw", 4 * 44100);
  }
  EXPECT_GT(files::fileSize(folder / "out.raw"), 0);
  EXPECT_FALSE(heardSomething(folder / "out.raw"));
}

// The whole start-up with the real sound layer: the start script's effect and
// track reach the disk driver's output.
TEST(SdlSoundDisk, TheGamesStartScriptIsHeard) {
  TempFolder folder;
  ScopedEnv driver("SDL_AUDIODRIVER", "disk");
  ScopedEnv file("SDL_DISKAUDIOFILE", folder / "out.raw");
  std::filesystem::create_directories(folder / "zordata/sounds");
  std::filesystem::create_directories(folder / "zordata/music");
  std::filesystem::create_directories(folder / "game/Music");
  std::filesystem::copy_file(kData + "music/pause.ogg", folder / "zordata/music/pause.ogg");
  std::filesystem::copy(kData + "sounds", folder / "zordata/sounds");
  std::filesystem::copy_file(kData + "music/first.ogg", folder / "game/Music/First.ogg");
  files::writeFileAtomic(folder / "game/loud.zorlan",
                         "<zorlan version=\"1\" gtitle=\"Loud\"><zone id=\"first\">"
                         "<levels><level z=\"0\"/></levels><entrance x=\"0\" y=\"0\" level=\"0\"/>"
                         "<start><sound num=\"7\"/><music track=\"music/first.ogg\" fast=\"1\"/></start>"
                         "</zone></zorlan>");

  int status = -1;
  int32_t trackLength = 0;
  std::string track;
  {
    SdlSound sound;
    testing::FakePlatform platform;
    Game game;
    game.sounds.attach(sound, folder.path());
    platform.beforeKeyboard = [&](testing::FakePlatform& p, int reads) {
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
      if (reads == 1) {
        trackLength = game.trackLength;
        track = game.sounds.current().path;
      }
      if (reads > 600 || files::fileSize(folder / "out.raw") >= 4 * 44100 * 2) p.quit = true;
    };
    ProgramArgs args;
    args.programFolder = folder.path();
    args.startFolder = folder.path();
    args.args = {folder / "game/loud.zorlan", "-z", "first"};  // a start zone: no splash, the start script runs first
    status = runProgram(game, platform, args);
    EXPECT_TRUE(game.app.soundWorks);
    EXPECT_NE(game.app.pauseMusic, 0);
  }
  EXPECT_EQ(status, 0);
  EXPECT_EQ(trackLength, 48000);
  EXPECT_EQ(track, folder / "game/./Music/First.ogg");
  EXPECT_TRUE(heardSomething(folder / "out.raw"));
}

}  // namespace
}  // namespace zor
