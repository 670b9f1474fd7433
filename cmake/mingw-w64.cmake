# Cross-building for 64-bit Windows with MinGW-w64 (the POSIX-threads compilers), run under
# Wine. DENSORA_WINDOWS_QT names the unpacked Qt for that target (tools/windows-qt).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)

get_filename_component(densora_default_qt
  "${CMAKE_CURRENT_LIST_DIR}/../build-windows-qt/qt-6.4.2-mingw-w64" ABSOLUTE)
set(DENSORA_WINDOWS_QT "${densora_default_qt}" CACHE PATH "The unpacked Qt 6 for x86_64-w64-mingw32")
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32 "${DENSORA_WINDOWS_QT}")
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Debian keeps wine64 out of PATH.
if(EXISTS /usr/lib/wine/wine64)
  set(CMAKE_CROSSCOMPILING_EMULATOR /usr/lib/wine/wine64)
else()
  set(CMAKE_CROSSCOMPILING_EMULATOR wine64)
endif()


# A second build of the same sources takes its objects from ccache, where it is installed.
find_program(DENSORA_CCACHE ccache)
if(DENSORA_CCACHE AND NOT CMAKE_CXX_COMPILER_LAUNCHER)
  set(CMAKE_CXX_COMPILER_LAUNCHER ${DENSORA_CCACHE})
endif()
