#include "FailingAllocation.h"

#include <cstdlib>
#include <new>

namespace {

int countdown = 0;
bool failed = false;

void* Allocate(std::size_t size) {
    if (countdown > 0 && --countdown == 0) {
        failed = true;
        throw std::bad_alloc();
    }
    if (void* memory = std::malloc(size == 0 ? 1 : size))
        return memory;
    throw std::bad_alloc();
}

}  // namespace

namespace kivra_test {

void FailAllocation(int n) {
    countdown = n;
    failed = false;
}

bool AllocationFailed() {
    return failed;
}

}  // namespace kivra_test

void* operator new(std::size_t size) {
    return Allocate(size);
}
void* operator new[](std::size_t size) {
    return Allocate(size);
}
void operator delete(void* memory) noexcept {
    std::free(memory);
}
void operator delete[](void* memory) noexcept {
    std::free(memory);
}
void operator delete(void* memory, std::size_t) noexcept {
    std::free(memory);
}
void operator delete[](void* memory, std::size_t) noexcept {
    std::free(memory);
}
