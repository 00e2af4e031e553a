# SPDX-License-Identifier: ISC
cmake_minimum_required(VERSION 3.20)
# Installs the build twice and runs the installed binary. First, under umask
# 077, into a scratch tree that already holds usr and usr/share/man of mode
# 0750, an admin's set-group-ID usr/share and usr/share/man/man1 of mode 0711,
# through a DESTDIR that holds a ; and a .. after a symlink; the prefix is /,
# which cmake --install reduces to an empty one, and DESTDIR ends in usr. Then
# as a packager may: with directory permissions of its own for owner, group
# and others, under umask 022, which would give others read that is not asked
# and take group write that is, into a DESTDIR that looks like an option,
# relative to a set-group-ID directory, racing a second install that makes
# each directory just before this one does. In the second no directory a file
# goes to is there before, so one that the install step leaves out shows as
# 0751.
file(REMOVE_RECURSE "${PREFIX}")
set(root "${PREFIX}/real/dest; x") # where the kernel takes DESTDIR
file(MAKE_DIRECTORY "${PREFIX}/real/link" "${root}/usr/share/man/man1"
  "${PREFIX}/sgid")
file(CREATE_LINK real/link "${PREFIX}/link" SYMBOLIC)
# Exact modes, whatever this tree inherits from where the build is.
file(CHMOD "${root}/usr" "${root}/usr/share/man"
  PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE)
file(CHMOD "${root}/usr/share/man/man1" PERMISSIONS OWNER_READ OWNER_WRITE
  OWNER_EXECUTE GROUP_EXECUTE WORLD_EXECUTE)
file(CHMOD "${root}/usr/share" "${PREFIX}/sgid" PERMISSIONS OWNER_READ
  OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_WRITE GROUP_EXECUTE WORLD_READ
  WORLD_EXECUTE SETGID)
# The kernel drops the bit for a user outside the directory's group.
execute_process(COMMAND stat -c %a "${root}/usr/share" OUTPUT_VARIABLE share
  OUTPUT_STRIP_TRAILING_WHITESPACE)
execute_process(COMMAND stat -c %a "${PREFIX}/sgid" OUTPUT_VARIABLE sgid
  OUTPUT_STRIP_TRAILING_WHITESPACE)
# Each mkdir runs twice, as if another install ran it just before.
file(WRITE "${PREFIX}/racer/mkdir" [[#!/bin/sh
PATH=${PATH#*:}
mkdir "$@"
exec mkdir "$@"
]])
file(CHMOD "${PREFIX}/racer/mkdir" PERMISSIONS OWNER_READ OWNER_EXECUTE)
# A multi-config build tree installs only the configuration it is told.
set(config)
if(CONFIG)
  set(config --config ${CONFIG})
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -E env
  "DESTDIR=${PREFIX}/link/../dest; x/usr" sh -c [[umask 077 && exec "$@"]] sh
  ${CMAKE_COMMAND} --install ${BUILD} ${config} --prefix /
  OUTPUT_QUIET RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "cmake --install failed: ${rc}")
endif()
if(EXISTS "${PREFIX}/dest; x")
  message(FATAL_ERROR "DESTDIR's .. folded by text: ${PREFIX}/dest; x made")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -E env DESTDIR=-x
  "PATH=${PREFIX}/racer:$ENV{PATH}" sh -c [[umask 022 && exec "$@"]] sh
  ${CMAKE_COMMAND} --install ${BUILD} ${config} --prefix /usr
  --default-directory-permissions u=rwx,g=rwx,o=x
  WORKING_DIRECTORY "${PREFIX}/sgid" OUTPUT_QUIET RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "cmake --install into DESTDIR -x failed: ${rc}")
endif()

foreach(f bin/lablit share/man/man1/lablit.1.gz share/doc/lablit/copyright
    share/doc/lablit/changelog.gz)
  if(NOT EXISTS "${root}/usr/${f}" OR NOT EXISTS "${PREFIX}/sgid/-x/usr/${f}")
    message(FATAL_ERROR "${f} not installed")
  endif()
endforeach()

# Directories made are rwxr-xr-x, as install -D makes them, or rwxrwx--x as
# asked, and set-group-ID below a directory that kept that bit; those that
# were there keep their modes.
string(REGEX REPLACE "^(2?)[0-7]+$" "\\1755" new "${share}")
string(REGEX REPLACE "^(2?)[0-7]+$" "\\1771" own "${sgid}")
set(want "-x ${own}" "-x/usr ${own}" "-x/usr/bin ${own}" "-x/usr/share ${own}"
  "-x/usr/share/doc ${own}" "-x/usr/share/doc/lablit ${own}"
  "-x/usr/share/man ${own}" "-x/usr/share/man/man1 ${own}"
  "bin 755" "share ${share}" "share/doc ${new}"
  "share/doc/lablit ${new}" "share/man 750" "share/man/man1 711")
execute_process(COMMAND sh -c [[for top; do cd "$top" &&
  find . -mindepth 1 -type d -exec stat -c "%n %a" {} + || exit; done]] sh
  "${root}/usr" "${PREFIX}/sgid" OUTPUT_VARIABLE dirs COMMAND_ERROR_IS_FATAL ANY)
string(REGEX REPLACE "(^|\n)\\./" "\\1" dirs "${dirs}")
string(REGEX REPLACE "\n$" "" dirs "${dirs}")
string(REPLACE "\n" ";" dirs "${dirs}")
list(SORT dirs)
if(NOT dirs STREQUAL want)
  message(FATAL_ERROR "directory modes after cmake --install:\n  ${dirs}\n"
    "wanted\n  ${want}")
endif()

execute_process(COMMAND "${root}/usr/bin/lablit" a1.b22
  OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE rc)
set(want "a1.b22\n\\002\\141\\061\\003\\142\\062\\062\\000\n")
if(NOT rc EQUAL 0 OR NOT err STREQUAL "" OR NOT out STREQUAL want)
  message(FATAL_ERROR "installed lablit wrote [${out}] [${err}], status ${rc}")
endif()
