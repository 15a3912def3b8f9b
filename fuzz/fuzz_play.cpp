// Fuzzes play: bytes are parsed as a game document, its zone "first" is entered
// and a fixed number of frames is played through the real frame loop (scripts,
// queue, world step, drawing into a frame buffer) with scripted input. A frame
// that takes too long is a fault: a game file must not be able to hold a frame
// (and with it the quit request) for ever.
#include <unistd.h>

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "game/app/frame_loop.h"
#include "game/app/quit.h"
#include "game/app/startup.h"
#include "game/game.h"
#include "game/load/game_file.h"
#include "game/load/zone_loader.h"
#include "game/menu/menu_state.h"
#include "game/render/game_screen.h"
#include "platform/xml.h"
#include "tests/game/app/fake_app_platform.h"

namespace {

constexpr int kFrames = 60;
// A frame of a small zone takes well under a millisecond; this is a frame that
// does not end.
constexpr auto kMaxFrameTime = std::chrono::seconds(2);

// Where a game file's run files and screenshots would go: a scratch folder.
std::string dataFolder;

// The controls a player uses in play, held in turns that the input decides.
constexpr int kPlayControls[] = {zor::control::Left, zor::control::Right, zor::control::Jump,
                                 zor::control::Action, zor::control::LeapOut, zor::control::LeapIn};

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  char folder[] = "/tmp/zor_fuzz_play.XXXXXX";
  if (::mkdtemp(folder) == nullptr) std::abort();
  dataFolder = std::string(folder) + "/";
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  zor::Game game;
  zor::testing::FakePlatform platform;
  zor::attachPlatform(game, platform);
  game.session.dataFolder = dataFolder;
  game.prefs.screenWidth = 320;
  game.prefs.screenHeight = 240;
  if (!zor::loadControlDefaults(game.controls)) std::abort();

  zor::xml::ParseError error;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  if (!game.data.document.parse(bytes, &error)) return 0;
  zor::readGameData(game);
  // A fatal error shows its message and leaves through the quit path.
  try {
    zor::enterZone(game, "first", "");
  } catch (const zor::ProgramExit&) {
    return 0;
  }
  if (game.failed) return 0;
  game.screen.info.width = 320;
  game.screen.info.height = 240;
  if (zor::openGameScreen(game, 1) != 1) std::abort();

  // Scripted input: every 15 frames another pair of controls is held.
  uint32_t state = static_cast<uint32_t>(size) * 2654435761u + 1u;
  platform.beforeKeyboard = [&](zor::testing::FakePlatform& p, int n) {
    if (n % 15 != 0) return;
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    p.fakeInput.keys.clear();
    for (int i = 0; i < 2; ++i) {
      const int c = kPlayControls[(state >> (8 * i)) % std::size(kPlayControls)];
      p.fakeInput.keys.insert(game.controls.keyCodes[static_cast<std::size_t>(c)]);
    }
  };

  for (int frame = 0; frame < kFrames && !game.failed; ++frame) {
    platform.log.clear();
    const auto start = std::chrono::steady_clock::now();
    bool goOn = false;
    try {
      goOn = zor::runFramePass(game, platform);
    } catch (const zor::ProgramExit&) {
      return 0;
    }
    // No pause menus: play goes on.
    if (game.app.menuState != zor::menu_state::Playing) {
      game.app.menuState = zor::menu_state::Playing;
      game.app.menuScreen = zor::menu_screen::Main;
    }
    if (std::chrono::steady_clock::now() - start > kMaxFrameTime) {
      std::fprintf(stderr, "frame %d did not end in time\n", frame);
      std::abort();
    }
    if (!goOn) break;
  }
  return 0;
}
