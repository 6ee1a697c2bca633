// Stand-in until the renderer lands: textures and display lists.
#include "render/render.h"

void load_texture_set() {}
void build_display_lists() {}
