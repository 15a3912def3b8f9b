// Free names for pasted and duplicated objects: the same names as a plain search
// from the stem's first number, in time that grows with the objects, not faster.
#include <gtest/gtest.h>

#include <cstdint>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "editor/core/clipboard.h"
#include "editor/core/edit_commands.h"
#include "editor/core/object_names.h"
#include "editor/core/zone_records.h"
#include "platform/text.h"
#include "tests/editor/core/canvas_fixture.h"

namespace zor::editor::test {
namespace {

// The plain search: every candidate is compared with every name taken so far.
class PlainNameSearch {
 public:
  void add(const std::string& name, int k) { names_.emplace_back(name, k); }
  std::string makeUnique(const std::string& name, int k) {
    std::string result = name;
    if (taken(name, k)) {
      std::size_t digitsAt = name.size();
      while (digitsAt > 0 && name[digitsAt - 1] >= '0' && name[digitsAt - 1] <= '9') --digitsAt;
      std::string stem = name;
      std::string number = "2";
      if (k == kind::Entrance && text::toLower(name) == "entrance") {
        stem = "entrance_e";
      } else if (digitsAt < name.size()) {
        stem = name.substr(0, digitsAt);
        number = name.substr(digitsAt);
        number.erase(0, std::min(number.find_first_not_of('0'), number.size() - 1));
        number = plusOne(number);
      }
      while (taken(stem + number, k)) number = plusOne(number);
      result = stem + number;
    }
    add(result, k);
    return result;
  }

  bool taken(const std::string& name, int k) const {
    for (const auto& [n, nk] : names_)
      if (nk == k && text::toLower(n) == text::toLower(name)) return true;
    return false;
  }

