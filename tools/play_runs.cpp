// Plays the game without a window: records speedruns from a plan of control
// states, replays run files to their end, and takes a screenshot of each zone's
// start. It runs the real start-up, frame loop, recording and replay on a
// stand-in machine whose clock only moves when the game sleeps.
//
//   zor_play_runs record <speedrun name> <plan file> <run file out> [-g game file]
//   zor_play_runs replay <run file> [-g game file]
//   zor_play_runs play <zone> <plan file> [-g game file]    outside any speedrun
//   zor_play_runs shots <folder> [-g game file]
//   zor_play_runs events <run file>      held controls as ranges of run frames
//
// Without -g the built-in game is played. With ZOR_PLAY_TITLE_SHOTS=folder,
// `replay` and `play` take a screenshot of each title text that appears, once
// it has faded in, as <zone>-<text>.png. `replay` exits with 0 when the run
// reaches its own `endspeedrun` and RESULTS stays on the screen ("FINISH"), 1
// otherwise.
//
// A plan is a text file with one step a line ("#" starts a comment):
//   hold <controls> until <condition>[ & <condition>...]
//   for <frames> <controls>          hold the controls for that many frames
//   tap <controls>                   one frame, then one frame with nothing held
//   expect <condition>[ & <condition>...]   stop the plan with an error unless they hold
// Controls: a comma list of left, right, jump, action, out, in, reset, or "-".
// Conditions (a leading "!" turns one round): x>=V, x<=V, y>=V, y<=V, level=N, zone=ID, gflag=N, ground, air,
// frames>=N (frames since the step began), deaths=N (deaths so far), finished, and of a named block
// NAME.x>=V, NAME.y<=V (and the other comparisons), NAME.solid, NAME.gone.
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "format/vocabulary.h"
#include "game/app/frame_loop.h"
#include "game/app/quit.h"
#include "game/app/startup.h"
#include "game/game.h"
#include "game/persist/run_file.h"
#include "game/menu/menu_state.h"
#include "game/persist/speedrun.h"
#include "game/world/objects.h"
#include "platform/files.h"
#include "platform/text.h"
#include "tests/game/app/fake_app_platform.h"

