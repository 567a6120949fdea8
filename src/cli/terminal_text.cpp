#include "cli/terminal_text.h"

#include "text/charset.h"

namespace gw::cli {

std::string ToTerminalText(std::string_view gbk) {
  const std::string utf8 = GbkToUtf8(gbk);
  std::string text;
  text.reserve(utf8.size());
  for (std::size_t i = 0; i < utf8.size(); ++i) {
    if (utf8[i] == '\r' && i + 1 < utf8.size() && utf8[i + 1] == '\n') {
      continue;
    }
    text += utf8[i];
  }
  return text;
}

std::string ToTerminalLine(std::string_view gbk) {
  const std::string utf8 = GbkToUtf8(gbk);
  std::string line;
  line.reserve(utf8.size());
  for (std::size_t i = 0; i < utf8.size(); ++i) {
    if (utf8[i] == '\r' || utf8[i] == '\n') {
      if (utf8[i] == '\r' && i + 1 < utf8.size() && utf8[i + 1] == '\n') {
        ++i;
      }
      line += ' ';
      continue;
    }
    line += utf8[i];
  }
  return line;
}

}  // namespace gw::cli
