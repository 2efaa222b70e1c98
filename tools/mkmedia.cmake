# Generates the sample game's sounds and movies (tools/mkmedia.sh, with the
# tunes of mkmusic and the movies drawn from the sample pictures) into
# build/media/ and hands that folder to the `game` target. Included once the
# `game` and `mkmusic` targets exist; the pictures' target comes later.
set(KU_MEDIA_DIR ${PROJECT_BINARY_DIR}/media)
add_custom_command(
  OUTPUT ${KU_MEDIA_DIR}/stamp
  COMMAND bash ${PROJECT_SOURCE_DIR}/tools/mkmedia.sh ${KU_MEDIA_DIR} $<TARGET_FILE:mkmusic>
          ${PROJECT_BINARY_DIR}/sample_pictures
  COMMAND ${CMAKE_COMMAND} -E touch ${KU_MEDIA_DIR}/stamp
  DEPENDS ${PROJECT_SOURCE_DIR}/tools/mkmedia.sh mkmusic ${PROJECT_BINARY_DIR}/sample_pictures/Img/fade.bmp
  COMMENT "Synthesising the sample game's sounds and movies"
  VERBATIM)
add_custom_target(mkmedia DEPENDS ${KU_MEDIA_DIR}/stamp)
add_dependencies(mkmedia sample_pictures)
set_property(TARGET game APPEND PROPERTY KU_GAME_INPUTS ${KU_MEDIA_DIR})
add_dependencies(game mkmedia)
