# The grid planner's A* against a textbook A* on a binary heap, same grids;
# the program is build/<config>/bench/planner.
vantric_bench(bench_planner SOURCES ${CMAKE_CURRENT_LIST_DIR}/planner.cpp LIBS vantric_planner)
set_target_properties(bench_planner PROPERTIES OUTPUT_NAME planner)
