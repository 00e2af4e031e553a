# SPDX-License-Identifier: ISC
cmake_minimum_required(VERSION 3.20) # cpack sets no policies
# Run by cpack after it writes a .deb. The ar archive records each member's
# file mode, which cpack takes from the umask it ran under; set every one to
# 0644 so that the package's bytes do not depend on the umask.
if(NOT CPACK_GENERATOR STREQUAL "DEB")
  return()
endif()
file(WRITE "${CPACK_TOPLEVEL_DIRECTORY}/ar-mode" "100644  ")
foreach(deb IN LISTS CPACK_PACKAGE_FILES)
  file(SIZE "${deb}" end)
  set(at 8) # past "!<arch>\n"
  while(at LESS end)
    # A member header: name 16, time 12, uid 6, gid 6, mode 8, size 10, 2.
    file(READ "${deb}" header OFFSET ${at} LIMIT 60)
    string(SUBSTRING "${header}" 48 10 size)
    string(STRIP "${size}" size)
    if(NOT size MATCHES "^[0-9]+$")
      message(FATAL_ERROR "${deb}: no ar member header at byte ${at}")
    endif()
    math(EXPR mode "${at} + 40")
    execute_process(COMMAND dd "of=${deb}" bs=1 seek=${mode} conv=notrunc
      status=none INPUT_FILE "${CPACK_TOPLEVEL_DIRECTORY}/ar-mode"
      RESULT_VARIABLE rc)
    if(NOT rc EQUAL 0)
      message(FATAL_ERROR "${deb}: cannot set the mode at byte ${mode}")
    endif()
    math(EXPR at "${at} + 60 + ${size} + ${size} % 2")
  endwhile()
endforeach()
