// The presses a screen answers: Allegro's key buffer says which keys were
// pressed (a held key repeats there), and key[] at the last look says which
// of them were up before, so that only a fresh press counts.
#include "game/screen_keys.h"
#include "game/quit_signal.h"

#include <allegro.h>
#include <cassert>

namespace {

constexpr int KEY_POLL_MS = 10;  // how often a wait for a press looks again

bool up_at_last_look[KEY_MAX];
bool pressed_at_last_look[KEY_MAX];

// Brings key[] up to date where Allegro only changes it when asked.
void refresh_key_states()
{
  if (keyboard_needs_poll())
    poll_keyboard();
}

}  // namespace

void begin_screen_keys()
{
  refresh_key_states();
  clear_keybuf();
  for (int scancode = 0; scancode < KEY_MAX; scancode++) {
    up_at_last_look[scancode] = key[scancode] == 0;
    pressed_at_last_look[scancode] = false;
  }
}

bool look_for_presses()
{
  bool buffered[KEY_MAX] = {};
  while (keypressed()) {
    int scancode = readkey() >> 8;
    if (scancode > 0 && scancode < KEY_MAX)
      buffered[scancode] = true;
  }
  bool any = false;
  for (int scancode = 0; scancode < KEY_MAX; scancode++) {
    pressed_at_last_look[scancode] = buffered[scancode] && up_at_last_look[scancode];
    any = any || pressed_at_last_look[scancode];
    up_at_last_look[scancode] = key[scancode] == 0;
  }
  return any;
}

bool pressed_on_screen(int scancode)
{
  assert(scancode > 0 && scancode < KEY_MAX && "pressed_on_screen takes one of Allegro's KEY_ scancodes");
  return pressed_at_last_look[scancode];
}

bool wait_for_press(void (*look)())
{
  while (!look_for_presses()) {
    if (quit_signalled)
      return false;
    if (look)
      look();
    rest(KEY_POLL_MS);
  }
  return true;
}
