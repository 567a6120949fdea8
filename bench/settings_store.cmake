# Timing of the settings store: the 43 typed writes of a first save and the 43 rewrites of a
# later one. Run by bench/settings_store.sh.
add_executable(gw_bench_settings_store ${CMAKE_CURRENT_LIST_DIR}/settings_store.cpp)
target_link_libraries(gw_bench_settings_store PRIVATE gw_settings gw_text gw_warnings)
