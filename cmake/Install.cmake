# Installation: the game behind a launcher that names its data folder and
# passes the player set, its data, the developer tool, a desktop entry, an
# icon and manual pages.
set(BRIMVALE_GAME_DIR "${CMAKE_INSTALL_LIBEXECDIR}/brimvale")
set(BRIMVALE_SHARE_DIR "${CMAKE_INSTALL_DATADIR}/brimvale")

if(BRIMVALE_GAME)
  file(RELATIVE_PATH BRIMVALE_LAUNCH_TO_DATA "/p/${CMAKE_INSTALL_BINDIR}" "/p/${BRIMVALE_SHARE_DIR}")
  file(RELATIVE_PATH BRIMVALE_LAUNCH_TO_GAME "/p/${CMAKE_INSTALL_BINDIR}" "/p/${BRIMVALE_GAME_DIR}/brimvale")
  configure_file(${CMAKE_SOURCE_DIR}/data/desktop/brimvale.in ${CMAKE_BINARY_DIR}/launcher/brimvale @ONLY)
  install(TARGETS brimvale RUNTIME DESTINATION ${BRIMVALE_GAME_DIR})
  install(PROGRAMS ${CMAKE_BINARY_DIR}/launcher/brimvale DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(FILES data/desktop/brimvale.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES data/desktop/io.brimvale.brimvale.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
  install(FILES docs/man/brimvale.6 DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
endif()
install(TARGETS brimvale-tool RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES docs/man/brimvale-tool.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES data/art/icon.png DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/48x48/apps RENAME brimvale.png)
foreach(size 128 256)
  install(FILES ${BRIMVALE_DATA_BUILD_DIR}/icon-${size}.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps RENAME brimvale.png)
endforeach()
install(FILES ${BRIMVALE_DATA_BUILD_DIR}/data01.pak ${BRIMVALE_DATA_BUILD_DIR}/data02.pak ${BRIMVALE_DATA_BUILD_DIR}/data03.pak
              ${BRIMVALE_DATA_BUILD_DIR}/data.lvl ${BRIMVALE_DATA_BUILD_DIR}/data.par
        DESTINATION ${BRIMVALE_SHARE_DIR} OPTIONAL)
file(GLOB BRIMVALE_SOUND_INSTALL CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/data/sound/*.wav ${CMAKE_SOURCE_DIR}/data/sound/manifest.txt)
install(FILES ${BRIMVALE_SOUND_INSTALL} DESTINATION ${BRIMVALE_SHARE_DIR}/sound)
