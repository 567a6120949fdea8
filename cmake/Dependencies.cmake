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
# PCRE2 and zlib as the core links them: from their static archives, where those are installed,
# into a program whose property GW_STATIC_DEPENDENCIES is ON (the command line, which starts once
# for every run: each shared library costs the dynamic loader time at every start), and shared
# into every other program.
find_library(GW_PCRE2_ARCHIVE NAMES libpcre2-16.a HINTS ${PCRE2_LIBRARY_DIRS})
find_library(GW_ZLIB_ARCHIVE NAMES libz.a)
foreach(dependency IN ITEMS "pcre2;PkgConfig::PCRE2;${GW_PCRE2_ARCHIVE}"
                            "zlib;ZLIB::ZLIB;${GW_ZLIB_ARCHIVE}")
  list(GET dependency 0 name)
  list(GET dependency 1 shared)
  list(GET dependency 2 archive)
  add_library(gw_${name} INTERFACE)
  if(archive)
    target_link_libraries(gw_${name} INTERFACE
      "$<IF:$<BOOL:$<TARGET_PROPERTY:GW_STATIC_DEPENDENCIES>>,${archive},${shared}>")
    # The headers, which the shared target brings, whichever way it is linked.
    target_include_directories(gw_${name} INTERFACE
                               $<TARGET_PROPERTY:${shared},INTERFACE_INCLUDE_DIRECTORIES>)
  else()
    target_link_libraries(gw_${name} INTERFACE ${shared})
  endif()
endforeach()
find_package(Threads REQUIRED)
# The fuzz build has no tests, benchmarks or windows.
if(NOT GW_FUZZ)
  find_package(GTest REQUIRED)
  find_package(benchmark REQUIRED)
  find_package(Qt6 REQUIRED COMPONENTS Widgets Test)
endif()
