// Keys as the editor's canvas and shortcuts name them: the desktop's virtual-key codes
// (letters and digits are their upper-case character codes), with the modifier state.
// The user interface translates its toolkit's key events into these.
#pragma once

#include <cstdint>

namespace zor::editor {

namespace key {
inline constexpr int32_t Back = 0x08;
inline constexpr int32_t Tab = 0x09;
inline constexpr int32_t Clear = 0x0C;  // keypad 5 with Num Lock off
inline constexpr int32_t Return = 0x0D;
inline constexpr int32_t Escape = 0x1B;
inline constexpr int32_t Space = 0x20;
inline constexpr int32_t PageUp = 0x21;
inline constexpr int32_t PageDown = 0x22;
inline constexpr int32_t End = 0x23;
inline constexpr int32_t Home = 0x24;
inline constexpr int32_t Left = 0x25;
inline constexpr int32_t Up = 0x26;
inline constexpr int32_t Right = 0x27;
inline constexpr int32_t Down = 0x28;
inline constexpr int32_t Insert = 0x2D;
inline constexpr int32_t Delete = 0x2E;
inline constexpr int32_t Digit0 = 0x30;  // '0' .. '9' follow
inline constexpr int32_t LetterA = 0x41;  // 'A' .. 'Z' follow
inline constexpr int32_t Numpad0 = 0x60;  // keypad digits with Num Lock on follow
inline constexpr int32_t Numpad5 = 0x65;
inline constexpr int32_t F1 = 0x70;  // F1 .. F12 follow
inline constexpr int32_t F2 = 0x71;
inline constexpr int32_t F3 = 0x72;
inline constexpr int32_t F5 = 0x74;
inline constexpr int32_t F7 = 0x76;
inline constexpr int32_t F8 = 0x77;
inline constexpr int32_t F9 = 0x78;
inline constexpr int32_t F11 = 0x7A;
constexpr int32_t letter(char c) { return static_cast<int32_t>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c); }
}  // namespace key

struct Modifiers {
  bool shift = false;
  bool ctrl = false;  // the Control key (the Command key's place on this desktop)
  bool alt = false;
};

inline bool operator==(const Modifiers& a, const Modifiers& b) {
  return a.shift == b.shift && a.ctrl == b.ctrl && a.alt == b.alt;
}

}  // namespace zor::editor
