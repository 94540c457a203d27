# The shipped binaries: one thin module per plug-in format and architecture,
# each its format's entry points over the subsystem libraries (built once).
#
#   format   win64             win32           native
#   VST 2    Quillet64.dll     Quillet.dll     Quillet.so
#   CLAP     Quillet.clap      -               Quillet.clap
#   LV2      -                 -               quillet.lv2/ (quillet.so and its descriptions)
#   VST 3    Quillet.vst3/Contents/x86_64-win/Quillet.vst3, .../x86-win/Quillet.vst3,
#            .../x86_64-linux/Quillet.so (each build makes its part of the bundle)
#
# quillet_add_plugin_module(NAME <target> BINDING <library>
#     ENTRY_SOURCES <files...> [POSIX_ENTRY_SOURCES <files...>]
#     EXPORTS <symbols...> WINDOWS_DEF <file.def> VERSION_SCRIPT <file.version>
#     [OUTPUT_NAME <name>] [OUTPUT_NAME_WIN64 <name>] [SUFFIX <suffix>])
#
# A new format is one call: its binding library (plug/<format>/), the sources
# that define its exported entries, and its export lists. The module exports
# exactly EXPORTS: a check after every link (cmake/check-exports.sh) fails the
# build otherwise, and on Windows also when the module imports anything but
# Windows system DLLs.

# Every subsystem library, those that build on others first (static link order).
set(_subsystem_libraries ${QUILLET_SUBSYSTEMS})
list(REVERSE _subsystem_libraries)
list(TRANSFORM _subsystem_libraries PREPEND quillet_)
set(QUILLET_PRODUCT_LIBRARIES ${_subsystem_libraries})

function(quillet_add_plugin_module)
  cmake_parse_arguments(M "" "NAME;BINDING;WINDOWS_DEF;VERSION_SCRIPT;OUTPUT_NAME;OUTPUT_NAME_WIN64;SUFFIX"
    "ENTRY_SOURCES;POSIX_ENTRY_SOURCES;EXPORTS" ${ARGN})
  add_library(${M_NAME} SHARED ${M_ENTRY_SOURCES})
  # The binding first: it calls the product's factory (plug/PluginFactory.h).
  target_link_libraries(${M_NAME} PRIVATE ${M_BINDING} ${QUILLET_PRODUCT_LIBRARIES} quillet_options)
  set_target_properties(${M_NAME} PROPERTIES PREFIX "")
  if(M_OUTPUT_NAME)
    set_target_properties(${M_NAME} PROPERTIES OUTPUT_NAME ${M_OUTPUT_NAME})
  endif()
  if(M_SUFFIX)
    set_target_properties(${M_NAME} PROPERTIES SUFFIX ${M_SUFFIX})
  endif()
  if(WIN32)
    # The load notification keeps the module handle (resources, window class).
    target_sources(${M_NAME} PRIVATE ${M_WINDOWS_DEF}
                                     ${CMAKE_SOURCE_DIR}/quillet/QuilletLibraryLoad_win32.cpp)
    if(CMAKE_SIZEOF_VOID_P EQUAL 8 AND M_OUTPUT_NAME_WIN64)
      set_target_properties(${M_NAME} PROPERTIES OUTPUT_NAME ${M_OUTPUT_NAME_WIN64})
    endif()
    # The i686 toolchain otherwise decorates stdcall names; keep exports plain.
    # No link time stamp in the header: the same sources give the same bytes,
    # so a release archive can be checked against the binaries that were tested.
    target_link_options(${M_NAME} PRIVATE -Wl,--enable-stdcall-fixup -Wl,--kill-at
                        -Wl,--no-insert-timestamp)
    set(_objdump ${QUILLET_TRIPLE}-objdump)
  else()
    target_sources(${M_NAME} PRIVATE ${M_POSIX_ENTRY_SOURCES}
                                     ${CMAKE_SOURCE_DIR}/quillet/QuilletLibraryLoad_posix.cpp)
    target_link_options(${M_NAME} PRIVATE -Wl,--version-script=${M_VERSION_SCRIPT})
    # Every symbol resolved at link time, except in sanitizer builds, where the
    # sanitizer runtime comes from the program that loads the library.
    if(NOT QUILLET_SANITIZE)
      target_link_options(${M_NAME} PRIVATE -Wl,--no-undefined)
    endif()
    set_target_properties(${M_NAME} PROPERTIES LINK_DEPENDS ${M_VERSION_SCRIPT})
    set(_objdump objdump)
  endif()
  add_custom_command(TARGET ${M_NAME} POST_BUILD
    COMMAND ${CMAKE_SOURCE_DIR}/cmake/check-exports.sh ${_objdump} $<TARGET_FILE:${M_NAME}>
            ${M_EXPORTS}
    VERBATIM)
