#include "game/script/music_statements.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "game/audio/music.h"
#include "game/app/startup.h"
#include "game/game.h"
#include "game/script/interpreter.h"
#include "tests/game/app/temp_folder.h"
#include "tests/game/audio/fake_sound_output.h"
#include "tests/game/audio/ogg_bytes.h"

namespace zor {
namespace {

using testing::FakeSoundOutput;
using testing::TempFolder;

// A game whose file lies in a temporary folder with music/a.ogg and
// music/b.ogg beside it, over a fake sound layer with all 24 effects loaded.
struct AudioStatements : ::testing::Test {
  TempFolder folder;
  Game game;
  FakeSoundOutput out;
  StatementTable table;

  void SetUp() override {
    registerMusicStatements(table);
    game.script.statements = &table;
    game.sounds.attach(out);
    setBuiltInSoundVolumes(game.sounds);
    game.data.gameFilePath = folder / "game.zorlan";
    std::filesystem::create_directories(folder / "music");
    for (const char* name : {"a", "b"}) {
      const std::string path = folder / (std::string("music/") + name + ".ogg");
      testing::writeBytes(path, testing::oggFile(44100, 441000));
      out.loadable.insert(folder / (std::string("./music/") + name + ".ogg"));
    }
    for (int slot = 0; slot < 24; ++slot) {
      out.loadable.insert("fx" + std::to_string(slot));
      out.loadSoundAt(slot, "fx" + std::to_string(slot));
    }
  }

  // Runs one statement (given as XML) as a script of its own.
  void run(const std::string& statement) {
    xml::Document& doc = docs.emplace_back();
    ASSERT_TRUE(doc.parse("<sub>" + statement + "</sub>", nullptr)) << statement;
    runScript(game, doc.root(), nullptr);
  }
  int32_t track(const std::string& name) { return out.soundOf(folder / ("./music/" + name)); }
  // "play <slot> once <volume>" for each effect started, in order.
  std::vector<std::string> effectsPlayed() {
    std::vector<std::string> plays;
    for (const std::string& line : out.log) {
      if (line.rfind("play ", 0) == 0) plays.push_back(line.substr(5));
    }
    return plays;
  }

  std::vector<xml::Document> docs;
};

TEST_F(AudioStatements, SoundPlaysEachListedSlotInOrder) {
  const struct {
    const char* statement;
    std::vector<std::string> plays;
  } cases[] = {
      {"<sound num=\"4,7\"/>", {"4 once 40", "7 once 40"}},
      {"<sound num=\"4,7\" vol=\"100\"/>", {"4 once 100", "7 once 100"}},
      {"<sound/>", {"0 once 35"}},
      {"<sound num=\"25\"/>", {"1 once 35"}},
      {"<sound num=\"48, 5\"/>", {"0 once 35", "5 once 20"}},
      {"<sound num=\"8\" vol=\"0\"/>", {"8 once 60"}},
      {"<sound num=\"8\" vol=\"-3\"/>", {"8 once 60"}},
      {"<sound num=\"8\" vol=\"500\"/>", {"8 once 100"}},  // the mixer's limit
      {"<sound num=\"-1\"/>", {}},                         // a negative slot names none
      {"<sound num=\"-25,2\"/>", {"2 once 40"}},
      {"<sound num=\"-2147483648\"/>", {}},
  };
  for (const auto& c : cases) {
    out.log.clear();
    run(c.statement);
    EXPECT_EQ(effectsPlayed(), c.plays) << c.statement;
  }
}

TEST_F(AudioStatements, SoundDoesNothingWithEffectsOff) {
  game.prefs.sound = 0;
  run("<sound num=\"1,2,3\" vol=\"50\"/>");
  EXPECT_TRUE(effectsPlayed().empty());
}

TEST_F(AudioStatements, MusicStartsFadesAndSwitchesTracks) {
  // A new track fades in from silence toward `vol`.
  run("<music track=\"music/a.ogg\" vol=\"80\"/>");
  EXPECT_EQ(game.sounds.current().name, "music/a.ogg");
  EXPECT_EQ(game.sounds.current().volume, 0);
  EXPECT_EQ(game.sounds.musicVolume, 80);

  // Only `vol`: the same track, a new target.
  run("<music vol=\"30\"/>");
  EXPECT_EQ(game.sounds.current().name, "music/a.ogg");
  EXPECT_EQ(game.sounds.musicVolume, 30);
  EXPECT_EQ(out.loadsTried.size(), 24u + 1u);

  // The same track written otherwise changes only the volume; vol 0 means 100.
  run("<music track=\"MUSIC\\A.ogg\" vol=\"0\"/>");
  EXPECT_EQ(game.sounds.musicVolume, 100);
  EXPECT_EQ(out.loadsTried.size(), 24u + 1u);

  // fast: the new track starts at the target while the old one fades out.
  for (int i = 0; i < 10; ++i) updateMusicFade(game);
  run("<music track=\"music/b.ogg\" vol=\"70\" fast=\"Yes\"/>");
  EXPECT_EQ(game.sounds.current().name, "music/b.ogg");
  EXPECT_EQ(game.sounds.current().volume, 70);
  EXPECT_EQ(out.channelVolume(track("b.ogg")), 70);
  EXPECT_EQ(game.sounds.previous().name, "music/a.ogg");
  EXPECT_EQ(game.sounds.previous().volume, 10);

  // The track fading out comes back without a restart.
  run("<music track=\"music/a.ogg\"/>");
  EXPECT_EQ(game.sounds.current().name, "music/a.ogg");
  EXPECT_EQ(game.sounds.current().volume, 10);
  EXPECT_EQ(out.loadsTried.size(), 24u + 2u);

  // "-" fades to silence, one step a frame; b, still fading out, stops at once.
  run("<music track=\"-\"/>");
  EXPECT_EQ(game.sounds.current().sound, 0);
  EXPECT_EQ(game.sounds.previous().name, "music/a.ogg");
  EXPECT_FALSE(out.isPlaying(track("b.ogg")));
  updateMusicFade(game);
  EXPECT_EQ(game.sounds.previous().volume, 9);
  EXPECT_EQ(out.channelVolume(track("a.ogg")), 9);
  for (int i = 0; i < 9; ++i) updateMusicFade(game);
  EXPECT_EQ(game.sounds.previous().sound, 0);
  EXPECT_EQ(out.playingCount(), 0);
}

TEST_F(AudioStatements, MusicWithMusicDisabledOnlyStoresTheTarget) {
  game.prefs.disableMusic = 1;
  run("<music track=\"music/a.ogg\" vol=\"250\"/>");
  EXPECT_EQ(game.sounds.musicVolume, 250);
  EXPECT_EQ(game.sounds.current().sound, 0);
  EXPECT_EQ(out.playingCount(), 0);
}

}  // namespace
}  // namespace zor
