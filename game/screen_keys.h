// The presses a screen answers: a screen that waits for the player (the logo,
// the title, the pictures at a game's end, the pause, and play for its pause
// key) acts only on a press that began while it is shown. A key still held
// from the screen before, and the repeats X sends while it stays down, do
// nothing there.
#pragma once

// A screen appears: the presses so far are forgotten, and a key held now
// counts again only once it has been let go.
void begin_screen_keys();
// Looks at the keyboard; true when a key that was up at the last look (or at
// begin_screen_keys) has been pressed since.
bool look_for_presses();
// Whether the key of this scancode was among the presses of the last look.
bool pressed_on_screen(int scancode);
// Looks until a press comes, calling look (when not null) at every look;
// false when a quit signal ended the wait first.
bool wait_for_press(void (*look)() = nullptr);
