// Screenshots: the picture on screen saved as "vgrab-%03d.tga".
#pragma once

// Saves the 640 x 480 screen under the first free name of the series; the
// game hands it to the world update as its screenshot_hook.
void save_screenshot();
