#pragma once

// The entry points every fuzz target defines. libFuzzer calls them in the
// fuzz build; ReplayMain.cpp calls them over saved inputs in every other
// build, so the regular and sanitizer test runs replay the corpus too.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);
extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv);

// A property the input broke: report it the way a sanitizer reports a fault,
// so that libFuzzer keeps the input as a crash.
#define FUZZ_CHECK(condition)                                                                                          \
    do {                                                                                                               \
        if (!(condition)) {                                                                                            \
            std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition);                         \
            std::abort();                                                                                              \
        }                                                                                                              \
    } while (false)
