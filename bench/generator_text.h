// Text helpers for the input generators.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace gw::bench {

// Splits a UTF-8 text into its characters.
inline std::vector<std::string> Characters(std::string_view utf8) {
  std::vector<std::string> out;
  for (std::size_t i = 0; i < utf8.size();) {
    const auto lead = static_cast<unsigned char>(utf8[i]);
    const std::size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
    out.emplace_back(utf8.substr(i, length));
    i += length;
  }
  return out;
}

}  // namespace gw::bench
