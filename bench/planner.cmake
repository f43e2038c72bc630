# The grid planner's A* against a textbook A* on a binary heap, same grid.
vantric_bench(bench_planner SOURCES ${CMAKE_CURRENT_LIST_DIR}/planner.cpp LIBS vantric_planner)
