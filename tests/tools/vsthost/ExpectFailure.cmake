# cmake -DRUN=<command;args> -DRESULT=<exit code> -DMESSAGE=<regex> -P ExpectFailure.cmake
# Passes when the command exits with exactly RESULT (a crash does not count)
# and its error output matches MESSAGE.
execute_process(COMMAND ${RUN} RESULT_VARIABLE result ERROR_VARIABLE errors OUTPUT_QUIET)
if(NOT result STREQUAL "${RESULT}")
  message(FATAL_ERROR "expected exit code ${RESULT}, got ${result}: ${errors}")
endif()
if(NOT errors MATCHES "${MESSAGE}")
  message(FATAL_ERROR "error output does not match '${MESSAGE}': ${errors}")
endif()
