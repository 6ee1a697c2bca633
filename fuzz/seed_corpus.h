// A small corpus of sound font files made by our own writers, the starting
// point of the fuzzers and of the replay test.
#pragma once

// Writes the BMF and bare SGI seeds into bmf_dir and the GLF seeds into
// glf_dir (both folders must exist); returns the number of files written,
// or -1 when one could not be written.
int write_seed_corpus(const char *bmf_dir, const char *glf_dir);
