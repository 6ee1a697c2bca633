// The game's sound files: the music and the five effect samples, loaded once
// and released at shutdown.
#pragma once

// Installs digital sound and MIDI, with ALSA's own error printing held back:
// without a sound card the game says so in one line and plays on silently.
void install_game_sound();
// Loads MUSIC_FILE into music and plays it in a loop from here on.
void start_music();
// Loads the five effect samples into snd_get_drop, snd_jump, snd_land,
// snd_end and snd_lava.
void load_effects();
// Stops the music and releases it and the samples.
void release_sounds();
