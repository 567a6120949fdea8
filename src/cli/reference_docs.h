// The manual page and the bash completion of gathwrite-cli, written from the usage table
// (usage.h) and the names --set knows (option_names.h), so that neither can drift from the
// program.
#pragma once

#include <string>
#include <string_view>

namespace gw::cli {

// The manual page gathwrite-cli.1 in roff (man macros), UTF-8.
std::string ManPage();

// A bash completion script: subcommands, options, and after --set the option names each
// followed by "=".
std::string BashCompletion();

// `text` for a roff text line: backslashes and hyphens escaped, and each line that would start
// with a control character ("." or "'") made plain.
std::string RoffEscaped(std::string_view text);

}  // namespace gw::cli
