# Timing of the blocked-word filter and the sampler of realistic word libraries. Run by
# bench/blocked_words.sh.
add_executable(gw_bench_blocked_words ${CMAKE_CURRENT_LIST_DIR}/blocked_words.cpp)
target_link_libraries(gw_bench_blocked_words PRIVATE gw_engine gw_text gw_warnings)
