// libFuzzer target: bytes as a WAV file.
#include "fuzz/fuzz_inputs.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
  fuzz_wav_input(data, size);
  return 0;
}
