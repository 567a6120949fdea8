#include "settings/settings_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdint>
#include <system_error>
#include <utility>

#include "text/file_reading.h"

namespace gw {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kTemporaryInfix = ".tmp-";

bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t written = ::write(fd, bytes.data(), bytes.size());
    if (written < 0) {
      if (errno == EINTR) {
        continue;
      }
      return false;
    }
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
  return true;
}

fs::path FolderOf(const fs::path& target) {
  const fs::path folder = target.parent_path();
  return folder.empty() ? fs::path(".") : folder;
}

// Whether the effective ids may create and remove files in the folder of `target`.
bool FolderTakesNewFiles(const fs::path& target) {
  return ::faccessat(AT_FDCWD, FolderOf(target).c_str(), W_OK | X_OK, AT_EACCESS) == 0;
}

// Gives the temporary file the owner and group of the file it replaces. Only the superuser may
// give a file away, and a user may choose only a group he belongs to: whatever cannot be kept
// stays as the temporary file has it, which is no reason to refuse the save. Returns whether the
// group was kept.
bool KeepOwnerAndGroup(int fd, const struct stat& old) {
  return ::fchown(fd, old.st_uid, old.st_gid) == 0 ||
         ::fchown(fd, static_cast<uid_t>(-1), old.st_gid) == 0;
}

// Whether another holder has locked `target` itself. The probe's own lock ends with its
// descriptor.
bool TargetLockedElsewhere(const fs::path& target) {
  const FileDescriptor file(::open(target.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
  return file.valid() && ::flock(file.get(), LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK;
}

// Creates a new temporary file beside `target`; its name goes to `name`.
int CreateTemporary(const fs::path& target, fs::path& name) {
  static std::atomic<unsigned> counter{0};
  for (int attempt = 0; attempt < 100; ++attempt) {
    name = target;
    name += std::string(kTemporaryInfix) + std::to_string(::getpid()) + "-" +
            std::to_string(counter.fetch_add(1));
    const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0 || errno != EEXIST) {
      return fd;
    }
  }
  return -1;
}

}  // namespace

FileRead ReadWholeFile(const fs::path& path, std::string& bytes) {
  switch (ReadSmallFile(path, kMaxSettingsFileBytes, bytes)) {
    case SmallFileStatus::Read:
      return FileRead::Read;
    case SmallFileStatus::Missing:
      return FileRead::Missing;
    case SmallFileStatus::Unreadable:
    case SmallFileStatus::TooLarge:
      break;
  }
  return FileRead::Failed;
}

bool WriteFileAtomically(const fs::path& target, std::string_view bytes) {
  fs::path temporaryName;
  FileDescriptor temporary(CreateTemporary(target, temporaryName));
  if (temporary.get() < 0) {
    return false;
  }
  // A replaced file keeps its owner, group and permissions (a settings file made private stays
  // private). The owner goes first: changing it clears set-id bits that the mode then restores.
  struct stat old {};
  bool ok = true;
  if (::stat(target.c_str(), &old) == 0) {
    KeepOwnerAndGroup(temporary.get(), old);
    ok = ::fchmod(temporary.get(), old.st_mode & 07777) == 0;
  }
  ok = ok && WriteAll(temporary.get(), bytes) && ::fsync(temporary.get()) == 0;
  ok = temporary.close() && ok;
  ok = ok && ::rename(temporaryName.c_str(), target.c_str()) == 0;
  if (!ok) {
    ::unlink(temporaryName.c_str());
    return false;
  }
  // The rename is done; flushing the folder makes it durable. Some file systems cannot flush
  // a folder, which does not undo the replacement.
  const FileDescriptor folder(::open(FolderOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (folder.get() >= 0) {
    ::fsync(folder.get());
  }
  return true;
}

bool IsWriteProtected(const fs::path& file) {
  struct stat status {};
  if (::stat(file.c_str(), &status) != 0) {
    return errno != ENOENT;
  }
  const bool markedReadOnly = (status.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0;
  return markedReadOnly || ::faccessat(AT_FDCWD, file.c_str(), W_OK, AT_EACCESS) != 0;
}

bool StoreFileContent(const fs::path& target, std::string_view bytes) {
  if (IsWriteProtected(target)) {
    return false;
  }
  if (FolderTakesNewFiles(target)) {
    return WriteFileAtomically(target, bytes);
  }
  return RewriteFileInPlace(target, bytes);
}

bool RewriteFileInPlace(const fs::path& target, std::string_view bytes) {
  // Without blocking: a named pipe without a reader must not hang the save.
  FileDescriptor file(::open(target.c_str(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
  struct stat status {};
  if (!file.valid() || ::fstat(file.get(), &status) != 0 || !S_ISREG(status.st_mode)) {
    return false;
  }
  off_t offset = 0;
  for (std::string_view rest = bytes; !rest.empty();) {
    const ssize_t written = ::pwrite(file.get(), rest.data(), rest.size(), offset);
    if (written < 0) {
      if (errno == EINTR) {
        continue;
      }
      return false;
    }
    rest.remove_prefix(static_cast<std::size_t>(written));
    offset += written;
  }
  const bool ok =
      ::ftruncate(file.get(), static_cast<off_t>(bytes.size())) == 0 && ::fsync(file.get()) == 0;
  return file.close() && ok;
}

void RemoveStaleTemporaries(const fs::path& target) {
  const std::string prefix = target.filename().string() + std::string(kTemporaryInfix);
  std::error_code error;
  for (fs::directory_iterator it(FolderOf(target), error), end; !error && it != end;
       it.increment(error)) {
    const std::string name = it->path().filename().string();
    if (name.size() > prefix.size() && name.compare(0, prefix.size(), prefix) == 0) {
      std::error_code ignored;
      fs::remove(it->path(), ignored);
    }
  }
}

std::optional<FileLock> FileLock::TryAcquire(const fs::path& target, bool* heldElsewhere) {
  bool held = false;
  std::optional<FileLock> lock = Acquire(target, held);
  if (heldElsewhere) {
    *heldElsewhere = held;
  }
  return lock;
}

std::optional<FileLock> FileLock::Acquire(const fs::path& target, bool& heldElsewhere) {
  fs::path lockName = target;
  lockName += ".lock";
  bool onTarget = false;
  int fd = ::open(lockName.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
  if (fd < 0) {
    // A lock file that exists but cannot be written still locks (flock needs no write access);
    // without one, in a folder that takes no new files, the target itself is locked.
    fd = ::open(lockName.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0 && errno == ENOENT) {
      fd = ::open(target.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
      onTarget = true;
    }
  }
  if (fd < 0) {
    return std::nullopt;
  }
  FileLock lock(fd);
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    heldElsewhere = errno == EWOULDBLOCK;
    return std::nullopt;
  }
  // A copy that started while the folder took no new files holds the target itself.
  if (!onTarget && TargetLockedElsewhere(target)) {
    heldElsewhere = true;
    return std::nullopt;
  }
  return std::optional<FileLock>(std::move(lock));
}

FileLock::FileLock(FileLock&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}

FileLock& FileLock::operator=(FileLock&& other) noexcept {
  if (this != &other) {
    if (fd_ >= 0) {
      ::close(fd_);
    }
    fd_ = std::exchange(other.fd_, -1);
  }
  return *this;
}

FileLock::~FileLock() {
  if (fd_ >= 0) {
    ::close(fd_);
  }
}

}  // namespace gw
