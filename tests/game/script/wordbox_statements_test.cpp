#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "tests/game/script/script_test_support.h"

namespace zor {
namespace {

using testing::ScriptHarness;

// Two levels (z 0 and 50); the player enters on level 0 at (0, 0), 20 by 20;
// a crate stands on level 1. The statements under test form the sub "s".
std::string boxZone(const std::string& sub, const std::string& start = "") {
  return "<zorlan version=\"1\"><zone id=\"first\">"
         "<levels><level z=\"0\"/><level z=\"50\"/></levels>"
         "<entrance x=\"0\" y=\"0\" level=\"0\"/>"
         "<block oname=\"crate\" x=\"100\" y=\"0\" w=\"30\" h=\"40\" level=\"1\"/>"
         "<start>" + start + "</start>"
         "<sub id=\"s\">" + sub + "</sub>"
         "</zone></zorlan>";
}

struct BoxHarness : ScriptHarness {
  explicit BoxHarness(const std::string& sub, const std::string& start = "")
      : ScriptHarness(boxZone(sub, start)) {
    g().world.player->y = 0.0f;  // on the entrance exactly (the respawn put it just above)
  }
  CurrentList<WordBox>& boxes() { return g().script.wordBoxes; }
  std::vector<std::string> texts() {
    std::vector<std::string> out;
    for (const WordBox& b : boxes()) out.push_back(b.text);
    return out;
  }
};

TEST(WordBoxStatement, PlacesTheBoxFromThePlayerAndItsAttributes) {
  const int32_t noPanel = -1;
  const struct {
    const char* statement;
    const char* text;
    float x, y, z, width, height, size;
    int32_t colour, back, flags;
    const char* object;  // name of the object it rides on, "" for none
  } cases[] = {
      // Only a text: centred on the player's left edge, on its top, 25 behind,
      // half its height, black, no panel. Size 10 gives a unit of 2.
      {"<wordbox text=\"abc\"/>", "ABC", -17.0f, 20.0f, 25.0f, 34.0f, 10.0f, 10.0f, 0, noPanel, 0, ""},
      {"<wordbox text=\"abc\" back=\"000000\" size=\"10\"/>", "ABC", -21.0f, 20.0f, 25.0f, 42.0f, 18.0f, 10.0f, 0,
       0, 0, ""},
      {"<wordbox text=\"abc\" cen=\"0\"/>", "ABC", 0.0f, 20.0f, 25.0f, 34.0f, 10.0f, 10.0f, 0, noPanel, 0, ""},
      {"<wordbox text=\"abc\" cen=\"false\"/>", "ABC", 0.0f, 20.0f, 25.0f, 34.0f, 10.0f, 10.0f, 0, noPanel, 0, ""},
      {"<wordbox text=\"abc\" cen=\"2\"/>", "ABC", 0.0f, 20.0f, 25.0f, 34.0f, 10.0f, 10.0f, 0, noPanel, 0, ""},
      {"<wordbox text=\"abc\" cen=\"YES\"/>", "ABC", -17.0f, 20.0f, 25.0f, 34.0f, 10.0f, 10.0f, 0, noPanel, 0, ""},
      {"<wordbox text=\"abc\" cen=\"\"/>", "ABC", -17.0f, 20.0f, 25.0f, 34.0f, 10.0f, 10.0f, 0, noPanel, 0, ""},
      {"<wordbox text=\"ab\" x=\"100\" y=\"50\" z=\"7\" size=\"5\" cen=\"0\"/>", "AB", 100.0f, 50.0f, 7.0f, 11.0f,
       5.0f, 5.0f, 0, noPanel, 0, ""},
      {"<wordbox text=\"ab\" X=\"100\" Size=\"5\" CEN=\"0\"/>", "AB", 94.5f, 20.0f, 25.0f, 11.0f, 5.0f, 5.0f, 0,
       noPanel, 0, ""},  // names in any case, but only `cen` itself keeps the left edge
      {"<wordbox text=\"Go!\" color=\"FF0000\" back=\"00FF00\"/>", "GO!", -21.0f, 20.0f, 25.0f, 42.0f, 18.0f,
       10.0f, 0x0000FF, 0x00FF00, 0, ""},
      {"<wordbox text=\"a\" back=\"-1\"/>", "A", -5.0f, 20.0f, 25.0f, 10.0f, 10.0f, 10.0f, 0, noPanel, 0, ""},
      {"<wordbox text=\"a\" back=\"-\"/>", "A", -5.0f, 20.0f, 25.0f, 10.0f, 10.0f, 10.0f, 0, noPanel, 0, ""},
      {"<wordbox text=\"a\" flg=\" Disappearing,INVISIBLE , solid\"/>", "A", -5.0f, 20.0f, 25.0f, 10.0f, 10.0f,
       10.0f, 0, noPanel, wordbox::Disappearing | wordbox::Hidden, ""},
      {"<wordbox text=\"a\" oname=\"you\"/>", "A", -5.0f, 20.0f, 0.0f, 10.0f, 10.0f, 10.0f, 0, noPanel, 0, "you"},
      {"<wordbox text=\"a\" oname=\"crate\" z=\"5\"/>", "A", -5.0f, 20.0f, 5.0f, 10.0f, 10.0f, 10.0f, 0, noPanel,
       0, "crate"},
      {"<wordbox text=\"a\" z=\"5\" oname=\"crate\"/>", "A", -5.0f, 20.0f, 50.0f, 10.0f, 10.0f, 10.0f, 0, noPanel,
       0, "crate"},
      // Names are matched exactly and not trimmed; "-" is none.
      {"<wordbox text=\"a\" oname=\"Crate\"/>", "A", -5.0f, 20.0f, 25.0f, 10.0f, 10.0f, 10.0f, 0, noPanel, 0, ""},
      {"<wordbox text=\"a\" oname=\" you\"/>", "A", -5.0f, 20.0f, 25.0f, 10.0f, 10.0f, 10.0f, 0, noPanel, 0, ""},
      {"<wordbox text=\"a\" oname=\"-\"/>", "A", -5.0f, 20.0f, 25.0f, 10.0f, 10.0f, 10.0f, 0, noPanel, 0, ""},
      // An unreadable size is 0: an empty box.
      {"<wordbox text=\"ab\" size=\"big\"/>", "AB", 0.0f, 20.0f, 25.0f, 0.0f, 0.0f, 0.0f, 0, noPanel, 0, ""},
  };
  for (const auto& c : cases) {
    BoxHarness h(c.statement);
    h.run("s");
    ASSERT_EQ(h.boxes().size(), 1u) << c.statement;
    const WordBox& b = *h.boxes().front();
    EXPECT_EQ(b.text, c.text) << c.statement;
    EXPECT_EQ(b.x, c.x) << c.statement;
    EXPECT_EQ(b.y, c.y) << c.statement;
    EXPECT_EQ(b.z, c.z) << c.statement;
    EXPECT_EQ(b.width, c.width) << c.statement;
    EXPECT_EQ(b.height, c.height) << c.statement;
    EXPECT_EQ(b.size, c.size) << c.statement;
    EXPECT_EQ(b.colour, c.colour) << c.statement;
    EXPECT_EQ(b.backColour, c.back) << c.statement;
    EXPECT_EQ(b.flags, c.flags) << c.statement;
    EXPECT_EQ(b.object, *c.object ? h.object(c.object) : nullptr) << c.statement;
  }
}

TEST(WordBoxStatement, NoTextMakesNoBox) {
  for (const char* statement : {"<wordbox/>", "<wordbox text=\"\"/>", "<wordbox TEXT=\"abc\"/>"}) {
    BoxHarness h(statement);
    h.run("s");
    EXPECT_TRUE(h.boxes().empty()) << statement;
  }
}

TEST(WordBoxStatement, TheListStaysFarToNearKeepingTheOrderOfEqualDepths) {
  BoxHarness h(
      "<wordbox text=\"a\" z=\"10\"/><wordbox text=\"b\" z=\"30\"/><wordbox text=\"c\" z=\"nan\"/>"
      "<wordbox text=\"d\" z=\"20\"/><wordbox text=\"e\" z=\"30\"/><wordbox text=\"f\" z=\"-inf\"/>"
      "<wordbox text=\"g\" z=\"inf\"/>");
  h.run("s");
  // Not-a-number sorts as minus infinity; a new box goes in after the box made
  // before it, so of two equal depths the one placed nearer that box comes first.
  EXPECT_EQ(h.texts(), (std::vector<std::string>{"G", "B", "E", "D", "A", "F", "C"}));
}

TEST(WordBoxStatement, ABoxOnABlockKilledWhileTheZoneSettlesGoesWithIt) {
  BoxHarness h("", "<wordbox text=\"sign\" oname=\"crate\"/><wordbox text=\"me\" oname=\"you\"/>"
                   "<kill oname=\"crate,you\"/>");
  EXPECT_EQ(h.object("crate"), nullptr);
  ASSERT_NE(h.g().world.player, nullptr);  // the player is never deleted
  ASSERT_EQ(h.boxes().size(), 2u);
  for (const WordBox& b : h.boxes()) {
    if (b.text == "SIGN") {
      EXPECT_EQ(b.object, nullptr);
      EXPECT_NE(b.flags & wordbox::Remove, 0);
    } else {
      EXPECT_EQ(b.object, h.g().world.player);
      EXPECT_EQ(b.flags & wordbox::Remove, 0);
    }
  }
}

TEST(HideWordBoxStatement, HidesOrShowsTheFirstBoxWithTheText) {
  const struct {
    const char* statements;
    std::vector<bool> hidden;  // list order: the box at z 20, then the one at z 10
  } cases[] = {
      {"<hidewb text=\"sign\"/>", {true, false}},
      {"<hidewb text=\"SIGN\" state=\"\"/>", {true, false}},
      {"<hidewb text=\"Sign\" state=\"1\"/>", {true, false}},
      {"<hidewb text=\"sign\"/><hidewb text=\"sign\"/>", {true, false}},  // the same box again
      {"<hidewb text=\"sign\"/><hidewb text=\"sign\" state=\"0\"/>", {false, false}},
      {"<hidewb text=\"sign\"/><hidewb text=\"sign\" state=\"true\"/>", {false, false}},  // only 1 hides
      {"<hidewb text=\"sign\"/><hidewb text=\"sign\" state=\" 1\"/>", {false, false}},
      {"<hidewb text=\"other\"/>", {false, false}},
      {"<hidewb text=\"\"/>", {false, false}},
      {"<hidewb/>", {false, false}},
  };
  for (const auto& c : cases) {
    BoxHarness h(std::string("<wordbox text=\"sign\" z=\"10\"/><wordbox text=\"Sign\" z=\"20\"/>") + c.statements);
    h.run("s");
    ASSERT_EQ(h.boxes().size(), 2u);
    std::vector<bool> hidden;
    std::vector<float> depths;
    for (const WordBox& b : h.boxes()) {
      hidden.push_back((b.flags & wordbox::Hidden) != 0);
      depths.push_back(b.z);
    }
    EXPECT_EQ(depths, (std::vector<float>{20.0f, 10.0f})) << c.statements;
    EXPECT_EQ(hidden, c.hidden) << c.statements;
  }
}

TEST(HideWordBoxStatement, ShowsABoxMadeInvisible) {
  BoxHarness h("<wordbox text=\"x\" flg=\"invisible,disappearing\"/><hidewb text=\"x\" state=\"0\"/>");
  h.run("s");
  ASSERT_EQ(h.boxes().size(), 1u);
  EXPECT_EQ(h.boxes().front()->flags, wordbox::Disappearing);
}

}  // namespace
}  // namespace zor
