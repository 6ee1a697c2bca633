// libFuzzer target: bytes as a GLF vector font file.
#include "fuzz/fuzz_inputs.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
  fuzz_glf_input(data, size);
  return 0;
}
