// Per-slot volumes of the 24 sound effects. Start-up fills them with the
// built-in volumes; a game file's custom sounds (`loadsounds`) change them.
#pragma once

#include <cstdint>

#include "format/vocabulary.h"

namespace zor {

struct SoundTable {
  // 0..100 for each slot.
  int32_t soundVolumes[format::kSoundSlotCount] = {
      50, 50, 50, 50, 50, 50, 50, 50, 50, 50, 50, 50,
      50, 50, 50, 50, 50, 50, 50, 50, 50, 50, 50, 50,
  };
};

}  // namespace zor
