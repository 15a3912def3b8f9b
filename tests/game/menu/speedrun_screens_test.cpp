#include "game/menu/speedrun_screens.h"

#include <gtest/gtest.h>

#include "game/game.h"
#include "game/menu/menu_screens.h"

namespace zor {
namespace {

SpeedrunRecord speedrun(const std::string& name, int32_t best, int32_t bestDeaths = 0, int32_t fewestTime = 0,
                        int32_t fewest = 0) {
  SpeedrunRecord r;
  r.name = name;
  r.colour = 0x123456;
  r.bestTime = best;
  r.bestTimeDeaths = bestDeaths;
  r.fewestDeathsTime = fewestTime;
  r.fewestDeaths = fewest;
  return r;
}

std::vector<std::string> texts(const Game& g) {
  std::vector<std::string> out;
  for (const MenuLine& l : g.menu.lines) out.push_back(l.text);
  return out;
}

TEST(SpeedrunsScreen, ListsTheUnlockedSpeedrunsWithTheNote) {
  Game g;
  g.data.speedruns = {speedrun("A", -1), speedrun("LOCKED", 0), speedrun("B", 500)};
  g.session.unlockedSpeedruns = 2;
  showSpeedrunsMenu(g, "A RECORDS DELETED");
  EXPECT_EQ(g.app.menuScreen, menu_screen::Speedruns);
  EXPECT_EQ(g.menu.title, "SPEEDRUNS");
  EXPECT_EQ(g.app.menuBackground, 0xF0F0F0);
  EXPECT_EQ(texts(g), (std::vector<std::string>{"SELECT ZONE:", "A", "B", "BACK"}));
  EXPECT_EQ(g.menu.selected, 1);
  EXPECT_EQ(g.menu.lines[1].action, menu_action::PickSpeedrun);
  EXPECT_EQ(g.menu.lines[3].action, menu_action::Back);
  EXPECT_EQ(g.menu.lines[3].help, "A RECORDS DELETED");
}

TEST(ConfirmScreen, LeavesOutTheSingleLineWithoutACurrentSpeedrun) {
  Game g;
  g.data.speedruns = {speedrun("CAVE", -1)};
  g.app.frameTime = 1000;
  g.menu.currentSpeedrun = 0;
  showDeleteRecordsMenu(g);
  EXPECT_EQ(texts(g), (std::vector<std::string>{"DELETE RECORDS?", "NO", "YES: CAVE", "YES: ALL ZONES", "BACK"}));
  EXPECT_EQ(g.menu.inputDelay, 1800u);
  EXPECT_EQ(g.menu.selected, 1);
  g.menu.currentSpeedrun = -1;
  showDeleteRecordsMenu(g);
  EXPECT_EQ(texts(g), (std::vector<std::string>{"DELETE RECORDS?", "NO", "YES: ALL ZONES", "BACK"}));
  EXPECT_EQ(g.menu.lines[2].action, menu_action::DeleteAllRecords);
}

TEST(ZoneRecordsScreen, ShowsRecordsOrQuestionMarks) {
  Game g;
  g.data.speedruns = {speedrun("CAVE", -1), speedrun("HILL", 3600 + 300, 1, 7200, 0)};
  g.menu.currentSpeedrun = 0;
  showZoneRecordsMenu(g);
  EXPECT_EQ(g.menu.title, "CAVE");
  EXPECT_EQ(g.app.menuBackground, 0x123456);
  EXPECT_EQ(texts(g), (std::vector<std::string>{"ZONE RECORDS:", "?:??", "? DEATHS", "START", "BACK"}));
  EXPECT_EQ(g.menu.selected, 3);
  g.menu.currentSpeedrun = 1;
  showZoneRecordsMenu(g);
  EXPECT_EQ(g.menu.lines[1].text, "1:05 / 1\xD7" "D");
  EXPECT_EQ(g.menu.lines[2].text, "2:00 / 0\xD7" "D");
}

struct ResultCase {
  const char* name;
  SpeedrunRecord before;
  int32_t frames, deaths;
  bool replaying;
  std::vector<std::string> lines;
  std::string help;
};

class ResultsScreen : public ::testing::TestWithParam<ResultCase> {};

TEST_P(ResultsScreen, ShowsTheRunAndItsRecordMarks) {
  const ResultCase& c = GetParam();
  Game g;
  g.data.speedruns = {c.before};
  g.menu.currentSpeedrun = 0;
  g.session.frameCounter = c.frames;
  g.session.deaths = c.deaths;
  g.random.replaying = c.replaying;
  g.run.replayFilePath = "/x/runs/cave3.zorrun";
  g.run.recording = !c.replaying;
  g.run.runFinished = 1;
  const SpeedrunRecord before = c.before;
  showRunResultsMenu(g);
  EXPECT_EQ(g.menu.title, "FINISH");
  EXPECT_EQ(texts(g), c.lines);
  EXPECT_EQ(g.menu.lines[3].help, c.help);
  EXPECT_EQ(g.menu.lines[4].help, c.help);
  EXPECT_EQ(g.session.frameCounter, c.frames - 180);
  if (c.replaying) {
    EXPECT_EQ(g.data.speedruns[0].bestTime, before.bestTime);
    EXPECT_TRUE(g.run.events.empty());
  } else {
    ASSERT_EQ(g.run.events.size(), 1u);
    EXPECT_EQ(g.run.events[0], (RunEvent{c.frames, 0, 0}));
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ResultsScreen,
    ::testing::Values(
        ResultCase{"FirstCompletion", speedrun("C", -1), 180 + 600, 1, false,
                   {"RESULTS", "TIME: 0:10", "1 DEATH", "SAVE RUN", "CONTINUE"}, "* COMPLETE! *"},
        ResultCase{"EqualToBoth", speedrun("C", 600, 0, 600, 0), 180 + 600, 0, false,
                   {"RESULTS", "TIME: 0:10", "0 DEATHS", "SAVE RUN", "CONTINUE"}, ""},
        ResultCase{"FasterMoreDeaths", speedrun("C", 900, 0, 900, 0), 180 + 600, 2, false,
                   {"RESULTS", "* TIME: 0:10 *", "2 DEATHS", "SAVE RUN", "CONTINUE"}, "* NEW RECORD! *"},
        ResultCase{"Replay", speedrun("C", -1), 180 + 600, 0, true,
                   {"RESULTS", "TIME: 0:10", "0 DEATHS", "CAVE3.ZORRUN", "CONTINUE"}, ""},
        ResultCase{"EndedInTheCountdown", speedrun("C", -1), 100, 0, false,
                   {"RESULTS", "TIME: 0:00", "0 DEATHS", "SAVE RUN", "CONTINUE"}, ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(RunPauseScreen, OffersSaveRunOnlyWhenNotReplaying) {
  Game g;
  showRunPauseMenu(g);
  EXPECT_EQ(g.menu.title, "SPEEDRUN");
  EXPECT_EQ(texts(g), (std::vector<std::string>{"CONTINUE", "SAVE RUN", "END RUN"}));
  EXPECT_EQ(g.menu.lines[1].action, menu_action::SaveRun);
  g.random.replaying = true;
  showRunPauseMenu(g);
  EXPECT_EQ(texts(g), (std::vector<std::string>{"CONTINUE", "END RUN"}));
  EXPECT_EQ(g.menu.lines[1].action, menu_action::EndRun);
}

}  // namespace
}  // namespace zor
