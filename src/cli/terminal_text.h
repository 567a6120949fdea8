// Program text (GBK, CR LF line ends) as the terminal shows it: UTF-8 with LF line ends, and
// how many columns it takes there.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace gw::cli {

// GBK to UTF-8, every CR LF turned into LF.
std::string ToTerminalText(std::string_view gbk);

// The same, with every line break (CR LF, CR or LF) turned into one space, for output that must
// stay on one line.
std::string ToTerminalLine(std::string_view gbk);

// The characters of UTF-8 text, each as its bytes; a sequence cut off by the end stands as it is.
std::vector<std::string_view> Utf8Characters(std::string_view utf8);

// The columns a terminal gives UTF-8 text: two for a character of three or more bytes (the CJK
// characters and full-width forms; counting the few narrow ones as two only leaves room), one
// for any other.
std::size_t DisplayColumns(std::string_view utf8);

// The longest start of `utf8` that takes at most `columns` columns, cut between characters.
std::string FitColumns(std::string_view utf8, std::size_t columns);

}  // namespace gw::cli
