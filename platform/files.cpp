#include "platform/files.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <vector>

namespace zor::files {
namespace {

void setError(std::string* error, const std::string& what, int err) {
  if (!error) return;
  *error = what;
  if (err != 0) {
    *error += ": ";
    *error += std::strerror(err);
  }
}

bool writeAll(int fd, std::string_view data, int& err) {
  const char* p = data.data();
  std::size_t left = data.size();
  while (left > 0) {
    ssize_t n = ::write(fd, p, left);
    if (n < 0) {
      if (errno == EINTR) continue;
      err = errno;
      return false;
    }
    if (n == 0) {
      err = ENOSPC;
      return false;
    }
    p += n;
    left -= static_cast<std::size_t>(n);
  }
  return true;
}

// Opens a new, unique file beside the target; the name starts with "." and the
// target's name so that it is easy to recognise and never clashes with it, and
// names the process writing it: ".NAME.pPID.XXXXXXXX.part".
int openTemporary(const std::string& target, std::string& tempPath, int& err) {
  static std::atomic<uint32_t> counter{0};
  const std::string folder = folderPart(target);
  const std::string name = fileName(target);
  for (int attempt = 0; attempt < 100; ++attempt) {
    uint64_t stamp = static_cast<uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
    uint64_t tag = stamp ^ (static_cast<uint64_t>(::getpid()) << 32) ^ counter.fetch_add(1);
    char suffix[24];
    std::snprintf(suffix, sizeof suffix, "%08x", static_cast<unsigned>(tag & 0xFFFFFFFFu) ^ static_cast<unsigned>(tag >> 32));
    tempPath = folder + "." + name + ".p" + std::to_string(::getpid()) + "." + suffix + ".part";
    int fd = ::open(tempPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0) return fd;
    if (errno != EEXIST) {
      err = errno;
      return -1;
    }
  }
  err = EEXIST;
  return -1;
}

void syncFolder(const std::string& path) {
  const std::string parent = folderPart(path);
  const char* folder = parent.empty() ? "." : parent.c_str();
  int fd = ::open(folder, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);  // best effort: the rename itself is done
  ::close(fd);
}

bool makeFolder(const std::string& folder) {
  if (::mkdir(folder.c_str(), 0777) == 0) return true;
  return errno == EEXIST && isFolder(folder);
}

// "PATH is too large (more than N MiB)", or N bytes when the bound is not whole mebibytes.
std::string tooLarge(const std::string& path, std::size_t maxBytes) {
  constexpr std::size_t kMiB = 1024u * 1024u;
  const std::string bound = maxBytes >= kMiB && maxBytes % kMiB == 0 ? std::to_string(maxBytes / kMiB) + " MiB"
                                                                       : std::to_string(maxBytes) + " bytes";
  return path + " is too large (more than " + bound + ")";
}

}  // namespace

bool readFile(const std::string& path, std::string& out, std::size_t maxBytes, std::string* error) {
  out.clear();
  if (path.empty()) {
    setError(error, "No file name", 0);
    return false;
  }
  struct stat st{};
  if (::stat(path.c_str(), &st) != 0) {
    setError(error, "Cannot open " + path, errno);
    return false;
  }
  if (!S_ISREG(st.st_mode)) {
    setError(error, path + " is not a file", 0);
    return false;
  }
  if (st.st_size < 0 || static_cast<uint64_t>(st.st_size) > maxBytes) {
    setError(error, tooLarge(path, maxBytes), 0);
    return false;
  }
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) {
    setError(error, "Cannot open " + path, errno);
    return false;
  }
  std::string data;
  data.reserve(static_cast<std::size_t>(st.st_size));
  std::vector<char> buffer(64 * 1024);
  bool ok = true;
  int err = 0;
  for (;;) {
    ssize_t n = ::read(fd, buffer.data(), buffer.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      err = errno;
      ok = false;
      break;
    }
    if (n == 0) break;
    if (data.size() + static_cast<std::size_t>(n) > maxBytes) {  // grew while we read
      ::close(fd);
      setError(error, tooLarge(path, maxBytes), 0);
      return false;
    }
    data.append(buffer.data(), static_cast<std::size_t>(n));
  }
  ::close(fd);
  if (!ok) {
    setError(error, "Cannot read " + path, err);
    return false;
  }
  out = std::move(data);
  return true;
}

