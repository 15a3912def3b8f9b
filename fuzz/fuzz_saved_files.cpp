// Fuzzes the readers of the files the game writes and reads back: the save file
// (and with it the preference format) and run files. Either may be damaged or
// hostile; both must be refused or read without a crash, and a run file that
// reads must write back to bytes that read the same way.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "game/game.h"
#include "game/persist/run_file.h"
#include "game/persist/save_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);

  zor::Game game;
  zor::readSaveText(game, bytes, 0);
  (void)zor::buildSaveText(game);

  zor::RunFileContents run;
  if (zor::decodeRunFile(bytes, run)) {
    const std::string again = zor::encodeRunFile(run.name, run.seed, 0, run.events);
    zor::RunFileContents back;
    if (!zor::decodeRunFile(again, back)) std::abort();
    if (back.events.size() != run.events.size() || back.seed != run.seed || back.name != run.name) std::abort();
  }
  return 0;
}
