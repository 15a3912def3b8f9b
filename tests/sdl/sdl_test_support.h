// Shared by the SDL tests: runs a test with SDL's dummy video driver, whatever
// display the machine has, and puts the environment back afterwards.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>

namespace zor::testing_support {

class DummyVideo {
 public:
  DummyVideo() {
    if (const char* v = std::getenv("SDL_VIDEODRIVER")) saved_ = v;
    setenv("SDL_VIDEODRIVER", "dummy", 1);
  }
  ~DummyVideo() {
    if (saved_) setenv("SDL_VIDEODRIVER", saved_->c_str(), 1);
    else unsetenv("SDL_VIDEODRIVER");
  }
  DummyVideo(const DummyVideo&) = delete;
  DummyVideo& operator=(const DummyVideo&) = delete;

 private:
  std::optional<std::string> saved_;
};

}  // namespace zor::testing_support
