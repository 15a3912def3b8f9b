#include "game/load/game_file.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <cmath>
#include <cstdint>
#include <filesystem>
#include <limits>
#include <string>
#include <utility>
#include <vector>

#include "game/app/quit.h"
#include "game/game.h"
#include "game/load/builtin_game.h"
#include "game/load/zone_loader.h"
#include "game/world/objects.h"
#include "platform/text.h"
#include "platform/xml.h"
#include "tests/game/app/fake_app_platform.h"
#include "tests/game/audio/fake_sound_output.h"

namespace zor {
namespace {

namespace fs = std::filesystem;

const std::string kFixtures = std::string(ZOR_FIXTURES) + "/gamefiles/";

// A fresh game on a fake machine that records the questions asked and answers
// them, and a sound layer that records the loads into effect slots.
struct Harness {
  struct AskingPlatform : testing::FakePlatform {
    Harness* harness = nullptr;
    bool askYesNo(const std::string& title, const std::string& text) override {
      harness->questions.emplace_back(title, text);
      return harness->answer;
    }
  };
  Game game;
  AskingPlatform platform;
  testing::FakeSoundOutput sound;
  int fatalCalls = 0;  // fatal errors, each of which ended the program
  std::vector<std::pair<std::string, std::string>> questions;  // title, text
  bool answer = false;
  std::vector<std::pair<int, std::string>>& soundLoads = sound.slotLoads;  // slot, path

  Harness() {
    platform.harness = this;
    game.platform = &platform;
    game.sounds.attach(sound);
  }

  // Loads the game file (or the built-in game); a fatal error ends the program.
  void load() {
    endsOnFatal([this] { loadGameFile(game); });
  }
  void load(const unsigned char* builtin, std::size_t size) {
    endsOnFatal([&] { loadGameFile(game, builtin, size); });
  }
  template <typename F>
  void endsOnFatal(F f) {
    try {
      f();
    } catch (const ProgramExit& exit) {
      EXPECT_EQ(exit.status, 1);
      ++fatalCalls;
    }
  }

