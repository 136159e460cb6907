# The hardening a distribution builds its packages with, for every build of
# the program on Linux: position-independent executables (so that address
# randomisation covers the program too), the stack protector and stack clash
# protection, checked variants of the C library's string and memory
# functions (_FORTIFY_SOURCE), format-string checks, and relocations made
# read-only once the loader has bound every symbol at start-up (RELRO with
# BIND_NOW).
#
# Debug builds get them too, for the package test (packaging.deb) packs and
# checks whatever build tree it runs in, which is the Debug one under the dev
# preset; a package built from different flags than the tested one would not
# be what was tested. _FORTIFY_SOURCE only works with the optimiser on, so a
# Debug build is optimised as far as -Og, the level meant for debugging.
if(NOT (CMAKE_SYSTEM_NAME STREQUAL "Linux" AND CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang"))
  return()
endif()

include(CheckPIESupported)
check_pie_supported(LANGUAGES CXX)
set(CMAKE_POSITION_INDEPENDENT_CODE ON)

include(CheckCXXCompilerFlag)
add_compile_options(-fstack-protector-strong -Wformat -Werror=format-security)
check_cxx_compiler_flag(-fstack-clash-protection ORVANE_HAS_STACK_CLASH_PROTECTION)
if(ORVANE_HAS_STACK_CLASH_PROTECTION)
  add_compile_options(-fstack-clash-protection)
endif()
# Not -fcf-protection: Debian 12's C start-up files are built without it,
# so the linker drops the program's claim to it and it would protect nothing.
add_compile_options($<$<CONFIG:Debug>:-Og>)
# Replaces any level the compiler itself defines.
add_compile_options(-U_FORTIFY_SOURCE -D_FORTIFY_SOURCE=2)
add_link_options(LINKER:-z,relro LINKER:-z,now)
