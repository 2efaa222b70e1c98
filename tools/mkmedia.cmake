# Generates the sample game's sounds and movie (tools/mkmedia.sh) into
# build/media/ and hands that folder to the `game` target. Included once the
# `game` target exists.
set(KU_MEDIA_DIR ${PROJECT_BINARY_DIR}/media)
add_custom_command(
  OUTPUT ${KU_MEDIA_DIR}/stamp
  COMMAND bash ${PROJECT_SOURCE_DIR}/tools/mkmedia.sh ${KU_MEDIA_DIR}
  COMMAND ${CMAKE_COMMAND} -E touch ${KU_MEDIA_DIR}/stamp
  DEPENDS ${PROJECT_SOURCE_DIR}/tools/mkmedia.sh
  COMMENT "Synthesising the sample game's sounds and movie"
  VERBATIM)
add_custom_target(mkmedia DEPENDS ${KU_MEDIA_DIR}/stamp)
set_property(TARGET game APPEND PROPERTY KU_GAME_INPUTS ${KU_MEDIA_DIR})
add_dependencies(game mkmedia)
