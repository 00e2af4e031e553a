# SPDX-License-Identifier: ISC
cmake_minimum_required(VERSION 3.20) # cpack sets no policies
# Run by cpack on the staging tree, before it is packed.
if(CPACK_GENERATOR STREQUAL "DEB")
  # Without dpkg-shlibdeps cpack only warns, and the package would say
  # nothing of the C library lablit needs.
  find_program(SHLIBDEPS dpkg-shlibdeps)
  if(NOT SHLIBDEPS)
    message(FATAL_ERROR "dpkg-shlibdeps not found: install dpkg-dev to "
      "make a package that declares what lablit depends on")
  endif()
endif()
# Times in the package are the release's own unless SOURCE_DATE_EPOCH is
# given, so that every build of a release is the same bytes: those of the top
# changelog entry, read now, as dpkg-buildpackage reads it, so that the
# package is dated as the entry it ships, in any time zone.
if("$ENV{SOURCE_DATE_EPOCH}" STREQUAL "")
  execute_process(COMMAND dpkg-parsechangelog -l "${CPACK_LABLIT_CHANGELOG}"
    -S Timestamp OUTPUT_VARIABLE epoch OUTPUT_STRIP_TRAILING_WHITESPACE
    RESULT_VARIABLE rc)
  if(NOT rc EQUAL 0 OR NOT epoch MATCHES "^[0-9]+$")
    message(FATAL_ERROR "no date read from ${CPACK_LABLIT_CHANGELOG} "
      "(${rc}): dpkg-parsechangelog, from dpkg-dev, reads it")
  endif()
  set(ENV{SOURCE_DATE_EPOCH} ${epoch})
endif()
# The tree was made under the packager's umask, and a directory may have
# inherited a set-group-ID bit: the package's directories are 0755 whatever
# they were here.
file(GLOB_RECURSE dirs LIST_DIRECTORIES true "${CPACK_TEMPORARY_DIRECTORY}/*")
foreach(path IN LISTS dirs)
  if(IS_DIRECTORY "${path}" AND NOT IS_SYMLINK "${path}")
    file(CHMOD "${path}" PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE
      GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
  endif()
endforeach()