namespace {

namespace fs = std::filesystem;
using zor::Game;
using zor::testing::FakePlatform;

constexpr int kStepFrameLimit = 20000;   // a plan step that takes longer has gone wrong
constexpr int kReplayFrameLimit = 300000;

// The default key of each control the plans use.
const std::map<std::string, int> kPlanKeys = {
    {"left", zor::key::Left}, {"right", zor::key::Right}, {"jump", zor::key::Space}, {"action", zor::key::Return},
    {"out", zor::key::Up},    {"in", zor::key::Down},     {"reset", 'r'},
};

struct Condition {
  bool negate = false;
  std::string what;
  std::string op;
  std::string value;
};

struct Step {
  enum Kind { Hold, For, Tap, Expect } kind = Hold;
  std::vector<int> keys;
  std::vector<Condition> until;
  int frames = 0;
  int line = 0;
};

[[noreturn]] void fail(const std::string& message) {
  std::cerr << "zor_play_runs: " << message << "\n";
  std::exit(2);
}

std::vector<int> readKeys(const std::string& list, int line) {
  std::vector<int> keys;
  if (list == "-") return keys;
  for (const std::string& name : zor::text::split(list, ',')) {
    auto it = kPlanKeys.find(zor::text::trim(name));
    if (it == kPlanKeys.end()) fail("line " + std::to_string(line) + ": unknown control " + name);
    keys.push_back(it->second);
  }
  return keys;
}

Condition readPlainCondition(const std::string& word, int line) {
  for (const char* op : {">=", "<=", "="}) {
    const std::size_t at = word.find(op);
    if (at != std::string::npos) {
      return Condition{false, word.substr(0, at), op, word.substr(at + std::string(op).size())};
    }
  }
  if (word == "ground" || word == "air" || word == "finished") return Condition{false, word, "", ""};
  if (word.ends_with(".solid") || word.ends_with(".gone")) return Condition{false, word, "", ""};
  fail("line " + std::to_string(line) + ": unknown condition " + word);
}

// A condition, or with a leading "!" its opposite.
Condition readCondition(const std::string& written, int line) {
  const bool negate = !written.empty() && written[0] == '!';
  Condition c = readPlainCondition(negate ? written.substr(1) : written, line);
  c.negate = negate;
  return c;
}

std::vector<Step> readPlan(const std::string& path) {
  std::ifstream in(path);
  if (!in) fail("cannot read plan " + path);
  std::vector<Step> steps;
  std::string text;
  for (int line = 1; std::getline(in, text); ++line) {
    const std::size_t hash = text.find('#');
    if (hash != std::string::npos) text.resize(hash);
    std::istringstream words(text);
    std::string verb;
    if (!(words >> verb)) continue;
    Step s;
    s.line = line;
    std::string keys;
    if (verb == "hold" || verb == "expect") {
      if (verb == "hold") {
        std::string until;
        if (!(words >> keys >> until) || until != "until") fail("line " + std::to_string(line) + ": hold <controls> until ...");
        s.keys = readKeys(keys, line);
      } else {
        s.kind = Step::Expect;
      }
      std::string word;
      while (words >> word) {
        if (word != "&") s.until.push_back(readCondition(word, line));
      }
      if (s.until.empty()) fail("line " + std::to_string(line) + ": no condition");
    } else if (verb == "for") {
      s.kind = Step::For;
      if (!(words >> s.frames >> keys)) fail("line " + std::to_string(line) + ": for <frames> <controls>");
      s.keys = readKeys(keys, line);
    } else if (verb == "tap") {
      s.kind = Step::Tap;
      s.frames = 2;
      if (!(words >> keys)) fail("line " + std::to_string(line) + ": tap <controls>");
      s.keys = readKeys(keys, line);
    } else {
      fail("line " + std::to_string(line) + ": unknown step " + verb);
    }
    steps.push_back(s);
  }
  return steps;
}

bool holdsPlain(const Game& game, const Condition& c, int stepFrames) {
  const zor::ObjectRecord* p = game.world.player;
  auto number = [&](float have) {
    const float want = std::stof(c.value);
    if (c.op == ">=") return have >= want;
    if (c.op == "<=") return have <= want;
    return have == want;
  };
  if (c.what == "finished") return game.run.runFinished == 1;
  if (c.what == "frames") return number(static_cast<float>(stepFrames));
  const std::size_t dot = c.what.find('.');
  if (dot != std::string::npos) {
    const std::string field = c.what.substr(dot + 1);
    const zor::ObjectRecord* o = zor::findObject(const_cast<zor::World&>(game.world), c.what.substr(0, dot));
    if (field == "gone") return o == nullptr || o->has(zor::format::flag::Killed);
    if (o == nullptr) fail("no object " + c.what.substr(0, dot));
    if (field == "solid") return o->has(zor::format::flag::Solid);
    if (field == "x") return number(o->x);
    if (field == "y") return number(o->y);
    fail("unknown field " + c.what);
  }
  if (c.what == "deaths") return number(static_cast<float>(game.session.deaths));
  if (c.what == "gflag") return game.gameFlags.isSet(std::stoi(c.value));
  if (c.what == "zone") return game.world.currentZoneId == zor::text::toLower(c.value);
  if (p == nullptr) return false;
  if (c.what == "x") return number(p->x);
  if (c.what == "y") return number(p->y);
  if (c.what == "level") return number(static_cast<float>(p->level));
  if (c.what == "ground") return !p->has(zor::format::flag::Airborne) && !game.world.playerDead;
  if (c.what == "air") return p->has(zor::format::flag::Airborne);
  fail("unknown condition " + c.what);
}

// The run has ended through its own `endspeedrun` and RESULTS is on the screen
// (a menu that a zone load closes again would let the run go on).
bool resultsShown(const Game& game) {
  return game.run.runFinished == 1 && game.app.menuScreen == zor::menu_screen::Results &&
         game.app.menuState == zor::menu_state::Shown;
}

bool holds(const Game& game, const Condition& c, int stepFrames) {
  return holdsPlain(game, c, stepFrames) != c.negate;
}

std::string describe(const Game& game) {
  std::ostringstream s;
  s << "zone " << game.world.currentZoneId << ", frame " << game.session.frameCounter;
  if (const zor::ObjectRecord* p = game.world.player) {
    s << ", player at " << p->x << "," << p->y << " level " << int{p->level}
      << (p->has(zor::format::flag::Airborne) ? " (air)" : " (ground)");
  }
  s << ", deaths " << game.session.deaths << ", zone flags " << game.world.zoneFlags;
  // ZOR_PLAY_WATCH names blocks whose places the trace shows too.
  if (const char* watch = std::getenv("ZOR_PLAY_WATCH")) {
    for (const std::string& name : zor::text::split(watch, ',')) {
      const zor::ObjectRecord* o = zor::findObject(const_cast<zor::World&>(game.world), name);
      if (o) s << "; " << name << " " << o->x << "," << o->y << (o->has(zor::format::flag::Killed) ? " killed" : "");
    }
  }
  return s.str();
}

// A stand-in machine in a fresh folder that serves as the program's folder, so
// that saves, runs and screenshots land there.
struct Session {
  fs::path folder;
  FakePlatform platform;
  std::unique_ptr<Game> game = std::make_unique<Game>();

