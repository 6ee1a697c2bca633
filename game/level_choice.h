// The level a game starts on, as pilko --level chose it.
#pragma once

// Sets where every game starts from the value of --level: a level number of
// the campaign, a level text (".level", compiled in memory) or a map file.
// Reads and checks it at once, before any window opens; on a mistake says
// why on stderr (a level text's messages as "file:line:column: ...") and
// returns false.
bool choose_first_level(const char *value);
