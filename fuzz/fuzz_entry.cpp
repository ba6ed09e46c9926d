// One libFuzzer program per check; FUZZ_CHECK names it at compile time.
#include "fuzz/fuzz_check.h"
#include <cstdio>
#include <cstdlib>

void report_violation(const char* target, const char* what)
{
    std::fprintf(stderr, "%s: property violated: %s\n", target, what);
    std::abort();
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FUZZ_CHECK(data, size);
    return 0;
}
