# cmake -DPICTURE=cmd|arg|... -DPREVIEW=cmd|... -DCOMPARE=cmd|... -P ScaledPicture.cmake
# A picture of the shipped editor at a size, the artwork preview's picture at
# the same size, and their comparison, in that order; fails at the first
# command that fails and shows what the comparison printed.
foreach(_step PICTURE PREVIEW COMPARE)
  string(REPLACE "|" ";" _command "${${_step}}")
  execute_process(COMMAND ${_command} OUTPUT_VARIABLE _out ERROR_VARIABLE _err
                  RESULT_VARIABLE _result)
  message(STATUS "${_out}${_err}")
  if(NOT _result EQUAL 0)
    message(FATAL_ERROR "${_step} failed (${_result})")
  endif()
endforeach()
