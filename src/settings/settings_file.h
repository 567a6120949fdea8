// File operations of the settings store: whole-file reads, the decision whether a file may be
// changed, atomic replacement or rewriting in place, and the advisory lock that keeps a second
// running copy from writing the same settings file.
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

// Whether `file` must be left as it is. A missing file is not protected (it may be created). A
// file with no write permission bit for anyone has been marked read-only and is protected even
// for the superuser, who could write to it anyway (editors warn "readonly" for the same reason);
// any other file is protected when the effective user and group ids may not write to it. A file
// whose state cannot be read counts as protected.
bool IsWriteProtected(const std::filesystem::path& file);

// Gives `target` the content `bytes` the way its folder allows, and never touches a protected
// file (IsWriteProtected). When the folder takes new files, the file is replaced atomically
// (WriteFileAtomically). Otherwise an existing file is rewritten in place (RewriteFileInPlace),
// which needs only the file's own permission: a writable settings file in a read-only folder
// stays usable. Returns false when the file was not changed (or not completely, in place).
bool StoreFileContent(const std::filesystem::path& target, std::string_view bytes);

// Writes `bytes` over the existing regular file `target` from its first byte, cuts the file to
// their length and flushes it to disk. The file stays the same file (inode, owner, group, mode),
// but the rewrite is not atomic: a crash in the middle can leave old and new bytes mixed. Refuses
// anything that is not a regular file and never creates one.
bool RewriteFileInPlace(const std::filesystem::path& target, std::string_view bytes);

// Replaces `target` with `bytes` so that at every moment, crashes and power loss included, the
// file holds either its old bytes or exactly the new ones: the bytes go to a temporary file in
// the same folder, which is flushed to disk, takes over the old file's owner, group and mode and
// is renamed over it; then the folder is flushed. An owner or group that the user may not give
// away is left as the temporary file has it; the mode is always kept. Returns false when the
// file was not replaced. Does not check IsWriteProtected: callers go through StoreFileContent.
bool WriteFileAtomically(const std::filesystem::path& target, std::string_view bytes);

// Removes temporary files that an interrupted WriteFileAtomically left beside `target`. Only
// safe while holding the target's lock.
void RemoveStaleTemporaries(const std::filesystem::path& target);

// An exclusive advisory lock (flock) on "<target>.lock", held as long as the object lives.
// Locks belong to open file descriptions, so a second lock on the same target fails even in
// the same process. In a folder that takes no new files the lock file cannot be created; when it
// does not exist there, the target itself carries the lock (such a target is only ever rewritten
// in place, so it stays the file that is locked). Whoever locks the lock file also makes sure
// that no one holds the target itself (a copy started while the folder took no new files).
class FileLock {
 public:
  // Nothing when neither the lock file nor the target can be opened, or when another holder has
  // the lock; then `heldElsewhere` (when given) tells whether another holder was the reason.
  static std::optional<FileLock> TryAcquire(const std::filesystem::path& target,
                                            bool* heldElsewhere = nullptr);

  FileLock(FileLock&& other) noexcept;
  FileLock& operator=(FileLock&& other) noexcept;
  FileLock(const FileLock&) = delete;
  FileLock& operator=(const FileLock&) = delete;
  ~FileLock();

 private:
  static std::optional<FileLock> Acquire(const std::filesystem::path& target, bool& heldElsewhere);
  explicit FileLock(int fd) : fd_(fd) {}
  int fd_ = -1;
};

}  // namespace gw
