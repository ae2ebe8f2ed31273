#pragma once

#include <cstddef>
#include <memory>
#include <utility>
#include <vector>

// A growable array whose records never move: it grows by whole chunks of 2^kChunkBits records,
// so a reference to one stays valid while others are added, and finding a record by its index
// takes a shift and a mask.
template <typename Record, int kChunkBits = 10>
class CStableArray {
public:
    Record& operator[](std::size_t index) { return chunks_[index >> kChunkBits][index & kMask]; }
    const Record& operator[](std::size_t index) const {
        return chunks_[index >> kChunkBits][index & kMask];
    }
    std::size_t Size() const { return size_; }

    // Appends a value-initialised record. Throws std::bad_alloc, with the array as it was,
    // when memory runs out.
    void Add() {
        if ((size_ >> kChunkBits) == chunks_.size()) {
            auto chunk = std::make_unique<Record[]>(kChunk);
            chunks_.push_back(std::move(chunk));
        }
        ++size_;
    }

    // Forgets every record and gives the memory back.
    void Clear() {
        std::vector<std::unique_ptr<Record[]>>().swap(chunks_);
        size_ = 0;
    }

    void Swap(CStableArray& other) {
        chunks_.swap(other.chunks_);
        std::swap(size_, other.size_);
    }

private:
    static constexpr std::size_t kChunk = std::size_t{1} << kChunkBits;
    static constexpr std::size_t kMask = kChunk - 1;

    std::vector<std::unique_ptr<Record[]>> chunks_;
    std::size_t size_ = 0;
};
