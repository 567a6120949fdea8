#include "cli/terminal_text.h"

#include <algorithm>

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

std::vector<std::string_view> Utf8Characters(std::string_view utf8) {
  std::vector<std::string_view> characters;
  std::size_t i = 0;
  while (i < utf8.size()) {
    const unsigned char lead = static_cast<unsigned char>(utf8[i]);
    std::size_t length = lead < 0xC0 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
    length = std::min(length, utf8.size() - i);
    characters.push_back(utf8.substr(i, length));
    i += length;
  }
  return characters;
}

std::size_t DisplayColumns(std::string_view utf8) {
  std::size_t columns = 0;
  for (const std::string_view character : Utf8Characters(utf8)) {
    columns += character.size() >= 3 ? 2 : 1;
  }
  return columns;
}

std::string FitColumns(std::string_view utf8, std::size_t columns) {
  std::size_t used = 0;
  std::size_t bytes = 0;
  for (const std::string_view character : Utf8Characters(utf8)) {
    const std::size_t width = DisplayColumns(character);
    if (used + width > columns) {
      break;
    }
    used += width;
    bytes += character.size();
  }
  return std::string(utf8.substr(0, bytes));
}

}  // namespace gw::cli
