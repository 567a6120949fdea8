# The window thread's responsiveness during a run on a large export, and how fast a stop ends it
# (bench/responsiveness.sh). The run controller is compiled in directly, so the benchmark needs
# only the engine and Qt Core.
add_executable(gw_bench_responsiveness
  ${CMAKE_CURRENT_LIST_DIR}/responsiveness.cpp
  ${PROJECT_SOURCE_DIR}/src/app/run_controller.cpp
  ${PROJECT_SOURCE_DIR}/src/app/run_controller.h)
set_target_properties(gw_bench_responsiveness PROPERTIES AUTOMOC ON)
target_include_directories(gw_bench_responsiveness PRIVATE ${PROJECT_SOURCE_DIR}/src)
target_link_libraries(gw_bench_responsiveness PRIVATE gw_engine Qt6::Core gw_warnings)