namespace {

// The file a path names: symbolic links followed to their end (which need not
// exist yet). A loop of links gives the path itself.
std::string linkTarget(const std::string& path) {
  std::string at = path;
  for (int hops = 0; hops < 40; ++hops) {
    struct stat st{};
    if (::lstat(at.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return at;
    std::vector<char> buffer(static_cast<std::size_t>(st.st_size > 0 ? st.st_size : 255) + 1);
    const ssize_t n = ::readlink(at.c_str(), buffer.data(), buffer.size());
    if (n <= 0 || static_cast<std::size_t>(n) >= buffer.size()) return path;
    const std::string next(buffer.data(), static_cast<std::size_t>(n));
    at = next.front() == '/' ? next : folderPart(at) + next;
  }
  return path;
}

// Writes the data over the file in place, for a file with other hard links,
// which a rename would part from the new content.
// Flushes a written file to the disk and closes it; false (with `err`) when the
// write before (`ok` false), the flush or the close failed.
bool syncAndClose(int fd, bool ok, int& err) {
  if (ok && ::fsync(fd) != 0) {
    err = errno;
    ok = false;
  }
  if (::close(fd) != 0 && ok) {
    err = errno;
    ok = false;
  }
  return ok;
}

bool writeInPlace(const std::string& path, std::string_view data, int& err) {
  int fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC);
  if (fd < 0) {
    err = errno;
    return false;
  }
  bool ok = writeAll(fd, data, err);
  if (ok && ::ftruncate(fd, static_cast<off_t>(data.size())) != 0) {
    err = errno;
    ok = false;
  }
  return syncAndClose(fd, ok, err);
}

}  // namespace

bool writeFileAtomic(const std::string& requested, std::string_view data, std::string* error) {
  if (requested.empty() || requested.back() == '/') {
    setError(error, "No file name", 0);
    return false;
  }
  // A symbolic link stays: the file it points to gets the new content.
  const std::string path = linkTarget(requested);
  struct stat old{};
  const bool existed = ::stat(path.c_str(), &old) == 0 && S_ISREG(old.st_mode);
  int err = 0;
  std::string temp;
  int fd = openTemporary(path, temp, err);
  if (fd < 0) {
    setError(error, "Cannot create a file beside " + path, err);
    return false;
  }
  if (existed) {
    // The new file keeps the old one's mode and, where allowed, its owner and group.
    if (::fchown(fd, old.st_uid, old.st_gid) != 0 && ::fchown(fd, static_cast<uid_t>(-1), old.st_gid) != 0) {
      // best effort: a file of another user becomes ours
    }
    ::fchmod(fd, old.st_mode & 07777);
  }
  bool ok = syncAndClose(fd, writeAll(fd, data, err), err);
  if (ok && existed && old.st_nlink > 1) {
    // The complete copy beside it is written; now the shared file itself. Should
    // that fail, the copy takes its name, so the name holds the new content.
    int inPlaceErr = 0;
    if (writeInPlace(path, data, inPlaceErr)) {
      ::unlink(temp.c_str());
      syncFolder(path);
      return true;
    }
  }
  if (ok && ::rename(temp.c_str(), path.c_str()) != 0) {
    err = errno;
    ok = false;
  }
  if (!ok) {
    ::unlink(temp.c_str());
    setError(error, "Cannot write " + path, err);
    return false;
  }
  syncFolder(path);
  return true;
}

namespace {

// ".NAME.XXXXXXXX.part", as openTemporary names its files (NAME ends in
// ".pPID" for the writing process).
bool isTemporaryName(std::string_view name) {
  constexpr std::string_view kEnd = ".part";
  constexpr std::size_t kTagLength = 8;
  if (name.size() < 1 + 1 + 1 + kTagLength + kEnd.size() || name.front() != '.') return false;
  if (name.substr(name.size() - kEnd.size()) != kEnd) return false;
  const std::size_t tag = name.size() - kEnd.size() - kTagLength;
  if (name[tag - 1] != '.') return false;
  for (std::size_t i = tag; i < tag + kTagLength; ++i) {
    const char c = name[i];
    if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) return false;
  }
  return true;
}

// A temporary file whose writer has ended: its process is gone, or its name
// does not tell the process (left by an older program).
bool writerEnded(std::string_view name) {
  const std::size_t tag = name.size() - std::string_view(".XXXXXXXX.part").size();
  const std::size_t mark = name.rfind(".p", tag - 1);
  if (mark == std::string_view::npos || mark + 2 >= tag) return true;
  long long pid = 0;
  for (std::size_t i = mark + 2; i < tag; ++i) {
    const char c = name[i];
    if (c < '0' || c > '9' || pid > 100000000) return true;
    pid = pid * 10 + (c - '0');
  }
  if (pid <= 0 || pid == ::getpid()) return pid <= 0;
  return ::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH;
}

// After ".NAME.": "XXXXXXXX.part" or "pPID.XXXXXXXX.part", so that the writes of
// "a.zorlan" are told from those of "a.zorlan.bak".
bool isWriteOfName(std::string_view rest) {
  constexpr std::size_t kTagAndEnd = std::string_view("XXXXXXXX.part").size();
  if (rest.size() == kTagAndEnd) return true;
  if (rest.size() < kTagAndEnd + 3 || rest.front() != 'p' || rest[rest.size() - kTagAndEnd - 1] != '.') return false;
  for (std::size_t i = 1; i < rest.size() - kTagAndEnd - 1; ++i)
    if (rest[i] < '0' || rest[i] > '9') return false;
  return true;
}

int removeEndedWrites(const std::string& folder, std::string_view ofName) {
  DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
  if (dir == nullptr) return 0;
  std::vector<std::string> names;
  std::string prefix;
  if (!ofName.empty()) {
    prefix.reserve(ofName.size() + 2);
    prefix += '.';
    prefix += ofName;
    prefix += '.';
  }
  while (const dirent* entry = ::readdir(dir)) {
    const std::string_view name = entry->d_name;
    if (!isTemporaryName(name) || name.compare(0, prefix.size(), prefix) != 0) continue;
    if (!ofName.empty() && !isWriteOfName(name.substr(prefix.size()))) continue;
    if (writerEnded(name)) names.emplace_back(name);
  }
  ::closedir(dir);
  int removed = 0;
  for (const std::string& name : names) {
    const std::string path = joinPath(folder, name);
    struct stat st {};
    if (::lstat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && ::unlink(path.c_str()) == 0) ++removed;
  }
  return removed;
}

}  // namespace

