#pragma once

// Invariant checks for fuzz targets: a broken invariant aborts, which both
// libFuzzer and the replay driver report as a crash with the input saved.

#include <cstdio>
#include <cstdlib>

#define FUZZ_CHECK(cond)                                                                             \
  do                                                                                                 \
  {                                                                                                  \
    if (!(cond))                                                                                     \
    {                                                                                                \
      std::fprintf(stderr, "%s:%d: invariant failed: %s\n", __FILE__, __LINE__, #cond);              \
      std::abort();                                                                                  \
    }                                                                                                \
  } while (0)
