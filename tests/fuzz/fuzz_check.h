#pragma once
// The one check of the fuzz targets: a broken invariant prints what was expected and
// the values at hand on standard error, then aborts, so that the fuzzer keeps the
// input as a crash (a plain assert would vanish under NDEBUG).

#include <cstdio>
#include <cstdlib>
#include <string>

namespace ventrel::fuzz {

[[noreturn]] inline void Broken(const char* what, const std::string& detail, const char* file, int line) {
  std::fprintf(stderr, "%s:%d: invariant rompu : %s\n  %s\n", file, line, what, detail.c_str());
  std::abort();
}

}  // namespace ventrel::fuzz

// FUZZ_CHECK(condition, detail): `detail` (a std::string) is built only when the
// condition fails.
#define FUZZ_CHECK(cond, detail)                                             \
  do {                                                                       \
    if (!(cond)) ::ventrel::fuzz::Broken(#cond, (detail), __FILE__, __LINE__); \
  } while (0)
