// Files and folders: bounded whole-file reads, atomic writes, folder creation
// and the few path helpers the programs need. Paths use "/" as separator.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace zor::files {

// Reads a whole regular file into `out`. Fails (and leaves `out` empty) when the
// file is missing, is not a regular file, cannot be read, or holds more than
// `maxBytes` bytes. `error`, when given, receives a short reason.
bool readFile(const std::string& path, std::string& out, std::size_t maxBytes, std::string* error = nullptr);

// Writes `data` to a new file beside `path`, flushes it to the disk and renames it
// over `path`, so that `path` holds either its old content or the whole new one.
// A symbolic link is followed: the file it points to is replaced, beside itself.
// The new file keeps the old one's mode (and its owner and group where the
// system allows). A file with other hard links is written in place once the
// whole new content is safely beside it, so every name of it sees the change.
// Returns false on any failure (the folder does not exist or is not writable, a
// short write, a full disk, a failed flush or rename); the temporary file is
// removed then and `path` is left as it was.
bool writeFileAtomic(const std::string& path, std::string_view data, std::string* error = nullptr);

// Removes the temporary files that writes like writeFileAtomic's left in
// `folder` when the program was killed before they ended (".NAME.XXXXXXXX.part",
// eight hexadecimal digits, NAME ending in ".pPID" for the writing process). The
// files of a process still running, this one included, are in flight and stay.
// Returns how many were removed.
int removeInterruptedWrites(const std::string& folder);
// The same for the temporary files of one file only (after its symbolic links).
int removeInterruptedWritesOf(const std::string& path);

// Creates the folder and every missing parent. Trailing "/" characters are
// ignored. Returns true when the folder exists afterwards (also when it existed
// before); an empty path is the current folder and gives true.
bool createPath(const std::string& folder);

// What tells one version of a file from another: which file it is (a replacing
// rename makes a new one), its size and its change time. Equal stamps of one
// path mean nobody wrote it in between.
struct FileStamp {
  bool exists = false;
  uint64_t device = 0;
  uint64_t inode = 0;
  int64_t size = 0;
  int64_t modifiedSeconds = 0;
  int64_t modifiedNanoseconds = 0;
  bool operator==(const FileStamp&) const = default;
};
// The stamp of the file a path names (after its links); `exists` false when none.
FileStamp fileStamp(const std::string& path);

// The size of a file in bytes; -1 when nothing is there, -2 for a folder.
int64_t fileSize(const std::string& path);
bool fileExists(const std::string& path);  // a file that is not a folder
bool isFolder(const std::string& path);
bool deleteFile(const std::string& path);
// Creates an empty file where nothing is, never replacing anything that is
// there (a file, a folder or a link), so that of several processes asking for
// one name only one gets it. `alreadyThere`, when given, tells whether it failed
// because something held the name.
bool createNewFile(const std::string& path, bool* alreadyThere = nullptr);

// True when a file named `probeName` can be created in the folder; the probe
// file is removed again.
bool folderWritable(const std::string& folder, const std::string& probeName = "test.tmp");

// Everything up to and including the last "/"; empty when there is none.
std::string folderPart(std::string_view path);
// Everything after the last "/".
std::string fileName(std::string_view path);
// The text after the last "." of the file name; empty when there is none.
std::string extension(std::string_view path);
// folder + "/" + name, without doubling the "/"; an empty folder gives the name
// and an absolute name is returned as it is.
std::string joinPath(std::string_view folder, std::string_view name);
// An absolute path stays as it is; a relative one is joined to `base`. An empty
// path stays empty.
std::string absolutePath(std::string_view path, std::string_view base);

// The current working folder (empty when it cannot be found).
std::string currentFolder();
// The folder that holds the running program, ending in "/" (empty when unknown).
std::string programFolder();

}  // namespace zor::files
