// A libFuzzer target; FUZZ_ENTRY names the entry function (see FuzzEntries.h).
#include "FuzzEntries.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    return FuzzEntries::FUZZ_ENTRY(data, size);
}