 private:
  static std::string plusOne(std::string digits) {
    for (std::size_t i = digits.size(); i-- > 0;) {
      if (digits[i] != '9') {
        ++digits[i];
        return digits;
      }
      digits[i] = '0';
    }
    return "1" + digits;
  }
  std::vector<std::pair<std::string, int>> names_;
};

struct NamingCase {
  const char* what;
  std::vector<std::pair<std::string, int>> existing;
  std::vector<std::pair<std::string, int>> asked;  // in order
};

std::vector<NamingCase> namingCases() {
  const int B = kind::Block;
  const int E = kind::Entrance;
  std::vector<NamingCase> cases = {
      {"a free name stays", {{"door", B}}, {{"gate", B}, {"Door", E}}},
      {"taken ignoring case", {{"door", B}, {"Door2", B}}, {{"DOOR", B}, {"door", B}, {"dOOr3", B}}},
      {"digits only", {{"7", B}, {"8", B}, {"10", B}}, {{"7", B}, {"7", B}, {"9", B}, {"007", B}}},
      {"leading zeros", {{"pad007", B}, {"pad8", B}, {"pad0", B}}, {{"pad007", B}, {"pad0", B}, {"pad00", B}}},
      {"long numbers", {{"x99999999999999999999", B}, {"y999999999999999999", B}},
       {{"x99999999999999999999", B}, {"x99999999999999999999", B}, {"y999999999999999999", B},
        {"y999999999999999999", B}}},
      {"the default entrance", {{"entrance", E}, {"entrance_e2", E}, {"entrance", B}},
       {{"entrance", E}, {"Entrance", E}, {"entrance", B}, {"entrance_e", E}}},
      {"runs met from different numbers", {{"a1", B}, {"a2", B}, {"a3", B}, {"a5", B}, {"a6", B}},
       {{"a1", B}, {"a4", B}, {"a1", B}, {"a3", B}, {"a2", B}, {"a6", B}, {"a", B}, {"a", B}}},
      {"stems differ by case only", {{"Key", B}, {"key2", B}}, {{"KEY", B}, {"key", B}, {"Key2", B}}},
      {"a stem ending in a digit is not mixed up", {{"a1", B}, {"a12", B}, {"a1_2", B}},
       {{"a1", B}, {"a1", B}, {"a1_2", B}, {"a1_", B}, {"a1_", B}}},
  };
  // Many objects of one name, and a run of numbered ones duplicated together.
  NamingCase many{"many of one name", {{"a1", B}, {"entrance", E}}, {}};
  for (int i = 0; i < 120; ++i) many.asked.emplace_back(i % 3 == 0 ? "A1" : "a1", B);
  for (int i = 0; i < 40; ++i) many.asked.emplace_back("entrance", E);
  cases.push_back(many);
  NamingCase run{"a numbered run twice", {}, {}};
  for (int i = 1; i <= 60; ++i) run.existing.emplace_back("b" + std::to_string(i), B);
  for (int twice = 0; twice < 2; ++twice)
    for (int i = 1; i <= 60; ++i) run.asked.emplace_back("b" + std::to_string(i), B);
  cases.push_back(run);
  return cases;
}

TEST(ObjectNames, SameNamesAsAPlainSearch) {
  for (const NamingCase& c : namingCases()) {
    PlainNameSearch plain;
    ObjectNameList list;
    for (const auto& [name, k] : c.existing) {
      plain.add(name, k);
      list.add(name, k);
    }
    for (const auto& [name, k] : c.asked) {
      ASSERT_EQ(list.makeUnique(name, k), plain.makeUnique(name, k)) << c.what << ": " << name;
      EXPECT_TRUE(list.taken(name, k)) << c.what;
    }
  }
}

// Random runs of names added, asked for and looked up, with the list cleared now and
// then: short stems in mixed case, numbers with leading zeros and long ones, names
// of both kinds, enough of them for the list to grow several times.
TEST(ObjectNames, RandomRunsGiveTheNamesOfAPlainSearch) {
  const int B = kind::Block;
  const int E = kind::Entrance;
  const char* const stems[] = {"a", "A", "b", "door", "DOOR", "entrance", "Entrance_e", "x1_", "", "k9z"};
  for (uint64_t seed = 1; seed <= 6; ++seed) {
    uint64_t state = seed;
    auto next = [&state](uint64_t range) {
      state = state * 6364136223846793005ull + 1442695040888963407ull;
      return (state >> 11) % range;
    };
    auto randomName = [&] {
      std::string name = stems[next(std::size(stems))];
      const uint64_t form = next(6);
      if (form == 1) name += std::to_string(next(40));
      else if (form == 2) name += "0" + std::to_string(next(12));
      else if (form == 3) name += std::to_string(1 + next(300));
      else if (form == 4 && next(4) == 0) name += "99999999999999999" + std::to_string(next(100));
      if (name.empty()) name = std::to_string(next(20));
      return name;
    };
    PlainNameSearch plain;
    ObjectNameList list;
    for (int step = 0; step < 1500; ++step) {
      const int k = next(3) == 0 ? E : B;
      const std::string name = randomName();
      const uint64_t what = next(100);
      if (what == 0) {
        plain = PlainNameSearch();
        list.clear();
      } else if (what < 20) {
        plain.add(name, k);
        list.add(name, k);
      } else if (what < 35) {
        ASSERT_EQ(list.taken(name, k), plain.taken(name, k)) << "seed " << seed << " step " << step << ": " << name;
      } else {
        ASSERT_EQ(list.makeUnique(name, k), plain.makeUnique(name, k))
            << "seed " << seed << " step " << step << ": " << name;
      }
    }
  }
}

TEST(ObjectNames, ClearForgetsEveryName) {
  ObjectNameList list;
  list.add("door", kind::Block);
  EXPECT_EQ(list.makeUnique("door", kind::Block), "door2");
  list.clear();
  EXPECT_FALSE(list.taken("door", kind::Block));
  EXPECT_EQ(list.makeUnique("door", kind::Block), "door");
  EXPECT_EQ(list.makeUnique("door", kind::Block), "door2");
}

// Thousands of pasted objects of one name: each search took time in proportion
// to all the names before it, so the paste of this clipboard did not end.
class ManyNamesPaste : public CanvasTest {};

TEST_F(ManyNamesPaste, PastedCopiesOfOneNameAreNumberedInOrder) {
  constexpr int kBlocks = 3000;
  constexpr int kEntrances = 1000;
  std::string clip = "<zorcopy camx=\"0\" camy=\"0\" camz=\"0\">";
  for (int i = 0; i < kBlocks; ++i) clip += "<block oname=\"a1\" x=\"0\" y=\"0\" w=\"5\" h=\"5\"/>";
  for (int i = 0; i < kEntrances; ++i) clip += "<entrance x=\"0\" y=\"0\"/>";
  clip += "</zorcopy>";
  openZoneWith("<block oname=\"a1\" x=\"0\" y=\"0\" w=\"5\" h=\"5\"/><entrance x=\"0\" y=\"0\"/>");
  port.clipboard = clip;
  ASSERT_EQ(pasteFromClipboard(editor), kBlocks + kEntrances);
  std::vector<std::string> blocks;
  std::vector<std::string> entrances;
  for (const xml::Node* c = editor.zone.openZoneNode->firstElement(); c; c = c->nextElement()) {
    if (c->name == "block") blocks.push_back(c->attr("oname"));
    else if (c->name.compare(0, 8, "entrance") == 0) entrances.push_back(c->name);
  }
  ASSERT_EQ(blocks.size(), static_cast<std::size_t>(kBlocks + 1));
  ASSERT_EQ(entrances.size(), static_cast<std::size_t>(kEntrances + 1));
  for (int i = 1; i <= kBlocks; ++i) ASSERT_EQ(blocks[i], "a" + std::to_string(i + 1));
  for (int i = 1; i <= kEntrances; ++i) ASSERT_EQ(entrances[i], "entrance_e" + std::to_string(i + 1));
}

}  // namespace
}  // namespace zor::editor::test
