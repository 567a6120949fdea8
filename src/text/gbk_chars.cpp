#include "text/gbk_chars.h"

#include <cstring>

namespace gw {

std::string_view UntilFirstNul(std::string_view bytes) {
  if (bytes.empty()) {
    return bytes;  // an empty view may have no data at all, and memchr must not see that
  }
  const void* nul = std::memchr(bytes.data(), 0, bytes.size());
  if (nul == nullptr) {
    return bytes;
  }
  return bytes.substr(0, static_cast<const char*>(nul) - bytes.data());
}

std::vector<std::size_t> CharStartOffsets(std::string_view text, CrLf crlf) {
  std::vector<std::size_t> offsets;
  offsets.reserve(text.size() + 1);
  ForEachChar(text, crlf, [&](std::size_t offset, std::size_t) { offsets.push_back(offset); });
  offsets.push_back(text.size());
  return offsets;
}

bool StartsCharacter(std::string_view text, std::size_t& known, std::size_t offset) {
  std::size_t from = offset;
  while (from > known && static_cast<unsigned char>(text[from - 1]) >= 0x80) {
    --from;
  }
  while (from < offset) {
    from += GbkCharLength(text, from);
  }
  known = from;
  return from == offset;
}

std::vector<std::string_view> SplitAtCharacters(std::string_view text, std::string_view separator) {
  std::vector<std::string_view> pieces;
  if (separator.empty()) {
    pieces.push_back(text);
    return pieces;
  }
  std::size_t pieceStart = 0;
  std::size_t known = 0;  // a character starts here, at or before every occurrence still to come
  for (std::size_t found = text.find(separator); found != std::string_view::npos;
       found = text.find(separator, found + 1)) {
    if (found < known || !StartsCharacter(text, known, found)) {
      continue;
    }
    pieces.push_back(text.substr(pieceStart, found - pieceStart));
    pieceStart = found + separator.size();
    known = pieceStart;
    found = pieceStart - 1;
  }
  pieces.push_back(text.substr(pieceStart));
  return pieces;
}

int CharCount(std::string_view text) {
  int count = 0;
  const std::size_t size = text.size();
  for (std::size_t offset = 0; offset < size; ++count) {
    const auto byte = static_cast<unsigned char>(text[offset]);
    if (IsPairLeadByte(byte)) {
      offset += (offset + 1 < size) ? 2 : 1;
    } else if (byte == '\r' && offset + 1 < size && text[offset + 1] == '\n') {
      offset += 2;
    } else {
      ++offset;
    }
  }
  return count;
}

std::string CharMid(std::string_view text, int start, int count) {
  if (count < 1) {
    return {};
  }
  if (start < 1) {
    start = 1;
  }
  const long long last = static_cast<long long>(start) + count - 1;
  std::size_t begin = text.size();
  std::size_t end = text.size();
  long long position = 0;
  for (std::size_t offset = 0; offset < text.size();) {
    ++position;
    if (position == start) {
      begin = offset;
    }
    offset += CharLengthAt(text, offset, CrLf::AsOneChar);
    if (position == last) {
      end = offset;
      break;
    }
  }
  if (begin >= end) {
    return {};
  }
  return std::string(text.substr(begin, end - begin));
}

std::string CharLeft(std::string_view text, int n) {
  return CharMid(text, 1, n);
}

}  // namespace gw
