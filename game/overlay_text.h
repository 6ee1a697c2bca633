// Words over the picture in the game's vector font: the pause's word, the
// level banner and the death line. Coordinates are pixels of the 640 x 480
// picture from its bottom left corner, scaled with it into picture_area.
#pragma once

// A colour for words and bands, each channel from 0 to 1.
struct overlay_colour {
  float red, green, blue;
};

// The golden yellow of the pause's word and of the level's name.
constexpr overlay_colour OVERLAY_GOLD = {1.0f, 0.85f, 0.3f};
// The white of lesser words.
constexpr overlay_colour OVERLAY_WHITE = {0.95f, 0.95f, 0.95f};

// Loads the vector font; without it every word is left out, and the game
// goes on without them.
void load_overlay_font();
// Sets up drawing in pixels over the frame in the back buffer (inside the
// caller's allegro_gl_begin); end_overlay puts back everything the scene
// relies on.
void begin_overlay();
void end_overlay();
// Darkens a band across the whole screen, centred on centre_y, by shade
// (0 to 1) times opacity.
void draw_shaded_band(float centre_y, float half_height, float shade, float opacity);
// Writes text centred on (centre_x, centre_y), letter_scale pixels to a unit
// of the font's -1..1 symbols (smaller when it would not fit the screen),
// over a faint shadow, with the given opacity (0 to 1).
void draw_centred_words(const char *text, float centre_x, float centre_y, float letter_scale,
                        overlay_colour colour, float opacity);
