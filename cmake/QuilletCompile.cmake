# Warnings and code generation shared by every target of the project.
add_library(quillet_options INTERFACE)
target_compile_options(quillet_options INTERFACE
  -Wall -Wextra -Wno-unused-parameter
  $<$<COMPILE_LANGUAGE:CXX>:-Wnon-virtual-dtor>)
if(WIN32)
  # Windows headers: no min/max macros, the narrow (ANSI) API.
  target_compile_definitions(quillet_options INTERFACE NOMINMAX WIN32_LEAN_AND_MEAN _WIN32_WINNT=0x0601)
endif()
target_include_directories(quillet_options INTERFACE ${CMAKE_SOURCE_DIR})

# Thread-contract checks of the plug-in base (plug/ThreadContract.h): on in
# every configuration but the shipped ones (Release, MinSizeRel), where they
# cost nothing because they are not there. ON or OFF forces them.
set(QUILLET_CONTRACT_CHECKS AUTO CACHE STRING "Thread-contract checks: AUTO, ON or OFF")
if(QUILLET_CONTRACT_CHECKS STREQUAL "AUTO")
  target_compile_definitions(quillet_options INTERFACE
    QUILLET_CONTRACT_CHECKS=$<IF:$<CONFIG:Release,MinSizeRel>,0,1>)
elseif(QUILLET_CONTRACT_CHECKS)
  target_compile_definitions(quillet_options INTERFACE QUILLET_CONTRACT_CHECKS=1)
else()
  target_compile_definitions(quillet_options INTERFACE QUILLET_CONTRACT_CHECKS=0)
endif()

# Sanitizer builds (native only): -DQUILLET_SANITIZE=address,undefined or thread.
set(QUILLET_SANITIZE "" CACHE STRING "Sanitizers for the native build")
if(QUILLET_SANITIZE AND NOT WIN32)
  add_compile_options(-fsanitize=${QUILLET_SANITIZE} -fno-omit-frame-pointer -g)
  add_link_options(-fsanitize=${QUILLET_SANITIZE})
endif()

# Fuzz builds: coverage for the libraries too, so the fuzzers are guided by the
# code they exercise, not only by their own entry function.
if(QUILLET_FUZZ)
  add_compile_options(-fsanitize=fuzzer-no-link)
endif()
