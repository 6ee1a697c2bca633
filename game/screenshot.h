// Screenshots: the picture on screen saved as "vgrab-%03d.tga".
#pragma once

// Saves the picture on screen (picture_area: the 640 x 480 screen in the
// designed mode, else the 4:3 picture at its drawn size) under the first free
// name of the series, which
// nothing else of that name (file, folder, link) may hold; a failed write
// leaves nothing behind and prints one warning line, once per game. The game
// hands it to the world update as its screenshot_hook.
void save_screenshot();
// Lets the next failed screenshot print its warning again (a new game).
void allow_screenshot_warning();
