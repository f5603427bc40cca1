# The game as a desktop application: `cmake --install` (and `make install`) puts the game and
# xmrender in bin/ and the menu entry, icons, metainfo and manual pages under share/, in the
# folders GNUInstallDirs names; CPack wraps the same files in a Debian package.
include(GNUInstallDirs)

# The application id names the desktop entry, the icons and the metainfo, and is the class the
# window carries, so that a dock finds the entry for a running game.
set(PLEMBY_APP_ID "io.github.plemby.plemby")
set(PLEMBY_VERSION "1.0.0")
set(PLEMBY_HOMEPAGE "https://github.com/plemby/plemby")
target_compile_definitions(plemby_core PUBLIC PLEMBY_APP_ID="${PLEMBY_APP_ID}")

set(PLEMBY_DATA_DIR ${CMAKE_SOURCE_DIR}/data)

# Manual pages are installed compressed; -n keeps the name and time out, so the same page
# always compresses to the same bytes.
set(PLEMBY_MAN_PAGES plemby.6 xmrender.1)
set(PLEMBY_MAN_GZ "")
foreach(page ${PLEMBY_MAN_PAGES})
  set(out ${CMAKE_BINARY_DIR}/man/${page}.gz)
  add_custom_command(
    OUTPUT ${out}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/man
    COMMAND sh -c "gzip -9 -n -c \"$0\" > \"$1\"" ${PLEMBY_DATA_DIR}/man/${page} ${out}
    DEPENDS ${PLEMBY_DATA_DIR}/man/${page}
    VERBATIM)
  list(APPEND PLEMBY_MAN_GZ ${out})
  string(REGEX MATCH "[0-9]+$" section ${page})
  install(FILES ${out} DESTINATION ${CMAKE_INSTALL_MANDIR}/man${section})
endforeach()
add_custom_target(plemby_man_pages ALL DEPENDS ${PLEMBY_MAN_GZ})

install(TARGETS plemby xmrender RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${PLEMBY_DATA_DIR}/${PLEMBY_APP_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PLEMBY_DATA_DIR}/${PLEMBY_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(DIRECTORY ${PLEMBY_DATA_DIR}/icons/ DESTINATION ${CMAKE_INSTALL_DATADIR}/icons)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME plemby)
set(CPACK_PACKAGE_VERSION ${PLEMBY_VERSION})
set(CPACK_PACKAGE_VENDOR "Plemby! developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "falling-block puzzle game")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Plemby! developers <plemby@users.noreply.github.com>")
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${PLEMBY_HOMEPAGE})
# dpkg-shlibdeps reads the binaries' libraries (SDL2, SDL2_image, libc, libstdc++) into Depends.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The summary line comes from CPACK_PACKAGE_DESCRIPTION_SUMMARY; this is the long text below it.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Steer the seven four-cell pieces as they fall into a well ten columns wide and
twenty rows deep; complete rows vanish and score, the fall speeds up level by
level, and the game ends when a piece locks in the top row. A title screen, a
main menu, options, help, and a table of the eight best scores with name entry
stand around the play screen, with sound effects and music played by the
game's own tracker-module player.
.
The package also holds xmrender, which plays an XM module through the game's
music player and writes it to a WAV file.")
include(CPack)

# The ThreadSanitizer build makes only the music thread's tests, not what is installed.
if(PLEMBY_TESTS AND NOT PLEMBY_SANITIZE STREQUAL "tsan")
  # Installs into a scratch folder and checks what landed, then runs the installed game.
  add_test(NAME install_layout
           COMMAND sh ${CMAKE_SOURCE_DIR}/tests/install/install_test.sh ${CMAKE_BINARY_DIR}
                   ${PLEMBY_APP_ID} ${PLEMBY_VERSION})
  set_tests_properties(install_layout PROPERTIES TIMEOUT 300)
endif()
