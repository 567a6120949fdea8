// Program text (GBK, CR LF line ends) as the terminal shows it: UTF-8 with LF line ends.
#pragma once

#include <string>
#include <string_view>

namespace gw::cli {

// GBK to UTF-8, every CR LF turned into LF.
std::string ToTerminalText(std::string_view gbk);

// The same, with every line break (CR LF, CR or LF) turned into one space, for output that must
// stay on one line.
std::string ToTerminalLine(std::string_view gbk);

}  // namespace gw::cli
