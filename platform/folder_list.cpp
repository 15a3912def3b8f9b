#include "platform/folder_list.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/files.h"
#include "platform/text.h"

namespace zor::files {

std::vector<std::string> listFilesWithSuffix(const std::string& folder, std::string_view suffix) {
  std::vector<std::string> names;
  DIR* dir = opendir(folder.empty() ? "." : folder.c_str());
  if (!dir) return names;
  const std::string lowerSuffix = text::toLower(suffix);
  while (const dirent* entry = readdir(dir)) {
    const std::string name = entry->d_name;
    if (name.size() < lowerSuffix.size()) continue;
    if (text::toLower(std::string_view(name).substr(name.size() - lowerSuffix.size())) != lowerSuffix) continue;
    struct stat info {};
    if (stat(joinPath(folder, name).c_str(), &info) != 0 || !S_ISREG(info.st_mode)) continue;
    names.push_back(name);
  }
  closedir(dir);
  std::sort(names.begin(), names.end());
  return names;
}

bool renameNoReplace(const std::string& from, const std::string& to) {
  // A hard link fails when the target exists, so nothing is ever overwritten.
  if (::link(from.c_str(), to.c_str()) != 0) {
    // File systems without hard links: check, then rename.
    if (errno == EEXIST || fileSize(to) != -1) return false;
    return ::rename(from.c_str(), to.c_str()) == 0;
  }
  if (::unlink(from.c_str()) != 0) {
    ::unlink(to.c_str());
    return false;
  }
  return true;
}

}  // namespace zor::files
