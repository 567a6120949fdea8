# gathwrite-cli generate on a large export against split writing as many files, and the time of
# each stage of the run (bench/end_to_end.sh).
add_executable(gw_bench_end_to_end ${CMAKE_CURRENT_LIST_DIR}/end_to_end.cpp)
target_link_libraries(gw_bench_end_to_end PRIVATE gw_engine gw_warnings)

# Peak memory of a command where GNU time is missing.
add_executable(gw_bench_rusage ${CMAKE_CURRENT_LIST_DIR}/end_to_end_rusage.cpp)
target_link_libraries(gw_bench_rusage PRIVATE gw_warnings)
