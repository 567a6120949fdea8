# Extracting every message of a large export: time and peak memory (bench/extract.sh).
add_executable(gw_bench_extract ${CMAKE_CURRENT_LIST_DIR}/extract.cpp)
target_link_libraries(gw_bench_extract PRIVATE gw_engine gw_warnings)
