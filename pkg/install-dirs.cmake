# SPDX-License-Identifier: ISC
# Run by cmake --install before anything is copied, with lablit_dirs set to
# the directories the files go to. As install -D does, each of them that is
# missing, and each missing one above it, is made rwxr-xr-x whatever the
# umask, from the top down: mkdir -m sets the mode as it makes the directory,
# so no umask shuts us out of the next one, and it keeps a set-group-ID bit
# inherited from the parent. One that is already there keeps its mode, and so
# does one that another install makes first (mkdir -p). Paths are formed as
# cmake --install forms those it copies to, kept out of lists (they may hold
# a ;) and resolved by the kernel, .. after a symlink included.
set(mode 755)
# Permissions a packager gives are taken exactly instead, whatever the umask:
# OWNER_READ;GROUP_EXECUTE... become the mode a=,u+r,g+x...
if(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS)
  list(JOIN CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS , mode)
  foreach(rule OWNER_/u+ GROUP_/g+ WORLD_/o+ READ/r WRITE/w EXECUTE/x
      SETUID/u+s SETGID/g+s)
    string(REGEX MATCH "(.*)/(.*)" rule ${rule})
    string(REPLACE ${CMAKE_MATCH_1} ${CMAKE_MATCH_2} mode ${mode})
  endforeach()
  set(mode a=,${mode})
endif()
function(lablit_mkdir dir)
  if(NOT IS_DIRECTORY "${dir}" AND dir MATCHES "^(.+)/[^/]*$")
    lablit_mkdir("${CMAKE_MATCH_1}")
  endif()
  if(NOT IS_DIRECTORY "${dir}") # --: a DESTDIR such as -x is a path
    execute_process(COMMAND mkdir -p -m ${mode} -- "${dir}"
      COMMAND_ERROR_IS_FATAL ANY)
  endif()
endfunction()
foreach(dir IN LISTS lablit_dirs)
  if(NOT IS_ABSOLUTE "${dir}") # --prefix / leaves an empty prefix
    set(dir "${CMAKE_INSTALL_PREFIX}/${dir}")
  endif()
  cmake_path(ABSOLUTE_PATH dir BASE_DIRECTORY "${CMAKE_CURRENT_BINARY_DIR}")
  lablit_mkdir("$ENV{DESTDIR}${dir}")
endforeach()
