# Reads the game's data file names from asset_files.h, their one home, into
#   PILKO_TEXTURE_FILES, PILKO_SOUND_FILES, PILKO_PICTURE_FILES   (lists)
#   PILKO_MUSIC_FILE, PILKO_HUD_FONT_FILE, PILKO_VECTOR_FONT_FILE (one name each)
# as paths in the data folder ("graphics/gras.bmp").
set(asset_header ${CMAKE_CURRENT_LIST_DIR}/asset_files.h)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${asset_header})
file(READ ${asset_header} asset_text)

foreach(list TEXTURE SOUND PICTURE)
  if(NOT asset_text MATCHES "${list}_FILES\\[[A-Z_]*\\] = {([^}]*)}")
    message(FATAL_ERROR "${asset_header}: no list ${list}_FILES")
  endif()
  string(REGEX MATCHALL "\"[^\"]+\"" quoted "${CMAKE_MATCH_1}")
  string(REPLACE "\"" "" names "${quoted}")
  set(PILKO_${list}_FILES ${names})
endforeach()

foreach(name MUSIC HUD_FONT VECTOR_FONT)
  if(NOT asset_text MATCHES "${name}_FILE\\[\\] = \"([^\"]+)\"")
    message(FATAL_ERROR "${asset_header}: no name ${name}_FILE")
  endif()
  set(PILKO_${name}_FILE ${CMAKE_MATCH_1})
endforeach()
