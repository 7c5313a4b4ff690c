# Cross toolchain for Windows with MinGW-w64. MINGW_TARGET names the target,
# i686-w64-mingw32 (the shipped 32-bit program) or x86_64-w64-mingw32 (the
# same for 64-bit Wine, on machines that cannot run 32-bit programs).
# MINGW_THREADS names the compiler's thread flavour: "win32" for what ships,
# whose runtime imports nothing an old Windows lacks (the "posix" runtime
# imports GetTickCount64, Vista and later), or "posix", which GoogleTest
# needs for std::mutex.
string(REGEX MATCH "^[^-]+" CMAKE_SYSTEM_PROCESSOR "${MINGW_TARGET}")
if(NOT MINGW_THREADS)
  set(MINGW_THREADS posix)
endif()
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES MINGW_TARGET MINGW_THREADS)
set(CMAKE_SYSTEM_NAME Windows)

set(CMAKE_C_COMPILER ${MINGW_TARGET}-gcc-${MINGW_THREADS})
set(CMAKE_CXX_COMPILER ${MINGW_TARGET}-g++-${MINGW_THREADS})
set(CMAKE_RC_COMPILER ${MINGW_TARGET}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${MINGW_TARGET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