  Session() {
    char name[] = "/tmp/zor_play_runsXXXXXX";
    if (!mkdtemp(name)) fail("cannot make a temporary folder");
    folder = name;
    platform.fakeScreen.modes = {{640, 480, 32, 60}};
  }
  ~Session() {
    std::error_code ec;
    fs::remove_all(folder, ec);
  }

  // Start-up as the program does it, with the given command line; false when
  // the game ended during start-up.
  bool start(std::vector<std::string> args, const std::string& gameFile) {
    if (!gameFile.empty()) {
      args.push_back("-g");
      args.push_back(gameFile);
    }
    zor::ProgramArgs pa;
    pa.args = args;
    pa.startFolder = fs::current_path().string();
    pa.programFolder = folder.string() + "/";
    try {
      zor::attachPlatform(*game, platform);
      zor::startGame(*game, platform, pa);
    } catch (const zor::ProgramExit&) {
      return false;
    }
    return true;
  }

  bool pass() {
    try {
      return zor::runFramePass(*game, platform);
    } catch (const zor::ProgramExit&) {
      return false;
    }
  }
};

// Screenshots of the titles as they appear (ZOR_PLAY_TITLE_SHOTS=folder).
struct TitleShots {
  static constexpr int kFadeInPasses = 45;
  std::string folder;
  std::map<std::string, int> seen;  // title text -> passes since it appeared (-1: taken)

  TitleShots() {
    if (const char* f = std::getenv("ZOR_PLAY_TITLE_SHOTS")) {
      folder = f;
      fs::create_directories(folder);
    }
  }

  void afterPass(Game& game) {
    if (folder.empty()) return;
    for (const zor::TitleRecord& t : game.script.titles) {
      auto [it, added] = seen.try_emplace(t.text, 0);
      if (it->second < 0 || ++it->second < kFadeInPasses) continue;
      it->second = -1;
      std::string name = game.world.currentZoneId + "-";
      for (char c : t.text) name += std::isalnum(static_cast<unsigned char>(c)) ? static_cast<char>(std::tolower(c)) : '_';
      std::string written;
      if (zor::takeScreenshot(game, &written)) {
        fs::copy_file(written, fs::path(folder) / (name + ".png"), fs::copy_options::overwrite_existing);
      }
    }
  }
};

// Feeds the plan's control states into the keyboard before each reading.
struct PlanDriver {
  const std::vector<Step>& plan;
  Game& game;
  std::size_t stepIndex = 0;
  int stepFrames = 0;
  bool trace = std::getenv("ZOR_PLAY_TRACE") != nullptr;

  bool done() const { return stepIndex >= plan.size(); }

