# Densora for 64-bit Windows: the programs in one folder (bin/ of the build) with what they
# need beside them, as a deployment tool would lay it out: the Qt DLLs, the platform and
# style plugins and the MinGW runtime. The ZIP (and, where makensis exists, the installer)
# holds that folder; a user may replace any DLL in it.
enable_language(RC)
set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
set(densora_win_bin ${CMAKE_BINARY_DIR}/bin)

# The MinGW runtime the compiler links against.
set(densora_runtime_dlls)
foreach(dll libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll libssp-0.dll)
  execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${dll}
    OUTPUT_VARIABLE found OUTPUT_STRIP_TRAILING_WHITESPACE)
  if(EXISTS "${found}")
    file(REAL_PATH "${found}" found)
    list(APPEND densora_runtime_dlls "${found}")
  endif()
endforeach()
file(COPY ${densora_runtime_dlls} DESTINATION ${densora_win_bin})
install(FILES ${densora_runtime_dlls} DESTINATION bin)

# Every program carries the manifest: UTF-8 as its ANSI code page, long paths.
function(densora_windows_program target)
  target_sources(${target} PRIVATE ${CMAKE_SOURCE_DIR}/packaging/windows/manifest.rc)
  set_property(SOURCE ${CMAKE_SOURCE_DIR}/packaging/windows/manifest.rc APPEND PROPERTY
    OBJECT_DEPENDS ${CMAKE_SOURCE_DIR}/packaging/windows/densora.manifest)
endfunction()

# The desktop program's icons (Explorer's for densora.exe and for the .lng files), made by
# tools/render-icons from the SVGs.
function(densora_windows_icons target)
  set(rc ${CMAKE_SOURCE_DIR}/packaging/windows/icons.rc)
  target_sources(${target} PRIVATE ${rc})
  set_property(SOURCE ${rc} APPEND PROPERTY OBJECT_DEPENDS
    ${CMAKE_SOURCE_DIR}/res/icons/densora.ico
    ${CMAKE_SOURCE_DIR}/res/icons/application-x-densora-compaction.ico)
endfunction()

# The Qt DLLs and plugins the desktop program loads.
function(densora_windows_deploy_qt)
  set(qt ${DENSORA_WINDOWS_QT})
  set(dlls)
  foreach(module Core Gui Widgets PrintSupport)
    list(APPEND dlls ${qt}/bin/Qt6${module}.dll)
  endforeach()
  file(COPY ${dlls} DESTINATION ${densora_win_bin})
  install(FILES ${dlls} DESTINATION bin)
  foreach(plugin platforms/qwindows.dll platforms/qoffscreen.dll platforms/qminimal.dll
                 styles/qwindowsvistastyle.dll imageformats/qico.dll)
    get_filename_component(dir ${plugin} DIRECTORY)
    file(COPY ${qt}/plugins/${plugin} DESTINATION ${densora_win_bin}/${dir})
    if(NOT plugin MATCHES "qoffscreen|qminimal")
      install(FILES ${qt}/plugins/${plugin} DESTINATION bin/${dir})
    endif()
  endforeach()
  # The test runner's DLL, for the widget tests only; never shipped.
  file(COPY ${qt}/bin/Qt6Test.dll DESTINATION ${densora_win_bin})
endfunction()

# The licences of the DLLs shipped beside the programs, in licenses/: the texts as Debian
# ships them with the very packages the DLLs were built from (qt6-base's source, the MinGW-w64
# compiler and runtime), and a note of which DLL is under which.
function(densora_windows_licenses)
  set(texts
    /usr/share/common-licenses/LGPL-3 LGPL-3.txt
    /usr/share/common-licenses/GPL-3 GPL-3.txt
    /usr/share/doc/libqt6core6/copyright qt6-base-copyright.txt
    /usr/share/doc/gcc-mingw-w64-base/copyright gcc-runtime-copyright.txt
    /usr/share/doc/mingw-w64-common/copyright mingw-w64-copyright.txt)
  while(texts)
    list(POP_FRONT texts from to)
    if(NOT EXISTS ${from})
      message(FATAL_ERROR "${from} is missing: the Windows package needs it as licenses/${to}"
        " (tools/install-deps windows installs it)")
    endif()
    install(FILES ${from} DESTINATION licenses RENAME ${to})
  endwhile()
  install(FILES ${CMAKE_SOURCE_DIR}/packaging/windows/README-licenses.txt DESTINATION licenses)
endfunction()

# The installed programs and DLLs without their symbols and debugging sections: what a user
# runs needs neither, and they are most of the package's size (the build's own bin/ keeps
# them for debugging).
function(densora_windows_strip)
  install(CODE "set(densora_strip \"${CMAKE_STRIP}\")")
  install(CODE [[
    file(GLOB_RECURSE binaries "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}/bin/*.exe"
                               "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}/bin/*.dll")
    foreach(binary IN LISTS binaries)
      execute_process(COMMAND "${densora_strip}" --strip-unneeded "${binary}"
                      COMMAND_ERROR_IS_FATAL ANY)
    endforeach()
  ]])
endfunction()

function(densora_windows_package)
  if(DENSORA_WITH_QT)
    densora_windows_deploy_qt()
    target_compile_definitions(densora_ui PRIVATE DENSORA_HELP_PATH="share/densora/help/index.html")
    install(FILES ${CMAKE_SOURCE_DIR}/res/help/index.html DESTINATION share/densora/help)
    install(DIRECTORY ${CMAKE_SOURCE_DIR}/tests/data/sample-projects/ DESTINATION share/densora/samples)
    target_compile_definitions(densora_ui PRIVATE DENSORA_SAMPLES_PATH="share/densora/samples")
  endif()
  install(FILES ${CMAKE_SOURCE_DIR}/packaging/copyright DESTINATION . RENAME COPYRIGHT.txt)
  densora_windows_licenses()
  densora_windows_strip()
  set(CPACK_PACKAGE_NAME Densora)
  set(CPACK_PACKAGE_VENDOR Vollin)
  set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
  set(CPACK_PACKAGE_FILE_NAME densora-${PROJECT_VERSION}-win64)
  set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/package)
  set(CPACK_PACKAGE_INSTALL_DIRECTORY Densora)
  set(CPACK_RESOURCE_FILE_LICENSE ${CMAKE_SOURCE_DIR}/packaging/copyright)
  set(CPACK_GENERATOR ZIP)
  # And where makensis is, the installer (packaging/windows/NSIS.template.in).
  find_program(DENSORA_MAKENSIS makensis)
  if(DENSORA_MAKENSIS)
    list(APPEND CPACK_GENERATOR NSIS)
    set(CPACK_MODULE_PATH ${CMAKE_SOURCE_DIR}/packaging/windows)
    set(CPACK_NSIS_MUI_ICON ${CMAKE_SOURCE_DIR}/res/icons/densora.ico)
  endif()
  include(CPack)
endfunction()
