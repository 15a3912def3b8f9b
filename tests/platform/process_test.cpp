#include "platform/process.h"

#include <gtest/gtest.h>

#include "platform/files.h"
#include "tests/game/app/temp_folder.h"

namespace zor::process {
namespace {

TEST(RunAndWait, RunsInTheFolderAndGivesTheExitStatus) {
  zor::testing::TempFolder temp;
  // Arguments go through as they are: no shell splits or expands them.
  const Result r = runAndWait({"/bin/sh", "-c", "printf '%s|' \"$@\" > out.txt; exit 3", "sh", "a b", "\"$HOME\"", ""},
                              temp.path());
  EXPECT_TRUE(r.started);
  EXPECT_EQ(r.exitCode, 3);
  std::string out;
  ASSERT_TRUE(files::readFile(temp / "out.txt", out, 100));
  EXPECT_EQ(out, "a b|\"$HOME\"||");
}

TEST(RunAndWait, KilledProgramRan) {
  const Result r = runAndWait({"/bin/sh", "-c", "kill -9 $$"}, "");
  EXPECT_TRUE(r.started);
  EXPECT_EQ(r.exitCode, 128 + 9);
}

TEST(RunAndWait, FailureToStartGivesTheReason) {
  zor::testing::TempFolder temp;
  ASSERT_TRUE(files::writeFileAtomic(temp / "plain", "not a program"));
  struct Case {
    std::string program;
    std::string folder;
    std::string reason;
  };
  const Case cases[] = {
      {temp / "missing", temp.path(), "No such file or directory"},
      {temp / "plain", temp.path(), "Permission denied"},
      {"/bin/sh", temp / "gone/", "cannot enter the folder " + temp / "gone/" + ": No such file or directory"},
      {"", "", "no program named"},
  };
  for (const Case& c : cases) {
    const Result r = runAndWait({c.program}, c.folder);
    EXPECT_FALSE(r.started) << c.program;
    EXPECT_EQ(r.error, c.reason) << c.program;
  }
}

}  // namespace
}  // namespace zor::process
