// The built program as a player starts it, under SDL's dummy drivers: it runs
// from a folder of its own, quits on SIGTERM through the normal quit path and
// leaves its files; and the real screen's screenshot through the whole loop.
#include <SDL.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <png.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "game/app/startup.h"
#include "format/values.h"
#include "game/game.h"
#include "platform/files.h"
#include "platform/sdl/sdl_clock.h"
#include "platform/sdl/sdl_events.h"
#include "platform/sdl/sdl_screen.h"
#include "sdl_test_support.h"
#include "tests/game/app/fake_app_platform.h"
#include "tests/game/app/temp_folder.h"

extern char** environ;

namespace zor {
namespace {

using testing::TempFolder;

constexpr const char* kDefaultPrefs =
    "; Zorlan 1.3 Pref File\n; \n[Audio]\nSound = 1\nMusic = 1\nDisableAudio = 0\nDisableMusic = 0\n; \n"
    "[Video]\nScreenWidth = 640\nScreenHeight = 480\nScreenDepth = 32\nWindowed = 1\nPauseOnUnfocus = 1\n; \n"
    "[Input]\nJoystickLeap = 1\nButtonMap06 = 2\nButtonMap07 = 1\nButtonMap08 = 5\nButtonMap09 = 6\n"
    "ButtonMap10 = 8\nButtonMap11 = 4\nButtonMap12 = 10\nKeyCode00 = 28\nKeyCode01 = 29\nKeyCode02 = 102\n"
    "KeyCode03 = 115\nKeyCode04 = 109\nKeyCode05 = 136\nKeyCode06 = 32\nKeyCode07 = 13\nKeyCode08 = 30\n"
    "KeyCode09 = 31\nKeyCode10 = 145\nKeyCode11 = 114\nKeyCode12 = 27\n; \n";

constexpr const char* kTwoZones = R"(<zorlan version="1" gtitle="Two">
  <zone id="first">
    <levels><level z="0"/></levels>
    <entrance x="0" y="0" level="0"/>
  </zone>
  <zone id="cave">
    <levels><level z="0"/></levels>
    <entrance x="0" y="0" level="0"/>
    <entrance_door x="50" y="0" level="0"/>
  </zone>
</zorlan>)";

std::string readText(const std::string& path) {
  std::string s;
  files::readFile(path, s, 1 << 20);
  return s;
}

// The program copied into a folder of its own, started from another folder.
class ProgramRun {
 public:
  ProgramRun() {
    program_ = home_ / "zorlan";
    std::filesystem::copy_file(ZOR_PROGRAM, program_);
    std::filesystem::permissions(program_, std::filesystem::perms::owner_all);
  }
  ~ProgramRun() {
    if (pid_ > 0) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
  }

  const TempFolder& home() const { return home_; }
  const TempFolder& start() const { return start_; }

  void spawn(const std::vector<std::string>& args) {
    std::vector<std::string> argStore = {program_};
    argStore.insert(argStore.end(), args.begin(), args.end());
    std::vector<std::string> envStore;
    for (char** e = environ; *e; ++e) {
      const std::string v = *e;
      if (v.rfind("SDL_VIDEODRIVER=", 0) == 0 || v.rfind("SDL_AUDIODRIVER=", 0) == 0) continue;
      envStore.push_back(v);
    }
    envStore.push_back("SDL_VIDEODRIVER=dummy");
    envStore.push_back("SDL_AUDIODRIVER=dummy");
    std::vector<char*> argv, envp;
    for (std::string& s : argStore) argv.push_back(s.data());
    argv.push_back(nullptr);
    for (std::string& s : envStore) envp.push_back(s.data());
    envp.push_back(nullptr);
    const std::string errPath = start_ / "stderr.txt";
    const std::string startDir = start_.path();

    pid_ = fork();
    ASSERT_GE(pid_, 0);
    if (pid_ == 0) {
      // Only async-signal-safe calls between fork and exec.
      if (chdir(startDir.c_str()) != 0) _exit(126);
      const int fd = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
      if (fd >= 0) dup2(fd, 2);
      execve(argv[0], argv.data(), envp.data());
      _exit(127);
    }
  }

  // True once the program runs our code and has its quit signals in place.
  bool catchesTerm() const {
    std::error_code ec;
    if (std::filesystem::read_symlink("/proc/" + std::to_string(pid_) + "/exe", ec).string() != program_) return false;
    std::ifstream status("/proc/" + std::to_string(pid_) + "/status");
    std::string line;
    while (std::getline(status, line)) {
      if (line.rfind("SigCgt:", 0) == 0) {
        const unsigned long long mask = std::stoull(line.substr(7), nullptr, 16);
        return (mask >> (SIGTERM - 1)) & 1u;
      }
    }
    return false;
  }

