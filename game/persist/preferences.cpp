#include "game/persist/preferences.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <vector>

#include "format/values.h"
#include "game/game.h"
#include "platform/files.h"
#include "platform/prefs_file.h"
#include "platform/text.h"

namespace zor {
namespace {

constexpr const char* kPrefsRelativePath = "zordata/saves/pref-mac.ini";
constexpr const char* kFileHeader = "Zorlan 1.3";

constexpr int32_t kMinKeyCode = 1;
constexpr int32_t kMaxKeyCode = 255;
constexpr int32_t kMinButton = 0;
constexpr int32_t kMaxButton = 32;
constexpr int kFirstMappedButton = 6;  // controls 6 to 12 have a gamepad button

// A value of the selected group, or the default when it is absent or outside lo..hi.
int32_t readRanged(const prefs::PrefsReader& r, const char* key, int32_t def, int64_t lo, int64_t hi) {
  int64_t v = r.readInt(key, def);
  return (v < lo || v > hi) ? def : static_cast<int32_t>(v);
}

// A switch whose meaning is "not zero".
int32_t readSwitch(const prefs::PrefsReader& r, const char* key, int32_t def) {
  return r.readInt(key, def) != 0 ? 1 : 0;
}

std::string twoDigits(int n) {
  std::string s = text::formatInt(n);
  return s.size() < 2 ? "0" + s : s;
}

}  // namespace

UserFolderEnv userFolderEnvFromProcess() {
  UserFolderEnv env;
  if (const char* x = std::getenv("XDG_DATA_HOME")) env.xdgDataHome = x;
  if (const char* h = std::getenv("HOME")) env.home = h;
  if (env.home.empty()) {
    struct passwd pw{};
    struct passwd* found = nullptr;
    std::vector<char> buffer(16384);
    if (getpwuid_r(getuid(), &pw, buffer.data(), buffer.size(), &found) == 0 && found && found->pw_dir) {
      env.home = found->pw_dir;
    }
  }
  return env;
}

std::string getUserDataFolder(const UserFolderEnv& env, const std::string& company, const std::string& product,
                              bool create) {
  std::string path;
  if (!env.xdgDataHome.empty() && env.xdgDataHome.front() == '/') {
    path = env.xdgDataHome;
  } else if (!env.home.empty()) {
    path = env.home + "/.local/share";
  } else {
    return std::string();
  }
  auto step = [&](const std::string& part) {
    path += part;
    path += "/";
    if (create) files::createPath(path);
  };
  step("");
  if (!product.empty()) step(product);
  if (!company.empty()) step(company);
  while (path.find("//") != std::string::npos) path = text::replaceAll(path, "//", "/");
  return path;
}

std::string chooseDataFolder(const std::string& programFolder, const UserFolderEnv& env) {
  const std::string zordata = programFolder + "zordata";
  const bool installed = files::fileExists(programFolder + kInstalledMark);
  if (!installed && files::createPath(zordata) && files::folderWritable(zordata, "test.tmp")) return programFolder;
  return getUserDataFolder(env, "Zorlan", "", true);
}

std::string prefsPathFor(const std::string& dataFolder) { return dataFolder + kPrefsRelativePath; }

void chooseDataFolder(Game& game, const std::string& programFolder, const UserFolderEnv& env) {
  game.session.dataFolder = chooseDataFolder(programFolder, env);
  game.session.prefsPath = prefsPathFor(game.session.dataFolder);
}

void readPrefsFile(Preferences& prefs, Controls& controls, const std::string& path) {
  prefs::PrefsReader r;
  r.open(path);  // a missing file: every read below gives its default

  r.selectGroup("Audio");
  prefs.sound = readRanged(r, "Sound", 1, 0, 1);
  prefs.music = readRanged(r, "Music", 1, 0, 1);
  prefs.disableAudio = readSwitch(r, "DisableAudio", 0);
  prefs.disableMusic = readSwitch(r, "DisableMusic", 0);
  prefs.chosenSound.reset();
  prefs.chosenMusic.reset();
  prefs.chosenDisableMusic.reset();

  r.selectGroup("Video");
  // The size is a pair: when either side is not believed, both take their defaults.
  const int64_t width = r.readInt("ScreenWidth", kDefaultScreenWidth);
  const int64_t height = r.readInt("ScreenHeight", kDefaultScreenHeight);
  if (width >= kMinScreenWidth && width <= kMaxScreenSide && height >= kMinScreenHeight && height <= kMaxScreenSide) {
    prefs.screenWidth = static_cast<int32_t>(width);
    prefs.screenHeight = static_cast<int32_t>(height);
  } else {
    prefs.screenWidth = kDefaultScreenWidth;
    prefs.screenHeight = kDefaultScreenHeight;
  }
  const int32_t depth = readRanged(r, "ScreenDepth", kDefaultScreenDepth, 16, 32);
  prefs.screenDepth = (depth == 16 || depth == 24 || depth == 32) ? depth : kDefaultScreenDepth;
  prefs.windowed = 1;  // the game always starts in a window
  prefs.pauseOnUnfocus = readSwitch(r, "PauseOnUnfocus", 1);
  prefs.dwmEnableComposition = readSwitch(r, "DwmEnableComposition", 1);
  prefs.screenWrapCheck = readSwitch(r, "ScreenWrapCheck", 1);

  r.selectGroup("Input");
  controls.joystickLeap = readRanged(r, "JoystickLeap", 1, 0, 2);
  for (const prefs::Entry* e : r.groupEntries()) {
    if (e->key.size() < 9 || e->key.compare(0, 9, "ButtonMap") != 0) continue;
    const int32_t n = format::readInt(std::string_view(e->key).substr(9));
    if (n < kFirstMappedButton || n >= kControlCount) continue;
    const int64_t b = format::readInt64(e->value);
    if (b >= kMinButton && b <= kMaxButton) controls.buttons[static_cast<std::size_t>(n)] = static_cast<int32_t>(b);
  }
  for (int i = 0; i < kControlCount; ++i) {
    const std::size_t k = static_cast<std::size_t>(i);
    controls.keyCodes[k] = readRanged(r, ("KeyCode" + twoDigits(i)).c_str(), controls.keyCodes[k], kMinKeyCode,
                                      kMaxKeyCode);
  }
}

std::string buildPrefsText(const Preferences& prefs, const Controls& controls) {
  prefs::PrefsWriter w;
  w.comment(std::string(kFileHeader) + " Pref File");
  w.comment("");
  w.group("Audio");
  w.key("Sound", prefs.chosenSound.value_or(prefs.sound));
  w.key("Music", prefs.chosenMusic.value_or(prefs.music));
  w.key("DisableAudio", prefs.disableAudio);
  w.key("DisableMusic", prefs.chosenDisableMusic.value_or(prefs.disableMusic));
  w.comment("");
  w.group("Video");
  w.key("ScreenWidth", prefs.screenWidth);
  w.key("ScreenHeight", prefs.screenHeight);
  w.key("ScreenDepth", prefs.screenDepth);
  w.key("Windowed", prefs.windowed);
  w.key("PauseOnUnfocus", prefs.pauseOnUnfocus);
  w.comment("");
  w.group("Input");
  w.key("JoystickLeap", controls.joystickLeap);
  for (int i = kFirstMappedButton; i < kControlCount; ++i) {
    w.key("ButtonMap" + twoDigits(i), controls.buttons[static_cast<std::size_t>(i)]);
  }
  for (int i = 0; i < kControlCount; ++i) {
    w.key("KeyCode" + twoDigits(i), controls.keyCodes[static_cast<std::size_t>(i)]);
  }
  w.comment("");
  return w.text();
}

bool writePrefsFile(const Preferences& prefs, const Controls& controls, const std::string& path) {
  if (path.empty()) return false;
  files::createPath(files::folderPart(path));
  return files::writeFileAtomic(path, buildPrefsText(prefs, controls));
}

void readPrefsFile(Game& game) { readPrefsFile(game.prefs, game.controls, game.session.prefsPath); }

bool writePrefsFile(const Game& game) { return writePrefsFile(game.prefs, game.controls, game.session.prefsPath); }

void applyAudioFallback(Preferences& prefs) {
  if (!prefs.chosenSound) prefs.chosenSound = prefs.sound;
  if (!prefs.chosenMusic) prefs.chosenMusic = prefs.music;
  if (!prefs.chosenDisableMusic) prefs.chosenDisableMusic = prefs.disableMusic;
  prefs.sound = 0;
  prefs.music = 0;
  prefs.disableMusic = 1;
}

void applyMusicDisabled(Preferences& prefs) {
  if (!prefs.chosenMusic) prefs.chosenMusic = prefs.music;
  prefs.music = 0;
}

void noteScreenOpened(Preferences& prefs, int32_t width, int32_t height, int32_t depth) {
  prefs.screenWidth = width;
  prefs.screenHeight = height;
  prefs.screenDepth = depth;
}

void noteScreenFailed(Preferences& prefs, int32_t width, int32_t height) {
  if (width == prefs.screenWidth && height == prefs.screenHeight) {
    prefs.screenWidth = kDefaultScreenWidth;
    prefs.screenHeight = kDefaultScreenHeight;
    prefs.screenDepth = kDefaultScreenDepth;
  }
}

}  // namespace zor
