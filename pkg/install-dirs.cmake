# SPDX-License-Identifier: ISC
# Run by cmake --install before anything is copied, with lablit_dirs set to
# the directories the files go to. As install -D does, each of them that is
# missing, and each missing one above it, is made rwxr-xr-x whatever the
# umask; one that is already there keeps its mode. chmod(1), unlike
# file(CHMOD), keeps the set-group-ID bit a new directory inherits from its
# parent, as install -D does too.
foreach(dir IN LISTS lablit_dirs)
  if(NOT IS_ABSOLUTE "${dir}")
    set(dir "${CMAKE_INSTALL_PREFIX}/${dir}")
  endif()
  get_filename_component(dir "$ENV{DESTDIR}${dir}" ABSOLUTE)
  set(missing)
  while(NOT EXISTS "${dir}")
    list(PREPEND missing "${dir}")
    get_filename_component(dir "${dir}" DIRECTORY)
  endwhile()
  if(missing)
    list(GET missing -1 dir)
    file(MAKE_DIRECTORY "${dir}")
    execute_process(COMMAND chmod u=rwx,go=rx ${missing}
      COMMAND_ERROR_IS_FATAL ANY)
  endif()
endforeach()
