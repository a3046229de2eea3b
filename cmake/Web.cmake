# The browser build, configured with emcmake: the game's own main with the
# web platform (platform/web.cpp), the packs and the level file of a native
# build embedded, and the page from data/web. Only the game is built here:
# the tools and tests need the native build, which makes the data first.
set(BRIMVALE_WEB_DATA "" CACHE PATH "A native build's data folder: data01.pak, data02.pak, data03.pak and data.lvl")
set(BRIMVALE_WEB_SITE "${CMAKE_BINARY_DIR}/site" CACHE PATH "Where the page, brimvale.js and brimvale.wasm go")
if(NOT EXISTS "${BRIMVALE_WEB_DATA}/data.lvl")
  message(FATAL_ERROR "BRIMVALE_WEB_DATA must name a native build's data folder (build the native tree first)")
endif()

set(BRIMVALE_WEB_FILES data01.pak data02.pak data03.pak data.lvl data.par sound)
if(NOT EXISTS "${BRIMVALE_WEB_DATA}/icon-512.png")
  message(FATAL_ERROR "${BRIMVALE_WEB_DATA} lacks the page's icons: build the native tree again")
endif()
# A wait deep inside nested deliveries (platform::MaxDeliveryDepth) saves
# every frame of the stack: room for all of them.
set(BRIMVALE_WEB_LINK_OPTIONS -sASYNCIFY -sASYNCIFY_STACK_SIZE=1048576 -sALLOW_MEMORY_GROWTH=1 -sINITIAL_MEMORY=33554432 -sEXIT_RUNTIME=1
    -sENVIRONMENT=web -lopenal -lidbfs.js
    "-sEXPORTED_RUNTIME_METHODS=FS,addRunDependency,removeRunDependency,UTF8ToString")
set(BRIMVALE_WEB_DEPENDS "")
foreach(name ${BRIMVALE_WEB_FILES})
  list(APPEND BRIMVALE_WEB_LINK_OPTIONS "SHELL:--embed-file ${BRIMVALE_WEB_DATA}/${name}@/${name}")
  list(APPEND BRIMVALE_WEB_DEPENDS "${BRIMVALE_WEB_DATA}/${name}")
endforeach()

# The game's own libraries (CMakeLists.txt), with the browser's platform.
add_executable(brimvale_web app/main.cpp platform/web.cpp platform/openal.cpp)
target_link_libraries(brimvale_web PRIVATE brimvale_app)
target_link_options(brimvale_web PRIVATE ${BRIMVALE_WEB_LINK_OPTIONS})
set_target_properties(brimvale_web PROPERTIES
  OUTPUT_NAME brimvale SUFFIX ".js"
  RUNTIME_OUTPUT_DIRECTORY "${BRIMVALE_WEB_SITE}")
set_property(TARGET brimvale_web PROPERTY LINK_DEPENDS ${BRIMVALE_WEB_DEPENDS})
# The page, its manifest and icons (drawn by the native build), and the
# service worker, named anew whenever any of them or the game changes.
configure_file(${CMAKE_SOURCE_DIR}/data/web/index.html ${BRIMVALE_WEB_SITE}/index.html COPYONLY)
configure_file(${CMAKE_SOURCE_DIR}/data/web/manifest.webmanifest ${BRIMVALE_WEB_SITE}/manifest.webmanifest COPYONLY)
foreach(size 192 512)
  configure_file(${BRIMVALE_WEB_DATA}/icon-${size}.png ${BRIMVALE_WEB_SITE}/icon-${size}.png COPYONLY)
endforeach()
add_custom_command(
  OUTPUT ${BRIMVALE_WEB_SITE}/sw.js
  COMMAND ${CMAKE_COMMAND} -DSITE=${BRIMVALE_WEB_SITE} -DTEMPLATE=${CMAKE_SOURCE_DIR}/data/web/sw.js.in
          -P ${CMAKE_SOURCE_DIR}/cmake/WebVersion.cmake
  DEPENDS brimvale_web ${CMAKE_SOURCE_DIR}/data/web/sw.js.in ${CMAKE_SOURCE_DIR}/cmake/WebVersion.cmake
          ${BRIMVALE_WEB_SITE}/index.html ${BRIMVALE_WEB_SITE}/manifest.webmanifest
          ${BRIMVALE_WEB_SITE}/icon-192.png ${BRIMVALE_WEB_SITE}/icon-512.png
  COMMENT "Writing the page's service worker"
  VERBATIM)
add_custom_target(brimvale_web_worker ALL DEPENDS ${BRIMVALE_WEB_SITE}/sw.js)
