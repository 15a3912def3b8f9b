#include "platform/files.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace zor::files {
namespace {

namespace fs = std::filesystem;

struct TempDir {
  std::string path;  // ends in "/"
  TempDir() {
    std::string t = (fs::temp_directory_path() / "zorfilesXXXXXX").string();
    std::vector<char> buf(t.begin(), t.end());
    buf.push_back('\0');
    path = std::string(mkdtemp(buf.data())) + "/";
  }
  ~TempDir() { fs::remove_all(path); }
  std::vector<std::string> names() const {
    std::vector<std::string> out;
    for (const auto& e : fs::directory_iterator(path)) out.push_back(e.path().filename().string());
    return out;
  }
};

std::string slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST(Files, ReadFileReadsBytesExactlyWithinTheBound) {
  TempDir dir;
  const std::string data("a\0b\r\n\xff", 6);
  ASSERT_TRUE(writeFileAtomic(dir.path + "f.bin", data));
  std::string out;
  EXPECT_TRUE(readFile(dir.path + "f.bin", out, 6));
  EXPECT_EQ(out, data);

  std::string error;
  EXPECT_FALSE(readFile(dir.path + "f.bin", out, 5, &error));  // one byte too many
  EXPECT_TRUE(out.empty());
  EXPECT_NE(error.find("too large"), std::string::npos);
}

TEST(Files, ReadFileRefusesWhatIsNotAReadableFile) {
  TempDir dir;
  fs::create_directory(dir.path + "sub");
  std::string out = "left over";
  for (const std::string& p : {dir.path + "missing", dir.path + "sub", std::string()}) {
    EXPECT_FALSE(readFile(p, out, 1000)) << p;
    EXPECT_TRUE(out.empty());
  }
}

TEST(Files, AtomicWriteReplacesTheFileAndLeavesNothingBeside) {
  TempDir dir;
  const std::string target = dir.path + "save.ini";
  ASSERT_TRUE(writeFileAtomic(target, "old"));
  ASSERT_TRUE(writeFileAtomic(target, "new content"));
  EXPECT_EQ(slurp(target), "new content");
  EXPECT_EQ(dir.names(), std::vector<std::string>{"save.ini"});
  ASSERT_TRUE(writeFileAtomic(target, ""));
  EXPECT_EQ(fileSize(target), 0);
}

TEST(Files, AtomicWriteReportsFailureAndKeepsTheOldFile) {
  TempDir dir;
  // No such folder.
  EXPECT_FALSE(writeFileAtomic(dir.path + "nofolder/x.ini", "data"));
  // The target is a folder: the rename fails and the temporary file goes away.
  fs::create_directory(dir.path + "taken");
  std::string error;
  EXPECT_FALSE(writeFileAtomic(dir.path + "taken", "data", &error));
  EXPECT_FALSE(error.empty());
  EXPECT_EQ(dir.names(), std::vector<std::string>{"taken"});
  // A name that ends in "/" names no file.
  EXPECT_FALSE(writeFileAtomic(dir.path, "data"));
}

TEST(Files, AtomicWriteDetectsAFullDisk) {
  // A file-size limit makes the write fail the way a full disk does.
  TempDir dir;
  const std::string target = dir.path + "pref.ini";
  ASSERT_TRUE(writeFileAtomic(target, "intact"));
  rlimit old{};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
  auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
  rlimit small = old;
  small.rlim_cur = 4096;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  const bool ok = writeFileAtomic(target, std::string(100000, 'x'));
  setrlimit(RLIMIT_FSIZE, &old);
  std::signal(SIGXFSZ, oldHandler);
  EXPECT_FALSE(ok);
  EXPECT_EQ(slurp(target), "intact");
  EXPECT_EQ(dir.names(), std::vector<std::string>{"pref.ini"});
}

TEST(Files, CreatePathMakesEveryMissingParent) {
  TempDir dir;
  EXPECT_TRUE(createPath(dir.path + "a/b/c/"));
  EXPECT_TRUE(isFolder(dir.path + "a/b/c"));
  EXPECT_TRUE(createPath(dir.path + "a/b/c"));  // already there
  EXPECT_TRUE(createPath(dir.path + "a/b/d//"));
  EXPECT_TRUE(isFolder(dir.path + "a/b/d"));
  EXPECT_TRUE(createPath(""));
  // A plain file in the way.
  ASSERT_TRUE(writeFileAtomic(dir.path + "file", "x"));
  EXPECT_FALSE(createPath(dir.path + "file/sub"));
  EXPECT_FALSE(createPath(dir.path + "file"));
}

TEST(Files, SizeExistsAndWritableTell) {
  TempDir dir;
  ASSERT_TRUE(writeFileAtomic(dir.path + "f", "12345"));
  EXPECT_EQ(fileSize(dir.path + "f"), 5);
  EXPECT_EQ(fileSize(dir.path + "none"), -1);
  EXPECT_EQ(fileSize(dir.path), -2);
  EXPECT_TRUE(fileExists(dir.path + "f"));
  EXPECT_FALSE(fileExists(dir.path));
  EXPECT_TRUE(folderWritable(dir.path));
  EXPECT_FALSE(folderWritable(dir.path + "none"));
  EXPECT_FALSE(folderWritable(dir.path + "f"));
  EXPECT_FALSE(fileExists(dir.path + "test.tmp"));  // the probe is gone again
  EXPECT_TRUE(deleteFile(dir.path + "f"));
  EXPECT_FALSE(deleteFile(dir.path + "f"));
}

TEST(Files, PathHelpers) {
  struct Case {
    const char* path;
    const char* folder;
    const char* name;
    const char* ext;
  };
  const Case cases[] = {
      {"/a/b/save.ini", "/a/b/", "save.ini", "ini"},
      {"game.ZORLAN", "", "game.ZORLAN", "ZORLAN"},
      {"dir.d/noext", "dir.d/", "noext", ""},
      {"/a/b/", "/a/b/", "", ""},
      {"a.b.c", "", "a.b.c", "c"},
      {"", "", "", ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(folderPart(c.path), c.folder) << c.path;
    EXPECT_EQ(fileName(c.path), c.name) << c.path;
    EXPECT_EQ(extension(c.path), c.ext) << c.path;
  }
  EXPECT_EQ(joinPath("/a", "b"), "/a/b");
  EXPECT_EQ(joinPath("/a/", "b"), "/a/b");
  EXPECT_EQ(joinPath("", "b"), "b");
  EXPECT_EQ(joinPath("/a", "/abs"), "/abs");
  EXPECT_EQ(absolutePath("g.zorlan", "/home/p"), "/home/p/g.zorlan");
  EXPECT_EQ(absolutePath("../g.xml", "/home/p/"), "/home/p/../g.xml");
  EXPECT_EQ(absolutePath("/x/g.xml", "/home/p"), "/x/g.xml");
  EXPECT_EQ(absolutePath("", "/home/p"), "");
}

TEST(Files, ProgramAndCurrentFolderAreAbsolute) {
  const std::string program = programFolder();
  ASSERT_FALSE(program.empty());
  EXPECT_EQ(program.front(), '/');
  EXPECT_EQ(program.back(), '/');
  EXPECT_EQ(currentFolder().front(), '/');
}

}  // namespace
}  // namespace zor::files
