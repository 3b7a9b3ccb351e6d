# Fails when a source outside the platform layer's implementations includes
# SDL or a POSIX header: only src/platform/sdl may include SDL, and only
# src/platform/sdl and src/platform/posix POSIX headers; the interfaces and
# portable models in src/platform itself include neither. Tests
# and other test programs (bench, fuzz) are not checked: those that drive SDL
# themselves link it.
# Run as: cmake -DROOT=<source dir> -P <this file>.
set(sdl "SDL[^>\"]*")
set(posix "unistd\\.h|fcntl\\.h|dirent\\.h|pwd\\.h|sys/[^>\"]*")
set(pattern "#[ \t]*include[ \t]*[<\"](${sdl}|${posix})[>\"]")
file(GLOB_RECURSE sources ${ROOT}/src/*.h ${ROOT}/src/*.cpp ${ROOT}/src/*.c
                          ${ROOT}/tools/*.h ${ROOT}/tools/*.cpp)
set(offences "")
foreach(source ${sources})
  file(RELATIVE_PATH relative ${ROOT} ${source})
  if(relative MATCHES "^src/platform/sdl/")
    continue()
  elseif(relative MATCHES "^src/platform/posix/")
    file(STRINGS ${source} lines REGEX "#[ \t]*include[ \t]*[<\"](${sdl})[>\"]")
  else()
    file(STRINGS ${source} lines REGEX "${pattern}")
  endif()
  foreach(line ${lines})
    string(APPEND offences "\n  ${relative}: ${line}")
  endforeach()
endforeach()
if(offences)
  message(FATAL_ERROR "Only src/platform/sdl may include SDL headers, and only it and "
                      "src/platform/posix POSIX headers:${offences}")
endif()
list(LENGTH sources count)
message(STATUS "${count} sources checked: SDL and POSIX headers only in the platform's implementations")
