# Third-party libraries, all from Debian 12 packages (scripts/install-deps.sh).
find_package(PkgConfig REQUIRED)
pkg_check_modules(PCRE2 REQUIRED IMPORTED_TARGET libpcre2-16)
pkg_check_modules(OPENCC REQUIRED IMPORTED_TARGET opencc)
find_package(ZLIB REQUIRED)
find_package(Threads REQUIRED)
# The fuzz build has no tests, benchmarks or windows.
if(NOT GW_FUZZ)
  find_package(GTest REQUIRED)
  find_package(benchmark REQUIRED)
  find_package(Qt6 REQUIRED COMPONENTS Widgets Test)
endif()
