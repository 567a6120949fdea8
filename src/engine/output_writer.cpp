#include "engine/output_writer.h"

#include <sys/stat.h>

#include <system_error>

#include "engine/staged_file.h"
#include "text/charset.h"
#include "text/gbk_chars.h"

namespace gw {
namespace {

// The name of the folder beside the source `path` that holds its articles: the file name cut
// at its last ".". When that leaves no name of its own (no ".", only an extension like ".chat",
// or "." and "..", which name folders already there), the whole file name + "_文章".
std::string ArticleFolderName(const std::filesystem::path& path) {
  const std::string name = path.filename().string();
  const std::size_t dot = name.rfind('.');
  const std::string stem = dot == std::string::npos ? std::string() : name.substr(0, dot);
  if (stem.empty() || stem == "." || stem == "..") {
    return name + "_文章";
  }
  return stem;
}

// Cuts UTF-8 `text` to at most `maxBytes` bytes without splitting a character.
void CutUtf8(std::string& text, std::size_t maxBytes) {
  if (text.size() <= maxBytes) {
    return;
  }
  std::size_t cut = maxBytes;
  while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) {
    --cut;
  }
  text.resize(cut);
}

}  // namespace

std::filesystem::path OutputFolderFor(const std::filesystem::path& sourcePath,
                                      std::string_view folderBoxText) {
  if (folderBoxText.empty()) {
    return sourcePath.parent_path() / ArticleFolderName(sourcePath);
  }
  std::string folder = GbkToUtf8(UntilFirstNul(folderBoxText));
  // "out" and "out/" name the same folder; the root keeps its one separator.
  while (folder.size() > 1 && folder.back() == std::filesystem::path::preferred_separator) {
    folder.pop_back();
  }
  return std::filesystem::path(folder);
}

bool PrepareOutputFolder(const std::filesystem::path& folder) {
  if (folder.empty()) {
    return true;  // the current folder (a relative source path without a folder part)
  }
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  return std::filesystem::is_directory(folder, error);
}

std::string CleanFileName(std::string_view text) {
  static constexpr std::string_view kToFullWidth = "\\/:*?|<>";
  std::string cleaned;
  cleaned.reserve(text.size() + 8);
  // Character by character, so that a double-byte character whose second byte is "\" or "|"
  // stays intact.
  ForEachChar(text, CrLf::AsTwoChars, [&](std::size_t offset, std::size_t length) {
    const char c = text[offset];
    if (length == 2) {
      cleaned.append(text.substr(offset, 2));
    } else if (kToFullWidth.find(c) != std::string_view::npos) {
      cleaned.push_back(static_cast<char>(0xA3));
      cleaned.push_back(static_cast<char>(static_cast<unsigned char>(c) + 0x80));
    } else if (c != '"' && c != '\r' && c != '\n' && c != '\t') {
      cleaned.push_back(c);
    }
  });
  return cleaned;
}

std::string UntitledName() {
  return Utf8ToGbk("无标题");
}

bool ArticleWriter::heldByOthers(const std::filesystem::path& path) const {
  struct stat info {};
  if (::lstat(path.c_str(), &info) != 0) {
    return false;  // a free name (any other failure makes the rename fail)
  }
  return !S_ISREG(info.st_mode) || sources_.contains(info);
}

bool ArticleWriter::write(const std::filesystem::path& folder, std::string_view title,
                          std::string_view extension, std::string_view article) {
  std::string cleaned = CleanFileName(UntilFirstNul(title));
  // A title "." with an empty extension would name the folder above ("..").
  if (cleaned.empty() || (cleaned == "." && UntilFirstNul(extension).empty())) {
    cleaned = UntitledName();
  }
  const std::string stem = GbkToUtf8(cleaned);
  // The extension is cleaned like the title: a "/" typed into it must not lead out of the folder.
  const std::string tail = "." + GbkToUtf8(CleanFileName(UntilFirstNul(extension)));

  // The article is complete on disk before it takes its name: a kill or a full disk never
  // leaves a short file under an article's name.
  StagedFile staged(folder);
  if (!staged.fill(article)) {
    return false;
  }

  // The first name this run has not written yet and that holds nothing of others: the title
  // itself, then "title (2)", … each cut so that the whole name fits the file system.
  std::filesystem::path path;
  for (int copy = 1;; ++copy) {
    const std::string suffix = copy == 1 ? std::string() : " (" + std::to_string(copy) + ")";
    std::string name = stem;
    const std::size_t fixed = suffix.size() + tail.size();
    CutUtf8(name, fixed < kMaxNameBytes ? kMaxNameBytes - fixed : 0);
    path = (folder / (name + suffix + tail)).lexically_normal();
    if (usedPaths_.contains(path.native())) {
      continue;
    }
    const StagedFile::Placement placement = staged.commitAsNew(path);
    if (placement == StagedFile::Placement::Failed) {
      return false;
    }
    if (placement == StagedFile::Placement::Placed) {
      break;
    }
    // The name holds something: an article of an earlier run is replaced, anything else is
    // left alone.
    if (!heldByOthers(path)) {
      if (!staged.commitAs(path)) {
        return false;
      }
      break;
    }
  }

  usedPaths_.insert(path.native());
  lastPath_ = path;
  ++written_;
  return true;
}

}  // namespace gw
