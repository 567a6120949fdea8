// Files known by what they are rather than by how a path spells them: by device and inode, so
// that a hard link, a symbolic link and another spelling of a path all name the same file.
#pragma once

#include <sys/stat.h>

#include <filesystem>
#include <set>
#include <utility>

namespace gw {

class FileIdentitySet {
 public:
  // Adds the file `path` leads to, following symbolic links. A path that leads nowhere adds
  // nothing.
  void add(const std::filesystem::path& path);

  // Whether `info` (filled by stat or lstat) describes one of the files added.
  bool contains(const struct stat& info) const;

 private:
  std::set<std::pair<dev_t, ino_t>> files_;
};

}  // namespace gw
