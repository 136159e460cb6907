# Cross-compiles for 64-bit Windows with MinGW-w64 (the POSIX-threads flavour,
# which std::thread and GoogleTest need) and runs the results through Wine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(MINGW_TRIPLET x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${MINGW_TRIPLET}-windres)

# Look for headers and libraries only in the MinGW sysroot, programs only on
# the build machine.
set(CMAKE_FIND_ROOT_PATH /usr/${MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Everything linked statically, so the programs need none of MinGW's DLLs.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

# add_test runs the .exe files through Wine. Debian's "wine" wrapper picks the
# 64-bit loader when only wine64 is installed, which is what a 64-bit .exe needs.
find_program(WINE_PROGRAM NAMES wine wine64 wine-stable)
if(WINE_PROGRAM)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${WINE_PROGRAM})
endif()
