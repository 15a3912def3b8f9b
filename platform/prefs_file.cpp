#include "platform/prefs_file.h"

#include "format/values.h"
#include "platform/files.h"
#include "platform/text.h"

namespace zor::prefs {
namespace {

bool isBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view skipBlanks(std::string_view s) {
  std::size_t i = 0;
  while (i < s.size() && isBlank(s[i])) ++i;
  return s.substr(i);
}

std::string_view trimBlanksRight(std::string_view s) {
  std::size_t n = s.size();
  while (n > 0 && isBlank(s[n - 1])) --n;
  return s.substr(0, n);
}

}  // namespace

bool PrefsReader::open(const std::string& path, std::size_t maxBytes) {
  entries_.clear();
  group_.clear();
  open_ = false;
  std::string data;
  if (!files::readFile(path, data, maxBytes)) return false;
  parse(data);
  return true;
}

void PrefsReader::parse(std::string_view text) {
  entries_.clear();
  group_.clear();
  open_ = true;
  if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
  std::string group;
  while (!text.empty()) {
    std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    line = skipBlanks(line);
    if (line.empty() || line.front() == ';') continue;
    if (line.front() == '[') {
      std::string_view name = line.substr(1);
      std::size_t close = name.find(']');
      if (close != std::string_view::npos) name = name.substr(0, close);
      group = std::string(trimBlanksRight(skipBlanks(name)));
      continue;
    }
    std::size_t eq = line.find('=');
    if (eq == std::string_view::npos) continue;
    Entry e;
    e.group = group;
    e.key = std::string(trimBlanksRight(line.substr(0, eq)));
    e.value = std::string(skipBlanks(line.substr(eq + 1)));
    entries_.push_back(std::move(e));
  }
}

bool PrefsReader::selectGroup(std::string_view name) {
  group_ = std::string(name);
  for (const Entry& e : entries_) {
    if (text::equalsIgnoreCase(e.group, group_)) return true;
  }
  return false;
}

const std::string* PrefsReader::find(std::string_view key) const {
  for (const Entry& e : entries_) {
    if (text::equalsIgnoreCase(e.group, group_) && text::equalsIgnoreCase(e.key, key)) return &e.value;
  }
  return nullptr;
}

std::string PrefsReader::readString(std::string_view key, std::string_view defaultValue) const {
  const std::string* v = find(key);
  return v ? *v : std::string(defaultValue);
}

int64_t PrefsReader::readInt(std::string_view key, int64_t defaultValue) const {
  const std::string* v = find(key);
  return v ? format::readInt64(*v) : defaultValue;
}

std::vector<const Entry*> PrefsReader::groupEntries() const {
  std::vector<const Entry*> out;
  for (const Entry& e : entries_) {
    if (text::equalsIgnoreCase(e.group, group_)) out.push_back(&e);
  }
  return out;
}

void PrefsWriter::append(std::string_view s) {
  for (char c : s) text_.push_back((c == '\n' || c == '\r') ? ' ' : c);
}

void PrefsWriter::comment(std::string_view text) {
  text_ += "; ";
  append(text);
  text_ += '\n';
}

void PrefsWriter::group(std::string_view name) {
  text_ += '[';
  append(name);
  text_ += "]\n";
}

void PrefsWriter::key(std::string_view name, std::string_view value) {
  append(name);
  text_ += " = ";
  append(value);
  text_ += '\n';
}

void PrefsWriter::key(std::string_view name, int64_t value) { key(name, std::string_view(text::formatInt(value))); }

bool PrefsWriter::save(const std::string& path, std::string* error) const {
  files::createPath(files::folderPart(path));  // a failure shows in the write below
  return files::writeFileAtomic(path, text_, error);
}

}  // namespace zor::prefs
