# The 32-bit Windows build, the one players get:
#   cmake -S . -B build-win32 -DCMAKE_TOOLCHAIN_FILE=cmake/i686-w64-mingw32.cmake
set(triple i686-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR x86)
# x87 registers round doubles through 80 bits and the ball drifts from the
# 64-bit build's; SSE2 arithmetic gives the same bits.
set(CMAKE_C_FLAGS_INIT "-msse2 -mfpmath=sse")
set(CMAKE_CXX_FLAGS_INIT "-msse2 -mfpmath=sse")
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
