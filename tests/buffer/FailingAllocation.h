#pragma once

// Makes the n-th allocation from now fail with std::bad_alloc, to test that a failure in the middle
// of an edit leaves the buffer consistent. The test binary that includes this replaces the global
// operator new (FailingAllocation.cpp).

namespace kivra_test {

// Arms the failure: the allocation numbered n (1 = the next one) throws; 0 disarms.
void FailAllocation(int n);
// True once the armed allocation has failed.
bool AllocationFailed();

}  // namespace kivra_test
