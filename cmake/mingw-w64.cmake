# Cross-compiles Orvane.exe and the test suites for 64-bit Windows with
# Debian's MinGW-w64 (posix thread model, for std::thread and std::mutex).
# The test executables run under Wine through scripts/wine-run.sh.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(ORVANE_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${ORVANE_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${ORVANE_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${ORVANE_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${ORVANE_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# GCC 12 reports false -Wrestrict overlaps inside std::string at -O2 (GCC bug
# 105329); with warnings as errors that would stop optimised builds.
set(CMAKE_CXX_FLAGS_INIT "-Wno-restrict")

# Static runtime: Orvane.exe needs no MinGW DLLs beside it on a bare Windows.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# Unicode Win32 API by default; we convert to and from GBK ourselves.
add_compile_definitions(UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601)

# ctest and gtest_discover_tests start the .exe files through Wine, with a
# prefix of their own under the build folder.
set(CMAKE_CROSSCOMPILING_EMULATOR
    ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run.sh --prefix ${CMAKE_BINARY_DIR}/wine)
