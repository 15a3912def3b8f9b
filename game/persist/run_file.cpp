#include "game/persist/run_file.h"

#include <zlib.h>

#include "game/game.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "platform/text.h"

namespace zor {

namespace {

constexpr std::string_view kMagic = "ZORLANRUN";
constexpr int32_t kVersion = 1;
constexpr std::size_t kEventBytes = 6;
constexpr int kMaxRunFileNumber = 100000;
// A name line longer than this is not a speedrun's name.
constexpr std::size_t kMaxNameLine = 4096;

void putInt(std::string& out, int32_t v) {
  const uint32_t u = static_cast<uint32_t>(v);
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>((u >> (8 * i)) & 0xFFu));
}

int32_t getInt(const unsigned char* p) {
  const uint32_t u = static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
                     (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
  return static_cast<int32_t>(u);
}

struct Reader {
  std::string_view bytes;
  std::size_t pos = 0;

  bool readInt(int32_t& v) {
    if (bytes.size() - pos < 4) return false;
    v = getInt(reinterpret_cast<const unsigned char*>(bytes.data() + pos));
    pos += 4;
    return true;
  }
  // A line ends at CR, LF or CR LF; false at the end of the bytes without one.
  bool readLine(std::string& line, std::size_t maxLength) {
    const std::size_t end = bytes.find_first_of("\r\n", pos);
    if (end == std::string_view::npos || end - pos > maxLength) return false;
    line.assign(bytes.substr(pos, end - pos));
    pos = end + 1;
    if (bytes[end] == '\r' && pos < bytes.size() && bytes[pos] == '\n') ++pos;
    return true;
  }
};

std::string runFileBase(std::string_view name) {
  std::string base;
  // Folder separators and control characters are left out too, so that a
  // game file's speedrun name cannot place the file outside the runs folder.
  for (char c : name) {
    const auto u = static_cast<unsigned char>(c);
    if (c != ' ' && c != '/' && c != '\\' && u >= 0x20 && u != 0x7F) base.push_back(c);
  }
  return text::toLower(base);
}

bool isRecorded(int c) { return isRecordedControl(c); }

}  // namespace

std::string encodeRunFile(std::string_view name, int32_t seed, int32_t date, const std::vector<RunEvent>& events) {
  std::string out;
  out.append(kMagic);
  out.push_back('\n');
  putInt(out, kVersion);
  out.append(name);
  out.push_back('\n');
  putInt(out, seed);
  putInt(out, date);
  if (events.empty() || events.size() > static_cast<std::size_t>(kMaxRunEventBytes) / kEventBytes) return out;

  std::string raw;
  raw.reserve(events.size() * kEventBytes);
  for (const RunEvent& e : events) {
    putInt(raw, e.frame);
    raw.push_back(static_cast<char>(e.control));
    raw.push_back(static_cast<char>(e.kind));
  }
  const uLong rawSize = static_cast<uLong>(raw.size());
  uLongf packedSize = rawSize + rawSize / 100 + 13;
  std::vector<Bytef> packed(packedSize);
  if (compress2(packed.data(), &packedSize, reinterpret_cast<const Bytef*>(raw.data()), rawSize,
                Z_DEFAULT_COMPRESSION) != Z_OK) {
    return out;
  }
  putInt(out, static_cast<int32_t>(rawSize));
  putInt(out, static_cast<int32_t>(packedSize));
  out.append(reinterpret_cast<const char*>(packed.data()), packedSize);
  return out;
}

bool decodeRunFile(std::string_view bytes, RunFileContents& out) {
  out = RunFileContents{};
  Reader r{bytes};
  std::string line;
  if (!r.readLine(line, kMagic.size()) || line != kMagic) return false;
  int32_t version = 0;
  if (!r.readInt(version) || version != kVersion) return false;
  if (!r.readLine(line, kMaxNameLine)) return false;
  out.name = text::toUpper(line);
  int32_t date = 0;
  if (!r.readInt(out.seed)) return false;
  if (!r.readInt(date)) return true;  // accepted, without events

  int32_t rawSize = 0;
  int32_t packedSize = 0;
  if (!r.readInt(rawSize) || !r.readInt(packedSize)) return true;
  if (rawSize <= 0 || packedSize <= 0 || rawSize > kMaxRunEventBytes) return true;
  if (static_cast<std::size_t>(packedSize) > bytes.size() - r.pos) return true;  // cut short

  std::vector<Bytef> raw(static_cast<std::size_t>(rawSize));
  uLongf rawLength = static_cast<uLongf>(rawSize);
  if (uncompress(raw.data(), &rawLength, reinterpret_cast<const Bytef*>(bytes.data() + r.pos),
                 static_cast<uLong>(packedSize)) != Z_OK) {
    return true;
  }
  const std::size_t count = rawLength / kEventBytes;
  out.events.reserve(count);
  for (std::size_t i = 0; i < count; ++i) {
    const unsigned char* p = raw.data() + i * kEventBytes;
    out.events.push_back(RunEvent{getInt(p), p[4], p[5]});
  }
  out.eventsRead = true;
  return true;
}

std::string nextRunFilePath(const std::string& folder, std::string_view speedrunName) {
  const std::string base = files::joinPath(folder, runFileBase(speedrunName));
  for (int n = 1; n <= kMaxRunFileNumber; ++n) {
    std::string path = base + text::formatInt(n) + ".zorrun";
    if (files::fileSize(path) == -1 || files::fileSize(path) == 0) return path;
  }
  return std::string();
}

std::string writeSpeedrunFile(Game& game) {
  const SpeedrunRecord* def = currentSpeedrunRecord(game);
  if (def == nullptr) return std::string();
  const std::string folder = game.session.dataPath("zordata/runs");
  files::createPath(folder);
  const std::string path = nextRunFilePath(folder, def->name);
  if (path.empty()) return std::string();
  const auto date = static_cast<int32_t>(static_cast<uint32_t>(dates::localSecondsSince1970()));
  const std::string bytes = encodeRunFile(def->name, game.random.speedrunSeed, date, game.run.events);
  if (!files::writeFileAtomic(path, bytes)) return std::string();
  return path;
}

std::string saveRunFile(Game& game, bool stopMarker) {
  std::vector<RunEvent>& events = game.run.events;
  if (!stopMarker) return writeSpeedrunFile(game);
  events.push_back(
      RunEvent{static_cast<int32_t>(static_cast<uint32_t>(game.session.frameCounter) + 1u), 0, run_event::Stop});
  std::string path = writeSpeedrunFile(game);
  events.pop_back();
  return path;
}

bool readSpeedrunFile(Game& game, const std::string& path) {
  SpeedrunState& run = game.run;
  run.events.clear();
  std::string bytes;
  if (!files::readFile(path, bytes, kMaxRunFileBytes)) return false;
  RunFileContents contents;
  if (!decodeRunFile(bytes, contents)) return false;
  game.random.runFileSeed = contents.seed;
  game.menu.currentSpeedrun = -1;
  const auto& runs = game.data.speedruns;
  for (std::size_t i = 0; i < runs.size(); ++i) {
    if (runs[i].name == contents.name) {
      game.menu.currentSpeedrun = static_cast<int32_t>(i);
      break;
    }
  }
  if (game.menu.currentSpeedrun < 0) return false;
  run.events = std::move(contents.events);
  run.replayFilePath = path;
  return true;
}

void recordRunInput(Game& game) {
  SpeedrunState& run = game.run;
  if (!run.recording) return;
  const Controls& c = game.controls;
  const int32_t frame = game.session.frameCounter;
  for (int control = 0; control < kControlCount; ++control) {
    if (!isRecorded(control)) continue;
    const bool now = c.table[control][c.currentColumn] != 0;
    const bool before = c.table[control][c.previousColumn] != 0;
    const auto index = static_cast<uint8_t>(control);
    if (frame == 0) {
      if (now) run.events.push_back(RunEvent{0, index, run_event::Down});
    } else if (now && !before) {
      run.events.push_back(RunEvent{frame, index, run_event::Down});
    } else if (!now && before) {
      run.events.push_back(RunEvent{frame, index, run_event::Up});
    }
  }
}

void replayRunInput(Game& game) {
  SpeedrunState& run = game.run;
  if (!game.random.replaying) return;
  if (game.app.menuState != menu_state::Playing && game.app.menuState != menu_state::Opening) return;
  Controls& c = game.controls;
  for (int control = 0; control < kControlCount; ++control) {
    if (isRecorded(control)) c.table[control][c.currentColumn] = c.table[control][c.previousColumn];
  }
  const int32_t count = static_cast<int32_t>(run.events.size());
  while (run.replayCursor >= 0 && run.replayCursor < count) {
    const RunEvent& e = run.events[static_cast<std::size_t>(run.replayCursor)];
    if (e.frame != game.session.frameCounter) break;
    if (e.kind == run_event::Stop) {
      finishRun(game, 0);
      return;
    }
    if (e.kind == run_event::EndOfRun) {
      run.replayCursor = -1;
      return;
    }
    // An index outside the control table is skipped.
    if (e.control < kControlCount) c.table[e.control][c.currentColumn] = e.kind & 1;
    run.replayCursor += 1;
    if (run.replayCursor >= count) run.replayCursor = -1;
  }
  if (run.replayCursor >= count) run.replayCursor = -1;
}

void stepRunInput(Game& game) {
  recordRunInput(game);
  replayRunInput(game);
}

}  // namespace zor
