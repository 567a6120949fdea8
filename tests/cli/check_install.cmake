# Installs what src/cli installs into a scratch prefix and checks that the program, its manual
# page and its bash completion land where packages and shells look for them.
#   cmake -DPREFIX=... -DINSTALL_SCRIPT=... -DBINDIR=... -DMANDIR=... -DDATADIR=... -DBUILT_DIR=...
#         -P check_install.cmake
file(REMOVE_RECURSE "${PREFIX}")
execute_process(COMMAND "${CMAKE_COMMAND}" "-DCMAKE_INSTALL_PREFIX=${PREFIX}" -P "${INSTALL_SCRIPT}"
                RESULT_VARIABLE result OUTPUT_QUIET)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "the install script failed: ${result}")
endif()
set(expected
  "${BINDIR}/gathwrite-cli|${BUILT_DIR}/gathwrite-cli"
  "${MANDIR}/man1/gathwrite-cli.1|${BUILT_DIR}/gathwrite-cli.1"
  "${DATADIR}/bash-completion/completions/gathwrite-cli|${BUILT_DIR}/gathwrite-cli.bash")
foreach(pair IN LISTS expected)
  string(REPLACE "|" ";" pair "${pair}")
  list(GET pair 0 installed)
  list(GET pair 1 built)
  if(NOT EXISTS "${PREFIX}/${installed}")
    message(FATAL_ERROR "not installed: ${installed}")
  endif()
  file(READ "${PREFIX}/${installed}" installed_bytes HEX)
  file(READ "${built}" built_bytes HEX)
  if(NOT installed_bytes STREQUAL built_bytes)
    message(FATAL_ERROR "${installed} differs from ${built}")
  endif()
endforeach()
file(REMOVE_RECURSE "${PREFIX}")
