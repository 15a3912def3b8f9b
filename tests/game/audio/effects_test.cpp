#include "game/audio/effects.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "game/app/startup.h"
#include "game/game.h"
#include "game/load/game_file.h"
#include "tests/game/app/temp_folder.h"
#include "tests/game/audio/fake_sound_output.h"
#include "tests/game/audio/ogg_bytes.h"

namespace zor {
namespace {

using testing::FakeSoundOutput;
using testing::TempFolder;

struct EffectsTest : ::testing::Test {
  Game game;
  FakeSoundOutput out;
  void SetUp() override {
    game.sounds.attach(out);
    setBuiltInSoundVolumes(game.sounds);
    for (int slot = 0; slot < 24; ++slot) {
      out.loadable.insert("fx" + std::to_string(slot) + ".wav");
      ASSERT_TRUE(loadEffectSlot(game, slot, "fx" + std::to_string(slot) + ".wav"));
    }
  }
};

TEST_F(EffectsTest, AnEffectPlaysOnceAtItsSlotVolume) {
  const struct {
    int32_t slot;
    int32_t volume;
  } cases[] = {{0, 35}, {5, 20}, {8, 60}, {12, 45}, {22, 10}, {23, 10}};
  for (const auto& c : cases) {
    playEffect(game, c.slot);
    EXPECT_EQ(out.channelVolume(c.slot), c.volume) << c.slot;
  }
  for (const auto& ch : out.channels) EXPECT_FALSE(ch.sound != -1 && ch.looped);

  // A custom volume of the slot is what plays.
  game.sounds.soundVolumes[5] = 77;
  playEffect(game, 5);
  EXPECT_EQ(out.channelVolume(5), 77);
}

TEST_F(EffectsTest, ReplayingAnEffectRestartsIt) {
  playEffect(game, 3);
  playEffect(game, 3);
  EXPECT_EQ(out.playingCount(), 1);
}

TEST_F(EffectsTest, TheSoundSwitchSilencesEffects) {
  game.prefs.sound = 0;
  playEffect(game, 0);
  playEffectAt(game, 1, 90);
  EXPECT_EQ(out.playingCount(), 0);
}

TEST_F(EffectsTest, SlotsOutside0To23PlayAndLoadNothing) {
  for (int32_t slot : {-1, -24, -25, 24, 25, 99, 100, 1000000, INT32_MIN, INT32_MAX}) {
    playEffect(game, slot);
    playEffectAt(game, slot, 50);
    out.loadable.insert("x.wav");
    EXPECT_FALSE(loadEffectSlot(game, slot, "x.wav")) << slot;
    EXPECT_FALSE(effectSlotInUse(game, slot)) << slot;
  }
  EXPECT_EQ(out.playingCount(), 0);
  EXPECT_EQ(out.sounds.size(), 24u);
}

TEST_F(EffectsTest, AFailedLoadKeepsWhatTheSlotHeld) {
  EXPECT_FALSE(loadEffectSlot(game, 4, "missing.wav"));
  EXPECT_EQ(out.sounds[4].path, "fx4.wav");
  out.loadable.insert("other.wav");
  EXPECT_TRUE(loadEffectSlot(game, 4, "other.wav"));
  EXPECT_EQ(out.sounds[4].path, "other.wav");
}

TEST(Effects, WithoutSoundOutputNothingLoadsOrPlays) {
  Game game;
  EXPECT_FALSE(loadEffectSlot(game, 0, "a.wav"));
  EXPECT_FALSE(effectSlotInUse(game, 0));
  playEffect(game, 0);
  FakeSoundOutput out;
  out.canStart = false;
  game.sounds.attach(out);
  EXPECT_FALSE(game.sounds.output->start());
}

TEST(Effects, CustomSoundsAreFoundWhateverTheCaseOfTheirPath) {
  TempFolder folder;
  std::filesystem::create_directories(folder / "game/Sounds");
  testing::writeBytes(folder / "game/Sounds/Boom.WAV", "RIFF");
  const std::string gameText =
      "<zorlan version=\"1\"><loadsounds nums=\"4,-1,30\" files=\"sounds\\boom.wav|sounds/boom.wav|SOUNDS/BOOM.wav\" "
      "vols=\"70,80,90\"/><zone id=\"z\"/></zorlan>";
  Game game;
  FakeSoundOutput out;
  game.sounds.attach(out);
  game.data.gameFilePath = folder / "game/castle.zorlan";
  ASSERT_TRUE(game.data.document.parse(gameText, nullptr));
  game.data.loadSounds = readGameModel(*game.data.document.root()).loadSounds;
  out.loadable = {folder / "game/./Sounds/Boom.WAV"};
  applyCustomSounds(game);
  EXPECT_EQ(out.sounds[4].path, folder / "game/./Sounds/Boom.WAV");
  EXPECT_EQ(out.sounds[6].path, folder / "game/./Sounds/Boom.WAV");  // 30 mod 24
  EXPECT_EQ(out.sounds.size(), 2u);  // the negative slot loads nothing
  EXPECT_EQ(game.sounds.soundVolumes[4], 70);
  EXPECT_EQ(game.sounds.soundVolumes[6], 90);
}

}  // namespace
}  // namespace zor
