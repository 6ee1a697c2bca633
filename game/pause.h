// Pausing a game: the world stands still under "PAUSED" until P is pressed again.
#pragma once

// True when P was pressed in play since the last look (a P held on from the
// pause does not count); reads (and so empties) the key buffer, which play
// itself never reads.
bool pause_key_pressed();
// Call with a frame drawn but not yet shown: shows it with "PAUSED" over it,
// runs no update and drops every tick that arrives. Returns true when P goes
// on with the game (only when p_goes_on), false when ESC (or a signal to quit)
// ends it.
bool pause_game(bool p_goes_on);
