# Installation: the game behind a launcher that names its data folder and
# passes the player set, its data, the developer tool, a desktop entry, an
# icon, manual pages (compressed) and the copyright and changelog files.
# The same layout goes into the Debian package (cmake/Package.cmake).
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
endif()

# The manual pages and the changelog compressed as Debian has them: gzip -9,
# no name or time stamp inside.
set(BRIMVALE_COMPRESSED "")
foreach(source docs/man/brimvale.6 docs/man/brimvale-tool.1 data/debian/changelog)
  get_filename_component(name ${source} NAME)
  set(out ${CMAKE_BINARY_DIR}/compressed/${name}.gz)
  add_custom_command(
    OUTPUT ${out}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/compressed
    COMMAND sh -c "gzip -9n -c \"$1\" > \"$2\"" gzip ${CMAKE_SOURCE_DIR}/${source} ${out}
    DEPENDS ${CMAKE_SOURCE_DIR}/${source}
    VERBATIM)
  list(APPEND BRIMVALE_COMPRESSED ${out})
endforeach()
add_custom_target(brimvale_compressed ALL DEPENDS ${BRIMVALE_COMPRESSED})
if(BRIMVALE_GAME)
  install(FILES ${CMAKE_BINARY_DIR}/compressed/brimvale.6.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
endif()
install(FILES ${CMAKE_BINARY_DIR}/compressed/brimvale-tool.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${CMAKE_BINARY_DIR}/compressed/changelog.gz data/debian/copyright
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/brimvale)
install(TARGETS brimvale-tool RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
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
install(FILES data/debian/lintian-overrides DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides RENAME brimvale)
