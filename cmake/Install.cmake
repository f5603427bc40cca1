# The game as a desktop application: `cmake --install` (and `make install`) puts the game in
# games/, as Debian keeps games, xmrender in bin/, and the menu entry, icons, metainfo and
# manual pages under share/, in the folders GNUInstallDirs names. The Debian package
# (debian/, `make package`) installs the same files under /usr.
include(GNUInstallDirs)

set(PLEMBY_GAMES_DIR "games" CACHE PATH "Where the game is installed, under the prefix")
# A publisher's addresses, written into the metainfo; none is set by default.
set(PLEMBY_HOMEPAGE "" CACHE STRING "The project's home page")
set(PLEMBY_BUGTRACKER "" CACHE STRING "The project's bug tracker")
set(PLEMBY_SCREENSHOT_BASE "" CACHE STRING "The address under which docs/screenshots/ is published")

set(PLEMBY_DATA_DIR ${CMAKE_SOURCE_DIR}/data)
set(PLEMBY_METAINFO_IN ${PLEMBY_DATA_DIR}/${PLEMBY_APP_ID}.metainfo.xml.in)
set(PLEMBY_METAINFO_OUT ${CMAKE_BINARY_DIR}/${PLEMBY_APP_ID}.metainfo.xml)
include(${CMAKE_CURRENT_LIST_DIR}/WriteMetainfo.cmake)

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

install(TARGETS plemby RUNTIME DESTINATION ${PLEMBY_GAMES_DIR})
install(TARGETS xmrender RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${PLEMBY_DATA_DIR}/${PLEMBY_APP_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PLEMBY_METAINFO_OUT} DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(DIRECTORY ${PLEMBY_DATA_DIR}/icons/ DESTINATION ${CMAKE_INSTALL_DATADIR}/icons)

# The ThreadSanitizer build makes only the music thread's tests, not what is installed.
if(PLEMBY_TESTS AND NOT PLEMBY_SANITIZE STREQUAL "tsan")
  # Installs into a scratch folder and checks what landed, with the validators a distribution
  # runs, and the packaging files beside it; then runs the installed game.
  add_test(NAME install_layout
           COMMAND sh ${CMAKE_SOURCE_DIR}/tests/install/install_test.sh ${CMAKE_BINARY_DIR}
                   ${PLEMBY_APP_ID} ${PROJECT_VERSION} ${CMAKE_SOURCE_DIR})
  set_tests_properties(install_layout PROPERTIES TIMEOUT 300)
endif()
