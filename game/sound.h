// Sound effects as the game plays them.
#pragma once

#include <allegro.h>

// Installs digital sound and MIDI, with ALSA's own error printing held back:
// without a sound card the game says so in one line and plays on silently.
void install_game_sound();

// Plays a sample once at volume 128, pan 128 and normal frequency; a sample
// that failed to load (null) is skipped.
void play_effect(SAMPLE *sample);

// Told of every effect the game asks for, null ones included; tests count
// with it. Null (nobody listens) in the game.
extern void (*effect_listener)(SAMPLE *sample);
