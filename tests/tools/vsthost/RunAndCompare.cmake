# cmake -DRUN=<command;args> -DFIRST=<file> -DSECOND=<file> -P RunAndCompare.cmake
# Runs the command, then fails unless it succeeded and both files are equal
# and not empty.
file(REMOVE ${FIRST} ${SECOND})
execute_process(COMMAND ${RUN} RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "command failed (${result}): ${RUN}")
endif()
file(SIZE ${FIRST} first_size)
if(first_size EQUAL 0)
  message(FATAL_ERROR "${FIRST} is empty")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${FIRST} ${SECOND} RESULT_VARIABLE differ)
if(NOT differ EQUAL 0)
  message(FATAL_ERROR "${FIRST} and ${SECOND} differ")
endif()
