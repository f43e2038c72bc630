# Image loading: a 16384 x 4096 PNG sprite sheet and small sprites through
# LoadSpriteFile beside the copying upload path, peak memory and time.
vantric_bench(image_load SOURCES ${CMAKE_CURRENT_LIST_DIR}/image_load.cpp LIBS bench_program vantric_gfx2d)
