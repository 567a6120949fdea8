// Why the system refused a file operation, in the program's own Chinese words.
#pragma once

#include <string>

namespace gw {

// The reason for the errno value `error` (UTF-8): the program's own Chinese text for the errors
// reading or writing a file meets, whatever the machine's locale; the C library's text for any
// other value.
std::string SystemErrorReason(int error);

}  // namespace gw
