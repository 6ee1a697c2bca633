// A bitmap font for the showcase when the data folder has none: Allegro's
// own 8 x 8 text font drawn into a picture and written as a BMF file.
#pragma once

// Writes the font to path; 0 on success, -1 on failure. Needs Allegro.
int write_made_bitmap_font(const char *path);
