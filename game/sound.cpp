// Sound effects as the game plays them.
#include "game/sound.h"

#include <alsa/asoundlib.h>
#include <cstdio>

void (*effect_listener)(SAMPLE *sample);

namespace {

// ALSA prints a line for every step of a failed device search (eight without
// a sound card); the one line the game prints says all that matters.
void hold_back_alsa_error(const char *, int, const char *, int, const char *, ...) {}

}  // namespace

void install_game_sound()
{
  snd_lib_error_set_handler(hold_back_alsa_error);
  int failed = install_sound(DIGI_AUTODETECT, MIDI_AUTODETECT, nullptr);
  snd_lib_error_set_handler(nullptr);  // ALSA's own messages again from here on
  if (failed != 0 || !digi_driver || digi_driver->id == DIGI_NONE)
    std::fprintf(stderr, "pilko: no sound card found; playing without sound\n");
  set_volume(255, 128);
}

void play_effect(SAMPLE *sample)
{
  if (effect_listener)
    effect_listener(sample);
  if (sample)
    play_sample(sample, 128, 128, 1000, 0);
}
