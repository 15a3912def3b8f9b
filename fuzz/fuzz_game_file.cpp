// Fuzzes game-file loading: bytes are parsed as a game document, its game-wide
// part is read, custom sounds are applied and every zone in it is loaded in turn
// (as warps would), with fatal errors recorded instead of ending the program.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "game/game.h"
#include "game/load/game_file.h"
#include "game/load/zone_loader.h"
#include "platform/xml.h"
#include "tests/game/audio/fake_sound_output.h"

namespace {

constexpr int kMaxZonesPerInput = 16;

// Custom sounds go into the effect slots: a slot outside the table is a fault.
struct SlotCheckingSound : zor::testing::FakeSoundOutput {
  bool loadSoundAt(int32_t number, const std::string& path) override {
    if (number < 0 || number >= 24) std::abort();
    return FakeSoundOutput::loadSoundAt(number, path);
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  // Without a platform a fatal error is only recorded, requesters answer No and
  // the clock is the frame time.
  zor::Game game;
  game.app.frameTime = 1234;
  SlotCheckingSound sound;
  game.sounds.attach(sound);

  zor::xml::ParseError error;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  if (!game.data.document.parse(bytes, &error)) return 0;
  zor::readGameData(game);
  zor::applyCustomSounds(game);
  for (int32_t v : game.sounds.soundVolumes) {
    if (v < 0 || v > 100) std::abort();
  }
  for (const auto& [name, c] : game.data.classes) {
    if (!(c.brake >= 0.0f && c.brake <= 1.0f) || c.hops < 0 || c.hops > 100) std::abort();
  }

  // The ids of the zones, in document order, as a warp would name them.
  std::vector<std::string> ids;
  const zor::xml::Node* root = game.data.document.root();
  for (const zor::xml::Node* el = root->firstElement(); el != nullptr; el = el->nextElement()) {
    if (zor::xml::toLowerAscii(el->name) == "zone") ids.push_back(el->attr("id"));
    if (static_cast<int>(ids.size()) >= kMaxZonesPerInput) break;
  }
  for (const std::string& id : ids) {
    game.failed = false;
    game.failMessage.clear();
    zor::loadZone(game, id, false);
  }
  return 0;
}
