// What the game needs of the machine it runs on,
// beyond the game's own state: the screen, the keyboard and gamepad, the clock,
// message boxes and a quit asked for from outside. The SDL layer implements it
// for the program; tests implement it with fakes.
#pragma once

#include <cstdint>
#include <string>

#include "platform/input_source.h"
#include "platform/framebuffer.h"

namespace zor {

class AppPlatform {
 public:
  virtual ~AppPlatform() = default;

  // Starts the platform's screen layer, its keyboard and (in a build with the
  // sprite fill) its fast drawing; false when that fails.
  virtual bool initScreen() = 0;
  virtual bool initKeyboard() = 0;
  virtual bool initFastDrawing() = 0;

  virtual ScreenOutput& screen() = 0;
  virtual InputSource& input() = 0;
  // Brings the keyboard's key states up to date (once per frame, before the controls are read).
  virtual void examineKeyboard() = 0;
  // The number of gamepads attached at start-up.
  virtual int32_t countGamepads() = 0;

  virtual uint32_t elapsedMs() = 0;
  virtual void sleepMs(uint32_t ms) = 0;

  // A modal message box with one button.
  virtual void messageBox(const std::string& title, const std::string& text) = 0;
  // A Yes/No requester; true for Yes.
  virtual bool askYesNo(const std::string& title, const std::string& text) = 0;

  // True once the process was asked from outside to end (a termination signal).
  virtual bool quitAsked() = 0;
};

}  // namespace zor
