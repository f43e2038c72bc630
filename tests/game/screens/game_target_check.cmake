# What building the game's target alone builds (`make run` builds just that):
# the target graph of a fresh configuration of the tree, read through CMake's
# file API. The game's closure must hold its Media folder's makers (the
# pictures, sounds, music, level files and the editor's level pictures) and
# no test, link check or benchmark.
#   cmake -DSOURCE_DIR=<tree> -DWORK_DIR=<scratch folder> -DCC=<C compiler> -DCXX=<C++ compiler>
#         -P game_target_check.cmake
cmake_minimum_required(VERSION 3.25)

file(REMOVE_RECURSE ${WORK_DIR})
# The query is in place before the first run, which answers it.
file(WRITE ${WORK_DIR}/.cmake/api/v1/query/codemodel-v2 "")
execute_process(
  COMMAND ${CMAKE_COMMAND} -S ${SOURCE_DIR} -B ${WORK_DIR} -DCMAKE_BUILD_TYPE=Release
          -DCMAKE_C_COMPILER=${CC} -DCMAKE_CXX_COMPILER=${CXX}
  RESULT_VARIABLE configured OUTPUT_QUIET ERROR_VARIABLE configureErrors)
if(NOT configured EQUAL 0)
  message(FATAL_ERROR "configuring the tree failed: ${configureErrors}")
endif()

file(GLOB index ${WORK_DIR}/.cmake/api/v1/reply/index-*.json)
file(READ ${index} indexJson)
string(JSON codemodelFile GET ${indexJson} reply codemodel-v2 jsonFile)
file(READ ${WORK_DIR}/.cmake/api/v1/reply/${codemodelFile} codemodel)
string(JSON targets GET ${codemodel} configurations 0 targets)
string(JSON targetCount LENGTH ${targets})

# Every target's name and the ids of the targets it depends on.
math(EXPR last "${targetCount} - 1")
foreach(i RANGE ${last})
  string(JSON id GET ${targets} ${i} id)
  string(JSON name GET ${targets} ${i} name)
  string(JSON file GET ${targets} ${i} jsonFile)
  file(READ ${WORK_DIR}/.cmake/api/v1/reply/${file} targetJson)
  set(deps)
  string(JSON depCount ERROR_VARIABLE noDeps LENGTH ${targetJson} dependencies)
  if(NOT noDeps AND depCount GREATER 0)
    math(EXPR lastDep "${depCount} - 1")
    foreach(d RANGE ${lastDep})
      string(JSON depId GET ${targetJson} dependencies ${d} id)
      list(APPEND deps ${depId})
    endforeach()
  endif()
  set("name_${id}" ${name})
  set("deps_${id}" ${deps})
  if(name STREQUAL "shoalrunner")
    set(game ${id})
  elseif(name STREQUAL "benchmarks")
    set(benchmarks ${id})
  endif()
endforeach()
if(NOT benchmarks)
  message(FATAL_ERROR "no target benchmarks")
endif()
# The benchmark programs, which `make bench` builds through `benchmarks`.
set(unwanted)
foreach(id ${deps_${benchmarks}})
  list(APPEND unwanted ${name_${id}})
endforeach()
if(NOT game)
  message(FATAL_ERROR "no target shoalrunner")
endif()

# The closure of the game's dependencies.
set(pending ${game})
set(closure)
while(pending)
  list(POP_FRONT pending id)
  if(NOT id IN_LIST closure)
    list(APPEND closure ${id})
    list(APPEND pending ${deps_${id}})
  endif()
endwhile()
set(names)
foreach(id ${closure})
  list(APPEND names ${name_${id}})
endforeach()
list(LENGTH names built)
message(STATUS "the game's target builds ${built} of ${targetCount} targets: ${names}")

foreach(needed media media_images media_sounds media_music_file levels vantric_screens)
  if(NOT needed IN_LIST names)
    message(FATAL_ERROR "building shoalrunner does not build ${needed}")
  endif()
endforeach()
foreach(name ${names})
  if(name MATCHES "^(test_|link_check_|screens_)" OR name STREQUAL "benchmarks" OR name IN_LIST unwanted)
    message(FATAL_ERROR "building shoalrunner builds ${name}, which the game does not need")
  endif()
endforeach()
