// The game's sound files: loaded once through their checks (a missing or
// refused one is warned about and left out), released at shutdown.
#include "game/sound.h"
#include "assets/asset_files.h"
#include "game/sound_file.h"
#include "world/world.h"

#include <allegro.h>
#include <alsa/asoundlib.h>
#include <cstdio>
#include <initializer_list>

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

void start_music()
{
  music = load_music(MUSIC_FILE);
  if (music)
    play_midi(music, 1);
}

void load_effects()
{
  snd_get_drop = load_effect(SOUND_FILES[SOUND_GET_DROP]);
  snd_jump = load_effect(SOUND_FILES[SOUND_JUMP]);
  snd_land = load_effect(SOUND_FILES[SOUND_LAND]);
  snd_end = load_effect(SOUND_FILES[SOUND_END]);
  snd_lava = load_effect(SOUND_FILES[SOUND_LAVA]);
}

void release_sounds()
{
  stop_midi();
  if (music)
    destroy_midi(music);
  for (SAMPLE *sample : {snd_get_drop, snd_jump, snd_land, snd_end, snd_lava})
    if (sample)
      destroy_sample(sample);
}
