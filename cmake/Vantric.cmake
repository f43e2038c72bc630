# Build conventions shared by every module, test and benchmark.
#
# Every module under src/ is one static library, vantric_<name>, made with
# vantric_module(). The modules form layers, bottom to top: platform,
# runtime, gfx2d and sound, input, gfx3d with planner and net, shell, then
# the game (bridge, world, screens). Each module links against the modules
# below it and nothing else, so a call up the layers fails to link: the
# program's own parts (its hooks, the frame end) reach the runtime through
# tables they fill in at start-up. Programs link the highest module they use.

find_package(PkgConfig REQUIRED)
find_package(Threads REQUIRED)

#
# vantric_module(<name> [SOURCES ...] [LIBS ...]): without SOURCES the module
# is every .cpp file of its directory; LIBS names the modules below it that
# it calls, and the outside libraries it needs. With the tests, the module is
# also linked whole into a program of its own (link_check_<name>), so every
# one of its files, not only those some program pulls in, must find all it
# calls below it.
function(vantric_module name)
  cmake_parse_arguments(M "" "" "SOURCES;LIBS" ${ARGN})
  if(NOT M_SOURCES)
    file(GLOB M_SOURCES CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  endif()
  add_library(vantric_${name} STATIC ${M_SOURCES})
  target_include_directories(vantric_${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(vantric_${name} PUBLIC ${M_LIBS})
  if(VANTRIC_TESTS)
    add_executable(link_check_${name} ${PROJECT_SOURCE_DIR}/tests/layers/link_check_main.cpp)
    target_link_libraries(link_check_${name} PRIVATE "$<LINK_LIBRARY:WHOLE_ARCHIVE,vantric_${name}>")
  endif()
endfunction()

# vantric_test(<name> SOURCES ... [GL] [GAME] [LABELS ...] [TIMEOUT s] [LIBS ...])
# One executable over the modules named in LIBS; every GoogleTest case runs
# as its own CTest test in its own process, so the runtime's process-wide
# state starts fresh for each case. The program also runs whole, all cases in
# one process (<name>.whole, label whole), so its fixtures keep resetting the
# process-wide state they use.
# GL marks tests that open a window and an OpenGL context: they run offscreen,
# and leak detection is off in them (tests/support/gl_leak_detection_off.cpp)
# because Mesa and SDL leak at exit from libraries that are already unloaded;
# they run without ASAN_OPTIONS, as when started by hand. GAME marks the
# game's own tests; the others get the stand-in program's hooks
# (tests/support/test_project_hooks.cpp).
function(vantric_test name)
  cmake_parse_arguments(T "GL;GAME" "TIMEOUT" "SOURCES;LABELS;LIBS" ${ARGN})
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 120)
  endif()
  if(NOT T_LABELS)
    set(T_LABELS unit)
  endif()
  add_executable(${name} ${T_SOURCES})
  if(NOT T_GAME)
    target_sources(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests/support/test_project_hooks.cpp)
    target_link_libraries(${name} PRIVATE vantric_runtime)
  endif()
  target_link_libraries(${name} PRIVATE ${T_LIBS} vantric_test_support GTest::gtest_main GTest::gmock)
  set(env "SDL_VIDEODRIVER=offscreen;SDL_AUDIODRIVER=dummy;VANTRIC_SOURCE_DIR=${PROJECT_SOURCE_DIR};VANTRIC_MEDIA_DIR=${VANTRIC_MEDIA_DIR}")
  if(T_GL)
    target_sources(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests/support/gl_leak_detection_off.cpp)
    list(PREPEND env "-u;ASAN_OPTIONS")
  else()
    list(APPEND env "ASAN_OPTIONS=detect_leaks=1")
  endif()
  # The discovery script of this CMake splits every list given as a test
  # property into separate arguments, so a property takes one value only: the
  # environment reaches each test through `env` as the test's launcher, and
  # a test keeps its first label.
  set_target_properties(${name} PROPERTIES CROSSCOMPILING_EMULATOR "env;${env}")
  list(GET T_LABELS 0 label)
  gtest_discover_tests(${name}
    DISCOVERY_MODE PRE_TEST
    DISCOVERY_TIMEOUT 60
    PROPERTIES LABELS ${label} TIMEOUT ${T_TIMEOUT})
  math(EXPR whole_timeout "${T_TIMEOUT} * 5")
  add_test(NAME ${name}.whole
           COMMAND sh ${PROJECT_SOURCE_DIR}/tests/support/run_whole.sh env ${env} $<TARGET_FILE:${name}>)
  set_tests_properties(${name}.whole PROPERTIES LABELS "whole;${label}" TIMEOUT ${whole_timeout})
endfunction()

# vantric_bench(<name> SOURCES ... [LIBS ...]): a Google Benchmark program or a
# small timed program over the modules named in LIBS; built by the target
# `benchmarks` (bench/CMakeLists.txt), which `make bench` builds and runs,
# and never run by CTest.
function(vantric_bench name)
  cmake_parse_arguments(B "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${B_SOURCES})
  target_link_libraries(${name} PRIVATE ${B_LIBS})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR}/bench)
  add_dependencies(benchmarks ${name})
endfunction()

# vantric_test_dir(<prefix> [GAME] [TIMEOUT s] [LABELS ...] LIBS ...): the
# suites of one tests/ directory, linked with the modules they test (LIBS).
# Files named *_gl_test.cpp open a window and a GL context and form
# test_<prefix>_gl (label gl); the other *_test.cpp files form test_<prefix>.
# Helper sources of the directory that are not tests (*.cpp without _test)
# join both.
function(vantric_test_dir prefix)
  cmake_parse_arguments(D "GAME" "TIMEOUT" "LABELS;LIBS" ${ARGN})
  file(GLOB all CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  set(gl_tests)
  set(plain_tests)
  set(helpers)
  foreach(f ${all})
    if(f MATCHES "_gl_test\\.cpp$")
      list(APPEND gl_tests ${f})
    elseif(f MATCHES "_test\\.cpp$")
      list(APPEND plain_tests ${f})
    else()
      list(APPEND helpers ${f})
    endif()
  endforeach()
  set(game_flag)
  if(D_GAME)
    set(game_flag GAME)
  endif()
  set(timeout_arg)
  if(D_TIMEOUT)
    set(timeout_arg TIMEOUT ${D_TIMEOUT})
  endif()
  set(labels ${D_LABELS})
  if(NOT labels)
    if(D_GAME)
      set(labels game)
    else()
      set(labels unit)
    endif()
  endif()
  if(plain_tests)
    vantric_test(test_${prefix} ${game_flag} ${timeout_arg} SOURCES ${plain_tests} ${helpers}
                 LABELS ${labels} LIBS ${D_LIBS})
  endif()
  if(gl_tests)
    vantric_test(test_${prefix}_gl GL ${game_flag} ${timeout_arg} SOURCES ${gl_tests} ${helpers}
                 LABELS gl ${labels} LIBS ${D_LIBS})
  endif()
endfunction()
