// Where a run's articles go and how they are written: the output folder of a source file, the
// file-name cleaning rule (also applied to words that enter a title), and the writer that turns
// a title into a file of its own.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <unordered_set>

#include "engine/file_identity.h"

namespace gw {

// The output folder for the source file `sourcePath` (a file-system path). With an empty folder
// box (GBK text) it is a sub-folder next to the source, named after the source's file name cut at
// its last "."; a name without an extension, or made only of one, gives "<its name>_文章"
// instead ("chatlog_文章", ".chat_文章"), never the folder the source sits in. Otherwise it is
// the box text, converted to the file system's UTF-8, without trailing separators.
std::filesystem::path OutputFolderFor(const std::filesystem::path& sourcePath,
                                      std::string_view folderBoxText);

// Creates `folder` with its missing parents. Returns whether the folder exists afterwards; a run
// ignores a failure, its writes then fail.
bool PrepareOutputFolder(const std::filesystem::path& folder);

// `text` (GBK) made fit for a file name: \ / : * ? | < > become their full-width forms, double
// quotes, CR LF, CR, LF and TAB are removed. Nothing else changes (no trimming, no length limit).
std::string CleanFileName(std::string_view text);

// The name an article gets when no title is left after cleaning.
std::string UntitledName();  // GBK

// Writes the articles of one run, one file per article, named after the cleaned title.
// Every article of the run keeps its own file: a name the run already wrote gets " (2)",
// " (3)", … before the extension, an empty title becomes UntitledName(), and a name too long
// for the file system is shortened at a character boundary. A file left by an earlier run is
// replaced. Each article is written whole under a hidden temporary name in its folder and then
// renamed onto its own name, so that the name never holds a short article, whatever stops the
// writing; a failed write removes the temporary file and leaves the name as it was.
// A name that holds what no article may replace also takes the next number: a source of the
// run (see protectSource), a symbolic link (never written through, whatever it points at), a
// folder or any other file that is not a regular file.
class ArticleWriter {
 public:
  // Longest file name, in bytes of its UTF-8 form, that the file system accepts.
  static constexpr std::size_t kMaxNameBytes = 255;

  // Writes `article` (the file's bytes, unchanged) to folder / title "." extension. `title` and
  // `extension` are GBK, both cleaned by CleanFileName, so that the file always lands in
  // `folder`; an empty extension leaves the name ending in "." (a title "." then counts as
  // empty). Returns false when
  // the file could not be created or written; such an article is not counted.
  bool write(const std::filesystem::path& folder, std::string_view title,
             std::string_view extension, std::string_view article);

  // No article of this writer replaces the file `source` leads to, by whatever name or link
  // the article's path reaches it. A path that leads nowhere is ignored.
  void protectSource(const std::filesystem::path& source) { sources_.add(source); }

  // Articles written by this writer.
  int written() const { return written_; }

  // The path the last successful write() used.
  const std::filesystem::path& lastPath() const { return lastPath_; }

 private:
  // Whether the name `path` holds something an article must not replace.
  bool heldByOthers(const std::filesystem::path& path) const;

  std::unordered_set<std::string> usedPaths_;  // the normal form of every path written
  FileIdentitySet sources_;
  std::filesystem::path lastPath_;
  int written_ = 0;
};

}  // namespace gw
