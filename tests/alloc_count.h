// Counts array allocations (new[]) made by the code under test, so that a test can hold a routine
// to the number of heap arrays it is meant to make.
#pragma once

namespace alloc_count {

// Number of new[] calls since the process started.
long arrayAllocations();

// Number of delete[] calls on a non-null pointer since the process started.
long arrayReleases();

}  // namespace alloc_count
