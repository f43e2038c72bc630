# The include check: no file under src/ includes a header of a higher layer,
# nor one of another module on its own level. Run as
#   cmake -DSOURCE_ROOT=<folder holding src/> -P include_layers.cmake
# It prints every include that points the wrong way and fails when there is one.

# The levels, bottom to top, modules of one level separated by ",". The
# runtime's folders (strings, services, files, containers, engine) are one
# module, as they are one library. Must stay in step with the modules'
# target_link_libraries (src/*/CMakeLists.txt).
set(levels
  platform
  runtime
  gfx2d,sound
  input
  gfx3d,planner,net
  shell
  game/bridge
  game/world
  game/screens
  game)

if(NOT SOURCE_ROOT)
  message(FATAL_ERROR "include_layers: give -DSOURCE_ROOT=<folder holding src/>")
endif()

set(height 0)
foreach(level ${levels})
  string(REPLACE "," ";" modules "${level}")
  foreach(module ${modules})
    set(height_of_${module} ${height})
  endforeach()
  math(EXPR height "${height} + 1")
endforeach()

# module_of(<path below src/> <out>): the module of a file or of an included
# header; empty for a path outside every module.
function(module_of path out)
  set(module "")
  if(path MATCHES "^runtime/")
    set(module runtime)
  elseif(path MATCHES "^game/(bridge|world|screens)/")
    set(module game/${CMAKE_MATCH_1})
  elseif(path MATCHES "^game/[^/]+$")
    set(module game)
  elseif(path MATCHES "^([a-z0-9_]+)/")
    set(module ${CMAKE_MATCH_1})
  endif()
  if(module AND NOT DEFINED height_of_${module})
    set(module "")
  endif()
  set(${out} "${module}" PARENT_SCOPE)
endfunction()

file(GLOB_RECURSE sources RELATIVE ${SOURCE_ROOT}/src ${SOURCE_ROOT}/src/*.h ${SOURCE_ROOT}/src/*.cpp)
list(SORT sources)
set(faults 0)
foreach(source ${sources})
  module_of(${source} own)
  if(NOT own)
    message("src/${source}: in no module of the layers")
    math(EXPR faults "${faults} + 1")
    continue()
  endif()
  file(STRINGS ${SOURCE_ROOT}/src/${source} includes REGEX "^[ \t]*#[ \t]*include[ \t]*\"")
  foreach(line ${includes})
    string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*\"([^\"]*)\".*" "\\1" header "${line}")
    module_of(${header} other)
    if(NOT other OR other STREQUAL own)
      continue()
    endif()
    if(height_of_${other} GREATER height_of_${own})
      message("src/${source}: includes ${header}, a header of a higher layer (${other} above ${own})")
      math(EXPR faults "${faults} + 1")
    elseif(height_of_${other} EQUAL height_of_${own})
      message("src/${source}: includes ${header}, a header of ${other}, beside ${own} on its level")
      math(EXPR faults "${faults} + 1")
    endif()
  endforeach()
endforeach()

if(faults GREATER 0)
  message(FATAL_ERROR "include_layers: ${faults} include(s) against the layers")
endif()
list(LENGTH sources count)
message("include_layers: the includes of ${count} files point down")
