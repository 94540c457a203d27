# quillet_add_test(NAME <name> SOURCES <files...> [LIBS <targets...>] [ARGS <args...>])
#
# One GoogleTest program per call, registered with ctest as one test. In the
# Windows configurations the program is cross-compiled and ctest runs it under
# Wine (cmake/run-wine.sh: quiet debug output, a Wine prefix inside the build
# folder, initialised once).
set(_gtest_src /usr/src/googletest)
if(NOT TARGET gtest)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  add_subdirectory(${_gtest_src} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
endif()

set(QUILLET_WINE_PREFIX "${CMAKE_BINARY_DIR}/wineprefix")
# Programs that open windows run in a prefix of their own, whose Wine server and
# programs all see one virtual X display (cmake/ensure-xvfb.sh).
set(QUILLET_WINE_DISPLAY_PREFIX "${CMAKE_BINARY_DIR}/wineprefix-display")

# Wraps a command so that it runs in this configuration: directly natively,
# under Wine for the Windows builds.
function(quillet_test_command out)
  if(WIN32)
    set(${out} ${CMAKE_SOURCE_DIR}/cmake/run-wine.sh ${QUILLET_WINE_PREFIX} ${ARGN} PARENT_SCOPE)
  else()
    set(${out} ${ARGN} PARENT_SCOPE)
  endif()
endfunction()

# The same for a program that opens windows: under Wine in the display
# prefix, natively with DISPLAY set to the build's virtual X display.
function(quillet_display_command out)
  if(WIN32)
    set(${out} env QUILLET_WINE_DISPLAY=1
        ${CMAKE_SOURCE_DIR}/cmake/run-wine.sh ${QUILLET_WINE_DISPLAY_PREFIX} ${ARGN} PARENT_SCOPE)
  else()
    set(${out} ${CMAKE_SOURCE_DIR}/cmake/run-with-display.sh ${CMAKE_BINARY_DIR}/display ${ARGN}
        PARENT_SCOPE)
  endif()
endfunction()

# Tests that open windows share one display and one pointer: they run one at
# a time, whatever ctest's parallelism.
function(quillet_display_test name)
  set_tests_properties(${name} PROPERTIES RESOURCE_LOCK virtual-display)
endfunction()

# EMULATION_FILTER <gtest negative filter>: cases left out when a 32-bit
# Windows program has to run under qemu-i386 (see cmake/run-wine.sh), for the
# few that the emulation cannot run (threads in loaded DLLs, GDI text).
# DISPLAY: the program opens windows, on a virtual X display.
function(quillet_add_test)
  cmake_parse_arguments(T "DISPLAY" "NAME;EMULATION_FILTER" "SOURCES;LIBS;ARGS;LABELS" ${ARGN})
  add_executable(${T_NAME} ${T_SOURCES})
  target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} gtest gtest_main quillet_options)
  target_include_directories(${T_NAME} PRIVATE ${CMAKE_SOURCE_DIR}/tests)
  # Compiled as a few translation units of several files each: GoogleTest's
  # headers are read once per batch, not once per file, which keeps the CI
  # build of five configurations short. Names local to a file must therefore
  # be unique within the program.
  set_target_properties(${T_NAME} PROPERTIES UNITY_BUILD ON UNITY_BUILD_BATCH_SIZE 8)
  # GCC takes a file included into a batch for a header, and a header's
  # fixture in an unnamed namespace for one that each includer would get
  # anew. Each file is included once here.
  target_compile_options(${T_NAME} PRIVATE $<$<CXX_COMPILER_ID:GNU>:-Wno-subobject-linkage>)
  if(T_DISPLAY)
    quillet_display_command(cmd $<TARGET_FILE:${T_NAME}> ${T_ARGS})
  else()
    quillet_test_command(cmd $<TARGET_FILE:${T_NAME}> ${T_ARGS})
  endif()
  add_test(NAME ${T_NAME} COMMAND ${cmd})
  # Plug-in instances keep their settings file in the build folder, never in
  # the user's own data folder.
  quillet_runtime_path(_appdata ${CMAKE_BINARY_DIR}/test-appdata)
  set(_env "QUILLET_LOCAL_APPDATA=${_appdata}")
  if(T_EMULATION_FILTER)
    list(APPEND _env "QUILLET_EMULATION_FILTER=${T_EMULATION_FILTER}")
  endif()
  set_tests_properties(${T_NAME} PROPERTIES ENVIRONMENT "${_env}")
  if(T_LABELS)
    set_tests_properties(${T_NAME} PROPERTIES LABELS "${T_LABELS}")
  endif()
  if(T_DISPLAY)
    quillet_display_test(${T_NAME})
  endif()
endfunction()

# The path of a built binary as the test programs of this configuration see it:
# Wine maps the Unix root to drive Z:.
function(quillet_runtime_path out path)
  if(WIN32)
    set(${out} "Z:${path}" PARENT_SCOPE)
  else()
    set(${out} "${path}" PARENT_SCOPE)
  endif()
endfunction()
