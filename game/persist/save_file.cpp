#include "game/persist/save_file.h"

#include <algorithm>
#include <vector>

#include "format/values.h"
#include "game/game.h"
#include "platform/files.h"
#include "platform/prefs_file.h"
#include "platform/text.h"

namespace zor {
namespace {

constexpr const char* kGroup = "Gamestate";
constexpr int32_t kFirstFlagCapacity = 128;

// One "NAME,best,deaths,time,fewest" record. A field that is not a number reads
// as 0 and a missing one gives 0; fields beyond the fifth are passed over. A
// value no writer makes is held to what the game can show: a best time below
// -1 (unlocked, no record) reads as -1, a negative count or time as 0.
void readSpeedrunRecord(Game& game, std::string_view record) {
  const std::vector<std::string> fields = text::split(record, ',');
  if (fields.empty() || fields[0].empty()) return;
  int32_t v[4] = {0, 0, 0, 0};
  for (std::size_t i = 1; i < fields.size() && i <= 4; ++i) v[i - 1] = format::readInt(fields[i]);
  v[0] = std::max(v[0], -1);
  for (int i = 1; i < 4; ++i) v[i] = std::max(v[i], 0);

  const std::string name = text::toUpper(fields[0]);
  for (SpeedrunRecord& run : game.data.speedruns) {
    if (run.name != name) continue;
    const int32_t t = v[0];
    if (t != 0 && run.bestTime == 0) game.session.unlockedSpeedruns += 1;
    if (t == 0 && run.bestTime != 0) game.session.unlockedSpeedruns -= 1;
    run.bestTime = t;
    run.bestTimeDeaths = v[1];
    run.fewestDeathsTime = v[2];
    run.fewestDeaths = v[3];
    return;
  }
}

void readSave(Game& game, const prefs::PrefsReader& reader, int skipRecords) {
  Session& session = game.session;
  game.gameFlags.clear();
  session.attempts = 1;
  session.deaths = 0;
  session.frameCounter = 0;

  game.world.currentZoneId = reader.readString("LevelID", "first");
  game.world.entranceName = reader.readString("Entrance", "");
  // Read as 64-bit values and cut to 32 bits.
  session.attempts = static_cast<int32_t>(reader.readInt("Attempts", 1));
  session.deaths = static_cast<int32_t>(reader.readInt("Deaths", 0));
  session.frameCounter = static_cast<int32_t>(reader.readInt("Frames", 0));

  game.gameFlags.allocate(kFirstFlagCapacity);
  std::string flagList;
  if (!session.gameFlagOverride.empty()) {
    flagList = session.gameFlagOverride;
    session.gameFlagOverride.clear();  // it applies to the first reading only
  } else {
    flagList = reader.readString("GFlags", "");
  }
  if (!flagList.empty() && flagList != "x") {
    for (const std::string& item : text::split(flagList, ',')) {
      const std::string t = text::trim(item);
      if (t.empty()) continue;
      // Negative numbers and numbers beyond the flag limit are refused there.
      game.gameFlags.set(format::readInt(t), true);
    }
  }

  if (skipRecords == 0) {
    const std::string runs = reader.readString("Speedruns", "");
    for (const std::string& record : text::split(runs, ';')) {
      if (!record.empty()) readSpeedrunRecord(game, record);
    }
  }
}

}  // namespace

std::size_t saveFileByteLimit(const GameData& data) {
  // The comments, the group header, the keys with " = " and their line ends, and
  // three counters of at most 11 characters (sign and ten digits).
  constexpr std::size_t kFixedBytes = 512;
  constexpr std::size_t kRecordNumbersBytes = 4 * 12 + 1;  // ",-2147483648" four times, ";"
  std::size_t bytes = kFixedBytes + 2 * kMaxSavedNameBytes + kMaxFlagListBytes;
  for (const SpeedrunRecord& run : data.speedruns) bytes += run.name.size() + kRecordNumbersBytes;
  return bytes;
}

void readSaveFile(Game& game, int skipRecords) {
  prefs::PrefsReader reader;
  reader.open(game.data.saveFilePath, saveFileByteLimit(game.data));  // missing: every key takes its default
  reader.selectGroup(kGroup);
  readSave(game, reader, skipRecords);
}

void readSaveText(Game& game, std::string_view text, int skipRecords) {
  prefs::PrefsReader reader;
  reader.parse(text);
  reader.selectGroup(kGroup);
  readSave(game, reader, skipRecords);
}

std::string buildSaveText(const Game& game) {
  const World& world = game.world;
  const Session& session = game.session;
  prefs::PrefsWriter w;
  w.comment("Zorlan 1.3 Save File");
  w.comment("");
  w.group(kGroup);
  std::string zone = world.currentZoneId;
  std::string entrance = world.entranceName;
  if (!world.quitZone.empty()) {
    zone = world.quitZone;
    entrance = world.quitEntrance == "-" ? std::string() : world.quitEntrance;
  }
  if (zone.size() > kMaxSavedNameBytes || entrance.size() > kMaxSavedNameBytes) {
    zone = "first";
    entrance.clear();
  }
  w.key("LevelID", zone);
  w.key("Entrance", entrance);
  w.key("Attempts", session.attempts);
  w.key("Deaths", session.deaths);
  w.key("Frames", session.frameCounter);

  std::string flags;
  for (int32_t n = 0; n < game.gameFlags.capacity; ++n) {
    if (game.gameFlags.isSet(n)) {
      flags += text::formatInt(n);
      flags += ',';
    }
  }
  w.key("GFlags", flags);

  std::string runs;
  for (const SpeedrunRecord& run : game.data.speedruns) {
    if (run.bestTime == 0) continue;
    runs += text::toUpper(run.name);
    for (int32_t v : {run.bestTime, run.bestTimeDeaths, run.fewestDeathsTime, run.fewestDeaths}) {
      runs += ',';
      runs += text::formatInt(v);
    }
    runs += ';';
  }
  w.key("Speedruns", runs);
  w.comment("");
  return w.text();
}

bool writeSaveFile(const Game& game) {
  const std::string& path = game.data.saveFilePath;
  if (path.empty()) return false;
  files::createPath(files::folderPart(path));
  return files::writeFileAtomic(path, buildSaveText(game));
}

}  // namespace zor
