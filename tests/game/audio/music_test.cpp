#include "game/audio/music.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "format/values.h"
#include "game/app/frame_loop.h"
#include "tests/game/app/fake_app_platform.h"
#include "game/game.h"
#include "platform/text.h"
#include "tests/game/app/temp_folder.h"
#include "tests/game/audio/fake_sound_output.h"
#include "tests/game/audio/ogg_bytes.h"

namespace zor {
namespace {

using testing::FakeSoundOutput;
using testing::TempFolder;

// The built-in game's music under a program folder: a.ogg (10 s), b.ogg (5 s),
// c.ogg (2 s) and a loop.wav whose length cannot be read. x.ogg is missing.
struct MusicRig {
  TempFolder folder;
  Game game;
  FakeSoundOutput out;
  testing::FakePlatform platform;
  uint32_t& clock = platform.clock;

  MusicRig() {
    game.sounds.attach(out, folder.path());
    game.platform = &platform;
    game.app.frameTime = clock;
    std::filesystem::create_directories(folder / "zordata/music");
    addTrack("a.ogg", testing::oggFile(44100, 441000));
    addTrack("b.ogg", testing::oggFile(44100, 220500));
    addTrack("c.ogg", testing::oggFile(44100, 88200));
    addTrack("loop.wav", std::string("RIFF\x24\0\0\0WAVEfmt ", 16) + testing::filler(100));
  }
  void addTrack(const std::string& name, const std::string& bytes) {
    testing::writeBytes(file(name), bytes);
    out.loadable.insert(file(name));
  }
  std::string file(const std::string& name) { return folder / ("zordata/music/" + name); }
  int32_t sound(const std::string& name) { return out.soundOf(file(name)); }

