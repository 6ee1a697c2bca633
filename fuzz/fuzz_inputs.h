// One input through each font file reader, for the fuzz targets and for the
// test that replays their corpus in the regular build. A reader that breaks
// its promises (a picture larger than allowed, a symbol index out of range)
// aborts the process, so the fuzzer reports it like a crash.
#pragma once

#include <cstddef>
#include <cstdint>

// Decodes the bytes as a bare SGI picture and as a whole BMF file; true
// when either was accepted.
bool fuzz_bmf_input(const uint8_t *data, size_t size);

// Reads the bytes as a GLF file; true when it was accepted.
bool fuzz_glf_input(const uint8_t *data, size_t size);
