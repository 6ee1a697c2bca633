// The game's sound files: loaded once (a missing one is warned about and
// left out), released at shutdown.
#include "game/sound.h"
#include "game/flow.h"
#include "world/world.h"

#include <allegro.h>
#include <initializer_list>

namespace {

SAMPLE *load_effect(const char *path)
{
  SAMPLE *sample = load_sample(path);
  warn_missing(path, sample);
  return sample;
}

}  // namespace

void start_music()
{
  music = load_midi("music/kez.mid");
  warn_missing("music/kez.mid", music);
  if (music)
    play_midi(music, 1);
}

void load_effects()
{
  snd_get_drop = load_effect("sound/get_drop.wav");
  snd_jump = load_effect("sound/jump.wav");
  snd_land = load_effect("sound/land.wav");
  snd_end = load_effect("sound/end.wav");
  snd_lava = load_effect("sound/lava.wav");
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
