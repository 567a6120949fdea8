#include "engine/chinese_forms.h"

#include <algorithm>
#include <memory>
#include <mutex>

#include "engine/opencc_library.h"
#include "text/charset.h"

namespace gw {
namespace {

struct OpenccCloser {
  void operator()(void* handle) const { OpenccLibrary::Get().close(handle); }
};
using OpenccHandle = std::unique_ptr<void, OpenccCloser>;

struct OpenccText {
  void operator()(char* text) const { OpenccLibrary::Get().freeText(text); }
};

// Byte length of the UTF-8 character whose first byte is `lead` (the texts here are well formed).
std::size_t Utf8Length(unsigned char lead) {
  return lead < 0xC0 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
}

std::size_t CountUtf8Characters(std::string_view text) {
  std::size_t count = 0;
  for (std::size_t at = 0; at < text.size(); at += Utf8Length(text[at])) {
    ++count;
  }
  return count;
}

// The GBK form of one converted character (or of several: one piece of a conversion), or of the
// original character when GBK cannot hold the converted one: a character is never turned into
// "?" by a conversion that has no GBK form.
void AppendKeepingUnheld(std::string& out, std::string_view original, std::string_view converted) {
  const std::string gbk = Utf8ToGbk(converted);
  const std::size_t questionMarks =
      static_cast<std::size_t>(std::count(gbk.begin(), gbk.end(), '?'));
  if (questionMarks ==
      static_cast<std::size_t>(std::count(converted.begin(), converted.end(), '?'))) {
    out += gbk;
  } else {
    out += Utf8ToGbk(original);
  }
}

// One converter per direction, opened on first use and kept for the process: loading the
// dictionaries costs far more than a conversion of a chat export.
class Converter {
 public:
  explicit Converter(const char* config) : config_(config) {}

  std::string convert(std::string_view gbk, std::string* error) {
    std::lock_guard lock(mutex_);
    const OpenccLibrary& library = OpenccLibrary::Get();
    if (!handle_ && !failed_) {
      if (!library.loaded()) {
        failed_ = true;
        reason_ = library.loadError();
      } else if (const OpenccLibrary::Handle opened = library.open(config_); opened == nullptr) {
        failed_ = true;
        reason_ = library.lastError();
      } else {
        handle_.reset(opened);
      }
    }
    if (failed_) {
      if (error != nullptr) {
        *error = reason_;
      }
      return std::string(gbk);
    }
    const std::string utf8 = GbkToUtf8(gbk);
    std::string converted;
    if (!convertUtf8(utf8, converted)) {
      if (error != nullptr) {
        *error = library.lastError();
      }
      return std::string(gbk);
    }
    std::string result = Utf8ToGbk(converted);
    // "?" stands for a character that GBK cannot hold; when the conversion made none, the
    // result is complete (a trail byte is never "?", so counting bytes is exact).
    if (std::count(result.begin(), result.end(), '?') ==
        std::count(utf8.begin(), utf8.end(), '?')) {
      return result;
    }
    return keepUnheldCharacters(utf8, converted);
  }

 private:
  bool convertUtf8(std::string_view utf8, std::string& converted) {
    const std::unique_ptr<char, OpenccText> text(
        OpenccLibrary::Get().convertUtf8(handle_.get(), utf8.data(), utf8.size()));
    if (!text) {
      return false;
    }
    converted.assign(text.get());
    return true;
  }

  // The converted text with every character whose conversion GBK cannot hold put back as it
  // was. The conversion keeps line breaks, so the two texts are compared line by line; where a
  // line kept its number of characters they pair up one to one, otherwise (a phrase of another
  // length) that line is converted again character by character.
  std::string keepUnheldCharacters(std::string_view original, std::string_view converted) {
    std::string out;
    out.reserve(original.size());
    std::size_t originalAt = 0;
    std::size_t convertedAt = 0;
    while (originalAt <= original.size()) {
      std::size_t originalEnd = original.find('\n', originalAt);
      std::size_t convertedEnd = converted.find('\n', convertedAt);
      if (originalEnd == std::string_view::npos) {
        originalEnd = original.size();
        convertedEnd = converted.size();
      } else if (convertedEnd == std::string_view::npos) {
        convertedEnd = converted.size();
      }
      const std::string_view originalLine = original.substr(originalAt, originalEnd - originalAt);
      const std::string_view convertedLine =
          converted.substr(convertedAt, convertedEnd - convertedAt);
      if (CountUtf8Characters(originalLine) == CountUtf8Characters(convertedLine)) {
        for (std::size_t i = 0, j = 0; i < originalLine.size();) {
          const std::size_t iLength = Utf8Length(originalLine[i]);
          const std::size_t jLength = Utf8Length(convertedLine[j]);
          AppendKeepingUnheld(out, originalLine.substr(i, iLength),
                              convertedLine.substr(j, jLength));
          i += iLength;
          j += jLength;
        }
      } else {
        convertCharacterByCharacter(originalLine, out);
      }
      if (originalEnd == original.size()) {
        break;
      }
      out += '\n';
      originalAt = originalEnd + 1;
      convertedAt = std::min(convertedEnd + 1, converted.size());
    }
    return out;
  }

  // Each character of `line` converted on its own (one conversion call: a line break after every
  // character keeps phrases from forming).
  void convertCharacterByCharacter(std::string_view line, std::string& out) {
    std::string spaced;
    spaced.reserve(line.size() * 2);
    for (std::size_t i = 0; i < line.size(); i += Utf8Length(line[i])) {
      spaced.append(line.substr(i, Utf8Length(line[i])));
      spaced += '\n';
    }
    std::string converted;
    if (!convertUtf8(spaced, converted)) {
      converted = spaced;
    }
    std::size_t convertedAt = 0;
    for (std::size_t i = 0; i < line.size(); i += Utf8Length(line[i])) {
      std::size_t end = converted.find('\n', convertedAt);
      if (end == std::string::npos) {
        end = converted.size();
      }
      AppendKeepingUnheld(out, line.substr(i, Utf8Length(line[i])),
                          std::string_view(converted).substr(convertedAt, end - convertedAt));
      convertedAt = std::min(end + 1, converted.size());
    }
  }

  const char* config_;
  std::mutex mutex_;
  OpenccHandle handle_;
  bool failed_ = false;
  std::string reason_;
};

}  // namespace

std::string ToSimplifiedChinese(std::string_view gbk, std::string* error) {
  static Converter converter("t2s.json");
  return converter.convert(gbk, error);
}

std::string ToTraditionalChinese(std::string_view gbk, std::string* error) {
  static Converter converter("s2t.json");
  return converter.convert(gbk, error);
}

}  // namespace gw
