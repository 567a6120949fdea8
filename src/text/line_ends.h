// Line ends of texts that come from outside the program, which knows only CR LF.
#pragma once

#include <string>

namespace gw {

// A text that holds a line feed but no CR LF pair anywhere (saved by a tool that ends its lines
// with a bare LF) gets a CR before every LF. A text with any CR LF in it, or without line feeds,
// is returned as it is: only a text that uses the bare LF throughout is taken to mean CR LF by it.
std::string WithCrLfLineEnds(std::string text);

}  // namespace gw
