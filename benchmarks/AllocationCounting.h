#pragma once

#include <cstdint>

namespace glidra::benchmarks {

// Every heap allocation of the process, on any thread, since it started: a
// benchmark linked with AllocationCounting.cpp replaces the global operator
// new, so the count covers Qt's and the standard library's allocations as
// well as ours.
std::uint64_t allocationCount();

// While one lives, the allocations of its thread are not counted: the
// benchmark's own driving (writing to a mocked device) stays out.
class UncountedHere {
public:
    UncountedHere();
    ~UncountedHere();
    UncountedHere(const UncountedHere&) = delete;
    UncountedHere& operator=(const UncountedHere&) = delete;

private:
    bool was_;
};

}  // namespace glidra::benchmarks
