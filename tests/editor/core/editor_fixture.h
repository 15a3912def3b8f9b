// An editor over a fake port, with its folders in a fresh temporary folder.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "editor/core/editor.h"
#include "platform/files.h"
#include "tests/editor/core/fake_port.h"
#include "tests/game/app/temp_folder.h"

namespace zor::editor::test {

class EditorTest : public ::testing::Test {
 protected:
  EditorTest() : editor(port) {
    editor.folders.program = temp.path();
    editor.folders.data = temp.path();
    editor.folders.start = temp.path();
    editor.folders.preference = temp.path() + "prefs/";
    files::createPath(editor.folders.preference);
  }

  // Writes a file into the temporary folder and returns its path.
  std::string writeFile(const std::string& name, const std::string& content) {
    const std::string path = temp / name;
    EXPECT_TRUE(files::writeFileAtomic(path, content));
    return path;
  }
  std::string readBack(const std::string& path) {
    std::string out;
    files::readFile(path, out, 1u << 24);
    return out;
  }

  zor::testing::TempFolder temp;
  FakePort port;
  Editor editor;
};

}  // namespace zor::editor::test
