# SPDX-License-Identifier: ISC
cmake_minimum_required(VERSION 3.20) # cmake -P sets no policies
# cmake -D IN=FILE -D OUT=FILE.gz -P gzip.cmake: the bytes gzip -9n writes,
# from any userland (BusyBox's gzip has no -9): CMake's own deflate at level
# 9, with the time in the header (bytes 4 to 7) zeroed, as -n leaves it.
file(ARCHIVE_CREATE OUTPUT "${OUT}" PATHS "${IN}" FORMAT raw
  COMPRESSION GZip COMPRESSION_LEVEL 9)
execute_process(COMMAND dd if=/dev/zero "of=${OUT}" bs=1 seek=4 count=4
  conv=notrunc status=none COMMAND_ERROR_IS_FATAL ANY)
