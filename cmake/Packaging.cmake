# Installing the program as a desktop program (make install) and its Debian
# package (make package): the executables come with their own install rules;
# here are the menu entry, the file type, the icon, the help pages, the
# manual pages and the CPack settings.

# Only Linux (and the like) has these desktop files; on Windows the program
# carries its help and icon inside and needs nothing more.
if(NOT UNIX OR APPLE)
  return()
endif()

set(ARDENO_DIST ${PROJECT_SOURCE_DIR}/dist)
set(ARDENO_DIST_BIN ${CMAKE_BINARY_DIR}/dist)
set(ARDENO_ICON_SIZES 16 22 24 32 48 64 128 256)

# --- icon: PNG sizes rendered from the SVG during the build -----------------
add_executable(ardeno-render-icon ${ARDENO_DIST}/RenderIcon.cpp)
target_link_libraries(ardeno-render-icon PRIVATE Qt6::Gui Qt6::Svg)
set_target_properties(ardeno-render-icon PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${ARDENO_DIST_BIN})
set(_ardeno_pngs)
foreach(size ${ARDENO_ICON_SIZES})
  list(APPEND _ardeno_pngs ${ARDENO_DIST_BIN}/icons/${size}x${size}/apps/ardeno-creator.png)
endforeach()
add_custom_command(OUTPUT ${_ardeno_pngs}
  COMMAND ardeno-render-icon ${ARDENO_DIST}/icons/ardeno-creator.svg ${ARDENO_DIST_BIN}/icons
          ardeno-creator ${ARDENO_ICON_SIZES}
  DEPENDS ardeno-render-icon ${ARDENO_DIST}/icons/ardeno-creator.svg
  COMMENT "Rendering the program icon" VERBATIM)

# --- manual pages and changelog, compressed as Debian installs them ----------
set(_ardeno_mans)
foreach(page ardeno-creator.1 ardeno-tool.1)
  add_custom_command(OUTPUT ${ARDENO_DIST_BIN}/man/${page}.gz
    COMMAND ${CMAKE_COMMAND} -E copy ${ARDENO_DIST}/man/${page} ${ARDENO_DIST_BIN}/man/${page}
    COMMAND gzip -9nf ${ARDENO_DIST_BIN}/man/${page}
    DEPENDS ${ARDENO_DIST}/man/${page} VERBATIM)
  list(APPEND _ardeno_mans ${ARDENO_DIST_BIN}/man/${page}.gz)
endforeach()
add_custom_command(OUTPUT ${ARDENO_DIST_BIN}/changelog.gz
  COMMAND ${CMAKE_COMMAND} -E copy ${ARDENO_DIST}/changelog ${ARDENO_DIST_BIN}/changelog
  COMMAND gzip -9nf ${ARDENO_DIST_BIN}/changelog
  DEPENDS ${ARDENO_DIST}/changelog VERBATIM)
add_custom_target(ardeno_desktop_files ALL
  DEPENDS ${_ardeno_pngs} ${_ardeno_mans} ${ARDENO_DIST_BIN}/changelog.gz)

# --- install rules -----------------------------------------------------------
set(_ardeno_share ${CMAKE_INSTALL_DATAROOTDIR})
install(FILES ${ARDENO_DIST}/ardeno-creator.desktop DESTINATION ${_ardeno_share}/applications)
install(FILES ${ARDENO_DIST}/ardeno-creator-mime.xml DESTINATION ${_ardeno_share}/mime/packages
        RENAME ardeno-creator.xml)
install(FILES ${ARDENO_DIST}/icons/ardeno-creator.svg
        DESTINATION ${_ardeno_share}/icons/hicolor/scalable/apps)
# The file type's own icon name, for desktops that do not read the icon the
# type names.
install(FILES ${ARDENO_DIST}/icons/ardeno-creator.svg
        DESTINATION ${_ardeno_share}/icons/hicolor/scalable/mimetypes
        RENAME application-x-ardeno-test.svg)
