# The level file data.lvl and its recorded fewest presses data.par, compiled from the level sources in data/levels
# (every *.txt there, in name order) by `brimvale-tool levels build`. Any
# change to a source (or to the tool) compiles it again.
file(GLOB BRIMVALE_LEVEL_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/data/levels/*.txt)
list(SORT BRIMVALE_LEVEL_SOURCES)
if(BRIMVALE_LEVEL_SOURCES)
  set(BRIMVALE_LEVEL_OUTPUT ${BRIMVALE_DATA_BUILD_DIR}/data.lvl)
  add_custom_command(
    OUTPUT ${BRIMVALE_LEVEL_OUTPUT} ${BRIMVALE_DATA_BUILD_DIR}/data.par
    COMMAND brimvale-tool levels build ${BRIMVALE_LEVEL_SOURCES} -o ${BRIMVALE_LEVEL_OUTPUT}
            --par ${BRIMVALE_DATA_BUILD_DIR}/data.par
    DEPENDS brimvale-tool ${BRIMVALE_LEVEL_SOURCES}
    COMMENT "Compiling data.lvl from data/levels"
    VERBATIM)
  list(APPEND BRIMVALE_DATA_OUTPUTS ${BRIMVALE_LEVEL_OUTPUT})
endif()
