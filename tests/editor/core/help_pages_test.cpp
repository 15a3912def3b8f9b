// The help pages that ship with the editor (editor/help/) against the editor:
// every page and section a window opens exists, every link between the pages
// leads somewhere, shortcuts.htm lists exactly the main window's shortcuts, and
// the pages are looked for where a build and an installed editor keep them.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "editor/core/commands.h"
#include "editor/core/help_pages.h"
#include "editor/core/preferences.h"
#include "platform/files.h"
#include "tests/editor/core/editor_fixture.h"
#include "tests/editor/help_page_text.h"

namespace zor::editor::test {
namespace {

const std::string kHelpFolder = std::string(ZOR_SOURCE_DIR) + "/editor/help/";

std::string readPage(const std::string& page) {
  std::ifstream in(kHelpFolder + page, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

using zor::testing::between;

bool hasSection(const std::string& page, const std::string& id) {
  return readPage(page).find("id=\"" + id + "\"") != std::string::npos;
}

TEST(HelpPages, EveryPageAndSectionAWindowOpensExists) {
  std::vector<HelpPage> opened = {{kMainHelpPage, ""}, {kShortcutsHelpPage, ""}};
  for (HelpWindow w : {HelpWindow::Main, HelpWindow::Script, HelpWindow::ZoneProperties, HelpWindow::GameProperties,
                       HelpWindow::SoundEditor, HelpWindow::GFlagEditor, HelpWindow::ZFlagEditor, HelpWindow::Cleanup}) {
    opened.push_back(helpPageFor(w));
  }
  for (const char* title : {"Edit Speedrun", "Edit Class", "New Class", "Zone Start Script", "Action"}) {
    opened.push_back(helpPageFor(HelpWindow::Script, title));
  }
  for (const HelpPage& p : opened) {
    SCOPED_TRACE(p.page + p.section);
    EXPECT_FALSE(readPage(p.page).empty()) << "missing or empty";
    if (!p.section.empty()) {
      ASSERT_EQ(p.section[0], '#');
      EXPECT_TRUE(hasSection(p.page, p.section.substr(1)));
    }
  }
}

TEST(HelpPages, EveryLinkBetweenThePagesLeadsSomewhere) {
  const char* pages[] = {"index.htm", "game.htm", "zone.htm", "scripts.htm", "tools.htm", "shortcuts.htm"};
  int links = 0;
  for (const char* page : pages) {
    const std::string text = readPage(page);
    ASSERT_FALSE(text.empty()) << page;
    std::vector<std::string> ids = between(text, " id=\"", "\"");
    std::sort(ids.begin(), ids.end());
    EXPECT_EQ(std::adjacent_find(ids.begin(), ids.end()), ids.end()) << page << ": two sections of one name";
    for (const std::string& href : between(text, "href=\"", "\"")) {
      SCOPED_TRACE(std::string(page) + " -> " + href);
      ++links;
      const std::size_t hash = href.find('#');
      const std::string target = hash == 0 ? page : href.substr(0, hash);
      EXPECT_EQ(target.find('/'), std::string::npos) << "a link out of the help folder";
      EXPECT_FALSE(readPage(target).empty());
      if (hash != std::string::npos) {
        EXPECT_TRUE(hasSection(target, href.substr(hash + 1)));
      }
    }
  }
  EXPECT_GT(links, 20);
}

// A shortcut as the page writes it: "Ctrl+Shift+A", "Ctrl+Del", "Esc".
std::string keyText(const Shortcut& s) {
  std::string out;
  if (s.modifiers & modifier::Ctrl) out += "Ctrl+";
  if (s.modifiers & modifier::Shift) out += "Shift+";
  if (s.modifiers & modifier::Alt) out += "Alt+";
  if (s.key == "Delete") return out + "Del";
  if (s.key == "Insert") return out + "Ins";
  if (s.key == "Escape") return out + "Esc";
  if (s.key == "Keypad5") return out + "Keypad 5";
  return out + s.key;
}

TEST(HelpPages, ShortcutsPageListsExactlyTheMainWindowsShortcuts) {
  const std::vector<std::string> tables = between(readPage("shortcuts.htm"), "<table id=\"main-shortcuts\">", "</table>");
  ASSERT_EQ(tables.size(), 1u);
  std::vector<std::string> listed = between(tables[0], "<kbd>", "</kbd>");
  std::vector<std::string> expected;
  for (const Shortcut& s : mainShortcuts()) expected.push_back(keyText(s));
  std::sort(listed.begin(), listed.end());
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(listed, expected);
}

class HelpPagesOpen : public EditorTest {};

class OpeningPort : public FakePort {
 public:
  std::vector<std::string> opened;
  bool openWithDesktop(const std::string& path, const std::string& section) override {
    opened.push_back(path + section);
    return true;
  }
};

// A build and an installed editor have a `zordata` folder beside the program,
// where a folder `zorled` beside the program cannot be (the program has that name).
TEST_F(HelpPagesOpen, PagesAreLookedForInTheDataFolder) {
  files::createPath(temp / "program/zordata/zorled");
  ASSERT_TRUE(files::writeFileAtomic(temp / "program/zorled", "the program"));
  ASSERT_TRUE(files::writeFileAtomic(temp / "program/zordata/zorled/scripts.htm", "<html>scripts</html>"));
  const EditorFolders folders = findFolders(temp / "program", temp.path(), temp / "config", temp.path());
  EXPECT_EQ(helpPagePath(folders, "scripts.htm"), temp / "program/zordata/zorled/scripts.htm");

  OpeningPort opening;
  Editor withData(opening);
  withData.folders = folders;
  EXPECT_TRUE(showWindowHelp(withData, HelpWindow::Script, "Zone Start Script"));
  EXPECT_EQ(opening.opened, (std::vector<std::string>{temp / "program/zordata/zorled/scripts.htm"}));
  // A window whose page has a section opens the page at it.
  ASSERT_TRUE(files::writeFileAtomic(temp / "program/zordata/zorled/game.htm", "<html>game</html>"));
  EXPECT_TRUE(showWindowHelp(withData, HelpWindow::Script, "Edit Class"));
  EXPECT_TRUE(showWindowHelp(withData, HelpWindow::GFlagEditor));
  EXPECT_EQ(opening.opened, (std::vector<std::string>{temp / "program/zordata/zorled/scripts.htm",
                                                      temp / "program/zordata/zorled/game.htm#classes",
                                                      temp / "program/zordata/zorled/game.htm#gflags"}));
  EXPECT_TRUE(opening.messages.empty());

  // Without a data folder beside it, `zorled` beside the program.
  const EditorFolders bare = findFolders(temp / "bare", temp.path(), temp / "config", temp.path());
  EXPECT_EQ(helpPagePath(bare, "index.htm"), temp / "bare/zorled/index.htm");
}

class NoHost : public CommandHost {
 public:
  void toggleMaximised() override {}
  std::string ownExecutable() override { return ""; }
};

// Help > Documentation and Help > Keyboard Shortcuts open their pages from the
// data folder.
TEST_F(HelpPagesOpen, TheHelpMenuOpensTheIndexAndTheShortcuts) {
  files::createPath(temp / "zordata/zorled");
  for (const char* page : {"index.htm", "shortcuts.htm"}) {
    ASSERT_TRUE(files::writeFileAtomic(temp / (std::string("zordata/zorled/") + page), page));
  }
  OpeningPort opening;
  Editor withData(opening);
  withData.folders = editor.folders;
  withData.folders.data = temp / "zordata/";
  NoHost host;
  dispatchCommand(withData, host, Command::Documentation);
  dispatchCommand(withData, host, Command::KeyboardShortcuts);
  EXPECT_EQ(opening.opened, (std::vector<std::string>{temp / "zordata/zorled/index.htm",
                                                      temp / "zordata/zorled/shortcuts.htm"}));
  EXPECT_TRUE(opening.messages.empty());
}

}  // namespace
}  // namespace zor::editor::test
