# Sprite drawing: N animation frames of one sheet per frame through
# DrawAnimFrame, against SDL's own batched renderer drawing the same frames,
# both headless on the same software OpenGL.
pkg_check_modules(BENCH_SDL2 REQUIRED IMPORTED_TARGET sdl2)
vantric_bench(sprites SOURCES ${CMAKE_CURRENT_LIST_DIR}/sprites.cpp LIBS bench_program vantric_gfx2d PkgConfig::BENCH_SDL2)