  // Parses a game text in memory and reads its game-wide part.
  void read(const std::string& xmlText) {
    xml::ParseError error;
    ASSERT_TRUE(game.data.document.parse(xmlText, &error)) << error.message;
    readGameData(game);
  }
};

// An empty folder of its own, removed afterwards.
struct TempFolder {
  fs::path path;
  explicit TempFolder(const std::string& name) {
    path = fs::path(::testing::TempDir()) / ("zor_game_file_" + name);
    fs::remove_all(path);
    fs::create_directories(path);
  }
  ~TempFolder() { fs::remove_all(path); }
  std::string prefix() const { return path.string() + "/"; }
  bool isEmpty() const { return fs::is_empty(path); }
};

// A built-in block: 32-bit little-endian length, then the zlib stream.
std::vector<unsigned char> packBlock(const std::string& text, uint32_t statedLength) {
  uLongf size = compressBound(static_cast<uLong>(text.size()));
  std::vector<unsigned char> packed(size);
  EXPECT_EQ(compress(packed.data(), &size, reinterpret_cast<const Bytef*>(text.data()),
                     static_cast<uLong>(text.size())),
            Z_OK);
  packed.resize(size);
  std::vector<unsigned char> block;
  for (int i = 0; i < 4; ++i) block.push_back(static_cast<unsigned char>(statedLength >> (8 * i)));
  for (unsigned char b : packed) block.push_back(b);
  return block;
}
std::vector<unsigned char> packBlock(const std::string& text) {
  return packBlock(text, static_cast<uint32_t>(text.size()));
}

std::string classXml(const std::string& attributes) {
  return "<zorlan><class name=\"c\" " + attributes + "/></zorlan>";
}

// ---------------------------------------------------------------------------
// Classes

struct BrakeCase {
  const char* attributes;
  float expected;
};

class ClassBrake : public ::testing::TestWithParam<BrakeCase> {};

TEST_P(ClassBrake, DerivesTheBrakingFactor) {
  Harness h;
  h.read(classXml(GetParam().attributes));
  ASSERT_EQ(h.game.data.classes.count("c"), 1u);
  const float brake = h.game.data.classes.at("c").brake;
  EXPECT_TRUE(std::isfinite(brake));
  EXPECT_FLOAT_EQ(brake, GetParam().expected) << GetParam().attributes;
}

INSTANTIATE_TEST_SUITE_P(
    GameFile, ClassBrake,
    ::testing::Values(
        BrakeCase{"acc=\"3\"", 0.5f},                 // absent: 1 / sqrt(|acc1| + 1)
        BrakeCase{"acc=\"-3\"", 0.5f},                // the absolute value of acc1
        BrakeCase{"", 1.0f / std::sqrt(1.1f)},        // default acc1 0.1
        BrakeCase{"acc=\"3\" brake=\"0\"", 0.5f},     // written 0 derives too
        BrakeCase{"acc=\"3\" brake=\"NaN\"", 0.5f},   // so does NaN
        BrakeCase{"acc=\"3\" brake=\" \"", 0.5f},     // blank reads as 0
        BrakeCase{"brake=\"4\"", 0.25f},              // above 1: inverted as it is
        BrakeCase{"brake=\"1\"", 0.5f},               // 1 is raised to 2
        BrakeCase{"brake=\"0.25\"", 0.8f},            // raised to 1.25
        BrakeCase{"brake=\"0.5\"", 1.0f / 1.5f},      // raised to 1.5
        BrakeCase{"brake=\"-0.5\"", 1.0f / 1.5f},     // raised by two steps to 1.5
        BrakeCase{"brake=\"-7.75\"", 1.0f / 1.25f},   // many steps at once
        BrakeCase{"brake=\"-1e30\"", 1.0f},           // no whole step counts any more
        BrakeCase{"brake=\"+Infinity\"", 0.0f},
        BrakeCase{"acc=\"3\" brake=\"-Infinity\"", 0.5f},  // cannot be raised: derived
        BrakeCase{"acc=\"NaN\" brake=\"-infinity\"", 1.0f / std::sqrt(1.1f)},
        BrakeCase{"acc=\"Infinity\"", 0.0f}));

TEST(GameFile, DeriveBrakeIsAlwaysAFactorBetweenZeroAndOne) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float inf = std::numeric_limits<float>::infinity();
  const float values[] = {0.0f, -0.0f, nan, inf, -inf, 1e-30f, -1e-30f, 0.999999f,
                          1.0f, 1.000001f, -16777216.0f, -3e38f, 3e38f, -1.0f};
  const float accs[] = {0.1f, 0.0f, nan, inf, -inf, 1e30f};
  for (float b : values) {
    for (float a : accs) {
      const float r = deriveBrake(b, a);
      EXPECT_TRUE(std::isfinite(r)) << b << " " << a;
      EXPECT_GE(r, 0.0f) << b << " " << a;
      EXPECT_LE(r, 1.0f) << b << " " << a;
    }
  }
}

struct AccCase {
  const char* acc;
  float acc1;
  float acc2;
};

class ClassAcc : public ::testing::TestWithParam<AccCase> {};

TEST_P(ClassAcc, ReadsOneOrTwoAccelerations) {
  Harness h;
  h.read(classXml(std::string("acc=\"") + GetParam().acc + "\""));
  const ClassRecord& c = h.game.data.classes.at("c");
  EXPECT_FLOAT_EQ(c.acc1, GetParam().acc1);
  EXPECT_FLOAT_EQ(c.acc2, GetParam().acc2);
}

INSTANTIATE_TEST_SUITE_P(GameFile, ClassAcc,
                         ::testing::Values(AccCase{"0.2", 0.2f, 0.1f},          // acc2 stays
                                           AccCase{"0.2,-0.3", 0.2f, 0.3f},     // |second|
                                           AccCase{" -0.5 , 2 ", -0.5f, 2.0f},  // first as written
                                           AccCase{"0.4,", 0.4f, 0.0f},         // empty second is 0
                                           AccCase{"", 0.1f, 0.1f}));           // empty: defaults

struct HopsCase {
  const char* attributes;
  int32_t hops;
};

class ClassHops : public ::testing::TestWithParam<HopsCase> {};

TEST_P(ClassHops, ClampsToZeroToHundred) {
  Harness h;
  h.read(classXml(GetParam().attributes));
  EXPECT_EQ(h.game.data.classes.at("c").hops, GetParam().hops);
}

INSTANTIATE_TEST_SUITE_P(GameFile, ClassHops,
                         ::testing::Values(HopsCase{"hops=\"250\"", 100}, HopsCase{"hops=\"-5\"", 0},
                                           HopsCase{"hops=\" 30\"", 30}, HopsCase{"", 50},
                                           HopsCase{"hops=\"99999999999\"", 100}));

TEST(GameFile, ReadsClassFieldsAndDefaults) {
  Harness h;
  h.read(
      "<zorlan>"
      "<class name=\" Walker \" speed=\" 2.5\" asound=\"4\" cover=\"-20\""
      " eflags=\"Jumping, SMART ,bogus,heavy\"/>"
      "<class name=\"plain\"/>"
      "<class name=\"  \" speed=\"9\"/>"
      "<class speed=\"9\"/>"
      "</zorlan>");
  const auto& classes = h.game.data.classes;
  ASSERT_EQ(classes.size(), 2u);  // nameless classes are skipped
  const ClassRecord& w = classes.at("walker");
  EXPECT_FLOAT_EQ(w.speed, 2.5f);
  EXPECT_EQ(w.asound, 4);
  EXPECT_FLOAT_EQ(w.cover, 20.0f);
  EXPECT_EQ(w.eflags, 0x2 | 0x4 | 0x100);
  ASSERT_NE(w.node, nullptr);
  EXPECT_EQ(w.node->attr("name"), " Walker ");

  const ClassRecord& p = classes.at("plain");
  EXPECT_FLOAT_EQ(p.acc1, 0.1f);
  EXPECT_FLOAT_EQ(p.acc2, 0.1f);
  EXPECT_FLOAT_EQ(p.speed, 3.0f);
  EXPECT_EQ(p.eflags, 0);
  EXPECT_EQ(p.asound, -1);
  EXPECT_EQ(p.hops, 50);
  EXPECT_FLOAT_EQ(p.cover, 1e9f);
}

TEST(GameFile, LaterClassOfTheSameNameWinsWholly) {
  Harness h;
  h.read(
      "<zorlan>"
      "<class name=\"walker\" speed=\"9\" hops=\"10\" w=\"40\"/>"
      "<CLASS name=\"WALKER\" acc=\"3\"/>"
      "</zorlan>");
  ASSERT_EQ(h.game.data.classes.size(), 1u);
  const ClassRecord& c = h.game.data.classes.at("walker");
  EXPECT_FLOAT_EQ(c.speed, 3.0f);  // re-initialised, not merged
  EXPECT_EQ(c.hops, 50);
  EXPECT_FLOAT_EQ(c.brake, 0.5f);
  ASSERT_NE(c.node, nullptr);
  EXPECT_EQ(c.node->name, "CLASS");
}

// ---------------------------------------------------------------------------
// Speedruns, texts and what the game-wide pass ignores

TEST(GameFile, ReadsSpeedrunsInDocumentOrder) {
  Harness h;
  h.read(
      "<zorlan>"
      "<speedrun name=\" First run\" zone=\"First\" entrance=\"Back\" gflags=\"1, 2 ,\t3\""
      " color=\"FF8000\" level=\"-3\"><start><title text=\"GO\"/></start></speedrun>"
      "<zone id=\"first\"/>"
      "<SpeedRun name=\"second\"/>"
      "<speedrun name=\"third\" level=\"\" color=\"\"/>"
      "</zorlan>");
  const auto& runs = h.game.data.speedruns;
  ASSERT_EQ(runs.size(), 3u);
  EXPECT_EQ(runs[0].name, " FIRST RUN");  // upper-cased, not trimmed
  EXPECT_EQ(runs[0].zone, "first");
  EXPECT_EQ(runs[0].entrance, "back");
  EXPECT_EQ(runs[0].gflags, "1,2,3");
  EXPECT_EQ(runs[0].colour, 0x0080FF);  // red in the low byte
  EXPECT_EQ(runs[0].runNumber, 3);
  ASSERT_NE(runs[0].startScript, nullptr);
  EXPECT_EQ(runs[0].startScript->name, "start");
  EXPECT_EQ(runs[0].bestTime, 0);

  EXPECT_EQ(runs[1].name, "SECOND");
  EXPECT_EQ(runs[1].runNumber, 1);  // no level: run 1
  EXPECT_EQ(runs[1].colour, 0xFFFFFF);
  EXPECT_EQ(runs[1].startScript, nullptr);

  EXPECT_EQ(runs[2].runNumber, 1);  // empty level is absent
  EXPECT_EQ(runs[2].colour, 0xFFFFFF);
}

TEST(GameFile, SpeedrunLevelAtTheIntegerLimitStaysPositive) {
  Harness h;
  h.read("<zorlan><speedrun name=\"x\" level=\"-2147483648\"/></zorlan>");
  EXPECT_EQ(h.game.data.speedruns.at(0).runNumber, INT32_MAX);
}

TEST(GameFile, ReadsTheGameTextsAndIgnoresRootNameAndVersion) {
  Harness h;
  h.read(
      "<game gtitle=\"Castle\" gauthor=\"Me\" gversion=\"2\" gurl=\"http://x\" gdesc=\"a|b\""
      " GTITLE=\"wrong\"><zorled setflags=\"1\"/><unknown/>text<!-- c --></game>");
  const GameData& d = h.game.data;
  EXPECT_TRUE(d.documentLoaded);
  EXPECT_EQ(d.title, "Castle");
  EXPECT_EQ(d.author, "Me");
  EXPECT_EQ(d.version, "2");
  EXPECT_EQ(d.url, "http://x");
  EXPECT_EQ(d.description, "a|b");
  EXPECT_TRUE(d.classes.empty());
  EXPECT_TRUE(d.speedruns.empty());
}

TEST(GameFile, ReadingAgainStartsWithEmptyTables) {
  Harness h;
  h.read("<zorlan><class name=\"a\"/><speedrun name=\"r\"/><loadsounds nums=\"1\"/></zorlan>");
  h.read("<zorlan><class name=\"b\"/></zorlan>");
  EXPECT_EQ(h.game.data.classes.count("a"), 0u);
  EXPECT_EQ(h.game.data.classes.count("b"), 1u);
  EXPECT_TRUE(h.game.data.speedruns.empty());
  EXPECT_TRUE(h.game.data.loadSounds.empty());
}

// ---------------------------------------------------------------------------
// Custom sounds

struct SoundCase {
  const char* name;
  const char* element;
  const char* gameFilePath;
  std::vector<std::pair<int, std::string>> loads;
  std::vector<std::pair<int, int>> volumes;  // slot, volume; other slots stay 77
};

class CustomSounds : public ::testing::TestWithParam<SoundCase> {};

TEST_P(CustomSounds, LoadsFilesAndSetsVolumes) {
  const SoundCase& c = GetParam();
  Harness h;
  h.game.session.dataFolder = "/data/";
  h.read(std::string("<zorlan>") + c.element + "</zorlan>");
  h.game.data.gameFilePath = c.gameFilePath;
  for (int32_t& v : h.game.sounds.soundVolumes) v = 77;
  applyCustomSounds(h.game);
  EXPECT_EQ(h.soundLoads, c.loads);
  for (int slot = 0; slot < 24; ++slot) {
    int expected = 77;
    for (const auto& [s, v] : c.volumes) {
      if (s == slot) expected = v;
    }
    EXPECT_EQ(h.game.sounds.soundVolumes[slot], expected) << "slot " << slot;
  }
}

INSTANTIATE_TEST_SUITE_P(
    GameFile, CustomSounds,
    ::testing::Values(
        SoundCase{"SlotTakenModulo24", "<loadsounds nums=\"25\" files=\"boom.wav\"/>",
                  "/games/castle.zorlan", {{1, "/games/./boom.wav"}}, {{1, 50}}},
        SoundCase{"BuiltinGameLoadsFromTheDataFolder", "<loadsounds nums=\"3\" files=\"s/a.wav\"/>",
                  "", {{3, "/data/zordata/s/a.wav"}}, {{3, 50}}},
        SoundCase{"GameFileWithoutFolder", "<loadsounds nums=\"0\" files=\"a.wav\"/>",
                  "castle.zorlan", {{0, "./a.wav"}}, {{0, 50}}},
        SoundCase{"BackslashesBecomeSlashes", "<loadsounds nums=\"2\" files=\"snd\\x.wav\"/>",
                  "/g/c.zorlan", {{2, "/g/./snd/x.wav"}}, {{2, 50}}},
        SoundCase{"VolumesClampAndEmptyItemsKeep50",
                  "<loadsounds nums=\"4,5, 6,7\" files=\"a.wav||c.wav\" vols=\"150,-4, ,30\"/>",
                  "/g/c.zorlan", {{4, "/g/./a.wav"}, {6, "/g/./c.wav"}},
                  {{4, 100}, {5, 0}, {6, 50}, {7, 30}}},
        SoundCase{"NegativeSlotIsSkipped", "<loadsounds nums=\"-1,-24,-25\" files=\"a|b|c\" vols=\"10,20,30\"/>",
                  "/g/c.zorlan", {{0, "/g/./b"}}, {{0, 20}}},
        SoundCase{"EmptyNumsDoesNothing", "<loadsounds files=\"a.wav\" vols=\"10\"/>", "/g/c.zorlan",
                  {}, {}},
        SoundCase{"ElementsApplyInDocumentOrder",
                  "<loadsounds nums=\"8\" vols=\"10\"/><loadsounds nums=\"32\" files=\"z.wav\" vols=\"90\"/>",
                  "/g/c.zorlan", {{8, "/g/./z.wav"}}, {{8, 90}}}),
    [](const ::testing::TestParamInfo<SoundCase>& info) { return std::string(info.param.name); });

TEST(GameFile, CustomSoundsWithoutALoaderStillSetVolumes) {
  Harness h;
  h.game.sounds.output = nullptr;
  h.read("<zorlan><loadsounds nums=\"5\" files=\"a.wav\" vols=\"12\"/></zorlan>");
  applyCustomSounds(h.game);
  EXPECT_EQ(h.game.sounds.soundVolumes[5], 12);
}

// ---------------------------------------------------------------------------
// Save path

struct SavePathCase {
  const char* dataFolder;
  const char* gameFilePath;
  const char* expected;
};

class SavePath : public ::testing::TestWithParam<SavePathCase> {};

TEST_P(SavePath, FollowsTheGameFileName) {
  EXPECT_EQ(saveFilePathFor(GetParam().dataFolder, GetParam().gameFilePath), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    GameFile, SavePath,
    ::testing::Values(
        SavePathCase{"", "", "zordata/saves/save.ini"},
        SavePathCase{"/home/p/", "", "/home/p/zordata/saves/save.ini"},
        SavePathCase{"/home/p/", "/any/where/castle.zorlan", "/home/p/zordata/saves/save-castle.zorlan.ini"},
        SavePathCase{"", "castle.zorlan", "zordata/saves/save-castle.zorlan.ini"},
        SavePathCase{"d/", "/tmp/zorled.xml", "d/zordata/saves/save-zorled.xml.ini"}));

// ---------------------------------------------------------------------------
// loadGameFile

TEST(GameFile, LoadsAGameFileAndSavesUnderItsName) {
  TempFolder data("named");
  Harness h;
  h.game.session.dataFolder = data.prefix();
  h.game.data.gameFilePath = kFixtures + "castle.zorlan";
  h.load();
  EXPECT_EQ(h.fatalCalls, 0);
  EXPECT_FALSE(h.game.failed);
  EXPECT_FALSE(h.game.data.acceptStartupFiles);
  EXPECT_TRUE(h.game.data.documentLoaded);
  EXPECT_EQ(h.game.data.title, "Castle");
  EXPECT_NE(h.game.data.document.findById("first"), nullptr);
  EXPECT_EQ(h.game.data.saveFilePath, data.prefix() + "zordata/saves/save-castle.zorlan.ini");
  EXPECT_TRUE(h.questions.empty());
  EXPECT_TRUE(data.isEmpty());
}

TEST(GameFile, SyntaxErrorReportsItsLineAndKeepsNothing) {
  TempFolder data("syntax");
  Harness h;
  h.game.session.dataFolder = data.prefix();
  h.game.data.gameFilePath = kFixtures + "syntax_error_line12.zorlan";
  h.answer = true;  // there is no offer of the built-in game for a file that does not parse
  h.load();
  EXPECT_TRUE(h.game.failed);
  EXPECT_EQ(h.fatalCalls, 1);
  EXPECT_EQ(h.game.failMessage, "Game file error on line 12!");
  EXPECT_TRUE(h.questions.empty());
  EXPECT_FALSE(h.game.data.documentLoaded);
  EXPECT_EQ(h.game.data.document.root(), nullptr);
  EXPECT_TRUE(h.game.data.classes.empty());
  EXPECT_TRUE(h.game.data.saveFilePath.empty());
  EXPECT_TRUE(data.isEmpty());
}

TEST(GameFile, UnreadableFileAndYesPlaysTheBuiltinGame) {
  TempFolder data("yes");
  Harness h;
  h.answer = true;
  h.game.session.dataFolder = data.prefix();
  const std::string missing = data.prefix() + "missing/castle.zorlan";
  h.game.data.gameFilePath = missing;
  h.load();
  EXPECT_FALSE(h.game.failed);
  ASSERT_EQ(h.questions.size(), 1u);
  EXPECT_EQ(h.questions[0].first, "Zorlan");
  EXPECT_EQ(h.questions[0].second,
            "Game file could not be loaded:\n" + missing + "\n\nContinue with default game?");
  EXPECT_TRUE(h.game.data.gameFilePath.empty());
  EXPECT_TRUE(h.game.data.documentLoaded);
  EXPECT_NE(h.game.data.document.findById("first"), nullptr);
  EXPECT_EQ(h.game.data.saveFilePath, data.prefix() + "zordata/saves/save.ini");
  EXPECT_TRUE(data.isEmpty());
}

TEST(GameFile, UnreadableFileAndNoQuitsWithoutAMessage) {
  TempFolder data("no");
  Harness h;
  h.answer = false;
  h.game.session.dataFolder = data.prefix();
  h.game.data.gameFilePath = data.prefix() + "nothing.zorlan";
  h.load();
  EXPECT_EQ(h.questions.size(), 1u);
  EXPECT_TRUE(h.game.failed);
  EXPECT_EQ(h.fatalCalls, 1);
  EXPECT_EQ(h.game.failMessage, "");
  EXPECT_FALSE(h.game.data.documentLoaded);
  EXPECT_TRUE(h.game.data.saveFilePath.empty());
  EXPECT_TRUE(data.isEmpty());
}

TEST(GameFile, AFolderGivenAsTheGameFileIsUnreadable) {
  TempFolder data("folder");
  Harness h;
  h.answer = false;
  h.game.data.gameFilePath = data.path.string();
  h.load();
  EXPECT_EQ(h.questions.size(), 1u);
  EXPECT_TRUE(h.game.failed);
  EXPECT_EQ(h.game.failMessage, "");
}

TEST(GameFile, NoGameFileLoadsTheBuiltinGame) {
  Harness h;
  h.game.session.dataFolder = "/data/";
  h.load();
  EXPECT_FALSE(h.game.failed);
  EXPECT_TRUE(h.questions.empty());
  EXPECT_TRUE(h.game.data.documentLoaded);
  EXPECT_EQ(h.game.data.saveFilePath, "/data/zordata/saves/save.ini");
}

// The built-in game must hold together: every name it refers to exists.
TEST(GameFile, BuiltinGameIsComplete) {
  Harness h;
  h.load();
  ASSERT_FALSE(h.game.failed);
  const GameData& d = h.game.data;
  const xml::Document& doc = d.document;
  const xml::Node* first = doc.findById("first");
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first->name, "zone");
  EXPECT_FALSE(d.title.empty());
  EXPECT_FALSE(d.speedruns.empty());
  EXPECT_FALSE(d.classes.empty());

  int zones = 0, warps = 0;
  std::vector<const xml::Node*> stack{doc.root()};
  while (!stack.empty()) {
    const xml::Node* n = stack.back();
    stack.pop_back();
    for (const xml::Node* c = n->firstElement(); c != nullptr; c = c->nextElement()) stack.push_back(c);
    if (n->name == "zone") {
      ++zones;
      const xml::Node* levels = n->childByPath("levels");
      ASSERT_NE(levels, nullptr) << n->attr("id");
      EXPECT_NE(levels->firstElement(), nullptr) << n->attr("id");
      EXPECT_NE(n->childByPath("entrance"), nullptr) << n->attr("id");
    }
    if (n->name == "warp") {
      ++warps;
      const xml::Node* target = doc.findById(n->attr("zone"));
      ASSERT_NE(target, nullptr) << n->attr("zone");
      EXPECT_EQ(target->name, "zone");
      const std::string& entrance = n->attr("entrance");
      if (!entrance.empty()) {
        EXPECT_NE(target->childByPath("entrance_" + entrance), nullptr) << entrance;
      }
    }
    if (n->name == "block" && !n->attr("class").empty()) {
      EXPECT_EQ(d.classes.count(n->attr("class")), 1u) << n->attr("class");
    }
    if (n->hasAttr("sub") && n->name != "killqueue") {
      EXPECT_NE(doc.findById(n->attr("sub")), nullptr) << n->attr("sub");
    }
    if (n->name == "speedrun") {
      EXPECT_NE(doc.findById(n->attr("zone")), nullptr) << n->attr("zone");
    }
  }
  EXPECT_GE(zones, 2);
  EXPECT_GE(warps, 1);
}

TEST(GameFile, BuiltinZonesLoad) {
  Harness h;
  h.platform.clock = 0;
  h.load();
  ASSERT_FALSE(h.game.failed);
  loadZone(h.game, "first", false);
  ASSERT_FALSE(h.game.failed) << h.game.failMessage;
  EXPECT_EQ(h.game.world.levelCount(), 2);
  // Every zone loads, and the enemies take their class.
  const xml::Node* root = h.game.data.document.root();
  int zones = 0;
  for (const xml::Node* z = root->firstElement(); z != nullptr; z = z->nextElement()) {
    if (z->name != "zone") continue;
    ++zones;
    loadZone(h.game, z->attr("id"), false);
    ASSERT_FALSE(h.game.failed) << z->attr("id") << ": " << h.game.failMessage;
    EXPECT_EQ(h.game.world.currentZoneId, z->attr("id"));
    EXPECT_GE(h.game.world.levelCount(), 2);
  }
  EXPECT_GE(zones, 6);
  loadZone(h.game, "garden", false);
  const ObjectRecord* crawler = findObject(h.game.world, "crawler1");
  ASSERT_NE(crawler, nullptr);
  EXPECT_EQ(crawler->objectClass, &h.game.data.classes.at("crawler"));
}

struct BuiltinCase {
  const char* name;
  std::vector<unsigned char> block;
  const char* message;
};

class CorruptBuiltin : public ::testing::TestWithParam<BuiltinCase> {};

TEST_P(CorruptBuiltin, EndsWithAMessage) {
  TempFolder data(GetParam().name);
  Harness h;
  h.game.session.dataFolder = data.prefix();
  const std::vector<unsigned char>& block = GetParam().block;
  h.load(block.data(), block.size());
  EXPECT_TRUE(h.game.failed);
  EXPECT_EQ(h.fatalCalls, 1);
  EXPECT_EQ(h.game.failMessage, GetParam().message);
  EXPECT_FALSE(h.game.data.documentLoaded);
  EXPECT_TRUE(h.game.data.saveFilePath.empty());
  EXPECT_TRUE(data.isEmpty());
}

std::vector<unsigned char> flipped(std::vector<unsigned char> block, std::size_t at) {
  block.at(at) ^= 0xFF;
  return block;
}
std::vector<unsigned char> cut(std::vector<unsigned char> block, std::size_t size) {
  block.resize(size);
  return block;
}

const std::string kSmallGame = "<zorlan><zone id=\"first\"><levels><level/></levels></zone></zorlan>";

INSTANTIATE_TEST_SUITE_P(
    GameFile, CorruptBuiltin,
    ::testing::Values(
        BuiltinCase{"Empty", {}, "Game could not be loaded!"},
        BuiltinCase{"ShorterThanItsLength", {0x10, 0, 0}, "Game could not be loaded!"},
        BuiltinCase{"LengthOnly", {0x10, 0, 0, 0}, "Game could not be loaded!"},
        BuiltinCase{"NotZlib", {5, 0, 0, 0, 'h', 'e', 'l', 'l', 'o'}, "Game could not be loaded!"},
        BuiltinCase{"DamagedStream", flipped(packBlock(kSmallGame), 12), "Game could not be loaded!"},
        BuiltinCase{"TruncatedStream", cut(packBlock(kSmallGame), 20), "Game could not be loaded!"},
        BuiltinCase{"LengthTooSmall", packBlock(kSmallGame, 10), "Game could not be loaded!"},
        BuiltinCase{"LengthHuge", packBlock(kSmallGame, 0xFFFFFFFFu), "Game memory could not be allocated!"},
        BuiltinCase{"NotWellFormed", packBlock("<zorlan>\n<zone>\n</zorlan>"), "Game file error on line 3!"},
        BuiltinCase{"NoElement", packBlock("  "), "Game file error on line 1!"}),
    [](const ::testing::TestParamInfo<BuiltinCase>& info) { return std::string(info.param.name); });

TEST(GameFile, BuiltinBlockWithRoomToSpareLoads) {
  Harness h;
  const std::vector<unsigned char> block = packBlock(kSmallGame, static_cast<uint32_t>(kSmallGame.size() + 100));
  h.load(block.data(), block.size());
  EXPECT_FALSE(h.game.failed);
  EXPECT_NE(h.game.data.document.findById("first"), nullptr);
}

}  // namespace
}  // namespace zor
