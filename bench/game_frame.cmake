# The in-game frame unpaced on a busy level: update, draw and present, in
# frames per second, on a light level and on a dark one (darkness mask), then
# on every shipped level, and the title menu, ending page and level editor
# (vantric_screens). The busy level is written through the level tools' text
# form (levels_lib).
vantric_bench(game_frame SOURCES ${CMAKE_CURRENT_LIST_DIR}/game_frame.cpp LIBS bench_program vantric_screens levels_lib)
target_compile_definitions(game_frame PRIVATE VANTRIC_MEDIA_DIR="${VANTRIC_MEDIA_DIR}")
# It reads the pictures and the shipped levels of the build's Media folder.
add_dependencies(game_frame media_images levels)
