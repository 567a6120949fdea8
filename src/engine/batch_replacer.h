// The batch blocked-word replacer: applies the blocked-word replacement to text files chosen by
// the user and writes a filtered copy next to each one ("<name>_已过滤.<extension>"); the source
// files are only read. Used by the command line ("filter") and the blocked-word settings window.
//
// The words come from the library file named in the settings, split at the separator (CR LF
// when the words are separated by line breaks) on character boundaries; empty words are left
// out. They are matched as one alternation of literal words through the regular-expression
// service: case-insensitive, at each position the first word in library order that matches
// there wins, matches do not overlap, and each match is replaced by the replacement text as
// it stands. When the engine cannot compile the alternation (a library of many thousand words
// is too big for it) or gives up while matching, an equivalent literal matcher does the work,
// so a text is never replaced by an empty result.
#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "engine/blocked_words.h"
#include "regex/regex_service.h"
#include "text/source_reader.h"

namespace gw {

class LiteralAlternation;

// The settings of the blocked-word window as they stand when the batch starts.
struct BatchReplaceSettings {
  BlockedWordSettings words;
  int encoding = 0;  // TextEncoding index 0-4 ("组合框编码") used to read the files
};

// What became of one file.
struct BatchFileResult {
  std::filesystem::path output;  // where the filtered copy goes (set even when not written)
  bool written = false;          // the filtered copy was written completely
  std::string problem;           // GBK: why it was not written; empty when written
};

class BatchReplacer {
 public:
  // Reads the library file named in `settings` (for reading only, raw bytes) and prepares the
  // words. A library that cannot be read makes the replacer unusable (see problem()).
  explicit BatchReplacer(const BatchReplaceSettings& settings);
  // The same with the library text given directly (GBK bytes, as the file would hold them).
  BatchReplacer(std::string_view library, const BatchReplaceSettings& settings);
  ~BatchReplacer();
  BatchReplacer(BatchReplacer&&) noexcept;
  BatchReplacer& operator=(BatchReplacer&&) noexcept;
  BatchReplacer(const BatchReplacer&) = delete;
  BatchReplacer& operator=(const BatchReplacer&) = delete;

  // False when the library could not be read; process() then writes nothing.
  bool usable() const { return problem_.empty(); }
  // GBK: why the replacer is not usable; empty when it is.
  const std::string& problem() const { return problem_; }

  // The words in library order, without empty ones.
  const std::vector<std::string>& words() const { return words_; }
  // True when the regular-expression engine rejected the word pattern and the literal matcher
  // does all the matching; patternError() then gives the engine's reason (GBK).
  bool usesLiteralMatcher() const { return !regexUsable_; }
  const std::string& patternError() const { return patternError_; }

  // `text` (GBK) with every blocked word replaced.
  std::string filter(std::string_view text);

  // Reads `file` with the chosen encoding, filters it and writes the result (GBK bytes) to
  // FilteredOutputPath(file), creating or overwriting it. A file that cannot be read, or an
  // output that cannot be written completely, is reported in the result.
  BatchFileResult process(const std::filesystem::path& file);

 private:
  void prepare(std::string_view library);
  const LiteralAlternation& literal();

  BatchReplaceSettings settings_;
  std::string problem_;
  std::vector<std::string> words_;
  RegexService regex_;
  bool regexUsable_ = false;
  std::string patternError_;
  std::string regexReplacement_;  // the replacement with "$" doubled, so it stays as typed
  std::unique_ptr<LiteralAlternation> literal_;
};

// The words of `library` split at every `separator` that starts on a character boundary
// (a separator byte inside a double-byte character does not split), in order, empty words and
// words holding a zero byte (no program text contains one) left out. An empty separator leaves
// the whole library as one word.
std::vector<std::string> SplitBatchWords(std::string_view library, std::string_view separator);

// "<folder>/<name without extension>_已过滤.<extension>"; a name without an extension gets
// "_已过滤." at its end. Names are UTF-8.
std::filesystem::path FilteredOutputPath(const std::filesystem::path& file);

// GBK "处理完毕！总共处理了 <fileCount> 个文件！", the message shown when the batch is done.
std::string BatchSummaryText(int fileCount);

// GBK "正在处理.." + the file's name without its extension, the window title while a file is
// processed.
std::string BatchProgressTitle(const std::filesystem::path& file);

}  // namespace gw