foreach(size ${ARDENO_ICON_SIZES})
  install(FILES ${ARDENO_DIST_BIN}/icons/${size}x${size}/apps/ardeno-creator.png
          DESTINATION ${_ardeno_share}/icons/hicolor/${size}x${size}/apps)
endforeach()
install(FILES ${_ardeno_mans} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
# The help pages are compiled into the program; this copy is for reading
# them in a browser.
install(DIRECTORY ${PROJECT_SOURCE_DIR}/help/ DESTINATION ${_ardeno_share}/doc/ardeno-creator/html
        FILES_MATCHING PATTERN "*.html" PATTERN "*.css")
install(FILES ${ARDENO_DIST}/copyright ${ARDENO_DIST_BIN}/changelog.gz
        DESTINATION ${_ardeno_share}/doc/ardeno-creator)

# A plain `make install` into a live prefix refreshes the desktop's caches so
# that the file type, menu entry and icon work at once. Staged installs
# (DESTDIR, packages) leave that to the package manager's triggers.
install(CODE [[
  if("$ENV{DESTDIR}" STREQUAL "" AND NOT CMAKE_INSTALL_PREFIX MATCHES "_CPack_Packages")
    find_program(_umd update-mime-database)
    find_program(_udd update-desktop-database)
    find_program(_guic gtk-update-icon-cache)
    if(_umd)
      execute_process(COMMAND ${_umd} "${CMAKE_INSTALL_PREFIX}/share/mime" OUTPUT_QUIET ERROR_QUIET)
    endif()
    if(_udd)
      execute_process(COMMAND ${_udd} -q "${CMAKE_INSTALL_PREFIX}/share/applications"
                      OUTPUT_QUIET ERROR_QUIET)
    endif()
    if(_guic)
      execute_process(COMMAND ${_guic} -q -t "${CMAKE_INSTALL_PREFIX}/share/icons/hicolor"
                      OUTPUT_QUIET ERROR_QUIET)
    endif()
  endif()
]])

# --- the Debian package --------------------------------------------------------
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ardeno-creator)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR})
set(CPACK_PACKAGE_VENDOR "Ardeno")
set(CPACK_PACKAGE_CONTACT "Ardeno developers <author@ardeno.example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "create and edit tests for the Ardeno quiz player")
set(CPACK_PACKAGE_DESCRIPTION
"The Ardeno Test Creator is the editor in which a teacher builds tests
(quizzes) for the Ardeno interactive quiz program: multiple-choice and
true/false questions with pictures, sounds, tunes and videos. It previews a
test as a student takes it, prints it with an answer key, reads the score
logs of the quiz player and joins BMP pictures into AVI videos.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION education)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://ardeno.example.org/)
# What the program loads at run time without linking it: the Qt platform and
# image plugins, the General MIDI soundfont. (The SVG icon engine and the
# image plugins come with the linked Qt libraries.) The linked libraries (Qt,
# libwmf...) are found by dpkg-shlibdeps from the binaries themselves;
# FluidSynth, FFmpeg and Qt Multimedia from the program's own modules in
# /usr/lib/ardeno-creator/ (loaded on first use).
set(_ardeno_runtime qt6-qpa-plugins qt6-image-formats-plugins timgm6mb-soundfont)
find_program(ARDENO_DPKG_SHLIBDEPS dpkg-shlibdeps)
if(ARDENO_DPKG_SHLIBDEPS)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
else()
  list(APPEND _ardeno_runtime
       libqt6core6 libqt6gui6 libqt6widgets6 libqt6printsupport6 libqt6multimedia6
       libqt6svg6 libqt6svgwidgets6 libfluidsynth3 libwmf-0.2-7 libavcodec59 libavformat59 libavutil57
       libswscale6)
endif()
string(REPLACE ";" ", " CPACK_DEBIAN_PACKAGE_DEPENDS "${_ardeno_runtime}")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils, fonts-liberation, cups-client")
include(CPack)
