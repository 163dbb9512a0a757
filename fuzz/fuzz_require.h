#pragma once
// A broken rule found by a fuzzer: say which and stop, so that the fuzzer keeps the input.
#include <cstdio>
#include <cstdlib>

#define FUZZ_REQUIRE(condition, what)                                                       \
    do {                                                                                    \
        if (!(condition)) {                                                                 \
            std::fprintf(stderr, "%s:%d: broken rule: %s (%s)\n", __FILE__, __LINE__, what, \
                         #condition);                                                       \
            std::abort();                                                                   \
        }                                                                                   \
    } while (0)
