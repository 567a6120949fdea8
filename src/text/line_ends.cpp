#include "text/line_ends.h"

#include <algorithm>

namespace gw {

std::string WithCrLfLineEnds(std::string text) {
  // A CR LF export is told at its first line end, without a pass over the whole text.
  if (text.find("\r\n") != std::string::npos) {
    return text;
  }
  const auto feeds = static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
  if (feeds == 0) {
    return text;
  }
  // Widened in place from the back, in room of exactly the size needed: a large export is not
  // copied into a second text, nor into room twice its size.
  std::size_t from = text.size();
  std::size_t to = text.size() + feeds;
  text.reserve(to);
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
