# Generated data: the image packs from data/art and the level file from
# data/levels, written into the build's data folder, and the sounds copied
# beside them.
file(MAKE_DIRECTORY ${BRIMVALE_DATA_BUILD_DIR})
set(BRIMVALE_DATA_OUTPUTS "")
include(${CMAKE_SOURCE_DIR}/cmake/Packs.cmake OPTIONAL)
include(${CMAKE_SOURCE_DIR}/cmake/Levels.cmake OPTIONAL)
include(${CMAKE_SOURCE_DIR}/cmake/Sounds.cmake OPTIONAL)
add_custom_target(brimvale_data ALL DEPENDS ${BRIMVALE_DATA_OUTPUTS})
