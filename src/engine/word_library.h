// Reading a word library (the blocked-word library of a run and of the batch replacer): its raw
// bytes, within a size limit.
#pragma once

#include <cstddef>
#include <string>

namespace gw {

// Largest word library that is read. Preparing the blocked-word filter takes about 24 times the
// library's size in memory and a few seconds per 10 MB (a million short words), so 16 MB, far
// beyond any real library, keeps that within reach of an ordinary desktop.
inline constexpr std::size_t kMaxWordLibraryBytes = std::size_t{16} * 1024 * 1024;

enum class LibraryStatus {
  Read,
  Unreadable,  // an empty path, a missing file, a folder, no permission, a read error
  TooLarge     // larger than kMaxWordLibraryBytes; nothing was kept
};

// Reads the file at `path` (a file-system path) into `bytes` (emptied first), as it is.
// A named pipe without a writer reads as empty instead of blocking.
LibraryStatus ReadWordLibrary(const std::string& path, std::string& bytes);

// The message for a library refused for its size (GBK, naming the file and the limit).
std::string LibraryTooLargeText(const std::string& path);

}  // namespace gw
