# The string value against std::string and std::to_chars.
vantric_bench(bench_strings SOURCES ${CMAKE_CURRENT_LIST_DIR}/strings_bench.cpp LIBS vantric_runtime benchmark::benchmark)
