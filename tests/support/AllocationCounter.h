#pragma once

#include <cstddef>

// Heap allocations made through operator new since the test binary started.
// Linking AllocationCounter.cpp replaces the global allocation functions.
std::size_t allocationCount();
