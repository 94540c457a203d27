# libpng and zlib, and libsndfile for the renderer's audio files. Natively they
# come from Debian's packages; for the mingw targets zlib comes from
# libz-mingw-w64-dev, libpng and libsndfile from the static builds that
# scripts/setup.sh leaves in the dependency cache.
if(WIN32)
  set(_prefix "${QUILLET_DEPS}/${QUILLET_TRIPLE}")
  if(NOT EXISTS "${_prefix}/lib/libpng16.a")
    message(FATAL_ERROR "libpng for ${QUILLET_TRIPLE} is missing in ${_prefix}: run scripts/setup.sh")
  endif()
  add_library(quillet_png STATIC IMPORTED GLOBAL)
  set_target_properties(quillet_png PROPERTIES
    IMPORTED_LOCATION "${_prefix}/lib/libpng16.a"
    INTERFACE_INCLUDE_DIRECTORIES "${_prefix}/include"
    INTERFACE_LINK_LIBRARIES "/usr/${QUILLET_TRIPLE}/lib/libz.a")
  if(NOT EXISTS "${_prefix}/lib/libsndfile.a")
    message(FATAL_ERROR "libsndfile for ${QUILLET_TRIPLE} is missing in ${_prefix}: run scripts/setup.sh")
  endif()
  add_library(quillet_sndfile STATIC IMPORTED GLOBAL)
  set_target_properties(quillet_sndfile PROPERTIES
    IMPORTED_LOCATION "${_prefix}/lib/libsndfile.a"
    INTERFACE_INCLUDE_DIRECTORIES "${_prefix}/include")
else()
  find_package(PNG REQUIRED)
  add_library(quillet_png INTERFACE)
  target_link_libraries(quillet_png INTERFACE PNG::PNG)
  find_package(PkgConfig REQUIRED)
  pkg_check_modules(SNDFILE REQUIRED IMPORTED_TARGET GLOBAL sndfile)
  add_library(quillet_sndfile INTERFACE)
  target_link_libraries(quillet_sndfile INTERFACE PkgConfig::SNDFILE)
endif()
