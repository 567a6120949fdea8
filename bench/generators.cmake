# Generators of synthetic inputs for the benchmarks (deterministic for a seed).
add_executable(gw_generate_export ${CMAKE_CURRENT_LIST_DIR}/generate_export.cpp)
target_link_libraries(gw_generate_export PRIVATE gw_text gw_warnings)

add_executable(gw_generate_words ${CMAKE_CURRENT_LIST_DIR}/generate_words.cpp)
target_link_libraries(gw_generate_words PRIVATE gw_text gw_warnings)
