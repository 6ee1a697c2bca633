// Screenshots: the picture on screen saved as "vgrab-%03d.tga".
#pragma once

// Saves the 640 x 480 screen under the first free name of the series.
void save_screenshot();
