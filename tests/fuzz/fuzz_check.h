// What the fuzz targets share: a check that stays on in release builds.
#ifndef TAVREL_TESTS_FUZZ_FUZZ_CHECK_H_
#define TAVREL_TESTS_FUZZ_FUZZ_CHECK_H_

#include <cstdio>
#include <cstdlib>

// Aborts, so that libFuzzer keeps the input, when a property fails.
#define FUZZ_CHECK(condition)                                              \
  do {                                                                     \
    if (!(condition)) {                                                    \
      std::fprintf(stderr, "%s:%d: property failed: %s\n", __FILE__,      \
                   __LINE__, #condition);                                  \
      std::abort();                                                        \
    }                                                                      \
  } while (0)

#endif  // TAVREL_TESTS_FUZZ_FUZZ_CHECK_H_
