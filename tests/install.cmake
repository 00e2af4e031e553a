# SPDX-License-Identifier: ISC
cmake_minimum_required(VERSION 3.20)
# Installs the build under DESTDIR and umask 077 into a scratch tree that
# already holds an admin's set-group-ID usr/share, and runs the installed
# binary.
file(REMOVE_RECURSE "${PREFIX}")
file(MAKE_DIRECTORY "${PREFIX}/usr/share")
file(CHMOD "${PREFIX}/usr/share" PERMISSIONS OWNER_READ OWNER_WRITE
  OWNER_EXECUTE GROUP_READ GROUP_WRITE GROUP_EXECUTE WORLD_READ WORLD_EXECUTE
  SETGID)
# A multi-config build tree installs only the configuration it is told.
set(config)
if(CONFIG)
  set(config --config ${CONFIG})
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -E env DESTDIR=${PREFIX}
  sh -c [[umask 077 && exec "$@"]] sh
  ${CMAKE_COMMAND} --install ${BUILD} ${config} --prefix /usr
  OUTPUT_QUIET RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "cmake --install failed: ${rc}")
endif()

foreach(f bin/lablit share/man/man1/lablit.1.gz share/doc/lablit/copyright
    share/doc/lablit/changelog.gz)
  if(NOT EXISTS "${PREFIX}/usr/${f}")
    message(FATAL_ERROR "${f} not installed")
  endif()
endforeach()

# The directories made are rwxr-xr-x, set-group-ID where they inherit it;
# the one that was there keeps its mode.
execute_process(COMMAND find ${PREFIX}/usr -mindepth 1 -type d
  -printf "%m %P\n" OUTPUT_VARIABLE dirs)
string(REGEX REPLACE "\n$" "" dirs "${dirs}")
string(REPLACE "\n" ";" dirs "${dirs}")
foreach(d IN LISTS dirs)
  if(NOT d MATCHES "^2?755 " AND NOT d STREQUAL "2775 share")
    message(FATAL_ERROR "directory mode ${d} after cmake --install under "
      "umask 077")
  endif()
endforeach()
if(NOT "2775 share" IN_LIST dirs)
  message(FATAL_ERROR "the existing share lost its mode: ${dirs}")
endif()

execute_process(COMMAND ${PREFIX}/usr/bin/lablit a1.b22
  OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE rc)
set(want "a1.b22\n\\002\\141\\061\\003\\142\\062\\062\\000\n")
if(NOT rc EQUAL 0 OR NOT err STREQUAL "" OR NOT out STREQUAL want)
  message(FATAL_ERROR "installed lablit wrote [${out}] [${err}], status ${rc}")
endif()
