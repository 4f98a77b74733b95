# Cross-compiles for 64-bit Windows with the mingw-w64 toolchain of the POSIX
# thread model, whose C++ runtime has std::thread and std::mutex (the headless
# platform of the tests uses them). Programs link the runtime statically.
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
# GCC 12 reports false -Wrestrict overlaps inside std::string at -O3 (GCC bug
# 105329); the Linux builds keep the warning.
set(CMAKE_CXX_FLAGS_INIT "-Wno-restrict")
