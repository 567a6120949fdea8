#include "settings/settings_layout.h"

namespace gw::settings_layout {
namespace {

constexpr std::string_view kCrLf = "\r\n";

bool PrecededByCrLf(std::string_view content, std::size_t at) {
  return at >= 2 && content[at - 2] == '\r' && content[at - 1] == '\n';
}

}  // namespace

std::size_t FindSectionHeader(std::string_view content, std::size_t from, std::size_t to) {
  for (std::size_t pos = from;;) {
    const std::size_t lineBreak = content.find("\r\n[", pos);
    if (lineBreak == npos || lineBreak >= to) {
      return npos;
    }
    const std::size_t open = lineBreak + 2;
    const std::size_t close = content.find("]\r\n", open);
    // Without any "]\r\n" further on, no later candidate can close either.
    if (close == npos || close > to) {
      return npos;
    }
    if (content.substr(open, close - open).find(kCrLf) == npos) {
      return open;
    }
    pos = open;
  }
}

std::size_t FindSection(std::string_view content, std::string_view section, HeaderRule rule,
                        std::size_t from) {
  std::string header;
  header.reserve(section.size() + 2);
  header.append("[").append(section).append("]");
  for (std::size_t pos = from;;) {
    const std::size_t at = content.find(header, pos);
    if (at == npos) {
      return npos;
    }
    const bool lineStart =
        at == 0 || (rule == HeaderRule::AlsoAtSecondByte && at == 1) || PrecededByCrLf(content, at);
    if (lineStart) {
      return at;
    }
    pos = at + 1;
  }
}

std::optional<KeyLine> FindKey(std::string_view content, std::size_t bracket,
                               std::string_view key) {
  std::string needle;
  needle.reserve(key.size() + 3);
  needle.append(kCrLf).append(key).append("=");
  const std::size_t lineBreak = content.find(needle, bracket);
  if (lineBreak == npos) {
    return std::nullopt;
  }
  const std::size_t keyStart = lineBreak + 2;
  if (FindSectionHeader(content, bracket + 1, keyStart - 1) != npos) {
    return std::nullopt;
  }
  const std::size_t valueBegin = lineBreak + needle.size();
  std::size_t valueEnd = content.find(kCrLf, valueBegin);
  if (valueEnd == npos) {
    valueEnd = content.size();
  }
  return KeyLine{lineBreak, valueBegin, valueEnd};
}

std::size_t SectionEnd(std::string_view content, std::size_t header) {
  const std::size_t next = FindSectionHeader(content, header, content.size());
  return next == npos ? content.size() : next;
}

std::vector<std::string_view> SplitLines(std::string_view content) {
  std::vector<std::string_view> lines;
  std::size_t from = 0;
  while (from < content.size()) {
    std::size_t end = content.find(kCrLf, from);
    if (end == npos) {
      end = content.size();
    }
    lines.push_back(content.substr(from, end - from));
    from = end + kCrLf.size();
  }
  return lines;
}

bool IsHeaderLine(std::string_view line) {
  return line.size() >= 2 && line.front() == '[' && line.back() == ']';
}

std::string_view HeaderName(std::string_view line) {
  const std::size_t close = line.find(']', 1);
  return line.substr(1, close - 1);
}

}  // namespace gw::settings_layout
