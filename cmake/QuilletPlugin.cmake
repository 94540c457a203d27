# The shipped binaries: a thin shared library over the subsystem libraries.
#   win64   Quillet64.dll    win32   Quillet.dll    native   Quillet.so
# Exactly two symbols are exported, VSTPluginMain and main; a post-build check
# (cmake/check-exports.sh) fails the build otherwise, and on Windows also when
# the DLL imports anything but Windows system DLLs.
add_library(Quillet SHARED
  ${CMAKE_SOURCE_DIR}/plug/VstEntry.cpp
  ${CMAKE_SOURCE_DIR}/quillet/QuilletEntry.cpp)
# Every subsystem library, those that build on others first (static link order).
set(_subsystem_libraries ${QUILLET_SUBSYSTEMS})
list(REVERSE _subsystem_libraries)
list(TRANSFORM _subsystem_libraries PREPEND quillet_)
target_link_libraries(Quillet PRIVATE ${_subsystem_libraries} quillet_options)
set_target_properties(Quillet PROPERTIES PREFIX "")
if(WIN32)
  target_sources(Quillet PRIVATE ${CMAKE_SOURCE_DIR}/plug/exports.def
                                 ${CMAKE_SOURCE_DIR}/quillet/QuilletLibraryLoad_win32.cpp)
  if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set_target_properties(Quillet PROPERTIES OUTPUT_NAME Quillet64)
  endif()
  # The i686 toolchain otherwise decorates stdcall names; keep exports plain.
  # No link time stamp in the header: the same sources give the same bytes,
  # so a release archive can be checked against the binaries that were tested.
  target_link_options(Quillet PRIVATE -Wl,--enable-stdcall-fixup -Wl,--kill-at
                      -Wl,--no-insert-timestamp)
  set(_objdump ${QUILLET_TRIPLE}-objdump)
else()
  target_sources(Quillet PRIVATE ${CMAKE_SOURCE_DIR}/plug/VstEntryMain_posix.cpp
                                 ${CMAKE_SOURCE_DIR}/quillet/QuilletLibraryLoad_posix.cpp)
  target_link_options(Quillet PRIVATE -Wl,--version-script=${CMAKE_SOURCE_DIR}/plug/exports.version)
  # Every symbol resolved at link time, except in sanitizer builds, where the
  # sanitizer runtime comes from the program that loads the library.
  if(NOT QUILLET_SANITIZE)
    target_link_options(Quillet PRIVATE -Wl,--no-undefined)
  endif()
  set_target_properties(Quillet PROPERTIES LINK_DEPENDS ${CMAKE_SOURCE_DIR}/plug/exports.version)
  set(_objdump objdump)
endif()
add_custom_command(TARGET Quillet POST_BUILD
  COMMAND ${CMAKE_SOURCE_DIR}/cmake/check-exports.sh ${_objdump} $<TARGET_FILE:Quillet>
  VERBATIM)
