// Sound effects as the world plays them.
#include "world/effects.h"

#include <allegro.h>

void (*effect_listener)(SAMPLE *sample);

void play_effect(SAMPLE *sample)
{
  if (effect_listener)
    effect_listener(sample);
  if (sample)
    play_sample(sample, 128, 128, 1000, 0);
}
