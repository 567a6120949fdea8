#include "text/line_ends.h"

#include <algorithm>

namespace gw {

std::string WithCrLfLineEnds(std::string text) {
  const auto feeds = static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
  if (feeds == 0 || text.find("\r\n") != std::string::npos) {
    return text;
  }
  // Widened in place from the back, so a large text is not held twice.
  std::size_t from = text.size();
  std::size_t to = text.size() + feeds;
  text.resize(to);
  while (from > 0) {
    const char c = text[--from];
    text[--to] = c;
    if (c == '\n') {
      text[--to] = '\r';
    }
  }
  return text;
}

}  // namespace gw
