# Densora installed as a Linux desktop program: the binaries (installed where they are built),
# the desktop entry, the .lng MIME type, the icons, the AppStream metadata, the manual pages,
# densora-cli's bash completion and the package's documents; and the Debian package that
# `make package` builds from that install with CPack.
#
# The desktop entry and the MIME type are the files the program writes for the user at every
# start (res/com.vollin.densora.desktop.in and res/densora.xml, built into it as resources); the
# installed entry runs `densora` from the PATH instead of the running program's own path.
include(GNUInstallDirs)

# The release: project(VERSION) is its version; this is its date, for the manual pages, the
# AppStream release and the package's changelog (in both forms).
set(DENSORA_RELEASE_DATE "2026-12-09")
set(DENSORA_RELEASE_DATE_RFC2822 "Wed, 09 Dec 2026 12:00:00 +0000")
set(DENSORA_DEB_REVISION 1)
set(DENSORA_DEB_VERSION "${PROJECT_VERSION}-${DENSORA_DEB_REVISION}")
set(DENSORA_HOMEPAGE "https://www.vollin.com/densora/")
set(DENSORA_APP_ID "com.vollin.densora")
set(DENSORA_MAINTAINER "Vollin <densora@vollin.com>")
set(DENSORA_EXEC "densora %f")

set(gen ${CMAKE_BINARY_DIR}/install-files)
set(datadir ${CMAKE_INSTALL_DATADIR})
set(docdir ${CMAKE_INSTALL_DATADIR}/doc/densora)

# The manual pages and the changelog are installed compressed, as Debian keeps them.
configure_file(docs/densora-cli.1.in ${gen}/densora-cli.1 @ONLY)
configure_file(packaging/changelog.Debian.in ${gen}/changelog.Debian @ONLY)
set(compressed densora-cli.1 changelog.Debian)
if(DENSORA_WITH_QT)
  configure_file(docs/densora.1.in ${gen}/densora.1 @ONLY)
  configure_file(res/${DENSORA_APP_ID}.desktop.in ${gen}/${DENSORA_APP_ID}.desktop @ONLY)
  configure_file(res/${DENSORA_APP_ID}.metainfo.xml.in ${gen}/${DENSORA_APP_ID}.metainfo.xml @ONLY)
  list(APPEND compressed densora.1)
endif()
set(compressed_files)
foreach(file IN LISTS compressed)
  add_custom_command(OUTPUT ${gen}/${file}.gz
    COMMAND gzip -9 --no-name --keep --force ${file}
    DEPENDS ${gen}/${file}
    WORKING_DIRECTORY ${gen}
    COMMENT "Compressing ${file}"
    VERBATIM)
  list(APPEND compressed_files ${gen}/${file}.gz)
endforeach()
add_custom_target(densora_install_files ALL DEPENDS ${compressed_files})

install(FILES ${gen}/densora-cli.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES res/densora-cli.bash-completion
  DESTINATION ${datadir}/bash-completion/completions RENAME densora-cli)
install(FILES packaging/copyright ${gen}/changelog.Debian.gz DESTINATION ${docdir})
install(FILES packaging/lintian-overrides
  DESTINATION ${datadir}/lintian/overrides RENAME densora)
# The JSON Schemas of densora-cli's record and summary, for those who import them.
install(FILES docs/densora-record.schema.json docs/densora-summary.schema.json
  DESTINATION ${datadir}/densora)

if(DENSORA_WITH_QT)
  install(FILES ${gen}/densora.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  install(FILES ${gen}/${DENSORA_APP_ID}.desktop DESTINATION ${datadir}/applications)
  install(FILES res/densora.xml DESTINATION ${datadir}/mime/packages)
  install(FILES ${gen}/${DENSORA_APP_ID}.metainfo.xml DESTINATION ${datadir}/metainfo)
  # Densora Help: the program finds the guide from its own folder (src/app/help.h).
  install(FILES res/help/index.html DESTINATION ${datadir}/densora/help)
  target_compile_definitions(densora_ui PRIVATE DENSORA_HELP_PATH="${datadir}/densora/help/index.html")
  # Help › Open Sample Tests copies these three tests for a new user (src/app/help.h).
  install(DIRECTORY tests/data/sample-projects/ DESTINATION ${datadir}/densora/samples)
  target_compile_definitions(densora_ui PRIVATE DENSORA_SAMPLES_PATH="${datadir}/densora/samples")
  # The program's icon is an application's, the document's the MIME type's (the names the
  # desktop entry's Icon and the MIME type's icon give, and src/app/icons.h).
  foreach(icon_context IN ITEMS densora:apps application-x-densora-compaction:mimetypes)
    string(REPLACE ":" ";" icon_context ${icon_context})
    list(GET icon_context 0 icon)
    list(GET icon_context 1 context)
    install(FILES res/icons/${icon}.svg DESTINATION ${datadir}/icons/hicolor/scalable/${context})
    foreach(size IN ITEMS 16 32 48 64 128 256)
      install(FILES res/icons/${size}x${size}/${icon}.png
        DESTINATION ${datadir}/icons/hicolor/${size}x${size}/${context})
    endforeach()
  endforeach()
endif()

# make package: densora_<version>-<revision>_<arch>.deb in the build folder's package/.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME densora)
set(CPACK_PACKAGE_VENDOR Vollin)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT ${DENSORA_MAINTAINER})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/package)
set(CPACK_STRIP_FILES ON)
# strip keeps the .comment section, the compilers' names and versions, which a Debian
# package's binaries go without: the packaged install removes it after the strip.
install(CODE "set(densora_objcopy \"${CMAKE_OBJCOPY}\")")
install(CODE [[
  if(CMAKE_INSTALL_DO_STRIP)
    foreach(program IN ITEMS densora densora-cli)
      set(binary "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}/bin/${program}")
      if(EXISTS "${binary}")
        execute_process(COMMAND "${densora_objcopy}" --remove-section=.comment "${binary}"
          COMMAND_ERROR_IS_FATAL ANY)
      endif()
    endforeach()
  endif()
]])
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "record and chart soil compaction (moisture-density) tests")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "\
Densora records a moisture-density (compaction) test run to AASHTO T-99:
project information, the mold weight and up to six test points. It computes
each point's moisture content and dry unit weight, fits a curve through the
points, reports the maximum dry density and the optimum moisture, draws the
moisture-density chart, keeps each test as a .lng file in a tree of project
folders and prints a one-page report.

densora-cli reads, writes, charts and summarizes the same files without a
window.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE ${DENSORA_DEB_REVISION})
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${DENSORA_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${DENSORA_HOMEPAGE})
# The libraries come from dpkg-shlibdeps; Qt's platform plugins, without which the window
# cannot open, are a package of their own that no library needs.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# No maintainer scripts: shared-mime-info, desktop-file-utils and hicolor-icon-theme watch
# their folders with dpkg triggers and refresh their databases and caches when a package
# installs or removes files there.
if(DENSORA_WITH_QT)
  # The report's and the chart's "Arial" is Liberation Sans, metric-compatible: with another
  # face the report's labels and values run into each other.
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, fonts-liberation2")
endif()
include(CPack)
