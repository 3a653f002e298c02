// Makes one chosen allocation of the calling thread throw std::bad_alloc. The test program that
// links failing_allocation.cpp replaces the global operator new and operator delete with ones
// that count allocations while armed.
#pragma once

namespace tarn::fakes {

// Counts this thread's allocations from now on and throws from the one with this 0-based index;
// -1 only counts. Disarmed by disarm_allocation_failure(), which gives the count.
void arm_allocation_failure(int index);
int disarm_allocation_failure();

// Arms for its lifetime; stop() disarms early and gives the number of allocations seen.
class AllocationFailure {
 public:
  explicit AllocationFailure(int index) { arm_allocation_failure(index); }
  AllocationFailure(const AllocationFailure&) = delete;
  AllocationFailure& operator=(const AllocationFailure&) = delete;
  ~AllocationFailure() { disarm_allocation_failure(); }
  int stop() { return disarm_allocation_failure(); }
};

}  // namespace tarn::fakes
