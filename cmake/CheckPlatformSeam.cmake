# Fails when a source outside src/platform includes SDL or a POSIX header:
# only the platform layer may reach them. Tests are not checked (those that
# drive SDL themselves link it). Run as: cmake -DROOT=<source dir> -P <this>.
set(pattern "#[ \t]*include[ \t]*[<\"](SDL[^>\"]*|unistd\\.h|fcntl\\.h|dirent\\.h|sys/[^>\"]*)[>\"]")
file(GLOB_RECURSE sources ${ROOT}/src/*.h ${ROOT}/src/*.cpp ${ROOT}/src/*.c
                          ${ROOT}/tools/*.h ${ROOT}/tools/*.cpp ${ROOT}/bench/*.cpp ${ROOT}/fuzz/*.cpp)
set(offences "")
foreach(source ${sources})
  file(RELATIVE_PATH relative ${ROOT} ${source})
  if(relative MATCHES "^src/platform/")
    continue()
  endif()
  file(STRINGS ${source} lines REGEX "${pattern}")
  foreach(line ${lines})
    string(APPEND offences "\n  ${relative}: ${line}")
  endforeach()
endforeach()
if(offences)
  message(FATAL_ERROR "Only src/platform may include SDL or POSIX headers:${offences}")
endif()
list(LENGTH sources count)
message(STATUS "${count} sources outside the platform layer checked: none includes SDL or POSIX headers")
