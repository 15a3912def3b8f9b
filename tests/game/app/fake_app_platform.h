// A window-free stand-in for the machine: a screen that keeps a frame buffer and
// logs what the game asks of it, a keyboard and gamepad of plain tables, a
// clock that only moves when the game sleeps, and message boxes that are kept.
#pragma once

#include <algorithm>
#include <deque>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "game/input/controls.h"
#include "platform/app_platform.h"
#include "platform/framebuffer.h"

namespace zor::testing {

struct FakeScreen : ScreenOutput {
  std::vector<DisplayMode> modes;
  int32_t deskDepth = 24;
  bool failWindowed = false;
  bool failFullScreen = false;
  bool failStartDrawing = false;
  bool active = true;
  std::deque<WindowEvent> events;
  std::vector<std::string>* log = nullptr;  // shared with the platform

  bool open = false;
  bool window = false;
  std::string title;
  int opens = 0;
  int flips = 0;
  FrameBuffer buffer;

  void note(const std::string& s) {
    if (log) log->push_back(s);
  }

  std::vector<DisplayMode> displayModes() override { return modes; }
  int32_t desktopDepth() override { return deskDepth; }
  bool openWindowed(int32_t width, int32_t height, const std::string& t) override {
    note("openWindowed " + std::to_string(width) + "x" + std::to_string(height));
    if (failWindowed) return false;
    open = true;
    window = true;
    title = t;
    ++opens;
    buffer = FrameBuffer(width, height);
    return true;
  }
  bool openFullScreen(int32_t width, int32_t height, const std::string& t) override {
    note("openFullScreen " + std::to_string(width) + "x" + std::to_string(height));
    if (failFullScreen) return false;
    open = true;
    window = false;
    title = t;
    ++opens;
    buffer = FrameBuffer(width, height);
    return true;
  }
  void close() override {
    if (open) note("close");
    open = false;
    window = false;
  }
  bool isOpen() const override { return open; }
  bool inWindow() const override { return open && window; }
  bool isActive() override { return active; }
  WindowEvent nextWindowEvent() override {
    if (events.empty()) return WindowEvent::None;
    WindowEvent e = events.front();
    events.pop_front();
    return e;
  }
  int32_t outputWidth() const override { return buffer.width(); }
  int32_t outputHeight() const override { return buffer.height(); }
  void clear(int32_t colour) override {
    note("clear " + std::to_string(colour));
    clearBuffer(buffer, colour);
  }
  bool startDrawing() override {
    if (failStartDrawing) return false;
    note("startDrawing");
    return true;
  }
  void stopDrawing() override { note("stopDrawing"); }
  FrameBuffer* drawingBuffer() override { return open ? &buffer : nullptr; }
  ShapeFill* spriteFill() override { return nullptr; }
  bool grab(int32_t x, int32_t y, int32_t width, int32_t height, FrameBuffer& out) override {
    note("grab " + std::to_string(x) + "," + std::to_string(y) + " " + std::to_string(width) + "x" +
         std::to_string(height));
    if (!buffer.hasPixels() || x < 0 || y < 0 || width <= 0 || height <= 0 || x + width > buffer.width() ||
        y + height > buffer.height()) {
      return false;
    }
    out = FrameBuffer(width, height, buffer.format());
    for (int32_t r = 0; r < height; ++r) {
      const uint32_t* src = buffer.row(y + r) + x;
      std::copy(src, src + width, out.row(r));
    }
    return true;
  }
  void flip() override {
    note("flip");
    ++flips;
  }
};

struct FakeInput : ControlInput {
  std::set<int> keys;
  std::set<int> buttons;
  int ax = 0, ay = 0;
  bool keyDown(int code) const override { return keys.count(code) != 0; }
  void examineGamepad() override {}
  int gamepadAxisX() const override { return ax; }
  int gamepadAxisY() const override { return ay; }
  bool gamepadButton(int b) const override { return buttons.count(b) != 0; }
};

struct FakePlatform : AppPlatform {
  std::vector<std::string> log;
  FakeScreen fakeScreen;
  FakeInput fakeInput;
  uint32_t clock = 1000;
  int32_t gamepads = 0;
  bool screenInit = true, keyboardInit = true, fastDrawingInit = true;
  bool yesAnswer = false;
  bool quit = false;
  std::vector<std::string> messages;  // "title|text"
  // Called before each keyboard reading, with the number of readings so far:
  // lets a test press keys or ask to quit at a chosen frame.
  std::function<void(FakePlatform&, int)> beforeKeyboard;
  int keyboardReads = 0;

  FakePlatform() { fakeScreen.log = &log; }

  bool initScreen() override { return screenInit; }
  bool initKeyboard() override { return keyboardInit; }
  bool initFastDrawing() override { return fastDrawingInit; }
  ScreenOutput& screen() override { return fakeScreen; }
  ControlInput& input() override { return fakeInput; }
  void examineKeyboard() override {
    if (beforeKeyboard) beforeKeyboard(*this, keyboardReads);
    ++keyboardReads;
  }
  int32_t countGamepads() override { return gamepads; }
  uint32_t elapsedMs() override { return clock; }
  void sleepMs(uint32_t ms) override {
    log.push_back("sleep " + std::to_string(ms));
    clock += ms;
  }
  void messageBox(const std::string& title, const std::string& text) override {
    messages.push_back(title + "|" + text);
  }
  bool askYesNo(const std::string& title, const std::string& text) override {
    messages.push_back(title + "|" + text + "|?");
    return yesAnswer;
  }
  bool quitAsked() override { return quit; }
};

}  // namespace zor::testing
