// The searches that find sections, keys and values in the bytes of a settings file.
//
// The layout: lines end in CR LF (a bare LF is no line end). A section header is "[" + name +
// "]" at the very start of the content or directly after a CR LF; a key line is key + "=" +
// value directly after a CR LF, the value running to the next CR LF or the end. Names, keys and
// values are compared byte for byte. Only the first header of a name counts; a key belongs to
// the header before it. Positions are 0-based byte offsets; npos means nothing was found.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace gw::settings_layout {

inline constexpr std::size_t npos = std::string_view::npos;

// Position of the "[" of the first header that follows a CR LF found at or after `from`, whose
// "\r\n[" starts before `to` and whose "]" (followed by CR LF, with no CR LF inside the
// brackets) lies no later than `to`.
std::size_t FindSectionHeader(std::string_view content, std::size_t from, std::size_t to);

// Which positions count as the start of a line when a header is looked up: reads and writes
// require the start of the content or a CR LF before it; deletions and renames also accept a
// header at offset 1.
enum class HeaderRule { AtLineStart, AlsoAtSecondByte };

// Position of the "[" of the first "[" + section + "]" at or after `from` that stands at a line
// start under `rule`.
std::size_t FindSection(std::string_view content, std::string_view section, HeaderRule rule,
                        std::size_t from = 0);

// A key line: the CR LF before it and its value [valueBegin, valueEnd).
struct KeyLine {
  std::size_t lineBreak;
  std::size_t valueBegin;
  std::size_t valueEnd;
};

// The first line of `key` after the header whose "]" is at `bracket`, unless a later header
// stands between them (then the key belongs to another section and nothing is found).
std::optional<KeyLine> FindKey(std::string_view content, std::size_t bracket, std::string_view key);

// End of the section whose "[" is at `header`: the "[" of the next header, or the end.
std::size_t SectionEnd(std::string_view content, std::size_t header);

// The content cut at CR LF into lines, without the line breaks. A content ending in CR LF has
// no empty last line.
std::vector<std::string_view> SplitLines(std::string_view content);

// A header line: starts with "[" and ends with "]". Its name is the text between the "[" and the
// first "]" after it.
bool IsHeaderLine(std::string_view line);
std::string_view HeaderName(std::string_view line);

}  // namespace gw::settings_layout
