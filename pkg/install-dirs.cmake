# SPDX-License-Identifier: ISC
cmake_minimum_required(VERSION 3.20) # cmake --install sets none
# Run by cmake --install before anything is copied, with lablit_dirs set to
# the directories the files go to. Each of them that is missing, and each
# missing one above it, is made rwxr-xr-x whatever the umask, as install -D
# makes them, or with the permissions a packager gives, exactly (a missing
# parent also with owner write and search, as mkdir -p makes it). The mode is
# given as the umask of a plain mkdir -p, so that the kernel sets it as it
# makes each directory and keeps a set-group-ID bit inherited from the
# parent, which a mkdir -m that sets the mode afterwards (BusyBox's) drops.
# One that is already there keeps its mode, and so does one that another
# install makes first. Paths are formed as cmake --install forms those it
# copies to, kept out of lists (they may hold a ;) and resolved by the
# kernel, .. after a symlink included.
set(mode u=rwx,g=rx,o=rx)
# OWNER_READ;GROUP_EXECUTE... become the umask a=,u+r,g+x...; a umask holds
# no set-ID bits, so those are left to the parent directory.
if(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS)
  set(mode ${CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS})
  list(REMOVE_ITEM mode SETUID SETGID)
  list(JOIN mode , mode)
  foreach(rule OWNER_/u+ GROUP_/g+ WORLD_/o+ READ/r WRITE/w EXECUTE/x)
    string(REGEX MATCH "(.*)/(.*)" rule ${rule})
    string(REPLACE ${CMAKE_MATCH_1} ${CMAKE_MATCH_2} mode "${mode}")
  endforeach()
  set(mode a=,${mode})
  # Anything but CMake's list form (given with -D to this script) stops the
  # install before a directory is made.
  if(NOT mode MATCHES "^a=(,[ugo]\\+[rwx])*$")
    message(FATAL_ERROR "directory permissions "
      "\"${CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS}\" are not a list such "
      "as \"OWNER_READ;OWNER_WRITE;OWNER_EXECUTE\": nothing is installed")
  endif()
endif()
foreach(dir IN LISTS lablit_dirs)
  if(NOT IS_ABSOLUTE "${dir}") # --prefix / leaves an empty prefix
    set(dir "${CMAKE_INSTALL_PREFIX}/${dir}")
  endif()
  cmake_path(ABSOLUTE_PATH dir BASE_DIRECTORY "${CMAKE_CURRENT_BINARY_DIR}")
  # --: a DESTDIR such as -x is a path
  execute_process(COMMAND sh -c [[umask "$1" && exec mkdir -p -- "$2"]] sh
    ${mode} "$ENV{DESTDIR}${dir}" COMMAND_ERROR_IS_FATAL ANY)
endforeach()
