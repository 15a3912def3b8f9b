#include "game/audio/ogg_length.h"

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <limits>
#include <vector>

namespace zor {

namespace {

constexpr int64_t kWindow = 8192;
constexpr int64_t kStep = 4096;  // windows overlap by half

// A file read window by window; a window holds only the bytes actually read.
class WindowReader {
 public:
  explicit WindowReader(const std::string& path) : file_(std::fopen(path.c_str(), "rb")) {
    if (!file_) return;
    if (fseeko(file_, 0, SEEK_END) == 0) length_ = ftello(file_);
  }
  ~WindowReader() {
    if (file_) std::fclose(file_);
  }
  WindowReader(const WindowReader&) = delete;
  WindowReader& operator=(const WindowReader&) = delete;

  bool ok() const { return file_ != nullptr && length_ >= 0; }
  int64_t length() const { return length_; }

  // Reads up to a window at `pos`; returns the bytes read (0 at the end or on an error).
  int64_t read(int64_t pos, unsigned char* buffer) {
    if (fseeko(file_, static_cast<off_t>(pos), SEEK_SET) != 0) return 0;
    return static_cast<int64_t>(std::fread(buffer, 1, static_cast<size_t>(kWindow), file_));
  }

 private:
  std::FILE* file_ = nullptr;
  int64_t length_ = -1;
};

int32_t readLe32(const unsigned char* p) {
  const uint32_t v = static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
                     (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
  return static_cast<int32_t>(v);
}

int64_t readLe64(const unsigned char* p) {
  uint64_t v = 0;
  for (int k = 7; k >= 0; --k) v = (v << 8) | p[k];
  return static_cast<int64_t>(v);
}

// The sample rate of the first identification header: "\x01vorbis", then a
// 32-bit version, an 8-bit channel count and the 32-bit rate. 0 when none is found.
float findSampleRate(WindowReader& in, unsigned char* buf) {
  for (int64_t p = 0; p < in.length(); p += kStep) {
    const int64_t n = in.read(p, buf);
    if (n <= 0) break;
    for (int64_t i = 1; i <= n - 16; ++i) {
      if (buf[i - 1] == 1 && std::memcmp(buf + i, "vorbis", 6) == 0) {
        return static_cast<float>(readLe32(buf + i + 11));
      }
    }
  }
  return 0.0f;
}

// The granule position of the last page (from the end) whose granule is
// positive; 0 when there is none. A page header whose granule field is not
// wholly inside the bytes read is passed over: the window after it (scanned
// before) holds it whole, unless the file ends there.
int64_t findLastGranule(WindowReader& in, unsigned char* buf) {
  int64_t p = in.length() - kWindow;
  if (p < 0) p = 0;
  for (;;) {
    const int64_t n = in.read(p, buf);
    if (n <= 0) break;
    for (int64_t i = n - 4; i >= 0; --i) {
      if (std::memcmp(buf + i, "OggS", 4) != 0) continue;
      if (i + 14 > n) continue;
      const int64_t granule = readLe64(buf + i + 6);
      if (granule > 0) return granule;
    }
    if (p <= 0) break;
    p -= kStep;
    if (p < 0) break;
  }
  return 0;
}

}  // namespace

int32_t readOggDuration(const std::string& path) {
  if (path.empty()) return 0;
  std::error_code ec;
  if (!std::filesystem::is_regular_file(path, ec) || ec) return 0;  // no devices, pipes or folders
  WindowReader in(path);
  if (!in.ok()) return 0;
  std::vector<unsigned char> buffer(static_cast<size_t>(kWindow));

  const float rate = findSampleRate(in, buffer.data());
  if (!(rate > 0.0f)) return 0;
  const int64_t granule = findLastGranule(in, buffer.data());
  if (granule <= 0) return 0;

  // A granule up to 2^63 times 1000 stays finite in double arithmetic; a
  // length beyond 32 bits is a corrupt page, not a track.
  const double ms = static_cast<double>(granule) * 1000.0 / static_cast<double>(rate);
  if (!(ms <= static_cast<double>(std::numeric_limits<int32_t>::max()))) return 0;
  return static_cast<int32_t>(ms);
}

}  // namespace zor
