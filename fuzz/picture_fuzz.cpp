// libFuzzer target: bytes as a TGA and as a BMP picture.
#include "fuzz/fuzz_inputs.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
  fuzz_picture_input(data, size);
  return 0;
}
