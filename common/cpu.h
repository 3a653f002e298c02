// What the processor we run on can execute, for the subsystems that carry code for several
// instruction sets and pick one at run time.
#pragma once

namespace tarn::cpu {

enum class Feature : unsigned {
  sse2 = 1u << 0,
  ssse3 = 1u << 1,
  avx2 = 1u << 2,  // with the OS saving the YMM registers, as XGETBV reports
};

// Whether this processor and operating system can run code that uses `feature`. The answer
// comes from CPUID and XGETBV, asked on the first call only and kept in an atomic, so every
// thread sees one consistent answer without a lock.
bool has(Feature feature);

}  // namespace tarn::cpu
