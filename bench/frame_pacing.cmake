# Frame pacing: the engine started headless (offscreen window, software
# OpenGL), 300 frame ends at 60 per second, mean interval and its deviation.
vantric_bench(frame_pacing SOURCES ${CMAKE_CURRENT_LIST_DIR}/frame_pacing.cpp LIBS bench_program)
