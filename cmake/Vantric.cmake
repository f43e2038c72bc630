# Build conventions shared by every module, test and benchmark.
#
# Every directory under src/ is one static library, vantric_<name>, made with
# vantric_module(). The modules call one another in both directions (the
# orderly end of the shell is called by the runtime below it, and the shell
# closes the runtime's files), so programs link them all at once through the
# interface target vantric_all, which wraps them in one rescanned link group.

find_package(PkgConfig REQUIRED)
find_package(Threads REQUIRED)

#
# vantric_module(<name> [GAME] [SOURCES ...] [LIBS ...]): without SOURCES the
# module is every .cpp file of its directory. GAME marks the game's own modules
# (src/game/world, src/game/screens), which define the program's hooks; they
# join vantric_game only, so runtime tests can bring their own hooks.
function(vantric_module name)
  cmake_parse_arguments(M "GAME" "" "SOURCES;LIBS" ${ARGN})
  if(NOT M_SOURCES)
    file(GLOB M_SOURCES CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  endif()
  add_library(vantric_${name} STATIC ${M_SOURCES})
  target_include_directories(vantric_${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(vantric_${name} PUBLIC ${M_LIBS})
  if(M_GAME)
    set_property(GLOBAL APPEND PROPERTY VANTRIC_GAME_MODULES vantric_${name})
  else()
    set_property(GLOBAL APPEND PROPERTY VANTRIC_MODULES vantric_${name})
  endif()
endfunction()

# Called once after every module exists: vantric_all is the runtime,
# vantric_game the runtime with the game.
function(vantric_finish_modules)
  get_property(mods GLOBAL PROPERTY VANTRIC_MODULES)
  get_property(game GLOBAL PROPERTY VANTRIC_GAME_MODULES)
  foreach(target vantric_all vantric_game)
    add_library(${target} INTERFACE)
    target_include_directories(${target} INTERFACE ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(${target} INTERFACE Threads::Threads)
  endforeach()
  if(mods)
    list(JOIN mods "," group)
    target_link_libraries(vantric_all INTERFACE "$<LINK_GROUP:RESCAN,${group}>")
  endif()
  set(everything ${game} ${mods})
  if(everything)
    list(JOIN everything "," group)
    target_link_libraries(vantric_game INTERFACE "$<LINK_GROUP:RESCAN,${group}>")
  endif()
endfunction()

# vantric_test(<name> SOURCES ... [GL] [GAME] [LABELS ...] [TIMEOUT s] [LIBS ...])
# One executable; every GoogleTest case runs as its own CTest test in its own
# process, so the runtime's process-wide state starts fresh for each case.
# The program also runs whole, all cases in one process (<name>.whole, label
# whole), so its fixtures keep resetting the process-wide state they use;
# a directory whose programs do not pass that way yet sets
# VANTRIC_TESTS_CASE_BY_CASE_ONLY (tests/CMakeLists.txt).
# GL marks tests that open a window and an OpenGL context: they run offscreen,
# and leak detection is off for them because Mesa and SDL leak at exit from
# libraries that are already unloaded. GAME links the game's modules (and
# their program hooks) instead of the test program hooks.
function(vantric_test name)
  cmake_parse_arguments(T "GL;GAME" "TIMEOUT" "SOURCES;LABELS;LIBS" ${ARGN})
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 120)
  endif()
  if(NOT T_LABELS)
    set(T_LABELS unit)
  endif()
  add_executable(${name} ${T_SOURCES})
  if(T_GAME)
    target_link_libraries(${name} PRIVATE vantric_game)
  else()
    # Compiled into each test program, not linked from a library: the runtime
    # calls these hooks, and a library would sit before the runtime on the link line.
    target_sources(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests/support/test_project_hooks.cpp)
    target_link_libraries(${name} PRIVATE vantric_all)
  endif()
  target_link_libraries(${name} PRIVATE vantric_test_support GTest::gtest_main GTest::gmock ${T_LIBS})
  set(env "SDL_VIDEODRIVER=offscreen;SDL_AUDIODRIVER=dummy;VANTRIC_SOURCE_DIR=${PROJECT_SOURCE_DIR};VANTRIC_MEDIA_DIR=${VANTRIC_MEDIA_DIR}")
  if(T_GL)
    list(APPEND env "ASAN_OPTIONS=detect_leaks=0")
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
  if(NOT VANTRIC_TESTS_CASE_BY_CASE_ONLY)
    math(EXPR whole_timeout "${T_TIMEOUT} * 5")
    add_test(NAME ${name}.whole
             COMMAND sh ${PROJECT_SOURCE_DIR}/tests/support/run_whole.sh env ${env} $<TARGET_FILE:${name}>)
    set_tests_properties(${name}.whole PROPERTIES LABELS "whole;${label}" TIMEOUT ${whole_timeout})
  endif()
endfunction()

# vantric_bench(<name> SOURCES ... [LIBS ...]): a Google Benchmark program or a
# small timed program; built by the run command's build, never run by CTest.
function(vantric_bench name)
  cmake_parse_arguments(B "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${B_SOURCES})
  target_link_libraries(${name} PRIVATE vantric_all ${B_LIBS})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR}/bench)
endfunction()

# vantric_test_dir(<prefix> [GAME]): the suites of one tests/ directory. Files
# named *_gl_test.cpp open a window and a GL context and form test_<prefix>_gl
# (label gl); the other *_test.cpp files form test_<prefix>. Helper sources of
# the directory that are not tests (*.cpp without _test) join both.
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
