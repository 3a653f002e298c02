// Which path runs: the fastest one the processor supports, decided on first use.
#include <atomic>

#include "base64/codec.h"
#include "base64/kernels.h"
#include "common/cpu.h"

namespace tarn::base64 {
namespace {

// Path + 1, or 0 before the first decision. Relaxed order is enough: racing threads decide
// the same path, and the kernels it names are constant data.
std::atomic<unsigned> chosen{0};

}  // namespace

bool path_supported(Path path) {
  switch (path) {
    case Path::scalar:
      return true;
    case Path::ssse3:
      return cpu::has(cpu::Feature::ssse3);
    case Path::avx2:
      return cpu::has(cpu::Feature::avx2);
  }
  return false;
}

Path chosen_path() {
  unsigned choice = chosen.load(std::memory_order_relaxed);
  if (choice == 0) {
    Path best = Path::scalar;
    for (Path path : kAllPaths) {
      if (path_supported(path)) best = path;
    }
    choice = static_cast<unsigned>(best) + 1;
    chosen.store(choice, std::memory_order_relaxed);
  }
  return static_cast<Path>(choice - 1);
}

std::string_view path_name(Path path) {
  switch (path) {
    case Path::scalar:
      return "scalar";
    case Path::ssse3:
      return "ssse3";
    case Path::avx2:
      return "avx2";
  }
  return "unknown";
}

}  // namespace tarn::base64
