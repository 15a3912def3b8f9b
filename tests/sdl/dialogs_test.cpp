// Without a display, message boxes and the Yes/No requester write to standard
// error, and the requester answers No.
#include "platform/sdl/sdl_dialogs.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include "platform/sdl/sdl_clock.h"
#include "sdl_test_support.h"

namespace zor {
namespace {

TEST(Dialogs, DummyDriverSendsThemToStandardError) {
  testing_support::DummyVideo dummy;
  ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_VIDEO), 0) << SDL_GetError();
  EXPECT_TRUE(dialogsUseConsole());

  ::testing::internal::CaptureStderr();
  showMessageBox("Zorlan - Error", "A 640x480 screen could not be opened!");
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "Zorlan - Error: A 640x480 screen could not be opened!\n");

  ::testing::internal::CaptureStderr();
  EXPECT_FALSE(askYesNo("Zorlan", "Overwrite the run?"));
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "Zorlan: Overwrite the run? (answered No)\n");
  SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

TEST(Dialogs, DummyDriverAskedForBeforeVideoStartsCountsToo) {
  testing_support::DummyVideo dummy;
  ASSERT_EQ(SDL_WasInit(SDL_INIT_VIDEO), 0u);
  EXPECT_TRUE(dialogsUseConsole());
  ::testing::internal::CaptureStderr();
  showMessageBox("About", "Zorlan 1.3");
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "About: Zorlan 1.3\n");
}

TEST(Clock, NeverRunsBackwards) {
  uint32_t a = elapsedMilliseconds();
  delayMilliseconds(2);
  delayMilliseconds(0);
  delayMilliseconds(-50);  // returns at once
  uint32_t b = elapsedMilliseconds();
  EXPECT_GE(b, a);
}

}  // namespace
}  // namespace zor
