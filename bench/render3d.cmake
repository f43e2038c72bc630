# 3-D drawing: N lit, textured meshes per frame through the object commands,
# in milliseconds per frame, N = 100 and 1,000.
vantric_bench(render3d SOURCES ${CMAKE_CURRENT_LIST_DIR}/render3d.cpp LIBS bench_program vantric_gfx3d)
