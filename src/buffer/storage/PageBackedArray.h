#pragma once

#include <utility>

#include <cstddef>

// Raw storage for a growable array of trivially copyable records. On Linux it lives in its own
// memory mapping and grows with mremap: growing never copies the records or holds two copies at
// once, and room reserved but not yet used costs no memory. Elsewhere it falls back to realloc.
class CPageBackedArray {
public:
    CPageBackedArray() = default;
    CPageBackedArray(const CPageBackedArray&) = delete;
    CPageBackedArray& operator=(const CPageBackedArray&) = delete;
    ~CPageBackedArray();

    void* Data() const { return data_; }
    std::size_t Bytes() const { return bytes_; }
    // Makes room for at least the given number of bytes, keeping the contents. Throws
    // std::bad_alloc when the memory cannot be had.
    void Grow(std::size_t bytes);
    void Release();

    void Swap(CPageBackedArray& other) {
        std::swap(data_, other.data_);
        std::swap(bytes_, other.bytes_);
    }

private:
    void* data_ = nullptr;
    std::size_t bytes_ = 0;
};