  void terminateWhenRunning(std::chrono::milliseconds play = std::chrono::milliseconds(500)) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (!catchesTerm() && std::chrono::steady_clock::now() < deadline) {
      if (waitpid(pid_, &status_, WNOHANG) == pid_) {
        pid_ = -1;
        return;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    // Let it play a little; the quit is honoured wherever it lands.
    std::this_thread::sleep_for(play);
    if (pid_ > 0) kill(pid_, SIGTERM);
  }

  // The exit status (-1 when it did not exit by itself, -2 when it had to be killed).
  int wait() {
    if (pid_ > 0) {
      const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(120);
      while (waitpid(pid_, &status_, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > deadline) {
          kill(pid_, SIGKILL);
          waitpid(pid_, &status_, 0);
          pid_ = -1;
          return -2;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
      }
      pid_ = -1;
    }
    return WIFEXITED(status_) ? WEXITSTATUS(status_) : -1;
  }

  std::string stderrText() const { return readText(start_ / "stderr.txt"); }

 private:
  TempFolder home_;
  TempFolder start_;
  std::string program_;
  pid_t pid_ = -1;
  int status_ = 0;
};

TEST(Program, StartsOnTheBuiltInGameAndQuitsOnSigtermWritingBothFiles) {
  ProgramRun run;
  run.spawn({});
  run.terminateWhenRunning();
  ASSERT_EQ(run.wait(), 0) << run.stderrText();
  EXPECT_EQ(readText(run.home() / "zordata/saves/pref-mac.ini"), kDefaultPrefs);
  const std::string save = readText(run.home() / "zordata/saves/save.ini");
  const std::string head =
      "; Zorlan 1.3 Save File\n; \n[Gamestate]\nLevelID = first\nEntrance = \nAttempts = 1\nDeaths = 0\nFrames = ";
  ASSERT_EQ(save.substr(0, head.size()), head) << save;
  const size_t end = save.find('\n', head.size());
  ASSERT_NE(end, std::string::npos);
  EXPECT_EQ(save.substr(head.size(), end - head.size()).find_first_not_of("0123456789"), std::string::npos);
  EXPECT_EQ(save.substr(end), "\nGFlags = \nSpeedruns = \n; \n");
  // The sound and music files beside the program stay as they were; nothing else is left.
  EXPECT_FALSE(files::fileExists(run.home() / "zordata/test.tmp"));
}

TEST(Program, StartsInTheZoneAndEntranceWithTheFlagsItWasGiven) {
  ProgramRun run;
  ASSERT_TRUE(files::writeFileAtomic(run.start() / "two.zorlan", kTwoZones));
  run.spawn({"-g", "two.zorlan", "-z", "cave:door", "-f", "3,17"});
  run.terminateWhenRunning();
  ASSERT_EQ(run.wait(), 0) << run.stderrText();
  const std::string save = readText(run.home() / "zordata/saves/save-two.zorlan.ini");
  EXPECT_NE(save.find("\nLevelID = cave\nEntrance = door\n"), std::string::npos) << save;
  EXPECT_NE(save.find("\nGFlags = 3,17,\n"), std::string::npos) << save;
  EXPECT_FALSE(files::fileExists(run.home() / "zordata/saves/save.ini"));
}

TEST(Program, AGameFileWithASyntaxErrorIsReportedAndNothingIsWritten) {
  ProgramRun run;
  run.spawn({"-g", std::string(ZOR_FIXTURES) + "/gamefiles/syntax_error_line12.zorlan"});
  const int status = run.wait();
  EXPECT_NE(status, 0);
  EXPECT_NE(status, -2);
  EXPECT_NE(run.stderrText().find("Game file error on line 12!"), std::string::npos) << run.stderrText();
  EXPECT_FALSE(files::isFolder(run.home() / "zordata/saves"));
}

// The real screen with a keyboard that presses F9 in one frame and then asks to quit.
class ScriptedSdlPlatform final : public AppPlatform {
 public:
  bool initScreen() override { return screen_.init(); }
  bool initKeyboard() override { return true; }
  bool initFastDrawing() override { return true; }
  ScreenOutput& screen() override { return screen_; }
  ControlInput& input() override { return input_; }
  void examineKeyboard() override {
    events_.pump();
    ++reads_;
    input_.keys.clear();
    if (reads_ == 5) input_.keys.insert(136);  // F9
  }
  int32_t countGamepads() override { return 0; }
  uint32_t elapsedMs() override { return elapsedMilliseconds(); }
  void sleepMs(uint32_t ms) override { delayMilliseconds(static_cast<int32_t>(ms)); }
  void messageBox(const std::string& title, const std::string& text) override {
    ADD_FAILURE() << title << ": " << text;
  }
  bool askYesNo(const std::string&, const std::string&) override { return false; }
  bool quitAsked() override { return reads_ > 10; }

 private:
  SdlEvents events_;
  SdlScreen screen_{events_};
  testing::FakeInput input_;
  int reads_ = 0;
};

TEST(Program, TheScreenshotKeyWritesAPngOfTheView) {
  testing_support::DummyVideo dummy;
  TempFolder folder;
  ProgramArgs args;
  args.programFolder = folder.path();
  args.startFolder = folder.path();
  args.args = {"-z", "first"};  // a start zone: no splash, the key presses are timed from the first frame
  int status = -1;
  {
    ScriptedSdlPlatform platform;
    Game game;
    status = runProgram(game, platform, args);
  }
  ASSERT_EQ(status, 0);

  std::vector<std::string> shots;
  for (const auto& e : std::filesystem::directory_iterator(folder / "zordata/screens")) {
    shots.push_back(e.path().string());
  }
  ASSERT_EQ(shots.size(), 1u);

  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  ASSERT_TRUE(png_image_begin_read_from_file(&image, shots[0].c_str())) << image.message;
  EXPECT_EQ(image.width, 640u);
  EXPECT_EQ(image.height, 360u);
  image.format = PNG_FORMAT_RGB;
  std::vector<uint8_t> pixels(PNG_IMAGE_SIZE(image));
  ASSERT_TRUE(png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr)) << image.message;
  // The top corner shows the sky, the first level's colour 9EC8F0; the bottom
  // one the ground the player starts on, 506070.
  EXPECT_EQ(pixels[0], 0x9E);
  EXPECT_EQ(pixels[1], 0xC8);
  EXPECT_EQ(pixels[2], 0xF0);
  const size_t last = pixels.size() - 3;
  EXPECT_EQ(pixels[last], 0x50);
  EXPECT_EQ(pixels[last + 1], 0x60);
  EXPECT_EQ(pixels[last + 2], 0x70);
}

// Game files that keep their scripts busy for ever: every frame still ends, so
// the program plays on and a quit request ends it.
TEST(Program, BusyScriptsStillLetTheFramesEndAndTheProgramQuit) {
  std::vector<std::string> games;
  for (const char* name : {"explode_loop", "call_twice", "title_loop", "wordbox_loop"}) {
    games.push_back(std::string(ZOR_FIXTURES) + "/hostile/" + name + ".zorlan");
  }
  // A sub that calls itself in a large file: look-ups by ID must not search it all.
  TempFolder big;
  std::string blocks;
  for (int i = 0; i < 10000; ++i) blocks += "<block x=\"" + std::to_string(i % 500) + "\" y=\"-40\" w=\"1\" h=\"1\"/>";
  ASSERT_TRUE(files::writeFileAtomic(big / "big.zorlan",
                                     "<zorlan version=\"1\"><zone id=\"first\"><levels><level z=\"0\"/></levels>"
                                     "<entrance x=\"0\" y=\"0\" level=\"0\"/><start><call sub=\"go\"/></start>" +
                                         blocks + "</zone><sub id=\"go\"><call sub=\"go\"/></sub></zorlan>"));
  games.push_back(big / "big.zorlan");

  for (const std::string& game : games) {
    SCOPED_TRACE(game);
    ProgramRun run;
    run.spawn({"-z", "first", "-g", game});
    run.terminateWhenRunning(std::chrono::seconds(2));  // time to load the zone and play
    ASSERT_EQ(run.wait(), 0) << run.stderrText();
    const std::string save = readText(run.home() / ("zordata/saves/save-" + files::fileName(game) + ".ini"));
    const std::size_t at = save.find("\nFrames = ");
    ASSERT_NE(at, std::string::npos) << save;
    EXPECT_GT(format::readInt(std::string_view(save).substr(at + 10)), 0) << save;
  }
}

}  // namespace
}  // namespace zor
