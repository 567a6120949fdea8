# Reading a large UTF-8 export with automatic detection, against iconv (bench/read_source.sh).
add_executable(gw_bench_read_source ${CMAKE_CURRENT_LIST_DIR}/read_source.cpp)
target_link_libraries(gw_bench_read_source PRIVATE gw_text gw_warnings)
