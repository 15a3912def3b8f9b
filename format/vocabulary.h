// The game-file vocabulary: block flag bits, class behaviour bits, wave codes,
// and the names of elements and statements.
#pragma once

#include <cstdint>
#include <string_view>

namespace zor::format {

// Attribute names read in more than one place.
namespace attr {
// The object a block is, or the objects a statement acts on (a list for some).
inline constexpr std::string_view ObjectName = "oname";
}  // namespace attr

// Block flags (the `flg` words). Bits without a word are set by the game.
namespace flag {
inline constexpr uint32_t Dynamic = 0x1;
inline constexpr uint32_t Cyclic = 0x2;
inline constexpr uint32_t Solid = 0x4;
inline constexpr uint32_t Semisol = 0x8;
inline constexpr uint32_t Airborne = 0x10;  // game-set
inline constexpr uint32_t Invisible = 0x20;
inline constexpr uint32_t HasFace = 0x40;
inline constexpr uint32_t NoBorder = 0x80;
inline constexpr uint32_t Scenic = 0x100;
inline constexpr uint32_t Semitrans = 0x200;
inline constexpr uint32_t Motion = 0x400;
inline constexpr uint32_t Circular = 0x800;
inline constexpr uint32_t Deadly = 0x1000;
inline constexpr uint32_t Lightup = 0x2000;
inline constexpr uint32_t Evil = 0x4000;
inline constexpr uint32_t Checkpoint = 0x8000;
inline constexpr uint32_t Bouncy = 0x10000;
inline constexpr uint32_t Sliding = 0x20000;  // game-set: scripted slide
inline constexpr uint32_t Sad = 0x40000;
inline constexpr uint32_t Drawn = 0x80000;  // game-set: drawn this frame
inline constexpr uint32_t Killed = 0x100000;
inline constexpr uint32_t Class = 0x200000;
inline constexpr uint32_t Horizon = 0x400000;
inline constexpr uint32_t Spatial = 0x800000;
inline constexpr uint32_t WaveMask = 0xFF000000;
}  // namespace flag

struct FlagWord {
  std::string_view word;
  uint32_t bit;
};
inline constexpr FlagWord kBlockFlagWords[] = {
    {"dynamic", flag::Dynamic},     {"cyclic", flag::Cyclic},     {"solid", flag::Solid},
    {"semisol", flag::Semisol},     {"invisible", flag::Invisible}, {"hasface", flag::HasFace},
    {"noborder", flag::NoBorder},   {"scenic", flag::Scenic},     {"semitrans", flag::Semitrans},
    {"motion", flag::Motion},       {"circular", flag::Circular}, {"deadly", flag::Deadly},
    {"lightup", flag::Lightup},     {"evil", flag::Evil},         {"checkpoint", flag::Checkpoint},
    {"bouncy", flag::Bouncy},       {"sad", flag::Sad},           {"killed", flag::Killed},
    {"class", flag::Class},         {"horizon", flag::Horizon},   {"spatial", flag::Spatial},
};

// Wave codes in the top byte of the block flags; 0 is the sine wave.
namespace wave {
inline constexpr uint32_t Sine = 0x00000000;
inline constexpr uint32_t Square = 0x01000000;
inline constexpr uint32_t Tri = 0x02000000;
inline constexpr uint32_t Saw = 0x04000000;
inline constexpr uint32_t Parabola = 0x08000000;
inline constexpr uint32_t Prox = 0x10000000;
inline constexpr uint32_t Rand = 0x20000000;
}  // namespace wave
inline constexpr FlagWord kWaveWords[] = {
    {"square", wave::Square}, {"tri", wave::Tri},   {"saw", wave::Saw},
    {"parabola", wave::Parabola}, {"prox", wave::Prox}, {"rand", wave::Rand},
};

// Class behaviour bits (`eflags`).
namespace eflag {
inline constexpr uint32_t Jumping = 0x2;
inline constexpr uint32_t Smart = 0x4;
inline constexpr uint32_t AllLevels = 0x8;
inline constexpr uint32_t Greedy = 0x10;
inline constexpr uint32_t Stomping = 0x20;
inline constexpr uint32_t Leaping = 0x40;
inline constexpr uint32_t Approach = 0x80;
inline constexpr uint32_t Heavy = 0x100;
}  // namespace eflag
inline constexpr FlagWord kClassFlagWords[] = {
    {"jumping", eflag::Jumping}, {"smart", eflag::Smart},       {"alllevels", eflag::AllLevels},
    {"greedy", eflag::Greedy},   {"stomping", eflag::Stomping}, {"leaping", eflag::Leaping},
    {"approach", eflag::Approach}, {"heavy", eflag::Heavy},
};

// Word-box flag words of the `wordbox` statement's `flg` list, and the bits
// they set in a word box's flags (2 remove and 4 seen are set by the game).
namespace wordboxflag {
inline constexpr uint32_t Disappearing = 0x1;
inline constexpr uint32_t Remove = 0x2;
inline constexpr uint32_t Seen = 0x4;
inline constexpr uint32_t Hidden = 0x8;
}  // namespace wordboxflag
inline constexpr FlagWord kWordBoxFlagWords[] = {
    {"disappearing", wordboxflag::Disappearing},
    {"invisible", wordboxflag::Hidden},
};

// Every script statement of the game, by its exact (lower-case) name.
inline constexpr std::string_view kStatementNames[] = {
    "flipcolor", "drop", "kill", "slay", "hide", "unhide", "unscript", "swaplims",
    "setflags", "unsetflags", "setcolor", "setfreq", "setgrav", "setcount", "cycle",
    "minpos", "setcheck", "look", "shift", "move", "effect", "explode",
    "setgflags", "unsetgflags", "setzflags", "unsetzflags", "toggle", "if", "ifset",
    "ifnotset", "call", "after", "loop", "wait", "freeze", "prompt", "die", "killbeats",
    "savegame", "cleartitles", "beat", "killqueue", "set", "checkpoint", "lock", "unlock",
    "setzone", "warp", "reloadzone", "adddeath", "endspeedrun", "unlockspeedrun", "you",
    "pause", "music", "sound", "camera", "screen", "srt", "title", "wordbox", "hidewb",
};

// The 24 named sound effects, by slot; each is zordata/sounds/<name>.wav.
inline constexpr int kSoundSlotCount = 24;
inline constexpr const char* kEffectNames[kSoundSlotCount] = {
    "jump", "bounce", "up",   "down",  "die",  "warp",   "reset", "check", "rubber", "click", "ok",    "no",
    "mech", "tele",   "bull", "smoke", "warb", "friend", "sdown", "bull2", "ret",    "blip",  "splin", "splout",
};
namespace effect {
inline constexpr int Jump = 0;
inline constexpr int Bounce = 1;
inline constexpr int Up = 2;
inline constexpr int Down = 3;
inline constexpr int Die = 4;
inline constexpr int Warp = 5;
inline constexpr int Reset = 6;
inline constexpr int Check = 7;
inline constexpr int Rubber = 8;
inline constexpr int Click = 9;
inline constexpr int Ok = 10;
inline constexpr int No = 11;
inline constexpr int Bull = 14;
inline constexpr int Sdown = 18;
}  // namespace effect

}  // namespace zor::format
