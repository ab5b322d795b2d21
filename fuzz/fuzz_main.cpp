// One libFuzzer entry, compiled once per target with CORVANE_FUZZ_TARGET
// naming its function.
#include "fuzz/FuzzTargets.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    return corvane::fuzz::CORVANE_FUZZ_TARGET(data, size);
}
