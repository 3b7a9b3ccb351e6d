# Fails when a source outside the platform layer's implementations includes
# SDL, FFmpeg or a POSIX header: only src/platform/sdl may include SDL, only
# src/platform/ffmpeg (and the asset generator, which writes the movie)
# FFmpeg, and only src/platform/sdl and src/platform/posix POSIX headers; the
# interfaces and portable models in src/platform itself include none. Tests
# and other test programs (bench, fuzz) are not checked: those that drive SDL
# themselves link it.
# It also holds the layering (no folder of src includes one above it) and
# keeps private headers private.
# Run as: cmake -DROOT=<source dir> -P <this file>.
cmake_policy(SET CMP0057 NEW)
set(sdl "SDL[^>\"]*")
set(ffmpeg "libav[^>\"]*|libsw[^>\"]*")
set(posix "unistd\\.h|fcntl\\.h|dirent\\.h|pwd\\.h|dlfcn\\.h|sys/[^>\"]*")
macro(include_of what)
  set(${what}_include "#[ \t]*include[ \t]*[<\"](${${what}})[>\"]")
endmacro()
include_of(sdl)
include_of(ffmpeg)
include_of(posix)
file(GLOB_RECURSE sources ${ROOT}/src/*.h ${ROOT}/src/*.cpp ${ROOT}/src/*.c
                          ${ROOT}/tools/*.h ${ROOT}/tools/*.cpp)
set(offences "")
foreach(source ${sources})
  file(RELATIVE_PATH relative ${ROOT} ${source})
  if(relative MATCHES "^src/platform/sdl/")
    set(banned "${ffmpeg_include}")
  elseif(relative MATCHES "^src/platform/posix/")
    set(banned "${sdl_include}|${ffmpeg_include}")
  elseif(relative MATCHES "^(src/platform/ffmpeg|tools/assetgen)/")
    set(banned "${sdl_include}|${posix_include}")
  else()
    set(banned "${sdl_include}|${ffmpeg_include}|${posix_include}")
  endif()
  file(STRINGS ${source} lines REGEX "${banned}")
  foreach(line ${lines})
    string(APPEND offences "\n  ${relative}: ${line}")
  endforeach()
endforeach()
# Every reader of outside data opens its file through the platform's
# OpenRegularFileForReading, which never waits on a named pipe or a device
# in a file's place: no other way to open a file for reading (fopen with a
# reading mode, an input file stream, FreeType's own file opening) is used
# outside src/platform/posix.
set(readers "fopen[ \t]*\\([^;]*\"r|ifstream|FT_New_Face|FT_Open_Face")
set(reader_offences "")
foreach(source ${sources})
  file(RELATIVE_PATH relative ${ROOT} ${source})
  if(relative MATCHES "^(src/platform/posix|tools)/")
    continue()
  endif()
  file(STRINGS ${source} lines REGEX "${readers}")
  foreach(line ${lines})
    string(APPEND reader_offences "\n  ${relative}: ${line}")
  endforeach()
endforeach()
# Layers: a folder of src includes only itself and the folders below it
# (CMakeLists.txt links the same way).
set(below_platform "")
set(below_foundation platform)
set(below_blit foundation platform)
set(below_shell foundation platform)
set(below_graphics shell foundation platform)
set(below_sound shell foundation platform)
set(below_game foundation platform)
set(below_frontend game sound graphics shell blit foundation platform)
set(layer_offences "")
foreach(source ${sources})
  file(RELATIVE_PATH relative ${ROOT} ${source})
  if(NOT relative MATCHES "^src/([a-z]+)/")
    continue()
  endif()
  set(folder ${CMAKE_MATCH_1})
  file(STRINGS ${source} lines REGEX "^#[ \t]*include[ \t]*\"[a-z]+/")
  foreach(line ${lines})
    string(REGEX MATCH "\"([a-z]+)/" _ "${line}")
    set(used ${CMAKE_MATCH_1})
    if(NOT used STREQUAL folder AND NOT used IN_LIST below_${folder})
      string(APPEND layer_offences "\n  ${relative}: ${line}")
    endif()
  endforeach()
endforeach()
# Private headers: a folder's *Internal.h and every header of a back end's
# subfolder (src/platform/sdl, posix, ...) are included only from inside
# that folder; tests, bench and fuzz go through the public headers too.
file(GLOB_RECURSE everything ${ROOT}/src/*.h ${ROOT}/src/*.cpp ${ROOT}/tests/*.h ${ROOT}/tests/*.cpp
                              ${ROOT}/bench/*.h ${ROOT}/bench/*.cpp ${ROOT}/fuzz/*.h ${ROOT}/fuzz/*.cpp)
set(private_offences "")
foreach(source ${everything})
  file(RELATIVE_PATH relative ${ROOT} ${source})
  file(STRINGS ${source} lines REGEX "^#[ \t]*include[ \t]*\"([a-z]+/[A-Za-z0-9_]+Internal\\.h|platform/[a-z]+/)")
  foreach(line ${lines})
    string(REGEX MATCH "\"(.*)/[^/]*\"" _ "${line}")
    if(NOT relative MATCHES "^src/${CMAKE_MATCH_1}/[^/]+$")
      string(APPEND private_offences "\n  ${relative}: ${line}")
    endif()
  endforeach()
endforeach()
if(layer_offences)
  message(FATAL_ERROR "A folder of src includes only the folders below it:${layer_offences}")
endif()
if(private_offences)
  message(FATAL_ERROR "A folder's private headers (*Internal.h, a back end's subfolder) are included "
                      "only from inside it:${private_offences}")
endif()
if(reader_offences)
  message(FATAL_ERROR "Files are read through OpenRegularFileForReading (platform/PlatformFiles.h) only:"
                      "${reader_offences}")
endif()
if(offences)
  message(FATAL_ERROR "Only src/platform/sdl may include SDL headers, only src/platform/ffmpeg and "
                      "tools/assetgen FFmpeg headers, and only src/platform/sdl and src/platform/posix "
                      "POSIX headers:${offences}")
endif()
list(LENGTH sources count)
message(STATUS "${count} sources checked: SDL, FFmpeg and POSIX headers only in the platform's implementations")
