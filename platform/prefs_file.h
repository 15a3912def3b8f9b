// Preference files: line-based text with group headers in square brackets,
// comment lines that begin with ";" and one "key = value" per line. The game
// keeps its preferences and its save game in this form.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zor::prefs {

// Preference files are small; anything larger is not read.
inline constexpr std::size_t kMaxFileBytes = 1u << 20;

struct Entry {
  std::string group;  // as written in the header, blanks around it removed; "" before any header
  std::string key;
  std::string value;
};

// Reads a preference file. Accepted: a leading UTF-8 byte-order mark, lines
// ending in CR LF, blanks and tabs before a line, around the "=" and before the
// value. Group and key names are compared without regard to letter case; the
// first key of a name in the selected group counts. Lines that are neither a
// comment, a header nor hold a "=" are passed over.
class PrefsReader {
 public:
  // Reads the file. A missing, unreadable or too large file gives false and an
  // empty reader, whose reads all give their defaults.
  bool open(const std::string& path, std::size_t maxBytes = kMaxFileBytes);
  void parse(std::string_view text);
  bool isOpen() const { return open_; }

  // Selects a group by name; false when the file has none of that name (reads
  // then give their defaults). Before any selection the keys before the first
  // header are read.
  bool selectGroup(std::string_view name);

  // The value of a key of the selected group; null when absent.
  const std::string* find(std::string_view key) const;
  std::string readString(std::string_view key, std::string_view defaultValue) const;
  // The value read as an integer (text that is not a number reads as 0); the
  // default when the key is absent.
  int64_t readInt(std::string_view key, int64_t defaultValue) const;
  // Every key of the selected group, in file order.
  std::vector<const Entry*> groupEntries() const;

 private:
  std::vector<Entry> entries_;
  std::string group_;
  bool open_ = false;
};

// Builds a preference file in order: lines end in "\n", comments are "; " and
// the text, headers "[name]", keys "key = value". Line breaks inside a text
// are written as blanks, so that a value can never start a line of its own.
class PrefsWriter {
 public:
  void comment(std::string_view text);
  void group(std::string_view name);
  void key(std::string_view name, std::string_view value);
  void key(std::string_view name, int64_t value);
  void key(std::string_view name, int32_t value) { key(name, static_cast<int64_t>(value)); }
  void key(std::string_view name, const char* value) { key(name, std::string_view(value)); }

  const std::string& text() const { return text_; }
  // Creates the file's folder with its parents and writes the text atomically;
  // false when anything fails (the old file is then left as it was).
  bool save(const std::string& path, std::string* error = nullptr) const;

 private:
  void append(std::string_view s);
  std::string text_;
};

}  // namespace zor::prefs
