# Installation with the usual GNU directories, and a Debian package of it (cpack -G DEB).
include(GNUInstallDirs)

# The program finds Data/ and muz/ here, relative to its own real folder, so the prefix can move.
file(RELATIVE_PATH LADOSLOV_SHARE_FROM_BIN /prefix/${CMAKE_INSTALL_BINDIR} /prefix/${CMAKE_INSTALL_DATADIR}/ladoslov)
target_compile_definitions(ladoslov_qt PRIVATE LADOSLOV_SHARE_FROM_BIN="${LADOSLOV_SHARE_FROM_BIN}")

set(LADOSLOV_LINUX ${CMAKE_SOURCE_DIR}/res/linux)
add_custom_command(OUTPUT ladoslov.1.gz changelog.gz
  COMMAND gzip -n -9 -c ${LADOSLOV_LINUX}/ladoslov.1 > ladoslov.1.gz
  COMMAND gzip -n -9 -c ${LADOSLOV_LINUX}/changelog > changelog.gz
  DEPENDS ${LADOSLOV_LINUX}/ladoslov.1 ${LADOSLOV_LINUX}/changelog
  WORKING_DIRECTORY ${CMAKE_BINARY_DIR})
add_custom_target(ladoslov_manual ALL DEPENDS ${CMAKE_BINARY_DIR}/ladoslov.1.gz ${CMAKE_BINARY_DIR}/changelog.gz)

install(TARGETS ladoslov RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# The hack that xscreensaver runs from its own folder: a relative link to the one program.
set(LADOSLOV_HACK_DIR ${CMAKE_INSTALL_LIBEXECDIR}/xscreensaver)
file(RELATIVE_PATH LADOSLOV_HACK_TARGET /prefix/${LADOSLOV_HACK_DIR} /prefix/${CMAKE_INSTALL_BINDIR}/ladoslov)
install(CODE "
  set(hack_dir \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${LADOSLOV_HACK_DIR}\")
  file(MAKE_DIRECTORY \"\${hack_dir}\")
  message(STATUS \"Installing: \${hack_dir}/ladoslov -> ${LADOSLOV_HACK_TARGET}\")
  file(CREATE_LINK \"${LADOSLOV_HACK_TARGET}\" \"\${hack_dir}/ladoslov\" SYMBOLIC)
")
install(FILES ${LADOSLOV_LINUX}/ladoslov.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/xscreensaver/config)
foreach(folder Data muz)
  if(EXISTS ${CMAKE_SOURCE_DIR}/${folder})
    install(DIRECTORY ${CMAKE_SOURCE_DIR}/${folder} DESTINATION ${CMAKE_INSTALL_DATADIR}/ladoslov)
  endif()
endforeach()
foreach(size 16 32)
  install(FILES res/icons/ladoslov-${size}.png DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
    RENAME ladoslov.png)
endforeach()
install(FILES ${LADOSLOV_LINUX}/ladoslov.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
# MATE's screensaver lists the hacks that have a theme here; its id is screensavers-ladoslov.
install(FILES ${LADOSLOV_LINUX}/screensavers/ladoslov.desktop
  DESTINATION ${CMAKE_INSTALL_DATADIR}/applications/screensavers)
install(FILES ${CMAKE_BINARY_DIR}/ladoslov.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${LADOSLOV_LINUX}/copyright ${CMAKE_BINARY_DIR}/changelog.gz DESTINATION ${CMAKE_INSTALL_DOCDIR})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ladoslov)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_PACKAGE_CONTACT "Ladoslov developers <ladoslov@shkertik.example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "calendar screensaver with church feasts and name days")
# The synopsis is the summary above; this is the extended description, one paragraph per blank line.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Ladoslov shows the calendar of the current year as twelve month blocks that
fill in day by day, with weekends, today, the civil holidays and the naval
memorial days marked, today's Orthodox church feast in the middle of the
screen and today's saints (name days) under the title, a clock and a tune.
All text on the screen is Russian.

It runs full screen on its own, or as a hack of xscreensaver (scaled down in
the settings dialog's preview) and of MATE's screensaver, which lists it among
its themes.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION x11)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "http://shkertik.example.org")
# The libraries come from dpkg-shlibdeps; the platform plugin, the fonts and SDL_mixer (for MIDI and WAV
# tunes) are loaded at run time.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, fonts-liberation, libsdl2-mixer-2.0-0")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "timgm6mb-soundfont | fluid-soundfont-gm, xscreensaver | mate-screensaver")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
  OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CPACK_STRIP_FILES ON)
include(CPack)
