# libpng and zlib. Natively they come from Debian's packages; for the mingw
# targets zlib comes from libz-mingw-w64-dev and libpng from the static build
# that scripts/setup.sh leaves in the dependency cache.
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
else()
  find_package(PNG REQUIRED)
  add_library(quillet_png INTERFACE)
  target_link_libraries(quillet_png INTERFACE PNG::PNG)
endif()
