// Fault injection for the fakes: every port operation asks the plan in turn, and the one at the
// planned index fails, either by giving back its failure value (a null handle, nothing) or by
// throwing std::bad_alloc, as an operation that runs out of memory would. Operations that
// release something are never failed: they run in destructors, where nothing can be reported.
#pragma once

#include <atomic>
#include <new>

namespace tarn::fakes {

class FaultPlan {
 public:
  enum class Mode { fail, throw_bad_alloc };

  // Fails the operation with this 0-based index, counted from now.
  void arm(int index, Mode mode) {
    seen_ = 0;
    armed_ = index;
    mode_ = mode;
  }

  // Called first by every failable operation: throws when planned to, and otherwise says
  // whether the operation must give back its failure value.
  bool fails() {
    const int index = seen_++;
    if (index != armed_) return false;
    ++injected_;
    if (mode_ == Mode::throw_bad_alloc) throw std::bad_alloc();
    return true;
  }

  // The failable operations asked since the last arm(), and the faults injected in all.
  int operations() const { return seen_; }
  int injected() const { return injected_; }

 private:
  std::atomic<int> seen_{0};
  std::atomic<int> armed_{-1};
  std::atomic<int> injected_{0};
  Mode mode_ = Mode::fail;
};

}  // namespace tarn::fakes
