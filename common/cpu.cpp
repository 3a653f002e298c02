#include "common/cpu.h"

#include <atomic>

#if defined(__i386__) || defined(__x86_64__)
#include <cpuid.h>
#endif

namespace tarn::cpu {
namespace {

// Set in the cached word once detection has run, so that a processor without any of the
// features still caches its answer.
constexpr unsigned kDetected = 1u << 31;

// The XCR0 bits that say the OS saves the SSE (bit 1) and AVX (bit 2) register state.
constexpr unsigned kXmmYmmState = 0x6;

unsigned detect() {
  unsigned features = kDetected;
#if defined(__i386__) || defined(__x86_64__)
  unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
  if (__get_cpuid(1, &eax, &ebx, &ecx, &edx) == 0) return features;
  if (edx & bit_SSE2) features |= static_cast<unsigned>(Feature::sse2);
  if (ecx & bit_SSSE3) features |= static_cast<unsigned>(Feature::ssse3);
  const bool avx = (ecx & bit_AVX) != 0 && (ecx & bit_OSXSAVE) != 0;
  if (avx) {
    unsigned xcr0_low = 0, xcr0_high = 0;
    __asm__ volatile("xgetbv" : "=a"(xcr0_low), "=d"(xcr0_high) : "c"(0));
    const bool os_saves_ymm = (xcr0_low & kXmmYmmState) == kXmmYmmState;
    if (os_saves_ymm && __get_cpuid_max(0, nullptr) >= 7) {
      __cpuid_count(7, 0, eax, ebx, ecx, edx);
      if (ebx & bit_AVX2) features |= static_cast<unsigned>(Feature::avx2);
    }
  }
#endif
  return features;
}

// Relaxed order is enough: every thread that races to fill it computes the same value.
std::atomic<unsigned> cached_features{0};

}  // namespace

bool has(Feature feature) {
  unsigned features = cached_features.load(std::memory_order_relaxed);
  if (features == 0) {
    features = detect();
    cached_features.store(features, std::memory_order_relaxed);
  }
  return (features & static_cast<unsigned>(feature)) != 0;
}

}  // namespace tarn::cpu
