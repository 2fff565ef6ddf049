// The fuzz targets' check: a broken expectation stops the run with a message, which
// libFuzzer reports as a crash and keeps the input for.
#pragma once

#include <cstdio>
#include <cstdlib>

#define FUZZ_CHECK(condition, ...)                                                    \
    do {                                                                              \
        if (!(condition)) {                                                           \
            std::fprintf(stderr, "FUZZ CHECK FAILED at %s:%d: %s\n", __FILE__,       \
                         __LINE__, #condition);                                       \
            std::fprintf(stderr, __VA_ARGS__);                                        \
            std::fprintf(stderr, "\n");                                               \
            std::abort();                                                             \
        }                                                                             \
    } while (false)
