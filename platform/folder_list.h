// Listing the files of one folder.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace zor::files {

// Names (not paths) of the regular files in `folder` whose name ends in
// `suffix` compared without regard to ASCII letter case, sorted by name. A
// missing or unreadable folder gives an empty list.
std::vector<std::string> listFilesWithSuffix(const std::string& folder, std::string_view suffix);

// Renames `from` to `to` only when `to` does not exist yet; false otherwise or on failure.
bool renameNoReplace(const std::string& from, const std::string& to);

}  // namespace zor::files
