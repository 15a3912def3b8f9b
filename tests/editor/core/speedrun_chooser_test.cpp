// The speedrun chooser: which speedruns it lists, what it preselects, and its results.
#include "editor/core/speedrun_chooser.h"

#include <gtest/gtest.h>

#include "editor/core/dialogs.h"
#include "tests/editor/core/editor_fixture.h"

namespace zor::editor::test {
namespace {

class SpeedrunChooserTest : public EditorTest {};

TEST_F(SpeedrunChooserTest, ListsNamedSpeedrunsAndReturnsTheChosenElement) {
  const struct {
    const char* name;
    const char* speedruns;
    const char* preselect;
    int answer;
    int result;
    std::vector<std::string> items;
    int preselected;
    const char* chosenName;  // the chosen element's name attribute
  } cases[] = {
      {"chosen", "<speedrun name='Fast'/><speedrun name=''/><SpeedRun name='Slow'/>", "", 1, 1, {"fast", "slow"}, -1,
       "Slow"},
      {"last equal preselected", "<speedrun name='a'/><speedrun name='A'/><speedrun name='b'/>", "a", 0, 1,
       {"a", "a", "b"}, 1, "a"},
      {"cancelled", "<speedrun name='a'/>", "", -1, 0, {"a"}, -1, nullptr},
      {"none named", "<speedrun name=''/>", "", 0, -1, {}, -2, nullptr},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    port.choosers.clear();
    port.chooserAnswers = {c.answer};
    const std::string path =
        writeFile("g.zorlan", std::string("<zorlan version=\"1\"><zone id=\"z\"/>") + c.speedruns + "</zorlan>");
    ASSERT_TRUE(loadGameFileForEditing(editor, path));
    EXPECT_EQ(chooseSpeedrun(editor, "Edit Speedrun", "Select a speedrun:", c.preselect), c.result);
    if (c.preselected == -2) {
      EXPECT_TRUE(port.choosers.empty());
      continue;
    }
    ASSERT_EQ(port.choosers.size(), 1u);
    EXPECT_EQ(port.choosers[0].items, c.items);
    EXPECT_EQ(port.choosers[0].preselect, c.preselected);
    if (c.chosenName) {
      ASSERT_NE(editor.dialogs.chosenDatum, nullptr);
      EXPECT_EQ(editor.dialogs.chosenDatum->attr("name"), c.chosenName);
    }
  }
}

TEST_F(SpeedrunChooserTest, NoGameNoChooser) {
  EXPECT_EQ(chooseSpeedrun(editor, "Edit Speedrun", "Select a speedrun:", ""), 0);
  EXPECT_TRUE(port.choosers.empty());
}

}  // namespace
}  // namespace zor::editor::test
