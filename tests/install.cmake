# SPDX-License-Identifier: ISC
# Installs the build into a scratch prefix and runs the installed binary.
file(REMOVE_RECURSE "${PREFIX}")
# A multi-config build tree installs only the configuration it is told.
set(config)
if(CONFIG)
  set(config --config ${CONFIG})
endif()
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD} ${config}
  --prefix ${PREFIX} OUTPUT_QUIET RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "cmake --install failed: ${rc}")
endif()

foreach(f bin/lablit share/man/man1/lablit.1.gz share/doc/lablit/copyright
    share/doc/lablit/changelog.gz)
  if(NOT EXISTS "${PREFIX}/${f}")
    message(FATAL_ERROR "${f} not installed")
  endif()
endforeach()

execute_process(COMMAND ${PREFIX}/bin/lablit a1.b22
  OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE rc)
set(want "a1.b22\n\\002\\141\\061\\003\\142\\062\\062\\000\n")
if(NOT rc EQUAL 0 OR NOT err STREQUAL "" OR NOT out STREQUAL want)
  message(FATAL_ERROR "installed lablit wrote [${out}] [${err}], status ${rc}")
endif()
