#include "LineReserveAllocator.h"

#include <cstdlib>
#include <cstring>
#include <new>

CLineReserveAllocator::~CLineReserveAllocator() {
    ReleaseSlabs();
}

char* CLineReserveAllocator::Allocate(int capacity) {
    if (capacity > kPooledLimit)
        return static_cast<char*>(::operator new(capacity));

    int sizeClass = capacity / 16;
    if (void* recycled = freeLists_[sizeClass]) {
        std::memcpy(&freeLists_[sizeClass], recycled, sizeof(void*));
        return static_cast<char*>(recycled);
    }
    return FromSlab(capacity);
}

char* CLineReserveAllocator::AllocateExact(int bytes) {
    if (bytes > kPooledLimit)
        return static_cast<char*>(::operator new(bytes));
    return FromSlab(bytes);
}

char* CLineReserveAllocator::FromSlab(int capacity) {
    // Even an empty reserve points into a slab: callers copy zero bytes from it.
    if (slabCursor_ == nullptr || slabEnd_ - slabCursor_ < capacity) {
        char* slab = static_cast<char*>(std::malloc(kSlabSize));
        if (slab == nullptr)
            throw std::bad_alloc();
        slabs_.push_back(slab);
        slabCursor_ = slab;
        slabEnd_ = slab + kSlabSize;
    }
    char* reserve = slabCursor_;
    slabCursor_ += capacity;
    return reserve;
}

void CLineReserveAllocator::Release(char* reserve, int capacity) {
    if (reserve == nullptr)
        return;
    if (capacity > kPooledLimit) {
        ::operator delete(reserve);
        return;
    }
    // The freed reserve holds the link to the next free one of its size class, whose reserves
    // are never larger than it.
    int sizeClass = capacity / 16;
    if (sizeClass == 0)
        return;
    std::memcpy(reserve, &freeLists_[sizeClass], sizeof(void*));
    freeLists_[sizeClass] = reserve;
}

void CLineReserveAllocator::ReleaseSlabs() {
    for (char* slab : slabs_)
        std::free(slab);
    slabs_.clear();
    slabCursor_ = slabEnd_ = nullptr;
    for (void*& head : freeLists_)
        head = nullptr;
}
