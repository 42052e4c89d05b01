# Shared by the mingw-w64 toolchain files: each sets CMAKE_SYSTEM_PROCESSOR and _mingw
# (the compiler prefix) and includes this file.
set(CMAKE_SYSTEM_NAME Windows)

find_program(CMAKE_C_COMPILER NAMES ${_mingw}-gcc-posix ${_mingw}-gcc REQUIRED)
find_program(CMAKE_CXX_COMPILER NAMES ${_mingw}-g++-posix ${_mingw}-g++ REQUIRED)
find_program(CMAKE_RC_COMPILER NAMES ${_mingw}-windres REQUIRED)
find_program(VANTREL_WIDL NAMES ${_mingw}-widl widl)

set(CMAKE_FIND_ROOT_PATH /usr/${_mingw})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# GCC 12 reports false -Wrestrict positives inside libstdc++'s own string concatenation
# at -O2 (GCC bug 105329); the native build uses the same compiler without them.
set(CMAKE_CXX_FLAGS_INIT "-Wno-restrict")
