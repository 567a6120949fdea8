#include "engine/staged_file.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <random>

namespace gw {
namespace {

// Six random letters and digits: names that a second writer in the same folder (another run,
// another copy of the program) does not guess.
std::string RandomPart() {
  static constexpr std::string_view kAlphabet =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
  thread_local std::mt19937 generator{std::random_device{}()};
  std::uniform_int_distribution<std::size_t> pick(0, kAlphabet.size() - 1);
  std::string part(6, ' ');
  for (char& c : part) {
    c = kAlphabet[pick(generator)];
  }
  return part;
}

// Opens a new file with an unused temporary name in `folder`; the name goes to `path`.
int CreateTemporary(const std::filesystem::path& folder, std::filesystem::path& path) {
  for (int attempt = 0; attempt < 100; ++attempt) {
    path = folder / (std::string(StagedFile::kTemporaryPrefix) + RandomPart());
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd >= 0 || errno != EEXIST) {
      return fd;
    }
  }
  return -1;
}

}  // namespace

StagedFile::StagedFile(const std::filesystem::path& folder)
    : file_(CreateTemporary(folder, temporaryPath_)), created_(file_.valid()) {}

StagedFile::~StagedFile() {
  if (created_ && !committed_) {
    // errno keeps telling why the write or the rename failed.
    const int error = errno;
    ::unlink(temporaryPath_.c_str());
    errno = error;
  }
}

bool StagedFile::fill(std::string_view bytes) {
  if (!file_.valid() || filled_) {
    return false;
  }
  // Plain system calls: a run writes thousands of small files, and a stream object per file
  // costs more than the writing.
  while (!bytes.empty()) {
    const ssize_t written = ::write(file_.get(), bytes.data(), bytes.size());
    if (written < 0 && errno == EINTR) {
      continue;
    }
    if (written <= 0) {
      return false;
    }
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
  filled_ = file_.close();
  return filled_;
}

bool StagedFile::commitAs(const std::filesystem::path& target) {
  if (!filled_ || committed_) {
    return false;
  }
  committed_ = ::rename(temporaryPath_.c_str(), target.c_str()) == 0;
  return committed_;
}

StagedFile::Placement StagedFile::commitAsNew(const std::filesystem::path& target) {
  if (!filled_ || committed_) {
    return Placement::Failed;
  }
  if (::renameat2(AT_FDCWD, temporaryPath_.c_str(), AT_FDCWD, target.c_str(), RENAME_NOREPLACE) ==
      0) {
    committed_ = true;
    return Placement::Placed;
  }
  if (errno == EEXIST) {
    return Placement::NameInUse;
  }
  if (errno != EINVAL && errno != ENOSYS) {
    return Placement::Failed;
  }
  // A file system without the one-step form: look first, then rename.
  struct stat info {};
  if (::lstat(target.c_str(), &info) == 0) {
    return Placement::NameInUse;
  }
  return commitAs(target) ? Placement::Placed : Placement::Failed;
}

}  // namespace gw