int removeInterruptedWrites(const std::string& folder) { return removeEndedWrites(folder, ""); }

int removeInterruptedWritesOf(const std::string& path) {
  const std::string target = linkTarget(path);
  const std::string name = fileName(target);
  if (name.empty()) return 0;
  return removeEndedWrites(folderPart(target), name);
}

bool createPath(const std::string& folder) {
  std::string path = folder;
  while (!path.empty() && path.back() == '/') path.pop_back();
  if (path.empty()) return true;  // the current folder, or the root
  if (isFolder(path)) return true;
  const std::string parent = folderPart(path);
  if (!parent.empty() && !createPath(parent)) return false;
  return makeFolder(path);
}

FileStamp fileStamp(const std::string& path) {
  FileStamp stamp;
  struct stat st{};
  if (path.empty() || ::stat(path.c_str(), &st) != 0) return stamp;
  stamp.exists = true;
  stamp.device = static_cast<uint64_t>(st.st_dev);
  stamp.inode = static_cast<uint64_t>(st.st_ino);
  stamp.size = static_cast<int64_t>(st.st_size);
  stamp.modifiedSeconds = static_cast<int64_t>(st.st_mtim.tv_sec);
  stamp.modifiedNanoseconds = static_cast<int64_t>(st.st_mtim.tv_nsec);
  return stamp;
}

int64_t fileSize(const std::string& path) {
  struct stat st{};
  if (path.empty() || ::stat(path.c_str(), &st) != 0) return -1;
  if (S_ISDIR(st.st_mode)) return -2;
  return static_cast<int64_t>(st.st_size);
}

bool fileExists(const std::string& path) { return fileSize(path) >= 0; }

bool isFolder(const std::string& path) {
  struct stat st{};
  return !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool deleteFile(const std::string& path) { return !path.empty() && ::unlink(path.c_str()) == 0; }

bool createNewFile(const std::string& path, bool* alreadyThere) {
  if (alreadyThere) *alreadyThere = false;
  if (path.empty()) return false;
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666);
  if (fd < 0) {
    if (alreadyThere) *alreadyThere = errno == EEXIST;
    return false;
  }
  ::close(fd);
  return true;
}

bool folderWritable(const std::string& folder, const std::string& probeName) {
  if (!isFolder(folder.empty() ? std::string(".") : folder)) return false;
  const std::string probe = joinPath(folder, probeName);
  int fd = ::open(probe.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0666);
  if (fd < 0) return false;
  ::close(fd);
  ::unlink(probe.c_str());
  return true;
}

std::string folderPart(std::string_view path) {
  std::size_t p = path.rfind('/');
  if (p == std::string_view::npos) return std::string();
  return std::string(path.substr(0, p + 1));
}

std::string fileName(std::string_view path) {
  std::size_t p = path.rfind('/');
  if (p == std::string_view::npos) return std::string(path);
  return std::string(path.substr(p + 1));
}

std::string extension(std::string_view path) {
  std::string name = fileName(path);
  std::size_t p = name.rfind('.');
  if (p == std::string::npos) return std::string();
  return name.substr(p + 1);
}

std::string joinPath(std::string_view folder, std::string_view name) {
  if (folder.empty() || (!name.empty() && name.front() == '/')) return std::string(name);
  std::string out(folder);
  if (out.back() != '/') out.push_back('/');
  out.append(name);
  return out;
}

std::string absolutePath(std::string_view path, std::string_view base) {
  if (path.empty() || path.front() == '/') return std::string(path);
  return joinPath(base, path);
}

std::string currentFolder() {
  std::vector<char> buffer(4096);
  for (int i = 0; i < 6; ++i) {
    if (::getcwd(buffer.data(), buffer.size()) != nullptr) return std::string(buffer.data());
    if (errno != ERANGE) return std::string();
    buffer.resize(buffer.size() * 2);
  }
  return std::string();
}

std::string programFolder() {
  std::vector<char> buffer(4096);
  for (int i = 0; i < 6; ++i) {
    ssize_t n = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
    if (n < 0) return std::string();
    if (static_cast<std::size_t>(n) < buffer.size()) return folderPart(std::string_view(buffer.data(), static_cast<std::size_t>(n)));
    buffer.resize(buffer.size() * 2);
  }
  return std::string();
}

}  // namespace zor::files
