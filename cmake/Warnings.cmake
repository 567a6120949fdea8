# Every target of the project links gw_warnings: warnings are errors everywhere.
add_library(gw_warnings INTERFACE)
target_compile_options(gw_warnings INTERFACE -Wall -Wextra -Wpedantic -Werror)
