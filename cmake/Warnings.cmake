# Every target of the project links gw_warnings: the same warnings everywhere.
#
# GW_WERROR turns them into errors. It is off by default, so that a packager's build with another
# compiler or build type is not stopped by a new or false warning; our own builds (`make`,
# `make test`, `make test-release`, `make test-sanitize`, `make package` and CI) turn it on.
option(GW_WERROR "Treat compiler warnings as errors" OFF)

add_library(gw_warnings INTERFACE)
target_compile_options(gw_warnings INTERFACE -Wall -Wextra -Wpedantic)
if(GW_WERROR)
  target_compile_options(gw_warnings INTERFACE -Werror)
  # GCC 12 at -O3 (the Release build) reports -Wrestrict on std::string's own copies (replace,
  # operator+, insert) once they are inlined: the memcpy in char_traits::copy "may overlap up to
  # 9223372036854775813 bytes". It is a false positive in libstdc++'s inlined code (GCC bugs
  # 105329 and 105651), not a fault of ours, so it stays a warning there; every other build keeps
  # -Wrestrict an error.
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_GREATER_EQUAL 12
     AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
    target_compile_options(gw_warnings INTERFACE $<$<CONFIG:Release>:-Wno-error=restrict>)
  endif()
endif()
