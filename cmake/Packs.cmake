# The image packs data01.pak, data02.pak and data03.pak (the player set's), packed from the PNG sources in
# data/art by `brimvale-tool pack`. Any change to the manifest or to a PNG
# (or to the tool) packs them again.
set(BRIMVALE_ART_DIR ${CMAKE_SOURCE_DIR}/data/art)
file(GLOB BRIMVALE_ART_PNGS CONFIGURE_DEPENDS ${BRIMVALE_ART_DIR}/*.png)
set(BRIMVALE_PACK_OUTPUTS
  ${BRIMVALE_DATA_BUILD_DIR}/data01.pak
  ${BRIMVALE_DATA_BUILD_DIR}/data02.pak
  ${BRIMVALE_DATA_BUILD_DIR}/data03.pak)
add_custom_command(
  OUTPUT ${BRIMVALE_PACK_OUTPUTS}
  COMMAND brimvale-tool pack --art ${BRIMVALE_ART_DIR} --out ${BRIMVALE_DATA_BUILD_DIR}
  DEPENDS brimvale-tool ${BRIMVALE_ART_DIR}/manifest.txt ${BRIMVALE_ART_PNGS}
  COMMENT "Packing data01.pak, data02.pak and data03.pak from data/art"
  VERBATIM)
list(APPEND BRIMVALE_DATA_OUTPUTS ${BRIMVALE_PACK_OUTPUTS})

# The icon enlarged from data/art/icon.png: the desktop's at 128 and 256
# pixels, the web page's (its manifest) at 192 and 512.
foreach(size 128 192 256 512)
  set(icon ${BRIMVALE_DATA_BUILD_DIR}/icon-${size}.png)
  add_custom_command(
    OUTPUT ${icon}
    COMMAND brimvale-tool icon --from ${BRIMVALE_ART_DIR}/icon.png --size ${size} -o ${icon}
    DEPENDS brimvale-tool ${BRIMVALE_ART_DIR}/icon.png
    COMMENT "Drawing the ${size}-pixel icon"
    VERBATIM)
  list(APPEND BRIMVALE_DATA_OUTPUTS ${icon})
endforeach()
