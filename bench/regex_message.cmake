# Cutting a large export into messages with the message pattern, against node's RegExp
# (bench/regex_message.sh).
add_executable(gw_bench_regex_message ${CMAKE_CURRENT_LIST_DIR}/regex_message.cpp)
target_link_libraries(gw_bench_regex_message PRIVATE gw_regex gw_text gw_warnings)
target_compile_definitions(gw_bench_regex_message PRIVATE PCRE2_CODE_UNIT_WIDTH=16)