  void feed(FakePlatform& p) {
    p.fakeInput.keys.clear();
    if (trace) std::cerr << "step " << (done() ? 0 : plan[stepIndex].line) << ": " << describe(game) << "\n";
    // Nothing is pressed during a run's countdown; the plan starts with the run.
    if (game.app.runNumber != 0 && game.session.frameCounter < zor::kRunCountdownFrames) return;
    while (!done()) {
      const Step& st = plan[stepIndex];
      bool finished = false;
      if (st.kind == Step::Expect) {
        for (const Condition& c : st.until) {
          if (!holds(game, c, stepFrames)) fail("plan line " + std::to_string(st.line) + " does not hold: " + describe(game));
        }
        finished = true;
      } else if (st.kind == Step::Hold) {
        finished = true;
        for (const Condition& c : st.until) finished = finished && holds(game, c, stepFrames);
      } else {
        finished = stepFrames >= st.frames;
      }
      if (!finished) {
        if (stepFrames > kStepFrameLimit) fail("plan line " + std::to_string(st.line) + " never ends: " + describe(game));
        const bool release = st.kind == Step::Tap && stepFrames >= 1;
        if (!release) p.fakeInput.keys.insert(st.keys.begin(), st.keys.end());
        ++stepFrames;
        return;
      }
      ++stepIndex;
      stepFrames = 0;
    }
  }
};

int record(const std::string& speedrun, const std::string& planPath, const std::string& out,
           const std::string& gameFile) {
  const std::vector<Step> plan = readPlan(planPath);
  Session s;
  if (!s.start({"-z", "first"}, gameFile)) fail("the game did not start");
  Game& game = *s.game;
  game.menu.currentSpeedrun = -1;
  for (std::size_t i = 0; i < game.data.speedruns.size(); ++i) {
    if (game.data.speedruns[i].name == zor::text::toUpper(speedrun)) game.menu.currentSpeedrun = static_cast<int32_t>(i);
  }
  if (game.menu.currentSpeedrun < 0) fail("no speedrun named " + speedrun);
  zor::startSpeedrun(game, 0);

  PlanDriver driver{plan, game};
  s.platform.beforeKeyboard = [&](FakePlatform& p, int) { driver.feed(p); };
  long passes = 0;
  while (!resultsShown(game)) {
    if (!s.pass()) fail("the game ended: " + describe(game));
    if (++passes > kReplayFrameLimit) fail("the run did not finish: " + describe(game));
    if (driver.done() && game.run.runFinished != 1) fail("the plan ended before the run: " + describe(game));
  }
  const std::string written = zor::saveRunFile(game, false);
  if (written.empty()) fail("the run file could not be written");
  fs::copy_file(written, out, fs::copy_options::overwrite_existing);
  std::cout << "recorded " << out << ": " << game.session.frameCounter << " frames, " << game.session.deaths
            << " deaths, " << game.run.events.size() << " events\n";
  return 0;
}

// Plays a plan outside any speedrun from a zone's default entrance; 0 once the
// plan has been carried out to its last step.
int play(const std::string& zone, const std::string& planPath, const std::string& gameFile) {
  const std::vector<Step> plan = readPlan(planPath);
  Session s;
  if (!s.start({"-z", zone}, gameFile)) fail("the game did not start");
  Game& game = *s.game;
  PlanDriver driver{plan, game};
  TitleShots titleShots;
  s.platform.beforeKeyboard = [&](FakePlatform& p, int) { driver.feed(p); };
  for (long passes = 0; !driver.done(); ++passes) {
    if (!s.pass()) fail("the game ended: " + describe(game));
    titleShots.afterPass(game);
    if (passes > kReplayFrameLimit) fail("the plan did not end: " + describe(game));
  }
  std::cout << "played " << planPath << ": " << describe(game) << "\n";
  return 0;
}

int replay(const std::string& runFile, const std::string& gameFile) {
  Session s;
  const std::string path = fs::absolute(runFile).string();
  if (!s.start({"-r", path}, gameFile)) fail("the game did not start");
  Game& game = *s.game;
  if (!game.random.replaying) {
    std::cerr << "replay: " << runFile << " was not accepted\n";
    return 1;
  }
  // ZOR_PLAY_SHOTS=folder:n takes a screenshot every n frame passes.
  std::string shotFolder;
  long shotEvery = 0;
  if (const char* shots = std::getenv("ZOR_PLAY_SHOTS")) {
    shotFolder = zor::text::field(shots, ':', 0);
    shotEvery = std::atol(zor::text::field(shots, ':', 1).c_str());
    fs::create_directories(shotFolder);
  }
  TitleShots titleShots;
  for (long passes = 0; passes < kReplayFrameLimit; ++passes) {
    if (resultsShown(game)) {
      std::cout << "replay finished: " << describe(game) << "\n";
      return 0;
    }
    if (game.random.replaying && game.run.replayCursor < 0) {
      std::cerr << "replay lost its events: " << describe(game) << "\n";
      return 1;
    }
    if (!s.pass()) break;
    titleShots.afterPass(game);
    if (shotEvery > 0 && passes % shotEvery == 0) {
      std::string written;
      if (zor::takeScreenshot(game, &written)) {
        fs::copy_file(written, fs::path(shotFolder) / ("frame" + std::to_string(game.session.frameCounter) + ".png"),
                      fs::copy_options::overwrite_existing);
      }
    }
  }
  std::cerr << "replay did not reach its end: " << describe(game) << "\n";
  return 1;
}

// The held controls of a run file as ranges of run frames [from, to), in the
// form of the golden run's input table (tests/game/persist/golden_run_test.cpp).
int events(const std::string& runFile) {
  std::string bytes;
  if (!zor::files::readFile(runFile, bytes, zor::kMaxRunFileBytes)) fail("cannot read " + runFile);
  zor::RunFileContents run;
  if (!zor::decodeRunFile(bytes, run) || !run.eventsRead) fail(runFile + " is not a run file");
  const char* const names[zor::kControlCount] = {"Left", "Right", "FullScreen", "Sound", "Music", "Screenshot", "Jump",
                                                 "Action", "LeapOut", "LeapIn", "Zoom", "Reset", "Pause"};
  auto range = [&](int32_t from, int32_t to, int control) {
    return "{" + std::to_string(from) + ", " + std::to_string(to) + ", control::" + names[control % zor::kControlCount] + "}";
  };
  std::map<int, int32_t> downSince;
  int32_t end = 0;
  std::vector<std::string> ranges;
  for (const zor::RunEvent& e : run.events) {
    if (e.kind == zor::run_event::EndOfRun) {
      end = e.frame;
      break;
    }
    if (e.kind == zor::run_event::Down) {
      downSince[e.control] = e.frame;
    } else if (e.kind == zor::run_event::Up && downSince.count(e.control)) {
      ranges.push_back(range(downSince[e.control], e.frame, e.control));
      downSince.erase(e.control);
    }
  }
  for (const auto& [control, from] : downSince) {
    ranges.push_back(range(from, end, control));
  }
  for (const std::string& r : ranges) std::cout << r << ",\n";
  return 0;
}

int shots(const std::string& folder, const std::string& gameFile) {
  std::vector<std::string> zones;
  {
    Session probe;
    if (!probe.start({"-z", "first"}, gameFile)) fail("the game did not start");
    const zor::xml::Node* root = probe.game->data.document.root();
    for (const zor::xml::Node* n = root ? root->firstElement() : nullptr; n; n = n->nextElement()) {
      if (zor::text::toLower(n->name) == "zone") zones.push_back(n->attr("id"));
    }
  }
  fs::create_directories(folder);
  for (const std::string& zone : zones) {
    Session s;
    if (!s.start({"-z", zone}, gameFile)) fail("zone " + zone + " did not start");
    for (int i = 0; i < 90; ++i) s.pass();
    std::string written;
    if (!zor::takeScreenshot(*s.game, &written)) fail("no screenshot of " + zone);
    fs::copy_file(written, fs::path(folder) / (zone + ".png"), fs::copy_options::overwrite_existing);
    std::cout << zone << ".png\n";
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  std::string gameFile;
  for (std::size_t i = 0; i + 1 < args.size(); ++i) {
    if (args[i] == "-g") {
      gameFile = fs::absolute(args[i + 1]).string();
      args.erase(args.begin() + static_cast<long>(i), args.begin() + static_cast<long>(i) + 2);
      break;
    }
  }
  if (args.size() == 4 && args[0] == "record") return record(args[1], args[2], args[3], gameFile);
  if (args.size() == 2 && args[0] == "replay") return replay(args[1], gameFile);
  if (args.size() == 3 && args[0] == "play") return play(args[1], args[2], gameFile);
  if (args.size() == 2 && args[0] == "shots") return shots(args[1], gameFile);
  if (args.size() == 2 && args[0] == "events") return events(args[1]);
  std::cerr << "usage: zor_play_runs record <speedrun> <plan> <run file> [-g game]\n"
               "       zor_play_runs replay <run file> [-g game]\n"
               "       zor_play_runs play <zone> <plan> [-g game]\n"
               "       zor_play_runs shots <folder> [-g game]\n"
               "       zor_play_runs events <run file>\n";
  return 2;
}
