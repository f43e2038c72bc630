# The sound mixer's cost per second of audio with 32 playing voices.
vantric_bench(sound_mixer SOURCES ${CMAKE_CURRENT_LIST_DIR}/sound_mixer.cpp LIBS vantric_platform benchmark::benchmark)
