// Sound effects as the world plays them.
#pragma once

struct SAMPLE;  // Allegro's sample

// Plays a sample once at volume 128, pan 128 and normal frequency; a sample
// that failed to load (null) is skipped.
void play_effect(SAMPLE *sample);

// Told of every effect the world asks for, null ones included; the simulator
// and tests count with it. Null (nobody listens) in the game.
extern void (*effect_listener)(SAMPLE *sample);
