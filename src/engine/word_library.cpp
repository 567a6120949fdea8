#include "engine/word_library.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>

#include "text/charset.h"

namespace gw {
namespace {

// A file descriptor closed when it goes out of scope.
class Descriptor {
 public:
  explicit Descriptor(int fd) : fd_(fd) {}
  ~Descriptor() {
    if (fd_ >= 0) {
      ::close(fd_);
    }
  }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  int get() const { return fd_; }

 private:
  int fd_;
};

}  // namespace

LibraryStatus ReadWordLibrary(const std::string& path, std::string& bytes) {
  bytes.clear();
  if (path.empty()) {
    return LibraryStatus::Unreadable;
  }
  const Descriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
  struct stat status {};
  if (file.get() < 0 || ::fstat(file.get(), &status) != 0 || S_ISDIR(status.st_mode)) {
    return LibraryStatus::Unreadable;
  }
  const int flags = ::fcntl(file.get(), F_GETFL);
  if (flags == -1 || ::fcntl(file.get(), F_SETFL, flags & ~O_NONBLOCK) == -1) {
    return LibraryStatus::Unreadable;
  }
  if (S_ISREG(status.st_mode)) {
    if (static_cast<std::uint64_t>(status.st_size) > kMaxWordLibraryBytes) {
      return LibraryStatus::TooLarge;
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
      return LibraryStatus::Unreadable;
    }
    if (got == 0) {
      return LibraryStatus::Read;
    }
    bytes.append(buffer, static_cast<std::size_t>(got));
    if (bytes.size() > kMaxWordLibraryBytes) {
      bytes.clear();  // it grew while read, or has no end
      return LibraryStatus::TooLarge;
    }
  }
}

std::string LibraryTooLargeText(const std::string& path) {
  static const std::string prefix =
      Utf8ToGbk("词库文件超过 " + std::to_string(kMaxWordLibraryBytes >> 20) + " MB，未读取：");
  return prefix + Utf8ToGbk(path);
}

}  // namespace gw
