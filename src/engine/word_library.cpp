#include "engine/word_library.h"

#include "text/charset.h"
#include "text/file_reading.h"

namespace gw {

LibraryStatus ReadWordLibrary(const std::string& path, std::string& bytes) {
  if (path.empty()) {
    bytes.clear();
    return LibraryStatus::Unreadable;
  }
  switch (ReadSmallFile(path, kMaxWordLibraryBytes, bytes)) {
    case SmallFileStatus::Read:
      return LibraryStatus::Read;
    case SmallFileStatus::TooLarge:
      return LibraryStatus::TooLarge;
    case SmallFileStatus::Missing:
    case SmallFileStatus::Unreadable:
      break;
  }
  return LibraryStatus::Unreadable;
}

std::string LibraryTooLargeText(const std::string& path) {
  static const std::string prefix =
      Utf8ToGbk("词库文件超过 " + std::to_string(kMaxWordLibraryBytes >> 20) + " MB，未读取：");
  return prefix + Utf8ToGbk(path);
}

}  // namespace gw
