// Stand-in until the font library lands: library state.
#include "font/font.h"

void font_init() {}
void font_shutdown() {}