endfunction()

quillet_add_plugin_module(NAME Quillet BINDING quillet_vst2
  ENTRY_SOURCES ${CMAKE_SOURCE_DIR}/plug/vst2/VstEntry.cpp
  POSIX_ENTRY_SOURCES ${CMAKE_SOURCE_DIR}/plug/vst2/VstEntryMain_posix.cpp
  EXPORTS VSTPluginMain main
  WINDOWS_DEF ${CMAKE_SOURCE_DIR}/plug/vst2/exports.def
  VERSION_SCRIPT ${CMAKE_SOURCE_DIR}/plug/vst2/exports.version
  OUTPUT_NAME_WIN64 Quillet64)

# CLAP: Linux and 64-bit Windows. No 32-bit Windows CLAP binary: none ships,
# so none is built or tested.
if(NOT (WIN32 AND CMAKE_SIZEOF_VOID_P EQUAL 4))
  quillet_add_plugin_module(NAME QuilletClap BINDING quillet_clap
    ENTRY_SOURCES ${CMAKE_SOURCE_DIR}/plug/clap/ClapEntry.cpp
    EXPORTS clap_entry
    WINDOWS_DEF ${CMAKE_SOURCE_DIR}/plug/clap/exports.def
    VERSION_SCRIPT ${CMAKE_SOURCE_DIR}/plug/clap/exports.version
    OUTPUT_NAME Quillet SUFFIX .clap)
  # The import libraries the Windows linker writes must not collide with the
  # VST 2 module's of the same name.
  if(WIN32)
    set_target_properties(QuilletClap PROPERTIES IMPORT_SUFFIX ".clap.a")
  endif()
endif()

# LV2 (Linux): the bundle quillet.lv2/ in the build folder, the module and
# its descriptions, written from the product's tables whenever the writer
# (tools/lv2ttl, built on the same libraries) changes.
if(NOT WIN32)
  quillet_add_plugin_module(NAME quillet_lv2_module BINDING quillet_lv2
    ENTRY_SOURCES ${CMAKE_SOURCE_DIR}/plug/lv2/Lv2Entry.cpp ${CMAKE_SOURCE_DIR}/plug/lv2/Lv2UiEntry.cpp
    EXPORTS lv2_descriptor lv2ui_descriptor
    VERSION_SCRIPT ${CMAKE_SOURCE_DIR}/plug/lv2/exports.version
    OUTPUT_NAME quillet)
  set(QUILLET_LV2_BUNDLE ${CMAKE_BINARY_DIR}/quillet.lv2)
  set_target_properties(quillet_lv2_module PROPERTIES
    LIBRARY_OUTPUT_DIRECTORY ${QUILLET_LV2_BUNDLE})
endif()

# The VST 3 module, built into its place in the bundle.
if(WIN32)
  set(_vst3_exports GetPluginFactory InitDll ExitDll)
  set(_vst3_suffix .vst3)
  if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(_vst3_arch x86_64-win)
  else()
    set(_vst3_arch x86-win)
  endif()
else()
  set(_vst3_exports GetPluginFactory ModuleEntry ModuleExit)
  set(_vst3_suffix .so)
  set(_vst3_arch x86_64-linux)
endif()
quillet_add_plugin_module(NAME QuilletVst3 BINDING quillet_vst3
  ENTRY_SOURCES ${CMAKE_SOURCE_DIR}/plug/vst3/Vst3Entry.cpp
  POSIX_ENTRY_SOURCES ${CMAKE_SOURCE_DIR}/plug/vst3/Vst3Entry_posix.cpp
  EXPORTS ${_vst3_exports}
  WINDOWS_DEF ${CMAKE_SOURCE_DIR}/plug/vst3/exports.def
  VERSION_SCRIPT ${CMAKE_SOURCE_DIR}/plug/vst3/exports.version
  OUTPUT_NAME Quillet SUFFIX ${_vst3_suffix})
set(QUILLET_VST3_BUNDLE ${CMAKE_BINARY_DIR}/Quillet.vst3)
# The Windows import library gets a name of its own: the 32-bit VST 2 module
# is called Quillet too.
set_target_properties(QuilletVst3 PROPERTIES
  LIBRARY_OUTPUT_DIRECTORY ${QUILLET_VST3_BUNDLE}/Contents/${_vst3_arch}
  RUNTIME_OUTPUT_DIRECTORY ${QUILLET_VST3_BUNDLE}/Contents/${_vst3_arch}
  ARCHIVE_OUTPUT_NAME QuilletVst3)
