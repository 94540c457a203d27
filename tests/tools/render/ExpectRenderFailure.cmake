# cmake -DRUN=<command;args> -DRESULT=<exit code> -DMESSAGE=<regex>
#       [-DSETUP=<command|args>] [-DNO_FILE=<path>] -P ExpectRenderFailure.cmake
# Runs SETUP (which must succeed), then RUN. Passes when RUN exits with exactly
# RESULT (a crash does not count), its error output is one line matching
# MESSAGE, and NO_FILE, when given, does not exist afterwards.
if(SETUP)
  # Separated by '|' so that it passes through a function's list arguments.
  string(REPLACE "|" ";" SETUP "${SETUP}")
  execute_process(COMMAND ${SETUP} RESULT_VARIABLE setup_result)
  if(NOT setup_result EQUAL 0)
    message(FATAL_ERROR "setup failed (${setup_result}): ${SETUP}")
  endif()
endif()
if(NO_FILE)
  file(REMOVE "${NO_FILE}")
endif()
execute_process(COMMAND ${RUN} RESULT_VARIABLE result ERROR_VARIABLE errors OUTPUT_QUIET)
if(NOT result STREQUAL "${RESULT}")
  message(FATAL_ERROR "expected exit code ${RESULT}, got ${result}: ${errors}")
endif()
if(NOT errors MATCHES "${MESSAGE}")
  message(FATAL_ERROR "error output does not match '${MESSAGE}': ${errors}")
endif()
string(STRIP "${errors}" stripped)
if(stripped MATCHES "\n")
  message(FATAL_ERROR "more than one line of error output: ${errors}")
endif()
if(NO_FILE AND EXISTS "${NO_FILE}")
  message(FATAL_ERROR "${NO_FILE} was left behind")
endif()
