// One input through each font file reader, the map loader, the level text
// parser, the picture check and the two sound checks, for the fuzz targets. A
// reader that breaks its promises (a picture larger than allowed, a symbol
// index out of range) aborts the process, so the fuzzer reports it like a crash.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// Aborts with the promise named when it does not hold, so the fuzzer reports
// it like a crash.
void check(bool promise, const char *what);

// Writes the input to a new temporary file whose name ends in suffix, for the
// readers that take a path; returns the path (the caller removes the file).
std::string write_input(const char *suffix, const uint8_t *data, size_t size);

// Decodes the bytes as a bare SGI picture and as a whole BMF file; true
// when either was accepted.
bool fuzz_bmf_input(const uint8_t *data, size_t size);

// Reads the bytes as a GLF file; true when it was accepted.
bool fuzz_glf_input(const uint8_t *data, size_t size);

// Loads the bytes as a map file; true when it was accepted.
bool fuzz_map_input(const uint8_t *data, size_t size);

// Reads and checks the bytes as a level text; an accepted level must come back
// unchanged through the text the decompiler writes. True when accepted.
bool fuzz_level_text_input(const uint8_t *data, size_t size);

// Checks the bytes as a TGA and as a BMP picture, and reads each accepted
// one through Allegro's loader; true when either was accepted.
bool fuzz_picture_input(const uint8_t *data, size_t size);

// Checks the bytes as a MIDI file; an accepted one goes on through Allegro's
// loader, which must read the tracks the check read, and (when a display
// gives Allegro its timer) through its player, start to end. True when accepted.
bool fuzz_midi_input(const uint8_t *data, size_t size);

// Checks the bytes as a WAV file; an accepted one goes on through Allegro's
// loader, which must make a sample of the format and length the check read.
// True when accepted.
bool fuzz_wav_input(const uint8_t *data, size_t size);
