#include "fakes/failing_allocation.h"

#include <cstdlib>
#include <new>

namespace tarn::fakes {
namespace {

// Per thread, so that another thread's allocations (the test framework's) never count.
thread_local bool armed = false;
thread_local int seen = 0;
thread_local int failing = -1;

}  // namespace

void arm_allocation_failure(int index) {
  seen = 0;
  failing = index;
  armed = true;
}

int disarm_allocation_failure() {
  armed = false;
  return seen;
}

}  // namespace tarn::fakes

// The array and nothrow forms of the standard library call these.
void* operator new(std::size_t size) {
  using namespace tarn::fakes;
  if (armed && seen++ == failing) throw std::bad_alloc();
  if (void* memory = std::malloc(size == 0 ? 1 : size)) return memory;
  throw std::bad_alloc();
}

void operator delete(void* memory) noexcept { std::free(memory); }
void operator delete(void* memory, std::size_t) noexcept { std::free(memory); }
