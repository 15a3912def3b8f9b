// Writes a buffer of 32-bit pixels as an 8-bit RGB PNG file (screenshots).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace zor::png {

// Where each colour sits in a 32-bit pixel, as a right shift of 0, 8, 16 or 24.
struct PixelShifts {
  int red = 0;
  int green = 8;
  int blue = 16;
};

// Largest side accepted, in pixels.
inline constexpr int kMaxSide = 16384;

// Encodes width x height pixels; `pitch` is the distance between rows in pixels
// (at least width). Returns false for a bad size or shift, or when libpng
// fails; `out` then is empty.
bool encodePng(const uint32_t* pixels, int width, int height, int pitch, PixelShifts shifts,
               std::vector<uint8_t>& out, std::string* error = nullptr);

// Encodes and writes the file atomically (temporary file, flush, rename).
bool writePng(const std::string& path, const uint32_t* pixels, int width, int height, int pitch,
              PixelShifts shifts, std::string* error = nullptr);

}  // namespace zor::png
