# GW_SANITIZE: every target of the project is compiled and linked with sanitizers, and the first
# finding ends the program (no recovery), so that a test run under them fails on any finding.
#   ON (or "address"): AddressSanitizer and UndefinedBehaviorSanitizer; `make test-sanitize`
#                      builds this way in build-sanitize and runs the whole test suite.
#   "thread":          ThreadSanitizer; `make test-tsan` builds the core and the command line
#                      this way in build-tsan and runs their tests, the threaded run among them.
set(GW_SANITIZE "OFF" CACHE STRING "Sanitizers for every target: OFF, ON (address), thread")
if(GW_SANITIZE STREQUAL "thread")
  set(GW_SANITIZER_FLAGS -fsanitize=thread -fno-omit-frame-pointer)
  add_compile_options(${GW_SANITIZER_FLAGS})
  add_link_options(${GW_SANITIZER_FLAGS})
elseif(GW_SANITIZE)
  set(GW_SANITIZER_FLAGS -fsanitize=address,undefined -fno-sanitize-recover=all
                         -fno-omit-frame-pointer)
  add_compile_options(${GW_SANITIZER_FLAGS})
  add_link_options(${GW_SANITIZER_FLAGS})
endif()
