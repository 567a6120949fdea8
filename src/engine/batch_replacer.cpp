#include "engine/batch_replacer.h"

#include <cstdio>
#include <fstream>
#include <iterator>
#include <optional>
#include <system_error>
#include <utility>

#include "engine/literal_alternation.h"
#include "engine/source_problems.h"
#include "engine/word_library.h"
#include "text/charset.h"
#include "text/gbk_chars.h"

namespace gw {

namespace {

// The replacement for the engine: "$" doubled, so that the words are replaced by the text as
// the user typed it ("$&" or "$1" are not expanded). "$" is never the second byte of a GBK
// character, so doubling it byte by byte is safe.
std::string LiteralReplacement(std::string_view replacement) {
  std::string result;
  for (const char c : UntilFirstNul(replacement)) {
    result += c;
    if (c == '$') {
      result += '$';
    }
  }
  return result;
}

// The alternation of the words, each escaped completely ("|" inside a word included), so that
// every word matches only itself.
std::string WordPattern(const std::vector<std::string>& words) {
  std::string pattern;
  for (const std::string& word : words) {
    if (!pattern.empty()) {
      pattern += '|';
    }
    pattern += RegexService::escapeLiteral(word);
  }
  return pattern;
}

TextEncoding EncodingFromIndex(int index) {
  return index >= 0 && index <= 4 ? static_cast<TextEncoding>(index) : TextEncoding::Auto;
}

std::string PathForMessage(const std::filesystem::path& path) {
  return Utf8ToGbk(path.string());
}

// Writes `bytes` to `path`, creating or truncating it. A file left incomplete is removed.
bool WriteWholeFile(const std::filesystem::path& path, std::string_view bytes) {
  std::FILE* raw = std::fopen(path.c_str(), "wb");
  if (raw == nullptr) {
    return false;
  }
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(raw, &std::fclose);
  bool ok = std::fwrite(bytes.data(), 1, bytes.size(), file.get()) == bytes.size();
  ok = std::fflush(file.get()) == 0 && ok;
  ok = std::fclose(file.release()) == 0 && ok;
  if (!ok) {
    std::error_code ignored;
    std::filesystem::remove(path, ignored);
  }
  return ok;
}

}  // namespace

std::vector<std::string> SplitBatchWords(std::string_view library, std::string_view separator) {
  std::vector<std::string> words;
  for (const std::string_view word : SplitAtCharacters(library, separator)) {
    if (!word.empty() && word.find('\0') == std::string_view::npos) {
      words.emplace_back(word);
    }
  }
  return words;
}

std::filesystem::path FilteredOutputPath(const std::filesystem::path& file) {
  const std::string extension = file.extension().string();  // with its dot
  return file.parent_path() /
         (file.stem().string() + "_已过滤" + (extension.empty() ? std::string(".") : extension));
}

std::string BatchSummaryText(int fileCount) {
  return Utf8ToGbk("处理完毕！总共处理了 ") + std::to_string(fileCount) + Utf8ToGbk(" 个文件！");
}

std::string BatchProgressTitle(const std::filesystem::path& file) {
  return Utf8ToGbk("正在处理..") + Utf8ToGbk(file.stem().string());
}

BatchReplacer::BatchReplacer(const BatchReplaceSettings& settings) : settings_(settings) {
  const std::string& path = settings.words.libraryPath;
  std::string library;
  const LibraryStatus status = ReadWordLibrary(path, library);
  if (status == LibraryStatus::TooLarge) {
    problem_ = LibraryTooLargeText(path);
    return;
  }
  if (status != LibraryStatus::Read) {
    problem_ = path.empty() ? Utf8ToGbk("没有指定词库文件。")
                            : Utf8ToGbk("无法读取词库文件：") + Utf8ToGbk(path);
    return;
  }
  prepare(library);
}

BatchReplacer::BatchReplacer(std::string_view library, const BatchReplaceSettings& settings)
    : settings_(settings) {
  prepare(library);
}

BatchReplacer::~BatchReplacer() = default;
BatchReplacer::BatchReplacer(BatchReplacer&&) noexcept = default;
BatchReplacer& BatchReplacer::operator=(BatchReplacer&&) noexcept = default;

void BatchReplacer::prepare(std::string_view library) {
  const BlockedWordSettings& words = settings_.words;
  words_ = SplitBatchWords(library, words.separatedByLineBreaks ? "\r\n" : words.separator);
  if (words_.empty()) {
    return;  // nothing to find: every text stays as it is
  }
  regexReplacement_ = LiteralReplacement(words.replacement);
  regex_.create(WordPattern(words_));
  regexUsable_ = regex_.isValid();
  if (!regexUsable_) {
    patternError_ = regex_.compileError();
    literal();
  }
}

const LiteralAlternation& BatchReplacer::literal() {
  if (!literal_) {
    literal_ = std::make_unique<LiteralAlternation>(words_);
  }
  return *literal_;
}

std::string BatchReplacer::filter(std::string_view text) {
  text = UntilFirstNul(text);
  if (words_.empty() || text.empty()) {
    return std::string(text);
  }
  if (regexUsable_) {
    std::string result = regex_.replace(text, regexReplacement_);
    if (!result.empty()) {
      return result;
    }
    // An empty result means either that the text was nothing but blocked words and the
    // replacement is empty, or that the engine gave up (a match limit); the literal matcher
    // tells the two apart by doing the work itself.
  }
  return literal().replace(text, UntilFirstNul(settings_.words.replacement));
}

BatchFileResult BatchReplacer::process(const std::filesystem::path& file) {
  BatchFileResult result;
  result.output = FilteredOutputPath(file);
  if (!usable()) {
    result.problem = problem_;
    return result;
  }
  TextEncoding detected = TextEncoding::Auto;
  const SourceRead text = ReadSource(file, EncodingFromIndex(settings_.encoding), detected);
  if (text.status != SourceStatus::Read) {
    result.problem = SourceProblemText(text.status, file, text.error);
    return result;
  }
  // The output name differs from the source's, but a link could still lead back to the source.
  std::error_code error;
  if (std::filesystem::equivalent(file, result.output, error)) {
    result.problem = Utf8ToGbk("输出文件就是源文件，未写入：") + PathForMessage(result.output);
    return result;
  }
  if (!WriteWholeFile(result.output, filter(text.text))) {
    result.problem = Utf8ToGbk("无法写入文件：") + PathForMessage(result.output);
    return result;
  }
  result.written = true;
  return result;
}

}  // namespace gw
