# Third-party libraries, all from Debian 12 packages (scripts/install-deps.sh).
find_package(PkgConfig REQUIRED)
pkg_check_modules(PCRE2 REQUIRED IMPORTED_TARGET libpcre2-16)
pkg_check_modules(OPENCC REQUIRED IMPORTED_TARGET opencc)
# OpenCC is loaded when a conversion is first asked for (src/engine/opencc_library.cpp), by the
# shared-object name that its development link carries.
find_library(GW_OPENCC_LIBRARY NAMES opencc HINTS ${OPENCC_LIBRARY_DIRS} REQUIRED)
execute_process(COMMAND ${CMAKE_OBJDUMP} -p ${GW_OPENCC_LIBRARY} OUTPUT_VARIABLE gw_opencc_headers
                RESULT_VARIABLE gw_opencc_objdump)
if(NOT gw_opencc_objdump EQUAL 0 OR NOT gw_opencc_headers MATCHES "SONAME +([^\n ]+)")
  message(FATAL_ERROR "No shared-object name found in ${GW_OPENCC_LIBRARY}")
endif()
set(GW_OPENCC_SONAME ${CMAKE_MATCH_1})
find_package(ZLIB REQUIRED)
find_package(Threads REQUIRED)
# The fuzz build has no tests, benchmarks or windows.
if(NOT GW_FUZZ)
  find_package(GTest REQUIRED)
  find_package(benchmark REQUIRED)
  find_package(Qt6 REQUIRED COMPONENTS Widgets Test)
endif()
