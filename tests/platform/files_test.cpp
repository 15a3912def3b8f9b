#include "platform/files.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

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

TEST(Files, AtomicWriteReplacesTheFileALinkPointsTo) {
  TempDir dir;
  ASSERT_TRUE(createPath(dir.path + "real/"));
  const std::string real = dir.path + "real/game.zorlan";
  ASSERT_TRUE(writeFileAtomic(real, "old"));
  fs::create_symlink(real, dir.path + "absolute");
  fs::create_symlink("real/game.zorlan", dir.path + "relative");
  fs::create_symlink("relative", dir.path + "chain");
  for (const char* link : {"absolute", "relative", "chain"}) {
    ASSERT_TRUE(writeFileAtomic(dir.path + link, link)) << link;
    EXPECT_TRUE(fs::is_symlink(dir.path + link)) << link;
    EXPECT_EQ(slurp(real), link);
    EXPECT_EQ(fs::directory_iterator(dir.path + "real/")->path().filename(), "game.zorlan");  // nothing left
  }
  // A link to a file not there yet makes the file.
  fs::create_symlink("real/new.zorlan", dir.path + "dangling");
  ASSERT_TRUE(writeFileAtomic(dir.path + "dangling", "made"));
  EXPECT_EQ(slurp(dir.path + "real/new.zorlan"), "made");
  EXPECT_TRUE(fs::is_symlink(dir.path + "dangling"));
}

TEST(Files, AtomicWriteKeepsTheModeAndEveryHardLink) {
  TempDir dir;
  const std::string path = dir.path + "save.ini";
  for (const fs::perms mode : {fs::perms(0600), fs::perms(0640), fs::perms(0664)}) {
    ASSERT_TRUE(writeFileAtomic(path, "a"));
    fs::permissions(path, mode);
    ASSERT_TRUE(writeFileAtomic(path, "b"));
    EXPECT_EQ(fs::status(path).permissions(), mode);
  }
  const std::string other = dir.path + "other-name.ini";
  fs::create_hard_link(path, other);
  ASSERT_TRUE(writeFileAtomic(path, "through one name"));
  EXPECT_EQ(slurp(other), "through one name");
  EXPECT_EQ(fs::hard_link_count(path), 2u);
  EXPECT_EQ(fs::status(other).permissions(), fs::perms(0664));
  EXPECT_EQ(dir.names().size(), 2u);
}

TEST(Files, OnlyWritesOfEndedProcessesAreRemoved) {
  TempDir dir;
  const pid_t child = fork();
  if (child == 0) _exit(0);
  ASSERT_GT(child, 0);
  waitpid(child, nullptr, 0);  // its number now names no process
  const std::string ended = std::to_string(child);
  const std::string running = std::to_string(getppid());
  const std::string self = std::to_string(getpid());
  ASSERT_TRUE(writeFileAtomic(dir.path + "g.zorlan", "game"));
  const std::vector<std::pair<std::string, bool>> files = {
      {".g.zorlan.p" + ended + ".0000abcd.part", true},     // its writer was killed
      {".g.zorlan.0badf00d.part", true},                    // left by an older program
      {".g.zorlan.p" + running + ".0000abcd.part", false},  // another process is writing it
      {".g.zorlan.p" + self + ".0000abcd.part", false},     // this one is
      {".g.zorlan.bak.p" + ended + ".0000abcd.part", true},
      {".g.zorlan.pX1.0000abcd.part", true},  // an older program's write of "g.zorlan.pX1"
  };
  for (const auto& [name, removed] : files) ASSERT_TRUE(writeFileAtomic(dir.path + name, "x"));
  // Only the writes of the named file first, then of the whole folder.
  EXPECT_EQ(removeInterruptedWritesOf(dir.path + "g.zorlan"), 2);
  EXPECT_TRUE(fileExists(dir.path + ".g.zorlan.bak.p" + ended + ".0000abcd.part"));
  EXPECT_TRUE(fileExists(dir.path + ".g.zorlan.pX1.0000abcd.part"));
  EXPECT_EQ(removeInterruptedWrites(dir.path), 2);
  for (const auto& [name, removed] : files) EXPECT_EQ(fileExists(dir.path + name), !removed) << name;
  EXPECT_EQ(slurp(dir.path + "g.zorlan"), "game");
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

TEST(Files, CreateNewFileNeverTakesANameThatIsHeld) {
  TempDir dir;
  bool held = true;
  ASSERT_TRUE(createNewFile(dir.path + "claim", &held));
  EXPECT_FALSE(held);
  EXPECT_EQ(fileSize(dir.path + "claim"), 0);
  ASSERT_TRUE(writeFileAtomic(dir.path + "claim", "mine"));
  EXPECT_FALSE(createNewFile(dir.path + "claim", &held));
  EXPECT_TRUE(held);
  EXPECT_EQ(fileSize(dir.path + "claim"), 4);  // left as it was
  fs::create_directory_symlink(dir.path + "none", dir.path + "dangling");
  EXPECT_FALSE(createNewFile(dir.path + "dangling", &held));
  EXPECT_TRUE(held);
  EXPECT_FALSE(fileExists(dir.path + "none"));
  EXPECT_FALSE(createNewFile(dir.path + "nofolder/claim", &held));
  EXPECT_FALSE(held);
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
