// libFuzzer's entry point; the build compiles it once per target, naming it in
// QUORVEL_FUZZ_TARGET.
#include "fuzz/fuzz_targets.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    QUORVEL_FUZZ_TARGET(data, size);
    return 0;
}
