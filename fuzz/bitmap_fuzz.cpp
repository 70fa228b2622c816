// libFuzzer entry point for the bitmap reader.
#include <cstddef>
#include <cstdint>

#include "fuzz/targets.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    vorlax::fuzz::BitmapInput(data, size);
    return 0;
}
