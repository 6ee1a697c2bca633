// libFuzzer target: bytes through the one reader the build names as FUZZ_INPUT
// (fuzz_bmf_input, fuzz_map_input, ...; see fuzz_inputs.h).
#include "fuzz/fuzz_inputs.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
  FUZZ_INPUT(data, size);
  return 0;
}
