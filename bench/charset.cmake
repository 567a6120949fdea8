# The hot GBK <-> UTF-16 conversions on a large export, whole and line by line
# (gw_bench_charset FILE).
add_executable(gw_bench_charset ${CMAKE_CURRENT_LIST_DIR}/charset.cpp)
target_link_libraries(gw_bench_charset PRIVATE gw_text gw_warnings)
