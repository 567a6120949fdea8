// File operations of the settings store: whole-file reads, atomic replacement and the advisory
// lock that keeps a second running copy from writing the same settings file.
#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace gw {

// Result of reading a whole file.
enum class FileRead { Read, Missing, Failed };

// Largest settings file (or byte-value file) that is read. The program's own files hold a few
// kilobytes; a larger one is no settings file (or a device without an end) and is treated as
// unreadable, so it is never loaded whole nor replaced.
inline constexpr std::size_t kMaxSettingsFileBytes = std::size_t{16} * 1024 * 1024;

// Reads the whole file into `bytes` (emptied first). A missing file gives Missing and empty
// bytes; any other error, and a file larger than kMaxSettingsFileBytes, gives Failed. A named
// pipe without a writer gives an empty file instead of blocking.
FileRead ReadWholeFile(const std::filesystem::path& path, std::string& bytes);

// Replaces `target` with `bytes` so that at every moment, crashes and power loss included, the
// file holds either its old bytes or exactly the new ones: the bytes go to a temporary file in
// the same folder, which is flushed to disk, takes over the old file's permissions and is
// renamed over it; then the folder is flushed. Returns false when the file was not replaced.
bool WriteFileAtomically(const std::filesystem::path& target, std::string_view bytes);

// Removes temporary files that an interrupted WriteFileAtomically left beside `target`. Only
// safe while holding the target's lock.
void RemoveStaleTemporaries(const std::filesystem::path& target);

// An exclusive advisory lock (flock) on "<target>.lock", held as long as the object lives.
// Locks belong to open file descriptions, so a second lock on the same target fails even in
// the same process.
class FileLock {
 public:
  // Nothing when the lock file cannot be created or another holder has the lock.
  static std::optional<FileLock> TryAcquire(const std::filesystem::path& target);

  FileLock(FileLock&& other) noexcept;
  FileLock& operator=(FileLock&& other) noexcept;
  FileLock(const FileLock&) = delete;
  FileLock& operator=(const FileLock&) = delete;
  ~FileLock();

 private:
  explicit FileLock(int fd) : fd_(fd) {}
  int fd_ = -1;
};

}  // namespace gw
