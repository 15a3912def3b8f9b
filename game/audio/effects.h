// The 24 sound-effect slots: loading a file into a slot and playing a slot.
#pragma once

#include <cstdint>
#include <string>

namespace zor {

struct Game;

// Plays effect `slot` once at its table volume when the Sound setting is on.
// A slot outside 0..23 plays nothing.
void playEffect(Game& game, int32_t slot);
// Plays effect `slot` once at `volume` (0..100) when the Sound setting is on;
// a slot outside 0..23 plays nothing. (The `sound` statement's rule.)
void playEffectAt(Game& game, int32_t slot, int32_t volume);

// Loads a WAV file (found whatever the letter case of its path) into effect
// slot 0..23, replacing the sound held there. False when the slot is out of
// range, there is no sound output or the file cannot be loaded; the slot then
// keeps what it held.
bool loadEffectSlot(Game& game, int32_t slot, const std::string& path);
// Whether effect slot 0..23 holds a sound.
bool effectSlotInUse(const Game& game, int32_t slot);

}  // namespace zor
