#pragma once
// A property check for fuzz targets: on failure it names the property and aborts, which libFuzzer reports
// as a crash and saves the input. Unlike assert it stays on whatever the build type.

#include <cstdio>
#include <cstdlib>

#define FUZZ_CHECK(condition)                                                                                \
    do {                                                                                                     \
        if (!(condition)) {                                                                                  \
            std::fprintf(stderr, "%s:%d: property failed: %s\n", __FILE__, __LINE__, #condition);            \
            std::abort();                                                                                    \
        }                                                                                                    \
    } while (false)
