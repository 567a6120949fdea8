#include "engine/patterns.h"

#include "regex/regex_service.h"
#include "text/charset.h"

namespace gw {
namespace {

std::string ReplaceAll(std::string text, std::string_view what, std::string_view with) {
  for (std::size_t at = text.find(what); at != std::string::npos;
       at = text.find(what, at + with.size())) {
    text.replace(at, what.size(), with);
  }
  return text;
}

}  // namespace

const std::string& StampPattern() {
  static const std::string pattern =
      R"(\d{4}[\-\/]\d{1,2}[\-\/]\d{1,2} {1,4}\d{1,2}:\d{1,2}:\d{1,2})";
  return pattern;
}

const std::string& MessagePattern() {
  static const std::string pattern = [] {
    // The date and time that open a sender line (and, inside a body, end it).
    const std::string& stamp = StampPattern();
    // A sender line: the stamp, at least one more character up to the line end, its CR LF.
    const std::string senderLine = stamp + R"([^\r\n]+\r\n)";
    // The block that heads every conversation of an export: a "=" line, "消息分组:", a "=" line,
    // "消息对象:", a "=" line; the export's title line (and blank lines after it) may come
    // first. An export of all conversations repeats it, so it also ends the message before it.
    const std::string equals(64, '=');
    const std::string headerBlock =
        Utf8ToGbk(R"((?:消息记录（此消息记录为文本格式，不支持重新导入）\r\n(?:\r\n)*)?)") +
        equals + Utf8ToGbk(R"(\r\n消息分组:[^\r\n]*\r\n)") + equals +
        Utf8ToGbk(R"(\r\n消息对象:[^\r\n]*\r\n)") + equals + R"((?![^\r\n]))";
    // A body (group 1) runs lazily up to the next stamp or header block; the body of the final
    // record (group 2) runs to the end of the text. Neither starts with a header block, so a
    // header block is never part of a message.
    return senderLine + "((?!" + headerBlock + R"()[\S\s]+?)(?=)" + stamp + "|" + headerBlock +
           ")|" + senderLine + "((?!" + headerBlock + R"()[\S\s]+))";
  }();
  return pattern;
}

const std::string& LineFoldPattern() {
  // The stored text holds a "9" where the tab goes.
  static const std::string pattern = ReplaceAll(Utf8ToGbk("^[ 　9]*$\r\n|$\r\n"), "9", "\t");
  return pattern;
}

const std::string& LineTrimPattern() {
  static const std::string pattern = Utf8ToGbk("^[　 \\t]*$(\\r\\n)|^[ 　\\t]+|[ 　\\t]+$");
  return pattern;
}

const std::string& PunctuationRunCharacters() {
  static const std::string characters = Utf8ToGbk("!?,。！？，；; 　·…");
  return characters;
}

const std::string& PunctuationRunPattern() {
  static const std::string pattern =
      "[" + RegexService::escapeLiteral(PunctuationRunCharacters()) + "]{2,}";
  return pattern;
}

const std::string& WebAddressPattern() {
  // Every pair of apostrophes stands for one double quote.
  static const std::string pattern =
      ReplaceAll(R"(([a-zA-z]+://|www.)[^\s\u4e00-\u9fa5\(\<>''')]+)", "''", "\"");
  return pattern;
}

std::string DigitRunPattern(int minimumDigits) {
  return "\\d{" + std::to_string(minimumDigits) + ",}";
}

bool HasDigitRun(std::u16string_view text, int minimumDigits) {
  if (minimumDigits < 1) {
    return true;  // a run of no digits is everywhere
  }
  int run = 0;
  for (const char16_t unit : text) {
    run = (unit >= u'0' && unit <= u'9') ? run + 1 : 0;
    if (run >= minimumDigits) {
      return true;
    }
  }
  return false;
}

bool MayHoldAddress(std::u16string_view text) {
  int wRun = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char16_t unit = text[i];
    if (unit == u'@' || (unit == u':' && text.substr(i + 1, 2) == u"//")) {
      return true;
    }
    wRun = (unit == u'w' || unit == u'W') ? wRun + 1 : 0;
    if (wRun == 3) {
      return true;
    }
  }
  return false;
}

const std::string& EmailPattern() {
  static const std::string pattern = R"(\w+@\w+\.[a-zA-Z]{2,5})";
  return pattern;
}

const std::string& DigitPattern() {
  static const std::string pattern = "[0-9]";
  return pattern;
}

const std::string& LetterPattern() {
  static const std::string pattern = "[a-zA-Z]";
  return pattern;
}

const std::string& MarkupPattern() {
  static const std::string pattern = R"(<[\s\S]+?>)";
  return pattern;
}

}  // namespace gw
