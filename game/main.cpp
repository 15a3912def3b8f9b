// Zorlan's entry point: builds the SDL platform objects and hands them to the
// window-free start-up, frame loop and quit path.
#include <SDL.h>

#include <atomic>
#include <csignal>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "game/app/startup.h"
#include "game/game.h"
#include "platform/files.h"
#include "platform/sdl/sdl_clock.h"
#include "platform/sdl/sdl_dialogs.h"
#include "platform/sdl/sdl_events.h"
#include "platform/sdl/sdl_input.h"
#include "platform/sdl/sdl_screen.h"
#include "platform/sdl/sdl_sound.h"

namespace {

// Set by SIGTERM and SIGINT; the frame loop turns it into a quit request, so a
// signal leaves through the normal quit path.
std::atomic<bool> quitSignalled{false};
static_assert(std::atomic<bool>::is_always_lock_free);

extern "C" void onQuitSignal(int) { quitSignalled.store(true); }

void installQuitSignals() {
  struct sigaction action {};
  action.sa_handler = onQuitSignal;
  sigemptyset(&action.sa_mask);
  sigaction(SIGTERM, &action, nullptr);
  sigaction(SIGINT, &action, nullptr);
}

class SdlPlatform final : public zor::AppPlatform {
 public:
  bool initScreen() override { return screen_.init(); }
  bool initKeyboard() override { return input_.initKeyboard(); }
  // The sprite fill draws through the renderer that every opened screen makes.
  bool initFastDrawing() override { return true; }

  zor::ScreenOutput& screen() override { return screen_; }
  zor::ControlInput& input() override { return input_; }
  void examineKeyboard() override { input_.examineKeyboard(); }
  int32_t countGamepads() override { return input_.initGamepads(); }

  uint32_t elapsedMs() override { return zor::elapsedMilliseconds(); }
  void sleepMs(uint32_t ms) override { zor::delayMilliseconds(static_cast<int32_t>(ms)); }

  void messageBox(const std::string& title, const std::string& text) override {
    zor::showMessageBox(title, text, screen_.window());
  }
  bool askYesNo(const std::string& title, const std::string& text) override {
    return zor::askYesNo(title, text, screen_.window());
  }
  bool quitAsked() override { return quitSignalled.load(); }

 private:
  zor::SdlEvents events_;
  zor::SdlScreen screen_{events_};
  zor::SdlInput input_{events_};
};

}  // namespace

int main(int argc, char** argv) {
  // SDL would turn the signals into window-close events, which are not taken in
  // full screen; our own handler works in every mode.
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  installQuitSignals();

  zor::ProgramArgs args;
  for (int i = 1; i < argc; ++i) args.args.emplace_back(argv[i]);
  args.startFolder = zor::files::currentFolder();
  args.userFolders = zor::userFolderEnvFromProcess();
  // The program's own folder, which holds "zordata", becomes the current folder;
  // file arguments were made absolute against the start folder.
  const std::string programFolder = zor::files::programFolder();
  std::error_code ec;
  if (!programFolder.empty()) std::filesystem::current_path(programFolder, ec);
  args.programFolder = ec || programFolder.empty() ? programFolder : std::string();

  int status = 0;
  {
    SdlPlatform platform;
    zor::SdlSound sound;
    auto game = std::make_unique<zor::Game>();
    game->sounds.attach(sound, args.programFolder);
    status = zor::runProgram(*game, platform, args);
  }
  SDL_Quit();
  return status;
}
