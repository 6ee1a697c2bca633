// Sound files opened for the game, the MIDI music and the WAV effects: a
// check of the whole file in front of Allegro's loaders and MIDI player,
// which trust what a file says and can be crashed or hung by a crafted one.
#pragma once

#include <cstddef>

struct MIDI;
struct SAMPLE;

constexpr long MUSIC_MAX_BYTES = 1 << 20;   // far more than any tune needs
constexpr long SOUND_MAX_BYTES = 16 << 20;  // a minute and a half of CD sound
constexpr int MIDI_MAX_TRACKS = 32;         // what Allegro's MIDI record holds
// A song shorter than this, played in a loop, would start Allegro's player
// over and over without rest.
constexpr double MIDI_MIN_SONG_MICROSECONDS = 100000;

// Why the size bytes cannot safely go to Allegro as a MIDI file; null when
// they can: a format 0 or 1 file of 1 to MIDI_MAX_TRACKS tracks, ticks per
// quarter note above 0, every event whole inside its track (no system
// exclusive), a tempo above 0, each track closed by its end event, at least
// one note, and a song of at least MIDI_MIN_SONG_MICROSECONDS.
const char *midi_problem(const unsigned char *bytes, size_t size);

// Why the size bytes cannot safely go to Allegro as a WAV file; null when
// they can: a RIFF WAVE file exactly as long as it says, every chunk to its
// end whole and of even length (Allegro reads them all), one format of plain
// PCM in 1 or 2 channels of 8 or 16 bits, and after it one data chunk of
// whole frames, more than none.
const char *wav_problem(const unsigned char *bytes, size_t size);

// Loads the music at path when it passes the check; otherwise, or when
// Allegro cannot read it, prints one warning line naming the file and
// returns null (the game goes on without it).
MIDI *load_music(const char *path);
// Loads a sound effect at path in the same way.
SAMPLE *load_effect(const char *path);
