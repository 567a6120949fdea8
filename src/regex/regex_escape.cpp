// The four escaping functions of RegexService. Each makes the characters of its set literal by
// putting a backslash before them, walking the GBK text by characters so that the second byte
// of a double-byte character (which may look like "\", "[", "|" ...) is never touched.
#include <string>
#include <string_view>

#include "regex/regex_service.h"
#include "text/gbk_chars.h"

namespace gw {
namespace {

enum class Wildcards { Keep, Expand };

std::string Escape(std::string_view input, std::string_view set, Wildcards wildcards) {
  const std::string_view text = UntilFirstNul(input);
  std::string out;
  out.reserve(text.size() + text.size() / 4);
  ForEachChar(text, CrLf::AsTwoChars, [&](std::size_t offset, std::size_t length) {
    const char c = text[offset];
    if (length == 1 && set.find(c) != std::string_view::npos) {
      out += '\\';
      out += c;
    } else if (length == 1 && wildcards == Wildcards::Expand && (c == '*' || c == '?')) {
      out += '.';
      out += c;
    } else {
      out.append(text, offset, length);
    }
  });
  return out;
}

}  // namespace

std::string RegexService::escapeWildcards(std::string_view text) {
  return Escape(text, "\\^$+.{}[]=()-\"", Wildcards::Expand);
}

std::string RegexService::escapeLiteral(std::string_view text) {
  return Escape(text, "\\^$+.{}[]=()?*|\"", Wildcards::Keep);
}

std::string RegexService::escapeKeepAlternation(std::string_view text) {
  return Escape(text, "\\^$+.{}[]=()?*\"", Wildcards::Keep);
}

std::string RegexService::escapeKeepGroups(std::string_view text) {
  return Escape(text, "\\^$+.{}[]=?*\"", Wildcards::Keep);
}

}  // namespace gw
