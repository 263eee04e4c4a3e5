# Installation (cmake --install, DESTDIR, CMAKE_INSTALL_PREFIX) and the
# Debian package (cpack -G DEB). Included from the top-level CMakeLists.txt.
set(VORLIX_APP_ID org.vorlix.Vorlix)
set(_pkg ${CMAKE_CURRENT_SOURCE_DIR}/packaging)

install(TARGETS vorlix-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
if(TARGET vorlix)
  install(TARGETS vorlix RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()
install(FILES ${VORLIX_LANGUAGE_SOURCE_DIR}/English.ini ${VORLIX_LANGUAGE_SOURCE_DIR}/Japanese.ini
  DESTINATION ${CMAKE_INSTALL_DATADIR}/vorlix/Lang)
install(FILES ${_pkg}/${VORLIX_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${_pkg}/${VORLIX_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${_pkg}/icons/vorlix.svg
  DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps RENAME ${VORLIX_APP_ID}.svg)
foreach(size 16 32 48 64 128 256)
  install(FILES ${_pkg}/icons/vorlix-${size}.png
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps RENAME ${VORLIX_APP_ID}.png)
endforeach()

# The video decoder libraries, where an installed program looks for them.
if(VORLIX_VIDEO_DECODERS)
  install(TARGETS ${VORLIX_VIDEO_DECODERS} LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}/vorlix)
endif()

# The manual page is made from the program's own --help text.
set(VORLIX_MAN_PAGE ${CMAKE_BINARY_DIR}/vorlix-cli.1)
add_custom_command(OUTPUT ${VORLIX_MAN_PAGE}
  COMMAND ${CMAKE_COMMAND} -DCLI=$<TARGET_FILE:vorlix-cli> -DOUT=${VORLIX_MAN_PAGE}
          -DVERSION=${PROJECT_VERSION} -P ${_pkg}/MakeManPage.cmake
  DEPENDS vorlix-cli ${_pkg}/MakeManPage.cmake
  COMMENT "Manual page vorlix-cli.1")
add_custom_target(vorlix_man_page ALL DEPENDS ${VORLIX_MAN_PAGE})
install(FILES ${VORLIX_MAN_PAGE} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vorlix)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Vorlix developers")
set(CPACK_PACKAGE_CONTACT "Vorlix developers <vorlix@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Workbench for comparing image resampling algorithms")
set(CPACK_PACKAGE_DESCRIPTION "Opens a picture, resamples it with one of thirteen exact fixed-point
algorithms, shows the time taken and saves the result in a dozen formats;
builds an HTML page comparing every algorithm.")
set(CPACK_PACKAGE_INSTALL_DIRECTORY vorlix)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Fonts and Qt's own translations are read at run time, not linked.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-noto-cjk, fonts-liberation2, qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils")
include(CPack)
