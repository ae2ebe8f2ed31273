#pragma once

#include <cstddef>
#include <utility>
#include <vector>

// Hands out the character reserves of lines. Reserves of up to kPooledLimit bytes are carved from
// large slabs and recycled through one free list per size, so that a text of millions of short
// lines costs little more than its characters and Clear releases it in a few steps.
class CLineReserveAllocator {
public:
    static constexpr int kPooledLimit = 512;

    CLineReserveAllocator() = default;
    CLineReserveAllocator(const CLineReserveAllocator&) = delete;
    CLineReserveAllocator& operator=(const CLineReserveAllocator&) = delete;
    ~CLineReserveAllocator();

    // The reserve for a line of n characters: the smallest multiple of 16 above n, so a line grows
    // its reserve only every 16 characters and always has a spare byte.
    static int CapacityFor(int characters) { return (characters / 16 + 1) * 16; }

    // capacity is a result of CapacityFor.
    char* Allocate(int capacity);
    // A reserve of exactly this many bytes, taken from the slabs for a line read from a file:
    // most such lines are never edited, and rounding them up would cost a third more memory.
    char* AllocateExact(int bytes);
    // A reserve of any capacity may come back; one too small to hold a link to the next free
    // reserve stays in its slab until the slabs are released.
    void Release(char* reserve, int capacity);
    // Releases every slab at once; reserves above kPooledLimit must have been released before.
    void ReleaseSlabs();

    void Swap(CLineReserveAllocator& other) {
        slabs_.swap(other.slabs_);
        std::swap(slabCursor_, other.slabCursor_);
        std::swap(slabEnd_, other.slabEnd_);
        std::swap(freeLists_, other.freeLists_);
    }

private:
    char* FromSlab(int capacity);

    static constexpr std::size_t kSlabSize = std::size_t{1} << 20;
    static constexpr int kClasses = kPooledLimit / 16;

    std::vector<char*> slabs_;
    char* slabCursor_ = nullptr;
    char* slabEnd_ = nullptr;
    void* freeLists_[kClasses + 1] = {};
};
