# The same Windows programs for 64-bit Windows, for test machines whose Wine
# cannot run 32-bit code (a kernel without 32-bit emulation):
#   cmake -S . -B build-win64 -DCMAKE_TOOLCHAIN_FILE=cmake/x86_64-w64-mingw32.cmake
set(triple x86_64-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR AMD64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
