# Cross toolchain for Windows with MinGW-w64. MINGW_TARGET names the target,
# i686-w64-mingw32 (the shipped 32-bit program) or x86_64-w64-mingw32 (the
# same for 64-bit Wine, on machines that cannot run 32-bit programs). The
# posix-thread flavour of the compiler, because GoogleTest (for the contract
# tests) needs std::mutex.
string(REGEX MATCH "^[^-]+" CMAKE_SYSTEM_PROCESSOR "${MINGW_TARGET}")
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES MINGW_TARGET)
set(CMAKE_SYSTEM_NAME Windows)

set(CMAKE_C_COMPILER ${MINGW_TARGET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${MINGW_TARGET}-g++-posix)
set(CMAKE_RC_COMPILER ${MINGW_TARGET}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${MINGW_TARGET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
