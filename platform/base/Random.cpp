#include "platform/base/Random.h"

#include <atomic>
#include <cstdint>

namespace ce {
namespace {

// The C runtime's linear congruential generator: one state for the whole
// process, stepped with a compare-and-swap so that concurrent callers each
// get their own step of the one sequence.
std::atomic<uint32_t> state{1};

constexpr uint32_t Step(uint32_t seed) { return seed * 214013u + 2531011u; }

}  // namespace

int rand() {
  uint32_t seed = state.load(std::memory_order_relaxed);
  while (!state.compare_exchange_weak(seed, Step(seed), std::memory_order_relaxed)) {
  }
  return static_cast<int>((Step(seed) >> 16) & 0x7FFF);
}

void srand(unsigned seed) { state.store(seed, std::memory_order_relaxed); }

}  // namespace ce
