#include "game/render/time_text.h"

#include "game/persist/speedrun.h"
#include "platform/text.h"

namespace zor {

namespace {

std::string twoDigits(int64_t v) {
  std::string s = text::formatInt(v);
  return s.size() < 2 ? "0" + s : s;
}

}  // namespace

std::string formatFrameTime(int32_t frames, bool speedrunRunning) {
  int64_t f = frames;
  if (speedrunRunning) f -= kRunCountdownFrames;
  if (f < 0) f = 0;
  const int64_t s = f / 60;
  const int64_t m = s / 60;
  const int64_t h = m / 60;
  if (h > 0) return text::formatInt(h) + ":" + twoDigits(m % 60) + ":" + twoDigits(s % 60);
  return text::formatInt(m % 60) + ":" + twoDigits(s % 60);
}

std::string formatMinutesSeconds(int64_t frames) {
  if (frames < 0) frames = 0;
  const int64_t s = frames / 60;
  return text::formatInt(s / 60) + ":" + twoDigits(s % 60);
}

}  // namespace zor
