// libFuzzer target: bytes as a bare SGI picture and as a BMF font file.
#include "fuzz/fuzz_inputs.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
  fuzz_bmf_input(data, size);
  return 0;
}
