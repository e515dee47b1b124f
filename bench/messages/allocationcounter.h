#pragma once
// Counts every operator new in the process (the benchmark replaces the
// global allocation functions), so a benchmark can report allocations per
// message in steady state.
#include <cstdint>

namespace velbench {

std::uint64_t AllocationCount();

}  // namespace velbench
