#include "text/file_reading.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <utility>

namespace gw {

FileDescriptor::~FileDescriptor() {
  if (fd_ >= 0) {
    ::close(fd_);
  }
}

bool FileDescriptor::close() {
  const int fd = std::exchange(fd_, -1);
  return fd < 0 || ::close(fd) == 0;
}

SmallFileStatus ReadSmallFile(const std::filesystem::path& path, std::size_t maxBytes,
                              std::string& bytes) {
  bytes.clear();
  // Opened without waiting for a pipe's writer, then read as any file.
  const FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
  if (!file.valid()) {
    return errno == ENOENT ? SmallFileStatus::Missing : SmallFileStatus::Unreadable;
  }
  const int flags = ::fcntl(file.get(), F_GETFL);
  if (flags == -1 || ::fcntl(file.get(), F_SETFL, flags & ~O_NONBLOCK) == -1) {
    return SmallFileStatus::Unreadable;
  }
  struct stat status {};
  if (::fstat(file.get(), &status) != 0 || S_ISDIR(status.st_mode)) {
    return SmallFileStatus::Unreadable;
  }
  if (S_ISREG(status.st_mode)) {
    if (static_cast<std::uint64_t>(status.st_size) > maxBytes) {
      return SmallFileStatus::TooLarge;
    }
    bytes.reserve(static_cast<std::size_t>(status.st_size));
  }
  char buffer[1 << 16];
  while (true) {
    const ssize_t got = ::read(file.get(), buffer, sizeof buffer);
    if (got < 0 && errno == EINTR) {
      continue;
    }
    if (got < 0) {
      bytes.clear();
      return SmallFileStatus::Unreadable;
    }
    if (got == 0) {
      return SmallFileStatus::Read;
    }
    bytes.append(buffer, static_cast<std::size_t>(got));
    if (bytes.size() > maxBytes) {
      bytes.clear();
      return SmallFileStatus::TooLarge;
    }
  }
}

}  // namespace gw
