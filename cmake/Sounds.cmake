# The sound effects: the WAV sources in data/sound and their manifest,
# copied into the build's data folder (sound/ beside the packs).
set(BRIMVALE_SOUND_DIR ${CMAKE_SOURCE_DIR}/data/sound)
file(GLOB BRIMVALE_SOUND_FILES CONFIGURE_DEPENDS ${BRIMVALE_SOUND_DIR}/*.wav ${BRIMVALE_SOUND_DIR}/manifest.txt)
set(BRIMVALE_SOUND_OUTPUTS "")
foreach(source ${BRIMVALE_SOUND_FILES})
  get_filename_component(name ${source} NAME)
  set(target ${BRIMVALE_DATA_BUILD_DIR}/sound/${name})
  add_custom_command(
    OUTPUT ${target}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${BRIMVALE_DATA_BUILD_DIR}/sound
    COMMAND ${CMAKE_COMMAND} -E copy ${source} ${target}
    DEPENDS ${source}
    VERBATIM)
  list(APPEND BRIMVALE_SOUND_OUTPUTS ${target})
endforeach()
list(APPEND BRIMVALE_DATA_OUTPUTS ${BRIMVALE_SOUND_OUTPUTS})
