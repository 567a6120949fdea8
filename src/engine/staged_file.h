// A file that appears under its name only when it is complete: its bytes go to a hidden
// temporary file in the target's folder, which is then renamed onto the name. A kill or a full
// disk leaves at most the hidden file, never a short file under the name; a failure on our side
// removes the hidden file.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "text/file_reading.h"

namespace gw {

class StagedFile {
 public:
  // Prefix of every temporary file name; a random part follows it.
  static constexpr std::string_view kTemporaryPrefix = ".gathwrite.tmp-";

  // Creates a new temporary file in `folder` (the current folder when empty), never following
  // a symbolic link; valid() tells whether that worked.
  explicit StagedFile(const std::filesystem::path& folder);
  ~StagedFile();  // removes the temporary file unless it was renamed into place
  StagedFile(const StagedFile&) = delete;
  StagedFile& operator=(const StagedFile&) = delete;

  bool valid() const { return created_; }

  // Writes all of `bytes` and closes the file. Returns false when any of it failed.
  bool fill(std::string_view bytes);

  enum class Placement { Placed, NameInUse, Failed };

  // Renames the filled file onto `target` only if nothing has that name, in one step where the
  // file system allows it (then nothing that appears under the name meanwhile is replaced).
  Placement commitAsNew(const std::filesystem::path& target);

  // Renames the filled file onto `target`, replacing what the name held (a rename replaces the
  // directory entry: it never writes through a link or into an existing file). Returns false
  // when the file was not filled or the rename failed.
  bool commitAs(const std::filesystem::path& target);

 private:
  std::filesystem::path temporaryPath_;
  FileDescriptor file_;
  bool created_;
  bool filled_ = false;
  bool committed_ = false;
};

}  // namespace gw
