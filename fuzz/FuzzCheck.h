#pragma once
// Invariant checks for fuzz targets: a violation aborts, so libFuzzer keeps
// the input that caused it.

#include <cstdio>
#include <cstdlib>

#define FUZZ_CHECK(condition)                                                         \
    do {                                                                              \
        if (!(condition)) {                                                           \
            std::fprintf(stderr, "invariant violated: %s (%s:%d)\n", #condition,      \
                         __FILE__, __LINE__);                                         \
            std::abort();                                                             \
        }                                                                             \
    } while (0)
