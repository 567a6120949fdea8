# GW_SANITIZE: every target of the project is compiled and linked with the address and
# undefined-behaviour sanitizers, and the first finding ends the program (no recovery), so that
# a test run under them fails on any memory fault or undefined behaviour. `make test-sanitize`
# builds this way in build-sanitize and runs the whole test suite.
option(GW_SANITIZE "Build every target with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
if(GW_SANITIZE)
  set(GW_SANITIZER_FLAGS -fsanitize=address,undefined -fno-sanitize-recover=all
                         -fno-omit-frame-pointer)
  add_compile_options(${GW_SANITIZER_FLAGS})
  add_link_options(${GW_SANITIZER_FLAGS})
endif()
