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

namespace {

constexpr int kMaxZonesPerInput = 16;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  zor::Game game;
  game.hooks.fatalError = [](zor::Game&, const std::string&) {};
  game.hooks.askYesNo = [](zor::Game&, const std::string&, const std::string&) { return false; };
  game.hooks.elapsedMs = [] { return uint32_t{1234}; };
  game.hooks.loadSoundSlot = [](zor::Game&, int slot, const std::string&) {
    if (slot < 0 || slot >= 24) std::abort();  // a slot outside the table is a fault
    return false;
  };

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
    zor::loadZone(game, id, 0);
  }
  return 0;
}
