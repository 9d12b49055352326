#pragma once
// Small helpers shared by the benchmark programs.
#include <sys/resource.h>

#include <chrono>

namespace bench {

// Peak resident memory of this process so far, in MiB.
inline double PeakMemoryMiB() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

inline double SecondsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace bench
