// Ogg-shaped bytes for the length reader: pages with the fields it reads (the
// capture pattern and the granule position) and a Vorbis identification
// header with a chosen sample rate. Checksums are not filled in; the reader
// does not look at them.
#pragma once

#include <cstdint>
#include <fstream>
#include <string>

namespace zor::testing {

inline void putLe(std::string& out, uint64_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) out += static_cast<char>(i < 8 ? (v >> (8 * i)) & 0xFF : 0);
}

// One page: header, a one-entry segment table and `payload`.
inline std::string oggPage(int64_t granule, const std::string& payload, uint32_t sequence = 0) {
  std::string p = "OggS";
  p += '\0';  // version
  p += '\0';  // header type
  putLe(p, static_cast<uint64_t>(granule), 8);
  putLe(p, 0x5A0A1u, 4);  // serial
  putLe(p, sequence, 4);
  putLe(p, 0, 4);  // checksum
  p += '\x01';
  p += static_cast<char>(payload.size() & 0xFF);
  return p + payload;
}

// The identification packet: type 1, "vorbis", version, channels, rate, bit rates, block sizes, framing.
inline std::string vorbisIdentification(uint32_t rate, int channels = 2) {
  std::string p = "\x01vorbis";
  putLe(p, 0, 4);
  p += static_cast<char>(channels);
  putLe(p, rate, 4);
  putLe(p, 0, 12);
  p += '\xB8';
  p += '\x01';
  return p;
}

// Filler that holds neither a capture pattern nor an identification header.
inline std::string filler(std::size_t n) { return std::string(n, '\xAA'); }

// A file: the identification page, `audioPages` pages of 200 bytes whose granule
// positions rise to `lastGranule`.
inline std::string oggFile(uint32_t rate, int64_t lastGranule, int audioPages = 3) {
  std::string f = oggPage(0, vorbisIdentification(rate));
  for (int i = 1; i <= audioPages; ++i) {
    f += oggPage(lastGranule / audioPages * i + (i == audioPages ? lastGranule % audioPages : 0), filler(200),
                 static_cast<uint32_t>(i));
  }
  return f;
}

inline void writeBytes(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

}  // namespace zor::testing
