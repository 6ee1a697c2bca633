// The level editor inside the game (pilko --edit FILE.level): a level built
// in the game's own 3D view from the keyboard, judged by the level checker
// after every change, play-tested through the game's own level loop and
// saved as a level text with the keys that completed it as its solution.
#pragma once

// Reads the level file for editing, before any window opens. A missing file
// starts a new level; false, with one line on stderr, when the file is there
// but cannot be read as a level text.
bool open_level_for_editing(const char *path);
// Edits the level read by open_level_for_editing in the game's graphics mode,
// set up as for a game (scene, textures, display lists, sounds), until the
// author leaves or a quit signal comes.
void run_editor();
