# SPDX-License-Identifier: ISC
# Run by cpack on the staging tree, before it is packed.
# Times in the package are the release's own unless SOURCE_DATE_EPOCH is
# given, so that every build of a release is the same bytes.
if("$ENV{SOURCE_DATE_EPOCH}" STREQUAL "")
  set(ENV{SOURCE_DATE_EPOCH} ${CPACK_LABLIT_EPOCH})
endif()
if(CPACK_GENERATOR STREQUAL "DEB")
  # Without dpkg-shlibdeps cpack only warns, and the package would say
  # nothing of the C library lablit needs.
  find_program(SHLIBDEPS dpkg-shlibdeps)
  if(NOT SHLIBDEPS)
    message(FATAL_ERROR "dpkg-shlibdeps not found: install dpkg-dev to "
      "make a package that declares what lablit depends on")
  endif()
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
