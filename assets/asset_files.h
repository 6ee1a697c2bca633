// The game's data files, by their paths in its data folder: the one list that
// the game opens, the asset makers write, the build makes and the tests check.
// The build reads this file too (assets/asset_files.cmake), so keep every name
// in double quotes and each list between its "= {" and "};".
#pragma once

// The block and sphere textures, each named by its index in TEXTURE_FILES,
// which is also the block kind it covers.
enum texture_file {
  TEXTURE_GRASS, TEXTURE_STONE_FLOOR, TEXTURE_HERO, TEXTURE_METAL, TEXTURE_LAVA, TEXTURE_ENEMY,
  TEXTURE_FILE_COUNT
};
inline const char *const TEXTURE_FILES[TEXTURE_FILE_COUNT] = {
  "graphics/gras.bmp",
  "graphics/stonefloor.bmp",
  "graphics/kez.bmp",
  "graphics/metal.bmp",
  "graphics/lava.bmp",
  "graphics/enemy.bmp",
};

// The sound effects, each named by its index in SOUND_FILES.
enum sound_file { SOUND_GET_DROP, SOUND_JUMP, SOUND_LAND, SOUND_END, SOUND_LAVA, SOUND_FILE_COUNT };
inline const char *const SOUND_FILES[SOUND_FILE_COUNT] = {
  "sound/get_drop.wav",
  "sound/jump.wav",
  "sound/land.wav",
  "sound/end.wav",
  "sound/lava.wav",
};

// The full pictures and the banners of a game's end (lost, and won), each
// named by its index in PICTURE_FILES.
enum picture_file {
  PICTURE_LOGO, PICTURE_TITLE, PICTURE_GAME_OVER, PICTURE_CAMPAIGN_COMPLETE, PICTURE_FILE_COUNT
};
inline const char *const PICTURE_FILES[PICTURE_FILE_COUNT] = {
  "graphics/logo.tga",
  "graphics/title.tga",
  "graphics/gameover.tga",
  "graphics/complete.tga",
};

// The tune played from the logo on.
inline const char MUSIC_FILE[] = "music/kez.mid";
// The status line's bitmap font.
inline const char HUD_FONT_FILE[] = "graphics/tolvane.emf";
// The vector font that the font showcase draws with.
inline const char VECTOR_FONT_FILE[] = "fonts/sans.glf";
