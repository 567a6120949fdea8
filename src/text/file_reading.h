// Files as the program reads them: a descriptor closed with its owner, and small files (settings,
// word libraries) read whole within a size limit without ever waiting on a pipe.
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>

namespace gw {

// A file descriptor closed when it goes out of scope.
class FileDescriptor {
 public:
  explicit FileDescriptor(int fd) : fd_(fd) {}
  ~FileDescriptor();
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;

  int get() const { return fd_; }
  bool valid() const { return fd_ >= 0; }
  // Closes now and reports whether the close succeeded (it may report a late write error).
  bool close();

 private:
  int fd_;
};

enum class SmallFileStatus {
  Read,
  Missing,     // no such file
  Unreadable,  // a folder, no permission, a read error
  TooLarge     // larger than the limit (nothing is kept)
};

// Reads the whole file at `path` (opened read-only) into `bytes`, which is emptied first and
// stays empty unless the status is Read. A regular file larger than `maxBytes` is refused before
// a byte is read; anything that grows past it while read (a growing file, a device without an
// end) is refused when it does. A named pipe without a writer reads as empty instead of
// blocking.
SmallFileStatus ReadSmallFile(const std::filesystem::path& path, std::size_t maxBytes,
                              std::string& bytes);

}  // namespace gw
