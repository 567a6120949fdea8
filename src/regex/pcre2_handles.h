// Owning handles for the PCRE2 objects (16-bit library). Every object the engine allocates is
// held in one of these, so it is freed on every path.
#pragma once

#ifndef PCRE2_CODE_UNIT_WIDTH
#define PCRE2_CODE_UNIT_WIDTH 16
#endif
#include <pcre2.h>

#include <memory>

namespace gw::pcre2 {

struct CodeDeleter {
  void operator()(pcre2_code* code) const { pcre2_code_free(code); }
};
struct CompileContextDeleter {
  void operator()(pcre2_compile_context* context) const { pcre2_compile_context_free(context); }
};
struct MatchContextDeleter {
  void operator()(pcre2_match_context* context) const { pcre2_match_context_free(context); }
};
struct MatchDataDeleter {
  void operator()(pcre2_match_data* data) const { pcre2_match_data_free(data); }
};
struct JitStackDeleter {
  void operator()(pcre2_jit_stack* stack) const { pcre2_jit_stack_free(stack); }
};

using Code = std::unique_ptr<pcre2_code, CodeDeleter>;
using CompileContext = std::unique_ptr<pcre2_compile_context, CompileContextDeleter>;
using MatchContext = std::unique_ptr<pcre2_match_context, MatchContextDeleter>;
using MatchData = std::unique_ptr<pcre2_match_data, MatchDataDeleter>;
using JitStack = std::unique_ptr<pcre2_jit_stack, JitStackDeleter>;

}  // namespace gw::pcre2
