# Cross-building for 64-bit Windows with Debian's mingw-w64 (the posix-threads compilers, which
# C++ threads and std::mutex need). The C and C++ runtimes and winpthread are linked in
# statically, so the executables need no DLL beside them.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(TAPDASH_MINGW_TRIPLET x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${TAPDASH_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TAPDASH_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${TAPDASH_MINGW_TRIPLET}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${TAPDASH_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# Tests built here run under Wine.
set(CMAKE_CROSSCOMPILING_EMULATOR wine)