  const MusicTrack& cur() { return game.sounds.current(); }
  const MusicTrack& prev() { return game.sounds.previous(); }
  void fade(int frames) {
    for (int i = 0; i < frames; ++i) updateMusicFade(game);
  }
  // The log from `from` on, with the sound number of "play" and "stop" lines
  // and the path of "load" lines given as the file's name.
  std::vector<std::string> namedLog(std::size_t from = 0) {
    std::vector<std::string> named;
    for (std::size_t i = from; i < out.log.size(); ++i) {
      std::vector<std::string> words = text::split(out.log[i], ' ');
      if (words.size() >= 2 && (words[0] == "play" || words[0] == "stop" || words[0] == "load")) {
        std::string path = words[1];
        if (words[0] != "load") {
          auto it = out.sounds.find(format::readInt(words[1]));
          if (it != out.sounds.end()) path = it->second.path;
        }
        words[1] = std::filesystem::path(path).filename().string();
      }
      std::string line;
      for (const std::string& w : words) line += (line.empty() ? "" : " ") + w;
      named.push_back(line);
    }
    return named;
  }
};

struct MusicTest : ::testing::Test, MusicRig {};

// Steps: "A" starts music/a.ogg silently, "A!" at once; "-" and "" are
// silence; "MUSIC\\A.OGG" is a spelling of a; "fade N" runs N fade steps.
void runSteps(MusicRig& t, const std::vector<std::string>& steps, int32_t* lastResult) {
  for (const std::string& s : steps) {
    if (s.rfind("fade ", 0) == 0) {
      t.fade(format::readInt(s.substr(5)));
      continue;
    }
    std::string name = s;
    int32_t silent = 1;
    if (!name.empty() && name.back() == '!') {
      silent = 0;
      name.pop_back();
    }
    if (name.size() == 1 && name != "-") name = "music/" + text::toLower(name) + ".ogg";
    *lastResult = playMusic(t.game, name, silent);
  }
}

TEST_F(MusicTest, PlayMusicStateMachine) {
  const struct {
    const char* what;
    std::vector<std::string> before;
    std::string call;
    int32_t result;
    const char* current;  // name, ":" and level
    const char* previous;
    std::vector<std::string> log;  // what the call asked of the sound layer
  } cases[] = {
      {"first track, silent", {}, "A", 1, "music/a.ogg:0", ":0", {"load a.ogg", "play a.ogg once 0"}},
      {"first track, at once", {}, "A!", 1, "music/a.ogg:100", ":0", {"load a.ogg", "play a.ogg once 100"}},
      {"same track", {"A", "fade 30"}, "A", 1, "music/a.ogg:30", ":0", {}},
      {"same track, other case and backslashes", {"A", "fade 30"}, "MUSIC\\A.OGG", 1, "music/a.ogg:30", ":0", {}},
      {"other track: the old one fades out", {"A", "fade 30"}, "B", 1, "music/b.ogg:0", "music/a.ogg:30",
       {"load b.ogg", "play b.ogg once 0"}},
      {"silence with \"-\"", {"A", "fade 30"}, "-", 0, ":0", "music/a.ogg:30", {}},
      {"empty name with a track playing: the slots swap", {"A", "fade 30"}, "", 1, ":0", "music/a.ogg:30", {}},
      {"empty name with both slots free", {}, "", 1, ":0", ":0", {}},
      {"\"-\" with both slots free", {}, "-", 0, ":0", ":0", {}},
      {"a third track while fading: the oldest stops at once", {"A", "fade 30", "B", "fade 10"}, "C", 1,
       "music/c.ogg:0", "music/b.ogg:10", {"stop a.ogg", "load c.ogg", "play c.ogg once 0"}},
      {"back to the track fading out: no reload, it keeps its level", {"A", "fade 30", "B", "fade 10"}, "A", 1,
       "music/a.ogg:20", "music/b.ogg:10", {}},
      {"a cached track comes back from the cache", {"A", "B", "fade 200", "C", "fade 200"}, "A", 1,
       "music/a.ogg:0", "music/c.ogg:100", {"play a.ogg once 0"}},
      {"a missing file leaves silence", {"A", "fade 30"}, "music/x.ogg", 0, ":0", "music/a.ogg:30", {}},
      {"a track of unknown length loops", {}, "music/loop.wav", 1, "music/loop.wav:0", ":0",
       {"load loop.wav", "play loop.wav looped 0"}},
  };
  for (const auto& c : cases) {
    MusicRig t;
    int32_t result = -1;
    runSteps(t, c.before, &result);
    const std::size_t logStart = t.out.log.size();
    runSteps(t, {c.call}, &result);
    EXPECT_EQ(result, c.result) << c.what;
    EXPECT_EQ(t.cur().name + ":" + std::to_string(t.cur().volume), c.current) << c.what;
    EXPECT_EQ(t.prev().name + ":" + std::to_string(t.prev().volume), c.previous) << c.what;
    EXPECT_EQ(t.namedLog(logStart), c.log) << c.what;
    // What plays is exactly what the slots hold, each at its level (Music is on).
    int expectedPlaying = 0;
    for (const MusicTrack* slot : {&t.cur(), &t.prev()}) {
      if (slot->sound == 0) continue;
      ++expectedPlaying;
      EXPECT_EQ(t.out.channelVolume(slot->sound), slot->volume) << c.what << " " << slot->name;
    }
    EXPECT_EQ(t.out.playingCount(), expectedPlaying) << c.what;
  }
}

TEST_F(MusicTest, DisabledMusicDoesNothing) {
  game.prefs.disableMusic = 1;
  game.sounds.musicVolume = 0;
  EXPECT_EQ(playMusic(game, "music/a.ogg", 0), 0);
  EXPECT_TRUE(out.log.empty());
  EXPECT_EQ(cur().sound, 0);
  EXPECT_EQ(game.sounds.musicVolume, 0);  // not even corrected
}

TEST_F(MusicTest, MusicVolumeOutside1To100Means100) {
  for (int32_t v : {0, -5, 101, 100000}) {
    MusicRig t;
    t.game.sounds.musicVolume = v;
    playMusic(t.game, "music/a.ogg", 0);
    EXPECT_EQ(t.game.sounds.musicVolume, 100) << v;
    EXPECT_EQ(t.cur().volume, 100) << v;
  }
  game.sounds.musicVolume = 37;
  playMusic(game, "music/a.ogg", 0);
  EXPECT_EQ(cur().volume, 37);
}

TEST_F(MusicTest, FadesStepOncePerFrameTowardTheTarget) {
  game.sounds.musicVolume = 60;
  playMusic(game, "music/a.ogg", 1);
  fade(59);
  EXPECT_EQ(cur().volume, 59);
  fade(1);
  EXPECT_EQ(cur().volume, 60);
  fade(5);
  EXPECT_EQ(cur().volume, 60);
  EXPECT_EQ(out.channelVolume(sound("a.ogg")), 60);

  // A lower target fades down.
  game.sounds.musicVolume = 50;
  fade(4);
  EXPECT_EQ(cur().volume, 56);
  EXPECT_EQ(out.channelVolume(sound("a.ogg")), 56);
}

TEST_F(MusicTest, TheOldTrackFadesOutThenStopsAndFreesItsSlot) {
  playMusic(game, "music/a.ogg", 0);  // level 100
  playMusic(game, "music/b.ogg", 1);
  const int32_t a = sound("a.ogg");
  fade(99);
  EXPECT_EQ(prev().volume, 1);
  EXPECT_EQ(out.channelVolume(a), 1);
  fade(1);
  EXPECT_FALSE(out.isPlaying(a));
  EXPECT_EQ(prev().sound, 0);
  EXPECT_EQ(prev().name, "");
  EXPECT_EQ(prev().path, "");
  EXPECT_EQ(cur().volume, 100);
  // The decoded track stays cached for a later switch back.
  EXPECT_TRUE(out.soundExists(a));
}

TEST_F(MusicTest, ATrackStartedSilentAndReplacedAtOnceIsNeverRaised) {
  playMusic(game, "music/a.ogg", 1);
  playMusic(game, "music/b.ogg", 1);
  const int32_t a = sound("a.ogg");
  EXPECT_EQ(out.channelVolume(a), 0);
  fade(1);
  EXPECT_FALSE(out.isPlaying(a));
  EXPECT_EQ(prev().sound, 0);
}

TEST_F(MusicTest, MusicSwitchMutesWithoutStoppingAndLevelsKeepMoving) {
  playMusic(game, "music/a.ogg", 1);
  fade(10);
  game.prefs.music = 0;
  applyMusicSwitch(game);
  const int32_t a = sound("a.ogg");
  EXPECT_TRUE(out.isPlaying(a));
  EXPECT_EQ(out.channelVolume(a), 0);
  fade(10);
  EXPECT_EQ(cur().volume, 20);
  EXPECT_EQ(out.channelVolume(a), 0);
  // A new track under Music 0 is silent too.
  playMusic(game, "music/b.ogg", 0);
  EXPECT_EQ(out.channelVolume(sound("b.ogg")), 0);
  game.prefs.music = 1;
  applyMusicSwitch(game);
  EXPECT_EQ(out.channelVolume(sound("b.ogg")), 100);
  EXPECT_EQ(out.channelVolume(a), 20);
}

TEST_F(MusicTest, RestartsAtTheTracksLengthAndRealignsBeats) {
  // A beat timer every 500 ms, 250 ms after the music's start.
  BeatTimer beat;
  beat.delay = 250;
  beat.interval = 500.0f;
  game.script.beats.addLast(beat);

  clock = 1000;
  game.app.frameTime = 990;
  playMusic(game, "music/a.ogg", 1);
  EXPECT_EQ(game.trackLength, 10000);
  EXPECT_EQ(game.musicStartTime, 1000u);
  ASSERT_EQ(game.script.beats.size(), 1u);
  EXPECT_EQ(game.script.beats.begin()->next, 1250);

  // Not yet at the length: nothing restarts.
  const std::size_t before = out.log.size();
  game.app.frameTime = 10999;
  game.script.beats.begin()->next = 10750;
  updateMusicFade(game);
  EXPECT_EQ(namedLog(before), std::vector<std::string>{});
  EXPECT_EQ(game.musicStartTime, 1000u);

  // The first frame at or after the length restarts it; beats count from there.
  game.app.frameTime = 11007;
  updateMusicFade(game);
  EXPECT_EQ(namedLog(before), std::vector<std::string>{"play a.ogg once 1"});
  EXPECT_EQ(game.musicStartTime, 11007u);
  EXPECT_EQ(game.script.beats.begin()->next, 11257);
}

TEST_F(MusicTest, ATrackOfUnknownLengthLoopsAndDropsTheBeats) {
  game.script.beats.addLast(BeatTimer{});
  playMusic(game, "music/loop.wav", 0);
  EXPECT_EQ(game.trackLength, 0);
  EXPECT_TRUE(game.script.beats.empty());
  game.app.frameTime = 1000000;
  const std::size_t before = out.log.size();
  updateMusicFade(game);
  EXPECT_TRUE(namedLog(before).empty());  // looped by the mixer, never restarted
}

TEST_F(MusicTest, MeasuringAFreeSlotClearsTheLengthAndTheBeats) {
  playMusic(game, "music/a.ogg", 0);
  EXPECT_EQ(game.trackLength, 10000);
  playMusic(game, "-", 0);
  game.script.beats.addLast(BeatTimer{});
  EXPECT_EQ(measureCurrentTrack(game), 0);
  EXPECT_TRUE(game.script.beats.empty());
}

TEST_F(MusicTest, PauseTrackLoopsAt35TimesMusicOverMutedTracks) {
  out.loadable.insert(folder / "zordata/music/pause.ogg");
  game.app.pauseMusic = out.loadStreamedSound(folder / "zordata/music/pause.ogg");
  ASSERT_NE(game.app.pauseMusic, 0);
  playMusic(game, "music/a.ogg", 0);
  playMusic(game, "music/b.ogg", 0);  // a fades out at 100, b plays at 100
  const int32_t a = sound("a.ogg");
  const int32_t b = sound("b.ogg");
  const int32_t pause = game.app.pauseMusic;

  const struct {
    int32_t music;
    int32_t pauseVolume;
  } cases[] = {{1, 35}, {0, 0}};
  for (const auto& c : cases) {
    game.prefs.music = c.music;
    game.app.menuState = menu_state::Playing;
    startPauseMusic(game);
    game.app.menuState = menu_state::Opening;
    EXPECT_EQ(out.channelVolume(pause), c.pauseVolume);
    EXPECT_EQ(out.channelVolume(a), 0);
    EXPECT_EQ(out.channelVolume(b), 0);
    EXPECT_TRUE(out.channels[0].sound == pause || out.channels[1].sound == pause || out.isPlaying(pause));

    // The MUSIC key in the menu changes only the pause track.
    game.prefs.music = 1 - game.prefs.music;
    applyMusicSwitch(game);
    EXPECT_EQ(out.channelVolume(pause), 35 * game.prefs.music);
    EXPECT_EQ(out.channelVolume(a), 0);
    EXPECT_EQ(out.channelVolume(b), 0);

    // Closing the menu stops the pause track and brings the tracks back.
    game.app.menuState = menu_state::Playing;
    restoreMusic(game);
    EXPECT_FALSE(out.isPlaying(pause));
    EXPECT_EQ(out.channelVolume(a), 100 * game.prefs.music);
    EXPECT_EQ(out.channelVolume(b), 100 * game.prefs.music);
  }
  // The pause track loops.
  startPauseMusic(game);
  bool looped = false;
  for (const auto& ch : out.channels) looped |= ch.sound == pause && ch.looped;
  EXPECT_TRUE(looped);
}

TEST_F(MusicTest, PauseMusicAndRestoreDoNothingWhenMusicIsDisabled) {
  out.loadable.insert(folder / "zordata/music/pause.ogg");
  game.app.pauseMusic = out.loadStreamedSound(folder / "zordata/music/pause.ogg");
  playMusic(game, "music/a.ogg", 0);
  game.prefs.disableMusic = 1;
  const std::size_t before = out.log.size();
  startPauseMusic(game);
  restoreMusic(game);
  EXPECT_EQ(out.log.size(), before);
  EXPECT_EQ(out.channelVolume(sound("a.ogg")), 100);
}

TEST_F(MusicTest, GameFileMusicIsFoundBesideTheGameFileWhateverItsCase) {
  std::filesystem::create_directories(folder / "game/Music");
  testing::writeBytes(folder / "game/Music/Theme.OGG", testing::oggFile(44100, 44100));
  out.loadable.insert(folder / "game/./Music/Theme.OGG");
  game.data.gameFilePath = folder / "game/castle.zorlan";
  EXPECT_EQ(playMusic(game, "music\\theme.ogg", 0), 1);
  EXPECT_EQ(cur().name, "music/theme.ogg");
  EXPECT_EQ(cur().path, folder / "game/./Music/Theme.OGG");
  EXPECT_EQ(game.trackLength, 1000);
  // Another spelling is the same track.
  EXPECT_EQ(playMusic(game, "MUSIC/THEME.ogg", 0), 1);
  EXPECT_EQ(out.loadsTried.size(), 1u);
}

TEST_F(MusicTest, CountdownStartAndRunStop) {
  playMusic(game, "music/a.ogg", 0);
  stopCurrentTrack(game);
  EXPECT_FALSE(out.isPlaying(sound("a.ogg")));
  EXPECT_EQ(cur().name, "music/a.ogg");  // held in its slot
  clock = 7777;
  startCurrentTrack(game);
  EXPECT_TRUE(out.isPlaying(sound("a.ogg")));
  EXPECT_EQ(game.musicStartTime, 7777u);

  playMusic(game, "music/loop.wav", 0);
  stopCurrentTrack(game);
  startCurrentTrack(game);
  bool looped = false;
  for (const auto& ch : out.channels) looped |= ch.sound == sound("loop.wav") && ch.looped;
  EXPECT_TRUE(looped);
}

// A speedrun holds the zone's track through its countdown; the program starts
// it with "GO", and the beats count from there.
TEST_F(MusicTest, TheRunsCountdownStartsTheTrackAtGo) {
  BeatTimer beat;
  beat.delay = 250;
  beat.interval = 500.0f;
  game.script.beats.addLast(beat);
  playMusic(game, "music/a.ogg", 0);
  stopCurrentTrack(game);
  game.app.runNumber = 1;

  for (int32_t frame = 0; frame < 180; ++frame) {
    game.session.frameCounter = frame;
    advanceCountdown(game);
  }
  EXPECT_FALSE(out.isPlaying(sound("a.ogg")));

  clock = 5000;
  game.app.frameTime = 5000;
  game.session.frameCounter = 180;
  advanceCountdown(game);
  EXPECT_TRUE(out.isPlaying(sound("a.ogg")));
  EXPECT_EQ(game.musicStartTime, 5000u);
  ASSERT_EQ(game.script.beats.size(), 1u);
  EXPECT_EQ(game.script.beats.begin()->next, 5250);
}

TEST_F(MusicTest, QuitStopsEveryChannelBeforeFreeingTheCache) {
  playMusic(game, "music/a.ogg", 0);
  playMusic(game, "music/b.ogg", 0);
  ASSERT_EQ(out.playingCount(), 2);
  freeMusicCache(game);
  for (const std::string& line : out.log) EXPECT_EQ(line.find("freed while playing"), std::string::npos) << line;
  EXPECT_FALSE(out.soundExists(sound("a.ogg")));
  EXPECT_TRUE(out.sounds.empty());
  EXPECT_TRUE(game.sounds.musicCache.empty());
  EXPECT_EQ(cur().sound, 0);
  EXPECT_EQ(prev().sound, 0);
  // The fade step has nothing left to touch.
  updateMusicFade(game);
}

TEST_F(MusicTest, WithoutASoundLayerNothingPlays) {
  game.sounds.output = nullptr;
  EXPECT_EQ(playMusic(game, "music/a.ogg", 0), 0);
  updateMusicFade(game);
  startPauseMusic(game);
  restoreMusic(game);
  applyMusicSwitch(game);
  freeMusicCache(game);
  EXPECT_TRUE(out.log.empty());
}

}  // namespace
}  // namespace zor
