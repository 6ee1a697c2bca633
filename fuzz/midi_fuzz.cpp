// libFuzzer target: bytes as a MIDI file.
#include "fuzz/fuzz_inputs.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
  fuzz_midi_input(data, size);
  return 0;
}
