#include "platform/sound.h"

#include <filesystem>
#include <string_view>
#include <vector>

#include "platform/text.h"

namespace zor {

namespace {

// A folder holding more entries than this is not searched.
constexpr int kMaxFolderEntries = 100000;

bool pathExists(const std::filesystem::path& p) {
  std::error_code ec;
  return std::filesystem::exists(p, ec) && !ec;
}

// The entry of `folder` whose name equals `name` ignoring case; empty when none.
std::string matchInFolder(const std::filesystem::path& folder, std::string_view name) {
  std::error_code ec;
  std::filesystem::directory_iterator it(folder.empty() ? std::filesystem::path(".") : folder, ec);
  if (ec) return std::string();
  std::string best;
  int seen = 0;
  for (const std::filesystem::directory_iterator end; it != end && seen < kMaxFolderEntries; it.increment(ec), ++seen) {
    if (ec) break;
    const std::string entry = it->path().filename().string();
    if (text::equalsIgnoreCase(entry, name) && (best.empty() || entry < best)) best = entry;
  }
  return best;
}

}  // namespace

std::string findPathIgnoringCase(const std::string& path) {
  if (path.empty() || pathExists(path)) return path;

  const std::vector<std::string> parts = text::split(path, '/');
  std::filesystem::path found;
  std::string result;
  if (path.front() == '/') {
    found = "/";
    result.push_back('/');
  }
  bool first = true;
  for (std::size_t i = 0; i < parts.size(); ++i) {
    const std::string& part = parts[i];
    if (part.empty()) continue;
    std::string name = part;
    if (part != "." && part != ".." && !pathExists(found / part)) {
      name = matchInFolder(found, part);
      if (name.empty()) return path;
    }
    found /= name;
    if (!first && result.back() != '/') result += '/';
    result += name;
    first = false;
  }
  // A trailing "/" stays.
  if (path.back() == '/' && !result.empty() && result.back() != '/') result += '/';
  return result;
}

}  // namespace zor
