// libFuzzer entry point for the replay reader.
#include <cstddef>
#include <cstdint>

#include "fuzz/targets.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    vorlax::fuzz::ReplayInput(data, size);
    return 0;
}
