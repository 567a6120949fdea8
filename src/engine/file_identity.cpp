#include "engine/file_identity.h"

namespace gw {

void FileIdentitySet::add(const std::filesystem::path& path) {
  struct stat info {};
  if (::stat(path.c_str(), &info) == 0) {
    files_.emplace(info.st_dev, info.st_ino);
  }
}

bool FileIdentitySet::contains(const struct stat& info) const {
  return files_.contains({info.st_dev, info.st_ino});
}

}  // namespace gw
