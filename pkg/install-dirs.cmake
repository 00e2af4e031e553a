# SPDX-License-Identifier: ISC
# Run by cmake --install before anything is copied, with lablit_dirs set to
# the directories the files go to. As install -D does, each of them that is
# missing, and each missing one above it, is made rwxr-xr-x whatever the
# umask, from the top down: mkdir -m sets the mode as it makes the directory,
# so no umask shuts us out of the next one, and it keeps a set-group-ID bit
# inherited from the parent. One that is already there keeps its mode. Paths
# are formed as cmake --install forms those it copies to, kept out of lists
# (they may hold a ;) and resolved by the kernel, .. after a symlink included.
function(lablit_mkdir dir)
  if(NOT IS_DIRECTORY "${dir}" AND dir MATCHES "^(.+)/[^/]*$")
    lablit_mkdir("${CMAKE_MATCH_1}")
  endif()
  if(NOT IS_DIRECTORY "${dir}")
    execute_process(COMMAND mkdir -m 755 "${dir}" COMMAND_ERROR_IS_FATAL ANY)
  endif()
endfunction()
foreach(dir IN LISTS lablit_dirs)
  if(NOT IS_ABSOLUTE "${dir}") # --prefix / leaves an empty prefix
    set(dir "${CMAKE_INSTALL_PREFIX}/${dir}")
  endif()
  cmake_path(ABSOLUTE_PATH dir BASE_DIRECTORY "${CMAKE_CURRENT_BINARY_DIR}")
  lablit_mkdir("$ENV{DESTDIR}${dir}")
endforeach()
