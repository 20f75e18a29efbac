// The libFuzzer entry of one fuzz target; FUZZ_BODY names its body.
#include <cstddef>
#include <cstdint>

#include "fuzz_bodies.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::FUZZ_BODY(data, size);
  return 0;
}
