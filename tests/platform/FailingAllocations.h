#pragma once
// Allocation failures on demand. The test program's global operator new and delete are
// replaced (FailingAllocations.cpp) so that a test can make large allocations fail, as
// when memory runs out, without needing that much memory.

#include <cstddef>

// While it lives, every allocation of at least `bytes` through operator new throws
// std::bad_alloc; smaller ones succeed as usual.
class FailingAllocations {
public:
    explicit FailingAllocations(std::size_t bytes);
    ~FailingAllocations();
    FailingAllocations(const FailingAllocations&) = delete;
    FailingAllocations& operator=(const FailingAllocations&) = delete;
};
